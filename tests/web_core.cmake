# The toolkit-free suites in the browser build, run under node.
# GoogleTest from Debian's sources (package googletest), built for wasm.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${SPRINGLATTICE_GTEST_SOURCE} ${CMAKE_CURRENT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Every test program is one .js with its wasm inside (node 20's fetch cannot
# load a separate .wasm for emscripten 3.1.6's loader), its memory grows as it
# needs, and it exits with GoogleTest's status for ctest to read.
add_link_options(-sSINGLE_FILE=1 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1)
set(platform_suffix .wasm)

# The page stays within 250 KB, everything in it.
add_test(NAME Web.PageSize COMMAND ${CMAKE_COMMAND} -D FILE=$<TARGET_FILE:springlattice_page> -D LIMIT=256000
    -P ${CMAKE_CURRENT_SOURCE_DIR}/size_budget.cmake)
