# Warnings everywhere; as errors where the project builds itself (the presets, and so the
# test command and CI), so a compiler we have not tried never stops someone else's build.
# The analysis core and the command-line tool, which read untrusted bytes, also refuse
# silent narrowing and C casts.
option(ZELK_WERROR "Treat warnings as errors" OFF)
add_compile_options(-Wall -Wextra)
# GCC 12 at -O3 warns of overlapping copies inside std::string wherever a short literal is
# assigned or prepended (a false positive of its own headers, mended in GCC 13).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    add_compile_options(-Wno-restrict)
endif()
if(ZELK_WERROR)
    add_compile_options(-Werror)
endif()

function(zelk_strict_warnings target)
    target_compile_options(${target} PRIVATE -Wconversion -Wsign-conversion -Wold-style-cast)
endfunction()
