// Speed of the astronomy kernel: the Sun's apparent position (fast series
// evaluation and the plain term-by-term reference), Moon phase instants and
// the next-phase search. Moments step through 1900-2100 so that no cache or
// branch predictor sees the same argument twice in a row.

#include <benchmark/benchmark.h>

#include "astro/astro.h"

namespace {

using namespace astro;

constexpr TDateTime From = 1.0;        // 1899-12-31
constexpr TDateTime Span = 73048.0;    // to 2099-12-31
constexpr TDateTime Step = 37.123456;  // days, not a multiple of anything

TDateTime NextMoment(TDateTime t) {
  t += Step;
  return t >= From + Span ? t - Span : t;
}

void BM_SunCoordinates(benchmark::State& state) {
  TDateTime t = From;
  for (auto _ : state) {
    benchmark::DoNotOptimize(SunCoordinates(t));
    t = NextMoment(t);
  }
}
BENCHMARK(BM_SunCoordinates)->Unit(benchmark::kMicrosecond);

void BM_SunCoordinatesReference(benchmark::State& state) {
  TDateTime t = From;
  for (auto _ : state) {
    benchmark::DoNotOptimize(SunCoordinatesReference(t));
    t = NextMoment(t);
  }
}
BENCHMARK(BM_SunCoordinatesReference)->Unit(benchmark::kMicrosecond);

void BM_PhaseInstant(benchmark::State& state) {
  TDateTime t = From;
  for (auto _ : state) {
    benchmark::DoNotOptimize(PhaseInstant(mpNewMoon, t));
    t = NextMoment(t);
  }
}
BENCHMARK(BM_PhaseInstant)->Unit(benchmark::kMicrosecond);

void BM_NextPhase(benchmark::State& state) {
  TDateTime t = From;
  for (auto _ : state) {
    benchmark::DoNotOptimize(NextPhase(mpNewMoon, t));
    t = NextMoment(t);
  }
}
BENCHMARK(BM_NextPhase)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
