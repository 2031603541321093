# Helpers shared by every folder: warnings, library targets and test suites.

function(project_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
  # GCC 12 reports std::optional<QString> moves as maybe-uninitialized at -O2,
  # a known false positive that would otherwise break the build.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wno-maybe-uninitialized)
  endif()
endfunction()

# add_project_library(name [STATIC] SOURCES ... LIBS ...)
# Every target sees the repository root, so includes read "orlo/data/TDataBlock.h".
function(add_project_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(ARG_SOURCES)
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    project_warnings(${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_LIBS})
  endif()
endfunction()

# add_test_suite(name GLOB pattern... LIBS ... [GUI] [LOCALE_TOO] [DATA_DIR dir]
#                [DEFINES NAME=value ...])
# One executable from the matching *_test.cpp files. GUI links a main that
# creates a QApplication (offscreen unless a platform is set). LOCALE_TOO runs
# every test a second time under a locale whose decimal separator is ",".
function(add_test_suite name)
  cmake_parse_arguments(ARG "GUI;LOCALE_TOO" "DATA_DIR" "GLOB;LIBS;DEFINES" ${ARGN})
  if(NOT BUILD_TESTING)
    return()
  endif()
  set(sources)
  foreach(pattern IN LISTS ARG_GLOB)
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${pattern})
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    return()
  endif()
  list(SORT sources)
  add_executable(${name} ${sources})
  if(ARG_GUI)
    set(main platform_test_main_gui)
  else()
    set(main platform_test_main_core)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${main} GTest::gtest GTest::gmock)
  project_warnings(${name})
  if(ARG_DEFINES)
    target_compile_definitions(${name} PRIVATE ${ARG_DEFINES})
  endif()
  if(ARG_DATA_DIR)
    target_compile_definitions(${name} PRIVATE TEST_DATA_DIR="${ARG_DATA_DIR}")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;LANG=C.UTF-8"
               LABELS ${name})
  if(ARG_LOCALE_TOO)
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      TEST_SUFFIX ".decimal_comma"
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=cs_CZ.UTF-8;LANG=cs_CZ.UTF-8"
                 LABELS ${name})
  endif()
endfunction()

# Adds every direct sub-folder of the current folder that has a CMakeLists.txt,
# in name order, except those listed in EXCEPT (added later by the caller).
function(add_child_folders)
  cmake_parse_arguments(ARG "" "" "EXCEPT" ${ARGN})
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(child IN_LIST ARG_EXCEPT)
      continue()
    endif()
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# add_benchmark(name SOURCES ... LIBS ...): a Google Benchmark executable bench_<name>.
function(add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(bench_${name} ${ARG_SOURCES})
  target_link_libraries(bench_${name} PRIVATE ${ARG_LIBS} benchmark::benchmark_main)
  project_warnings(bench_${name})
endfunction()

# add_fuzzer(name SOURCE file LIBS ... [CORPUS dir])
# With BUILD_FUZZERS under clang: a libFuzzer binary fuzz_<name>. Always: a replay
# runner fuzz_<name>_replay that feeds every file of the corpus folder to the same
# entry point, registered as a test so the fuzz targets keep building and their
# seeds keep passing.
function(add_fuzzer name)
  cmake_parse_arguments(ARG "" "SOURCE;CORPUS" "LIBS" ${ARGN})
  if(BUILD_FUZZERS AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    add_executable(fuzz_${name} ${ARG_SOURCE})
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(fuzz_${name} PRIVATE ${ARG_LIBS})
  endif()
  add_executable(fuzz_${name}_replay ${ARG_SOURCE} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
  target_link_libraries(fuzz_${name}_replay PRIVATE ${ARG_LIBS} Qt6::Core)
  project_warnings(fuzz_${name}_replay)
  if(BUILD_TESTING AND ARG_CORPUS)
    add_test(NAME fuzz_${name}_replay COMMAND fuzz_${name}_replay ${ARG_CORPUS})
  endif()
endfunction()
