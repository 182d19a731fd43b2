# nlohmann-json is header-only: the cross build takes its headers from Debian's package
# without putting the whole of /usr/include on the mingw include path.
set(ZELK_JSON_INCLUDE "${CMAKE_BINARY_DIR}/third_party/include")
if(NOT EXISTS "${ZELK_JSON_INCLUDE}/nlohmann/json.hpp")
    if(NOT EXISTS /usr/include/nlohmann/json.hpp)
        message(FATAL_ERROR "nlohmann/json.hpp not found: install nlohmann-json3-dev")
    endif()
    file(COPY /usr/include/nlohmann DESTINATION "${ZELK_JSON_INCLUDE}")
endif()
add_library(zelk_json INTERFACE)
target_include_directories(zelk_json SYSTEM INTERFACE "${ZELK_JSON_INCLUDE}")

# GoogleTest from the sources Debian's libgtest-dev ships, so both trees use the same one.
function(zelk_add_googletest)
    if(TARGET gtest)
        return()
    endif()
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    if(WIN32)
        set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    endif()
    add_subdirectory(/usr/src/googletest/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
    # GoogleTest is not ours to keep warning-free under -Werror.
    target_compile_options(gtest PRIVATE -w)
    target_compile_options(gtest_main PRIVATE -w)
endfunction()
