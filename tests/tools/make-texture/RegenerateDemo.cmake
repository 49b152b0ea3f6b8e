# Runs the texture tool and checks that it writes the committed file byte for
# byte. -DTOOL=<make-texture> -DOUTPUT=<scratch file> -DEXPECTED=<assets/Demo.jpg>
execute_process(COMMAND "${TOOL}" "${OUTPUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make-texture failed: ${result}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUTPUT}" "${EXPECTED}"
                RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "${OUTPUT} differs from ${EXPECTED}: regenerate it with make-texture")
endif()
message(STATUS "make-texture wrote ${EXPECTED} byte for byte")
