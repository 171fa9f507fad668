# The compiler flags of the project's own targets: warnings and sanitizers.
# cmake/Targets.cmake applies them to each kind of target.

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

# A Release build is hardened as Debian builds its packages: checked string and
# memory functions, and a global offset table made read-only at start (relro,
# bindnow). The sanitizer and fuzz builds do without.
if(NOT OMBREL_SANITIZE AND NOT OMBREL_FUZZ)
  add_compile_definitions($<$<CONFIG:Release>:_FORTIFY_SOURCE=2>)
  add_link_options($<$<CONFIG:Release>:LINKER:-z,relro,-z,now>)
endif()
