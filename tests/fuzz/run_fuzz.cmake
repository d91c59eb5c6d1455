# Runs a fuzzer for SECONDS on a build-tree corpus started from its seeds (MODE=fuzz), or
# replays the seeds through it once (MODE=replay). The fuzzer works in WORK, which is
# emptied first. Needs PROGRAM, SEEDS, PATTERN (the seed files), WORK and, to fuzz, SECONDS;
# EMULATOR runs a program of another system (Wine for Windows).
if(NOT IS_DIRECTORY "${SEEDS}")
  message(FATAL_ERROR "fuzzer seeds missing: ${SEEDS}")
endif()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
if(MODE STREQUAL "replay")
  execute_process(COMMAND ${EMULATOR} "${PROGRAM}" "${SEEDS}" WORKING_DIRECTORY "${WORK}"
                  RESULT_VARIABLE result)
else()
  # The fuzzer adds its finds to the corpus folder: a copy, never the seeds themselves.
  set(corpus "${WORK}/corpus")
  file(MAKE_DIRECTORY "${corpus}")
  file(GLOB seeds "${SEEDS}/${PATTERN}")
  file(COPY ${seeds} DESTINATION "${corpus}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE)
  execute_process(
    COMMAND "${PROGRAM}" -max_total_time=${SECONDS} -rss_limit_mb=2048 -timeout=10
            -print_final_stats=1 -artifact_prefix=${WORK}/ "${corpus}"
    WORKING_DIRECTORY "${WORK}"
    RESULT_VARIABLE result)
endif()
if(NOT result EQUAL 0)
  message(FATAL_ERROR "fuzzer ${PROGRAM} failed: ${result}")
endif()
