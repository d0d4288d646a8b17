# orv_core_library(NAME DIR [DEPS ...]): a static library of every .cpp in DIR.
# Sources are globbed so that adding a file needs no edit here.
function(orv_core_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT sources)
    # A layer without code yet still takes part in the link graph.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS} Threads::Threads)
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} Threads::Threads)
endfunction()

# orv_test_suite(NAME DIR [DEPS ...]): one GoogleTest binary of every .cpp in DIR.
function(orv_test_suite name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} orv_test_main GTest::gtest GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    ORV_SOURCE_DIR="${PROJECT_SOURCE_DIR}" ORV_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "ORV_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
