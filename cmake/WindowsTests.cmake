# GoogleTest for the Windows build: compiled with the cross compiler from
# Debian's sources, since the packaged libraries are built for Linux.
set(FLAKECOAT_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${FLAKECOAT_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# (Its build defines the GTest::gtest and GTest::gtest_main names itself.)

# One CTest entry per test executable instead of one per test case: every
# entry starts a Windows process under Wine, and listing the cases would
# start each executable once more while building.
function(gtest_discover_tests target)
  cmake_parse_arguments(arg "" "" "PROPERTIES" ${ARGN})
  add_test(NAME ${target} COMMAND ${target})
  if(arg_PROPERTIES)
    set_tests_properties(${target} PROPERTIES ${arg_PROPERTIES})
  endif()
endfunction()
