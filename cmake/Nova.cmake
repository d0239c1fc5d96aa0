# Shared build settings and helpers for every NovaPlayer target.

find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_C_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()

add_library(nova_options INTERFACE)
target_compile_options(nova_options INTERFACE -Wall -Wextra -Wno-unused-parameter)
if(NOVA_SANITIZE)
  target_compile_options(nova_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(nova_options INTERFACE -fsanitize=address,undefined)
endif()
if(NOVA_FUZZ)
  # Coverage instrumentation for the libraries; only fuzz targets link libFuzzer's main.
  target_compile_options(nova_options INTERFACE -fsanitize=fuzzer-no-link)
  target_link_options(nova_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

# nova_add_library(NAME SOURCES ... [DEPS ...]): one static library per subsystem.
function(nova_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC nova_options ${ARG_DEPS})
endfunction()

# nova_add_test(NAME SOURCES ... [DEPS ...]): one GoogleTest program per folder, each case a CTest test.
function(nova_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  find_package(GTest REQUIRED)
  include(GoogleTest)
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE nova_options ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    NOVA_SOURCE_DIR="${CMAKE_SOURCE_DIR}" NOVA_BINARY_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "NOVA_TOOL=$<TARGET_FILE:novatool>;NOVA_PLAY=$<TARGET_FILE:novaplay>")
endfunction()

# nova_add_fuzzer(NAME SOURCES ... [DEPS ...]): a libFuzzer target; corpus seeds live in fuzz/corpus/NAME.
function(nova_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE nova_options ${ARG_DEPS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_property(GLOBAL APPEND PROPERTY NOVA_FUZZERS ${name})
endfunction()

# nova_add_bench(NAME SOURCES ... [DEPS ...]): a Google Benchmark program.
function(nova_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/bench)
  target_link_libraries(${name} PRIVATE nova_options ${ARG_DEPS} benchmark::benchmark)
endfunction()
