# GoogleTest programs for the 64-bit Windows build, run under Wine.
#
# Every program runs through CMAKE_CROSSCOMPILING_EMULATOR
# (scripts/wine-run); scripts/wine-session gives the whole ctest run one
# display and one wineserver.

# GoogleTest from Debian's sources, built with the cross compiler (the
# posix-threads variant, see cmake/mingw-w64-x86_64.cmake).
set(ORVIX_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to cross-build")
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${ORVIX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(t gtest gtest_main)
    # Not our code: its warnings are not ours to turn into errors.
    target_compile_options(${t} PRIVATE -w)
endforeach()

# orvix_add_wine_test(NAME sources...): a GoogleTest program run under Wine,
# one ctest test per program (each Wine process costs a second or so).
function(orvix_add_wine_test name)
    add_executable(${name} ${ARGN})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    target_link_libraries(${name} PRIVATE gtest gtest_main)
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests
                                                ${ORVIX_PUBLIC_INCLUDE})
    orvix_include_folders(${name} PRIVATE platform)
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    set_tests_properties(${name} PROPERTIES TIMEOUT 120)
endfunction()
