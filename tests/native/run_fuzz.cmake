# Runs the loader's fuzz target for a bounded time on a fresh corpus made of
# the seed images and, when present, the test DLLs of the Windows build.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/corpus ${WORK_DIR}/artifacts)
file(GLOB seeds ${SEED_DIR}/*.bin)
file(COPY ${seeds} DESTINATION ${WORK_DIR}/corpus)
if(IS_DIRECTORY ${WINDOWS_DLL_DIR})
    file(GLOB_RECURSE dlls ${WINDOWS_DLL_DIR}/*.dll)
    foreach(dll IN LISTS dlls)
        file(SIZE ${dll} size)
        if(size LESS_EQUAL 262144)
            file(COPY ${dll} DESTINATION ${WORK_DIR}/corpus)
        endif()
    endforeach()
endif()
list(LENGTH seeds seedCount)
list(LENGTH dlls dllCount)
message(STATUS "fuzzing for ${SECONDS} s from ${seedCount} seed images and ${dllCount} test DLLs")

execute_process(
    COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048
            -print_final_stats=1 -artifact_prefix=${WORK_DIR}/artifacts/ ${WORK_DIR}/corpus
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the fuzz run failed (exit ${result}); reproducer in ${WORK_DIR}/artifacts")
endif()
