# GoogleTest for both configurations, and rivovuz_add_gtest(name sources... LIBS libs...).
if(NOT RIVOVUZ_TESTS)
  return()
endif()
enable_testing()

set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest source tree")
if(CMAKE_CROSSCOMPILING AND EXISTS ${GTEST_SOURCE_DIR}/CMakeLists.txt)
  # Debian ships GoogleTest as source for other toolchains; build it with MinGW.
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(RIVOVUZ_GTEST_MAIN gtest_main)
else()
  find_package(GTest REQUIRED)
  set(RIVOVUZ_GTEST_MAIN GTest::gtest_main)
endif()

# One CTest entry per test executable: under Wine every process start costs a
# fraction of a second, so cases are not registered one by one.
function(rivovuz_add_gtest name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${RIVOVUZ_GTEST_MAIN})
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT 900)
endfunction()
