# qm_layer(<target> <folder>): a static library of every .cpp directly in
# program/<folder>; no target when the folder holds no source yet.
function(qm_layer target folder)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/program/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/program)
endfunction()

# qm_test_dir(<folder> <libraries...>): one GoogleTest program of every
# *_test.cpp in tests/<folder> and its subfolders, together with the leak checker's suppression
# lists there (lsan_*_suppression.cpp), which hold no tests.
function(qm_test_dir folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${folder}/*_test.cpp)
  if(NOT sources)
    return()
  endif()
  file(GLOB_RECURSE suppressions CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/tests/${folder}/lsan_*_suppression.cpp)
  list(APPEND sources ${suppressions})
  string(REPLACE "/" "_" target test_${folder})
  add_executable(${target} ${sources})
  foreach(lib IN LISTS ARGN)
    if(TARGET ${lib})
      target_link_libraries(${target} PRIVATE ${lib})
    endif()
  endforeach()
  target_link_libraries(${target} PRIVATE GTest::gmock GTest::gtest_main)
  if(TARGET qm_output AND "qm_output" IN_LIST ARGN)
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
    target_link_libraries(${target} PRIVATE Qt6::Test)
  endif()
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/program ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${target} PRIVATE
    QM_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    QM_TEST_OUTPUT_DIR="${CMAKE_BINARY_DIR}/test-output")
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
