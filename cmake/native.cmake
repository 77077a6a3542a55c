# Native Linux build: unit tests, fuzz targets, benchmarks and the registration of the
# end-to-end tests, which run the Windows binaries of the win64 build under Wine.
enable_testing()
target_sources(tessel_core PRIVATE ${CMAKE_SOURCE_DIR}/common/native/system_code_page.cpp)

if(TESSEL_SANITIZE OR TESSEL_FUZZ)
  set(TESSEL_SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_compile_options(tessel_core PUBLIC ${TESSEL_SAN_FLAGS})
  target_link_options(tessel_core PUBLIC ${TESSEL_SAN_FLAGS})
endif()

if(TESSEL_FUZZ)
  file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_*.cpp)
  set(TESSEL_FUZZ_SECONDS 30 CACHE STRING "Seconds each fuzz target runs in the test suite")
  foreach(src ${FUZZ_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE tessel_frontend_core tessel_core)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set(corpus ${CMAKE_BINARY_DIR}/corpus/${name})
    file(MAKE_DIRECTORY ${corpus})
    add_test(NAME ${name}
      COMMAND ${name} -max_total_time=${TESSEL_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=2048 ${corpus})
    set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 300)
  endforeach()
  return()
endif()

find_package(GTest REQUIRED)
include(GoogleTest)
file(GLOB UNIT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${UNIT_SOURCES})
target_include_directories(unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(unit_tests PRIVATE tessel_frontend_core tessel_core GTest::gtest GTest::gtest_main GTest::gmock)
gtest_discover_tests(unit_tests NO_PRETTY_VALUES PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60)

if(NOT TESSEL_SANITIZE)
  find_package(benchmark QUIET)
  if(benchmark_FOUND)
    file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/bench/*.cpp)
    if(BENCH_SOURCES)
      add_executable(core_bench ${BENCH_SOURCES})
      target_include_directories(core_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
      target_link_libraries(core_bench PRIVATE tessel_core benchmark::benchmark benchmark::benchmark_main)
    endif()
  endif()

  # End-to-end tests: each script in tests/e2e/ named test_*.sh is one test. They share one
  # Wine prefix and one wineserver per run, so they never run in parallel.
  set(TESSEL_WIN64_DIR ${CMAKE_SOURCE_DIR}/build/win64 CACHE PATH "Build folder of the win64 preset")
  file(GLOB E2E_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/test_*.sh)
  foreach(script ${E2E_SCRIPTS})
    get_filename_component(name ${script} NAME_WE)
    add_test(NAME e2e.${name} COMMAND bash ${script})
    set_tests_properties(e2e.${name} PROPERTIES
      LABELS e2e TIMEOUT 400 RESOURCE_LOCK wine
      ENVIRONMENT "TESSEL_WIN64_DIR=${TESSEL_WIN64_DIR};TESSEL_E2E_WORK=${CMAKE_BINARY_DIR}/e2e")
  endforeach()
endif()
