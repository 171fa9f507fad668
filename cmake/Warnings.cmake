# Warnings on the project's own targets; errors only where the project asks for
# them (scripts/test.sh turns OMBREL_WERROR on), never in a user's or a
# packager's build.
function(ombrel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(OMBREL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  # When optimising, GCC 12 reports false overlaps in std::string concatenation
  # (its bug 105651) and takes engaged std::optional values for uninitialised
  # ones (its bug 80635); neither says anything about our code.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict -Wno-maybe-uninitialized)
  endif()
endfunction()

# Address and undefined-behaviour sanitizers for the test build and the fuzz
# build; the fuzz build also gives every library the fuzzer's coverage
# instrumentation, so that the fuzz target links the same libraries.
function(ombrel_sanitize target)
  if(OMBREL_SANITIZE OR OMBREL_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(OMBREL_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()

# A library of one folder of src/: C++20, warnings, sanitizers, includes rooted at src/.
function(ombrel_library target)
  add_library(${target} STATIC ${ARGN})
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  ombrel_warnings(${target})
  ombrel_sanitize(${target})
endfunction()

# A GoogleTest executable registered with CTest.
function(ombrel_test target)
  add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE GTest::gtest_main GTest::gmock)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  ombrel_warnings(${target})
  ombrel_sanitize(${target})
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "OMBREL_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
