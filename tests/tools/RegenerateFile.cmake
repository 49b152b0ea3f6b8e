# Runs a tool that paints a committed file and checks that it writes that
# file byte for byte:
#   -DTOOL=<tool> [-DTOOL_ARGS=<arguments before the output>]
#   -DOUTPUT=<scratch file> -DEXPECTED=<the committed file>
execute_process(COMMAND "${TOOL}" ${TOOL_ARGS} "${OUTPUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${TOOL} failed: ${result}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUTPUT}" "${EXPECTED}"
                RESULT_VARIABLE different)
if(different)
  get_filename_component(tool_name "${TOOL}" NAME)
  message(FATAL_ERROR "${OUTPUT} differs from ${EXPECTED}: regenerate it with ${tool_name}")
endif()
message(STATUS "${TOOL} wrote ${EXPECTED} byte for byte")
