# Runs one libFuzzer target for a bounded time on a working copy of its seed
# corpus, so that the seeds stay as generated. Fails on any finding.
#   -DFUZZER=<binary> -DSEEDS=<seed folder> -DWORK=<working folder>
#   -DSECONDS=<time budget> -DOPTIONS=<extra libFuzzer flags>
file(MAKE_DIRECTORY "${WORK}")
separate_arguments(extra UNIX_COMMAND "${OPTIONS}")
execute_process(
  COMMAND "${FUZZER}" -max_total_time=${SECONDS} -timeout=20 -print_final_stats=1
          -artifact_prefix=${WORK}/ ${extra} "${WORK}" "${SEEDS}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} found a problem (exit ${result}); its input is in ${WORK}")
endif()
