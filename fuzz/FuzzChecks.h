#pragma once

#include <cstdio>
#include <cstdlib>

// A property of the program that an input broke: stop where libFuzzer sees it as a crash and
// the replay as a failed test.
#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)
