#pragma once

// The searches of the parser and of the log text compare 16 bytes at a time
// with the SSE2 instructions wherever the compiler offers them. A build with
// OMBREL_PORTABLE_SEARCH (the CMake option of that name) takes their portable
// code instead, the code every other processor runs, so that it is built and
// tested on this one too.
#if defined(__SSE2__) && !defined(OMBREL_PORTABLE_SEARCH)
#define OMBREL_SSE2 1
#include <emmintrin.h>
#else
#define OMBREL_SSE2 0
#endif
