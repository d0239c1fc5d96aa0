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
  # NOVA_TOOL and NOVA_PLAY (the built tools) come from `make test`'s environment; a list-valued
  # ENVIRONMENT property does not survive test discovery.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
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

# Libraries every folder may link; found once so that any folder can name them.
pkg_check_modules(NOVA_SDL2 REQUIRED IMPORTED_TARGET GLOBAL sdl2)
pkg_check_modules(NOVA_FREETYPE REQUIRED IMPORTED_TARGET GLOBAL freetype2)
pkg_check_modules(NOVA_FONTCONFIG REQUIRED IMPORTED_TARGET GLOBAL fontconfig)
pkg_check_modules(NOVA_LIBPNG REQUIRED IMPORTED_TARGET GLOBAL libpng)
pkg_check_modules(NOVA_LIBJPEG REQUIRED IMPORTED_TARGET GLOBAL libjpeg)
pkg_check_modules(NOVA_ZLIB REQUIRED IMPORTED_TARGET GLOBAL zlib)
pkg_check_modules(NOVA_LIBDEFLATE REQUIRED IMPORTED_TARGET GLOBAL libdeflate)
pkg_check_modules(NOVA_HWY REQUIRED IMPORTED_TARGET GLOBAL libhwy)
# Sound, music and video (src/media, src/platform), the network fetch, speech, benchmark peers.
pkg_check_modules(NOVA_VORBISFILE REQUIRED IMPORTED_TARGET GLOBAL vorbisfile)
pkg_check_modules(NOVA_VORBISENC REQUIRED IMPORTED_TARGET GLOBAL vorbisenc)
pkg_check_modules(NOVA_SNDFILE REQUIRED IMPORTED_TARGET GLOBAL sndfile)
pkg_check_modules(NOVA_FLUIDSYNTH REQUIRED IMPORTED_TARGET GLOBAL fluidsynth)
pkg_check_modules(NOVA_ALSA REQUIRED IMPORTED_TARGET GLOBAL alsa)
pkg_check_modules(NOVA_FFMPEG REQUIRED IMPORTED_TARGET GLOBAL
  libavformat libavcodec libavutil libswscale libswresample)
pkg_check_modules(NOVA_CURL REQUIRED IMPORTED_TARGET GLOBAL libcurl)
pkg_check_modules(NOVA_SPEECHD REQUIRED IMPORTED_TARGET GLOBAL speech-dispatcher)
pkg_check_modules(NOVA_SQLITE REQUIRED IMPORTED_TARGET GLOBAL sqlite3)

# Keeps only the names that are targets already, so a folder may name subsystems that have no
# sources yet.
function(nova_existing_targets out)
  set(result "")
  foreach(t IN LISTS ARGN)
    if(TARGET ${t})
      list(APPEND result ${t})
    endif()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# nova_folder_library(FOLDER DEPS ...): nova_<FOLDER> from every .cpp of src/<FOLDER>
# (sub-folders included); nothing while the folder has no sources.
function(nova_folder_library folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  nova_existing_targets(deps ${ARG_DEPS})
  nova_add_library(nova_${folder} SOURCES ${sources} DEPS ${deps})
endfunction()

# nova_folder_tests(FOLDER DEPS ...): one test program <FOLDER>_tests from tests/<FOLDER>/*.cpp.
function(nova_folder_tests folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  nova_existing_targets(deps ${ARG_DEPS})
  nova_add_test(${folder}_tests SOURCES ${sources} DEPS ${deps})
endfunction()

# nova_folder_programs(KIND DEPS ...): each fuzz/<folder>/fuzz_*.cpp or bench/<folder>/bench_*.cpp
# becomes a program of its own name.
function(nova_folder_programs kind)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${kind}_*.cpp)
  nova_existing_targets(deps ${ARG_DEPS})
  foreach(src IN LISTS sources)
    get_filename_component(name ${src} NAME_WE)
    if(kind STREQUAL "fuzz")
      nova_add_fuzzer(${name} SOURCES ${src} DEPS ${deps})
    else()
      nova_add_bench(${name} SOURCES ${src} DEPS ${deps})
    endif()
  endforeach()
endfunction()
