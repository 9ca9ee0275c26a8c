# Targets are made from folders: adding a .cpp file to a folder adds it to the build.

# Every test runs headless: software GL without a display, sound discarded.
set(VELVET_TEST_ENVIRONMENT "SDL_VIDEODRIVER=offscreen;SDL_AUDIODRIVER=dummy;LIBGL_ALWAYS_SOFTWARE=1")

# velvet_library(NAME DIR... [EXCLUDE FILE...]): a static library of every .cpp under DIRs.
function(velvet_library name)
  cmake_parse_arguments(ARG "" "" "EXCLUDE" ${ARGN})
  set(sources "")
  foreach(dir IN LISTS ARG_UNPARSED_ARGUMENTS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${PROJECT_SOURCE_DIR}/${ex})
  endforeach()
  add_library(${name} STATIC ${PROJECT_SOURCE_DIR}/cmake/empty.cpp ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${VELVET_WARNINGS})
  target_compile_definitions(${name} PUBLIC VELVET_VERSION="${PROJECT_VERSION}")
endfunction()

# Every folder tools/NAME/ is one program named NAME.
function(velvet_tools)
  file(GLOB entries CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/*)
  foreach(entry IN LISTS entries)
    if(IS_DIRECTORY ${entry})
      get_filename_component(tool ${entry} NAME)
      file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${entry}/*.cpp)
      if(sources)
        add_executable(${tool} ${sources})
        target_compile_options(${tool} PRIVATE ${VELVET_WARNINGS})
        target_link_libraries(${tool} PRIVATE velvet_demo)
        if(EXISTS ${entry}/extra.cmake)
          include(${entry}/extra.cmake)
        endif()
      endif()
    endif()
  endforeach()
endfunction()

# tests/support/ is a helper library; every other folder tests/NAME/ is one GoogleTest
# program test_NAME whose cases CTest runs one by one, headless.
function(velvet_tests)
  file(GLOB_RECURSE support CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/support/*.cpp)
  add_library(velvet_test_support STATIC ${PROJECT_SOURCE_DIR}/cmake/empty.cpp ${support})
  target_link_libraries(velvet_test_support PUBLIC velvet_demo GTest::gtest GTest::gmock)
  target_compile_definitions(velvet_test_support PUBLIC
    VELVET_SOURCE_DIR="${PROJECT_SOURCE_DIR}" VELVET_BUILD_DIR="${PROJECT_BINARY_DIR}")
  target_compile_options(velvet_test_support PRIVATE ${VELVET_WARNINGS})

  set(programs velvet-orbit)
  foreach(t qztool velvet-render datagen)
    if(TARGET ${t})
      list(APPEND programs ${t})
    endif()
  endforeach()

  file(GLOB entries CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/*)
  foreach(entry IN LISTS entries)
    get_filename_component(name ${entry} NAME)
    if(IS_DIRECTORY ${entry} AND NOT name STREQUAL "support" AND NOT name STREQUAL "data")
      file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${entry}/*.cpp)
      if(sources)
        add_executable(test_${name} ${sources})
        target_compile_options(test_${name} PRIVATE ${VELVET_WARNINGS})
        target_link_libraries(test_${name} PRIVATE velvet_test_support GTest::gtest_main)
        add_dependencies(test_${name} ${programs})
        gtest_discover_tests(test_${name}
          WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
          DISCOVERY_TIMEOUT 120
          PROPERTIES TIMEOUT 300)
        # The environment is set from a file CTest reads after the discovered tests, as
        # one plain list: through gtest_discover_tests' PROPERTIES a list value is split
        # by every layer it passes and only its first variable would arrive.
        set(environment_file ${PROJECT_BINARY_DIR}/test_${name}_environment.cmake)
        file(WRITE ${environment_file}
          "if(test_${name}_TESTS)\n"
          "  set_tests_properties(\${test_${name}_TESTS} PROPERTIES ENVIRONMENT \"${VELVET_TEST_ENVIRONMENT}\")\n"
          "endif()\n")
        set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${environment_file})
      endif()
    endif()
  endforeach()
endfunction()

# Every bench/NAME.cpp is one Google Benchmark program bench_NAME.
function(velvet_benchmarks)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/*.cpp)
  foreach(src IN LISTS sources)
    get_filename_component(name ${src} NAME_WE)
    add_executable(bench_${name} ${src})
    target_compile_options(bench_${name} PRIVATE ${VELVET_WARNINGS})
    target_link_libraries(bench_${name} PRIVATE velvet_demo benchmark::benchmark)
    target_compile_definitions(bench_${name} PRIVATE
      VELVET_SOURCE_DIR="${PROJECT_SOURCE_DIR}" VELVET_BUILD_DIR="${PROJECT_BINARY_DIR}")
  endforeach()
endfunction()

# The fuzz targets: every fuzz/NAME.cpp but the seed writers (fuzz/make_*.cpp).
function(velvet_fuzz_target_sources out)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/make_[^/]*\\.cpp$")
  set(${out} ${sources} PARENT_SCOPE)
endfunction()

# Every fuzz target is one libFuzzer program fuzz_NAME (clang only); every
# fuzz/make_NAME.cpp is a plain program make_NAME that writes seed inputs. The model
# seeds are built like the geometry tests' models.
function(velvet_fuzzers)
  velvet_fuzz_target_sources(sources)
  foreach(src IN LISTS sources)
    get_filename_component(name ${src} NAME_WE)
    add_executable(fuzz_${name} ${src})
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(fuzz_${name} PRIVATE velvet_demo)
  endforeach()
  add_executable(make_model_seeds ${PROJECT_SOURCE_DIR}/fuzz/make_model_seeds.cpp
    ${PROJECT_SOURCE_DIR}/tests/geometry/TestModels.cpp)
  target_link_libraries(make_model_seeds PRIVATE velvet_demo)
endfunction()

# The regression corpus of every fuzz target (fuzz/corpus/NAME/) replayed by the test
# suite through the target's own entry point, with any compiler: replay_NAME is the
# target with a plain main instead of libFuzzer's.
function(velvet_fuzz_replays)
  velvet_fuzz_target_sources(sources)
  foreach(src IN LISTS sources)
    get_filename_component(name ${src} NAME_WE)
    add_executable(replay_${name} ${src} ${PROJECT_SOURCE_DIR}/fuzz/replay/ReplayCorpus.cpp)
    target_compile_options(replay_${name} PRIVATE ${VELVET_WARNINGS})
    target_link_libraries(replay_${name} PRIVATE velvet_demo)
    add_test(NAME fuzz_corpus.${name} COMMAND replay_${name} ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
    set_tests_properties(fuzz_corpus.${name} PROPERTIES TIMEOUT 120 ENVIRONMENT "${VELVET_TEST_ENVIRONMENT}")
  endforeach()
endfunction()
