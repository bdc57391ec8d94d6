# corelith_add_tests(<executable> <folder> <libraries...>): one GoogleTest executable
# from <folder>/tests/*.cpp, registered with CTest. Does nothing while the folder has no tests.
function(corelith_add_tests name folder)
  if(NOT CORELITH_TESTS)
    return()
  endif()
  file(GLOB test_sources CONFIGURE_DEPENDS ${folder}/tests/*.cpp)
  if(NOT test_sources)
    return()
  endif()
  add_executable(${name} ${test_sources})
  target_link_libraries(${name} PRIVATE ${ARGN} corelith_test_support GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    CORELITH_SOURCE_ROOT="${PROJECT_SOURCE_DIR}"
    CORELITH_TEST_DIR="${folder}/tests")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)
endfunction()
