if(VELMORA_SANITIZE)
    set(_velmora_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=undefined
        -fno-omit-frame-pointer)
    if(VELMORA_FUZZ)
        if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
            message(FATAL_ERROR "VELMORA_FUZZ needs clang (configure with CXX=clang++)")
        endif()
        # Coverage instrumentation everywhere, so the fuzzers see inside the game library too.
        list(APPEND _velmora_sanitizers -fsanitize=fuzzer-no-link)
    endif()
    add_compile_options(${_velmora_sanitizers})
    add_link_options(-fsanitize=address,undefined)
endif()
