# Warnings as errors on the project's own targets only.
function(ombrel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  # GCC 12 reports false overlaps in std::string concatenation when optimising
  # (its bug 105651); the warning says nothing about our code there.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()

# Address and undefined-behaviour sanitizers for the test build.
function(ombrel_sanitize target)
  if(OMBREL_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
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
