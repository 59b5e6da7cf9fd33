// The lane kernel compiled for the x86-64 baseline (SSE2, two leads at once)
// and for wider instruction sets (AVX2: four, AVX-512: eight), chosen at run
// time by what the processor has. The operations are the same in every
// version (no fused multiply-add: contraction is off for the whole build), so
// the choice changes the speed and never a bit. Each version is the same body
// compiled in its own namespace under its own target; the headers come first,
// outside every target region, so that nothing they define is compiled for a
// wider instruction set than the baseline.
#include "lane_kernels.h"

#include "centred_plan.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#define TELMOR_X86_LANES 1
#endif
// Wider vectors, but not on Windows, where the compiler cannot align the
// stack for them, nor with clang (the fuzz build), which does not take GCC's
// target pragmas: the baseline lanes give the same bits.
#if defined(TELMOR_X86_LANES) && !defined(_WIN32) && !defined(__clang__)
#define TELMOR_WIDE_LANES 1
#endif

namespace telmor {

template <class Mask>
inline bool mask_is_zero(const Mask& mask) {
  std::uint64_t words[sizeof mask / 8];
  std::memcpy(words, &mask, sizeof mask);
  std::uint64_t any = 0;
  for (const std::uint64_t w : words) any |= w;
  return any == 0;
}

namespace baseline_lanes {
#ifdef TELMOR_X86_LANES
constexpr int kLanes = 2;
constexpr int kAtOnce = 2;
typedef double Doubles __attribute__((vector_size(16)));
typedef std::int64_t Mask __attribute__((vector_size(16)));
inline Doubles to_single(Doubles d) { return _mm_cvtps_pd(_mm_cvtpd_ps(d)); }
#else
constexpr int kLanes = 2;
constexpr int kAtOnce = 2;
typedef double Doubles __attribute__((vector_size(16)));
typedef std::int64_t Mask __attribute__((vector_size(16)));
typedef float Floats __attribute__((vector_size(8)));
inline Doubles to_single(Doubles d) {
  return __builtin_convertvector(__builtin_convertvector(d, Floats), Doubles);
}
#endif
inline bool is_zero(Mask m) { return mask_is_zero(m); }
#include "lane_kernel_body.h"
#include "centred_kernel_body.h"
}  // namespace baseline_lanes

#ifdef TELMOR_WIDE_LANES
#pragma GCC push_options
#pragma GCC target("avx2")
namespace avx2_lanes {
constexpr int kLanes = 4;
constexpr int kAtOnce = 2;
typedef double Doubles __attribute__((vector_size(32)));
typedef std::int64_t Mask __attribute__((vector_size(32)));
inline Doubles to_single(Doubles d) { return _mm256_cvtps_pd(_mm256_cvtpd_ps(d)); }
inline bool is_zero(Mask m) { return _mm256_testz_si256(__m256i(m), __m256i(m)) != 0; }
#include "lane_kernel_body.h"
#include "centred_kernel_body.h"
}  // namespace avx2_lanes
#pragma GCC pop_options

#pragma GCC push_options
#pragma GCC target("avx512f")
namespace avx512_lanes {
constexpr int kLanes = 8;
constexpr int kAtOnce = 4;
typedef double Doubles __attribute__((vector_size(64)));
typedef std::int64_t Mask __attribute__((vector_size(64)));
// The masked forms with every lane selected, so that no lane is left undefined.
inline Doubles to_single(Doubles d) {
  return _mm512_mask_cvtps_pd(_mm512_setzero_pd(), 0xFF,
                              _mm512_mask_cvtpd_ps(_mm256_setzero_ps(), 0xFF, d));
}
inline bool is_zero(Mask m) { return _mm512_test_epi64_mask(__m512i(m), __m512i(m)) == 0; }
#include "lane_kernel_body.h"
#include "centred_kernel_body.h"
}  // namespace avx512_lanes
#pragma GCC pop_options
#endif

std::string_view isa_name(PreparationIsa isa) {
  switch (isa) {
    case PreparationIsa::avx2:
      return "avx2";
    case PreparationIsa::avx512:
      return "avx512";
    case PreparationIsa::baseline:
      break;
  }
  return "baseline";
}

std::vector<PreparationIsa> available_isas() {
  static const std::vector<PreparationIsa> isas = [] {
    std::vector<PreparationIsa> found = {PreparationIsa::baseline};
#ifdef TELMOR_WIDE_LANES
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) found.push_back(PreparationIsa::avx2);
    if (__builtin_cpu_supports("avx512f")) found.push_back(PreparationIsa::avx512);
#endif
    return found;
  }();
  return isas;
}

LaneKernel lane_kernel(PreparationIsa isa) {
#ifdef TELMOR_WIDE_LANES
  // An instruction set the processor lacks falls back to the widest it has.
  PreparationIsa usable = PreparationIsa::baseline;
  for (const PreparationIsa have : available_isas()) {
    if (have <= isa) usable = have;
  }
  if (usable == PreparationIsa::avx512) return {avx512_lanes::kLanes, avx512_lanes::fit_block};
  if (usable == PreparationIsa::avx2) return {avx2_lanes::kLanes, avx2_lanes::fit_block};
#else
  (void)isa;  // the baseline lanes are all there are
#endif
  return {baseline_lanes::kLanes, baseline_lanes::fit_block};
}

CentredKernel centred_kernel(PreparationIsa isa) {
#ifdef TELMOR_WIDE_LANES
  PreparationIsa usable = PreparationIsa::baseline;
  for (const PreparationIsa have : available_isas()) {
    if (have <= isa) usable = have;
  }
  if (usable == PreparationIsa::avx512) return {avx512_lanes::centred_run};
  if (usable == PreparationIsa::avx2) return {avx2_lanes::centred_run};
#else
  (void)isa;
#endif
  return {baseline_lanes::centred_run};
}

}  // namespace telmor
