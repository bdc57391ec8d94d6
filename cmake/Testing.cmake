# corelith_add_tests(<executable> <folder> <libraries...>): one GoogleTest executable
# from <folder>/tests/*.cpp, registered with CTest. Does nothing while the folder has no tests.
function(corelith_add_tests name folder)
  _corelith_test_executable(${name} ${folder} "" ${ARGN})
endfunction()

# corelith_add_qt_tests(<executable> <folder> <libraries...>): the same for tests that need a
# QApplication. They share the Qt backend's test main (platform/qt/tests/main.cpp) and run
# under the offscreen platform.
function(corelith_add_qt_tests name folder)
  set(environment QT_QPA_PLATFORM=offscreen
                  LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/platform/qt/tests/lsan.supp)
  _corelith_test_executable(${name} ${folder} "${environment}" corelith_qt_test_main ${ARGN})
endfunction()

function(_corelith_test_executable name folder environment)
  if(NOT CORELITH_TESTS)
    return()
  endif()
  file(GLOB test_sources CONFIGURE_DEPENDS ${folder}/tests/*.cpp)
  list(REMOVE_ITEM test_sources ${PROJECT_SOURCE_DIR}/platform/qt/tests/main.cpp)
  if(NOT test_sources)
    return()
  endif()
  add_executable(${name} ${test_sources})
  set(test_main GTest::gtest_main)
  if(corelith_qt_test_main IN_LIST ARGN)
    set(test_main "")
  endif()
  target_link_libraries(${name} PRIVATE ${ARGN} corelith_test_support GTest::gtest GTest::gmock
                        ${test_main})
  target_compile_definitions(${name} PRIVATE
    CORELITH_SOURCE_ROOT="${PROJECT_SOURCE_DIR}"
    CORELITH_TEST_DIR="${folder}/tests")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 600 ENVIRONMENT "${environment}")
endfunction()
