# The kinds of target the project builds, each with the flags of
# BuildFlags.cmake.

# A library of one folder of src/: C++20, warnings, sanitizers, includes rooted at src/.
function(ombrel_library target)
  add_library(${target} STATIC ${ARGN})
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  ombrel_warnings(${target})
  ombrel_sanitize(${target})
endfunction()

# A program of the project (a command, a benchmark, a fixture): warnings and
# sanitizers, linked with the libraries that follow LIBRARIES.
function(ombrel_program target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "LIBRARIES")
  add_executable(${target} ${arg_UNPARSED_ARGUMENTS})
  target_link_libraries(${target} PRIVATE ${arg_LIBRARIES})
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

# Names the Qt 6 components among COMPONENT PACKAGE pairs that find_package
# did not find, each with the Debian package that holds it, in `out`
# (empty when every one was found).
function(ombrel_missing_qt out)
  set(missing "")
  set(pairs ${ARGN})
  while(pairs)
    list(POP_FRONT pairs component package)
    if(NOT Qt6${component}_FOUND)
      list(APPEND missing "Qt 6 ${component} (Debian package ${package})")
    endif()
  endwhile()
  list(JOIN missing ", " text)
  set(${out} "${text}" PARENT_SCOPE)
endfunction()
