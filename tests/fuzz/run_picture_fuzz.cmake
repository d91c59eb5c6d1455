# Runs the picture fuzzer on a build-tree copy of the test pictures (MODE=fuzz), or replays
# the pictures through it once (MODE=replay). Needs PROGRAM, SEEDS, WORK and, to fuzz, SECONDS.
if(NOT IS_DIRECTORY "${SEEDS}")
  message(FATAL_ERROR "test pictures missing: ${SEEDS}")
endif()

if(MODE STREQUAL "replay")
  execute_process(COMMAND "${PROGRAM}" "${SEEDS}" RESULT_VARIABLE result)
else()
  # The fuzzer writes new inputs into its corpus folder: never the source tree.
  set(corpus "${WORK}/picture_corpus")
  file(REMOVE_RECURSE "${corpus}")
  file(MAKE_DIRECTORY "${corpus}")
  file(GLOB seeds "${SEEDS}/*.png")
  file(COPY ${seeds} DESTINATION "${corpus}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE)
  execute_process(
    COMMAND "${PROGRAM}" -max_total_time=${SECONDS} -rss_limit_mb=2048 -timeout=10
            -print_final_stats=1 -artifact_prefix=${WORK}/ "${corpus}"
    WORKING_DIRECTORY "${WORK}"
    RESULT_VARIABLE result)
endif()
if(NOT result EQUAL 0)
  message(FATAL_ERROR "picture fuzzer failed: ${result}")
endif()
