# Helpers shared by every CMakeLists of the project.

# Adds every child folder of the current source folder that holds a CMakeLists.txt,
# so that a new subsystem, test program or benchmark only needs a folder of its own.
function(vyr_add_subdirectories)
  file(GLOB lists CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt")
  list(SORT lists)
  foreach(list_file IN LISTS lists)
    get_filename_component(child "${list_file}" DIRECTORY)
    add_subdirectory("${child}")
  endforeach()
endfunction()

# vyr_add_test(NAME SOURCES src... [LIBS lib...] [NO_MAIN] [LABELS l...])
# One GoogleTest program run by CTest as one test. NO_MAIN: the program brings its own main().
function(vyr_add_test name)
  cmake_parse_arguments(arg "NO_MAIN" "" "SOURCES;LIBS;LABELS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${arg_SOURCES})
  if(arg_NO_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock ${arg_LIBS})
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock ${arg_LIBS})
  endif()
  target_compile_definitions(${name} PRIVATE VYR_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
                                             VYR_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}"
                                             VYR_LIB_DIR="${CMAKE_LIBRARY_OUTPUT_DIRECTORY}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  if(arg_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${arg_LABELS}")
  endif()
  if(arg_ENVIRONMENT)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${arg_ENVIRONMENT}")
  endif()
endfunction()

# vyr_add_benchmark(NAME SOURCES src... [LIBS lib...]): a Google Benchmark program in build/bench.
function(vyr_add_benchmark name)
  cmake_parse_arguments(arg "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT TARGET benchmark::benchmark)
    return()
  endif()
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE benchmark::benchmark ${arg_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bench")
endfunction()

# vyr_add_fuzzer(NAME SOURCES src... [LIBS lib...]): a libFuzzer target, built by the fuzz preset only.
function(vyr_add_fuzzer name)
  cmake_parse_arguments(arg "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${arg_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${arg_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/fuzz")
endfunction()
