# quorix_module(NAME [DEPS lib...] [PUBLIC_LIBS lib...])
# Builds every .cpp file in src/NAME/ (not its subfolders) into the static
# library quorix_NAME. Modules list the modules they use in DEPS; the core
# modules must only list other core modules.
function(quorix_module name)
  cmake_parse_arguments(M "" "" "DEPS;PUBLIC_LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  if(NOT sources)
    # A module whose sources have not been written yet stays header-only.
    add_library(quorix_${name} INTERFACE)
    target_include_directories(quorix_${name} INTERFACE "${PROJECT_SOURCE_DIR}/src")
    foreach(dep IN LISTS M_DEPS)
      target_link_libraries(quorix_${name} INTERFACE quorix_${dep})
    endforeach()
    return()
  endif()
  add_library(quorix_${name} STATIC ${sources})
  target_include_directories(quorix_${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  foreach(dep IN LISTS M_DEPS)
    target_link_libraries(quorix_${name} PUBLIC quorix_${dep})
  endforeach()
  if(M_PUBLIC_LIBS)
    target_link_libraries(quorix_${name} PUBLIC ${M_PUBLIC_LIBS})
  endif()
endfunction()

# quorix_test(NAME LIBS lib...)
# One GoogleTest executable per module: every .cpp in tests/NAME/.
function(quorix_test name)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(${name}_test ${sources})
  target_link_libraries(${name}_test PRIVATE ${T_LIBS} quorix_test_support GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name}_test PRIVATE
    QUORIX_SOURCE_DATA_DIR="${QUORIX_SOURCE_DATA_DIR}"
    QUORIX_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/${name}/data")
  gtest_discover_tests(${name}_test DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${name})
endfunction()
