# Tests never see the real user's home, settings or sound card: each runs offscreen, with a
# scratch home and configuration folder, SDL's silent audio driver and the data folder as its
# working directory (where the game looks for its files).
set(VELMORA_TEST_HOME ${PROJECT_BINARY_DIR}/test-home)
file(MAKE_DIRECTORY ${VELMORA_TEST_HOME}/config ${VELMORA_TEST_HOME}/runtime)
file(CHMOD ${VELMORA_TEST_HOME}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(VELMORA_TEST_ENVIRONMENT
    QT_QPA_PLATFORM=offscreen
    HOME=${VELMORA_TEST_HOME}
    XDG_CONFIG_HOME=${VELMORA_TEST_HOME}/config
    XDG_RUNTIME_DIR=${VELMORA_TEST_HOME}/runtime
    SDL_AUDIODRIVER=dummy
    LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tools/lsan.supp:print_suppressions=0
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1)

function(velmora_add_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE velmora_game Qt6::Test)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    velmora_set_warnings(${name})
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${VELMORA_DATA_DIR})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${VELMORA_TEST_ENVIRONMENT}" TIMEOUT 300)
endfunction()

# A libFuzzer target, built only in the clang sanitizer configuration, run by CTest for a bounded
# time over a copy of its seed corpus.
function(velmora_add_fuzzer name source corpus)
    if(NOT VELMORA_FUZZ)
        return()
    endif()
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE velmora_game)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set(_work ${PROJECT_BINARY_DIR}/fuzz-corpus/${name})
    file(MAKE_DIRECTORY ${_work})
    add_test(NAME ${name}
        COMMAND ${name} -max_total_time=${VELMORA_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=2048
            ${_work} ${corpus}
        WORKING_DIRECTORY ${VELMORA_DATA_DIR})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${VELMORA_TEST_ENVIRONMENT}"
        LABELS fuzz TIMEOUT 600)
endfunction()
set(VELMORA_FUZZ_SECONDS 60 CACHE STRING "How long each fuzz target runs under CTest")
