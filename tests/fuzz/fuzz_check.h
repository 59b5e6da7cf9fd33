// A check that stays on in every build: a violated invariant must reach
// libFuzzer as a crash, with the failed condition on stderr.
#pragma once

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                     \
  do {                                                                            \
    if (!(condition)) {                                                           \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                               \
    }                                                                             \
  } while (false)

// A float's bits and back, for checks that must tell NaN payloads and signed
// zeros apart.
inline std::uint32_t bits_of(float value) { return std::bit_cast<std::uint32_t>(value); }
inline float float_of(std::uint32_t bits) { return std::bit_cast<float>(bits); }
