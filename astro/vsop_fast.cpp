// Fast evaluation of the VSOP87D Earth series; see vsop_fast.h.

#include "astro/vsop_fast.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "astro/vsop87d_earth.h"

namespace astro::vsop87d {

namespace {

// pi in three parts for the reduction x - n*pi: the first two have 33
// significant bits, so n*Pi1 and n*Pi2 are exact for |n| < 2^20, that is for
// arguments up to 3.3e6 rad (|tau| < 10 with the largest frequency).
constexpr double Pi1 = 3.14159265346825122833e+00;
constexpr double Pi2 = 1.21542010126079319532e-10;
constexpr double Pi3 = 4.04453249759190126308e-21;
constexpr double InvPi = 0.318309886183790671538;
// Adding 1.5*2^52 rounds to an integer (ties to even) that then sits in the
// low bits of the mantissa; valid for |x/pi| < 2^51.
constexpr double RoundingShift = 6755399441055744.0;

// cos r = sum (-1)^k r^2k / (2k)!, k = 0..10: truncation below 2e-17 for
// |r| <= pi/2.
constexpr double CosCoefficients[] = {
    1.0,
    -1.0 / 2,
    1.0 / 24,
    -1.0 / 720,
    1.0 / 40320,
    -1.0 / 3628800,
    1.0 / 479001600,
    -1.0 / 87178291200.0,
    1.0 / 20922789888000.0,
    -1.0 / 6402373705728000.0,
    1.0 / 2432902008176640000.0,
};

// One series as parallel arrays, padded with zero-amplitude terms to a
// multiple of Lanes; terms with F = 0 are folded into `constant`.
constexpr std::size_t Lanes = 8;

struct SoaSeries {
  std::vector<double> A, P, F;  // A in 1e-8 rad or 1e-8 AU
  long double constant = 0;     // sum of A*cos(P) of the terms without frequency
};

struct Tables {
  std::array<std::array<SoaSeries, MaxOrder + 1>, 3> series;  // [slot][order]
};

SoaSeries Build(const TVSOPSeries& s) {
  SoaSeries out;
  for (std::size_t i = 0; i < s.count; ++i) {
    const TVSOPTerm& t = s.terms[i];
    if (t.F == 0) {
      out.constant += t.A * std::cos(t.P);
      continue;
    }
    out.A.push_back(static_cast<double>(t.A));
    out.P.push_back(static_cast<double>(t.P));
    out.F.push_back(static_cast<double>(t.F));
  }
  while (out.A.size() % Lanes != 0) {
    out.A.push_back(0);
    out.P.push_back(0);
    out.F.push_back(0);
  }
  return out;
}

const Tables& TheTables() {
  static const Tables tables = [] {
    Tables t;
    for (int k = 0; k <= MaxOrder; ++k) {
      t.series[static_cast<int>(TVSOP::Slot::Longitude)][k] = Build(Longitude[k]);
      t.series[static_cast<int>(TVSOP::Slot::Latitude)][k] = Build(Latitude[k]);
      t.series[static_cast<int>(TVSOP::Slot::Radius)][k] = Build(Radius[k]);
    }
    return t;
  }();
  return tables;
}

// out[i] = A[i] * cos(P[i] + F[i]*tau), i < n. Straight-line code per term
// (no calls, no branches) so that the compiler can vectorise the loop.
[[gnu::always_inline]] inline void TermValues(const double* __restrict A, const double* __restrict P,
                                              const double* __restrict F, double tau, double* __restrict out,
                                              std::size_t n) {
#pragma omp simd
  for (std::size_t i = 0; i < n; ++i) {
    const double x = P[i] + F[i] * tau;
    const double shifted = x * InvPi + RoundingShift;
    const double q = shifted - RoundingShift;  // nearest integer to x/pi
    const double r = ((x - q * Pi1) - q * Pi2) - q * Pi3;
    const double r2 = r * r;
    double c = CosCoefficients[10];
    c = c * r2 + CosCoefficients[9];
    c = c * r2 + CosCoefficients[8];
    c = c * r2 + CosCoefficients[7];
    c = c * r2 + CosCoefficients[6];
    c = c * r2 + CosCoefficients[5];
    c = c * r2 + CosCoefficients[4];
    c = c * r2 + CosCoefficients[3];
    c = c * r2 + CosCoefficients[2];
    c = c * r2 + CosCoefficients[1];
    c = c * r2 + CosCoefficients[0];
    // cos x = (-1)^q cos r: move the parity bit of q into the sign bit.
    const std::uint64_t sign = std::bit_cast<std::uint64_t>(shifted) << 63;
    out[i] = A[i] * std::bit_cast<double>(std::bit_cast<std::uint64_t>(c) ^ sign);
  }
}

// TermValues with one clone per instruction set, chosen at load time, on
// x86-64 (the clones are an x86 feature of the compilers). The file is
// compiled without contraction into fused multiply-adds (see CMakeLists.txt),
// so every clone gives the same bits as the baseline code. Elsewhere the
// loop is compiled once for the target's own vector unit.
#if defined(__x86_64__) && !defined(KALYNTH_NO_TARGET_CLONES)
__attribute__((target_clones("avx512f", "avx2", "default")))
#endif
void EvaluateTerms(const double* __restrict A, const double* __restrict P, const double* __restrict F,
                   double tau, double* __restrict out, std::size_t n) {
  TermValues(A, P, F, tau, out, n);
}

// TermValues on the baseline instruction set only (on x86-64 without the
// wider clones).
void EvaluateTermsBaseline(const double* __restrict A, const double* __restrict P, const double* __restrict F,
                           double tau, double* __restrict out, std::size_t n) {
  TermValues(A, P, F, tau, out, n);
}

using TermEvaluator = void (*)(const double*, const double*, const double*, double, double*, std::size_t);

long double SumSeries(TermEvaluator evaluate, const SoaSeries& s, double tau) {
  constexpr std::size_t Chunk = 128;
  alignas(64) double values[Chunk];
  long double sum[4] = {s.constant, 0, 0, 0};  // four chains hide the x87 add latency
  for (std::size_t begin = 0; begin < s.A.size(); begin += Chunk) {
    const std::size_t n = std::min(Chunk, s.A.size() - begin);
    evaluate(s.A.data() + begin, s.P.data() + begin, s.F.data() + begin, tau, values, n);
    for (std::size_t i = 0; i < n; i += 4) {
      sum[0] += values[i];
      sum[1] += values[i + 1];
      sum[2] += values[i + 2];
      sum[3] += values[i + 3];
    }
  }
  return (sum[0] + sum[1]) + (sum[2] + sum[3]);
}

Extended SeriesSum(TermEvaluator evaluate, TVSOP::Slot slot, Extended tau) {
  const auto& orders = TheTables().series[static_cast<int>(slot)];
  const double tauD = static_cast<double>(tau);
  Extended S[MaxOrder + 1];
  for (int k = 0; k <= MaxOrder; ++k) S[k] = SumSeries(evaluate, orders[k], tauD);
  return (((((S[5] * tau + S[4]) * tau + S[3]) * tau + S[2]) * tau + S[1]) * tau + S[0]) * 1e-8L;
}

}  // namespace

Extended FastSeriesSum(TVSOP::Slot slot, Extended tau) {
  return SeriesSum(EvaluateTerms, slot, tau);
}

Extended BaselineSeriesSum(TVSOP::Slot slot, Extended tau) {
  return SeriesSum(EvaluateTermsBaseline, slot, tau);
}

}  // namespace astro::vsop87d
