# Warnings are errors everywhere; the analysis core, which reads untrusted bytes, also
# refuses silent narrowing and C casts.
add_compile_options(-Wall -Wextra -Werror)

function(zelk_strict_warnings target)
    target_compile_options(${target} PRIVATE -Wconversion -Wsign-conversion -Wold-style-cast)
endfunction()
