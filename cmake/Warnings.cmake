function(velmora_set_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
        -Woverloaded-virtual -Wnull-dereference -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
    if(VELMORA_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
