// The program's yarrow odds (core/stats.h, worked out from the division
// rule) against the procedure itself: 1,000,000 casts (six lines each) with
// the program's generator, the clock number a random reading of the hour
// for every division. The counters give the simulated shares, the exact
// odds, the largest difference and the chi-square of the simulation
// against the exact odds with its p-value; "exact" times the working-out.
#include <benchmark/benchmark.h>

#include <array>
#include <random>
#include <string>

#include "core/stats.h"
#include "core/yarrow.h"

namespace {

void BM_YarrowOddsSimulated(benchmark::State& state) {
  const core::LineOdds exact = core::ProgramYarrowOdds();
  core::LineCounts counts{};
  for (auto _ : state) {
    counts = {};
    core::RandomGenerator rng;  // a freshly started program
    std::mt19937 pick(20261211);
    std::uniform_int_distribution<int> minute(0, 59), second(0, 59);
    int clock = 0;
    const core::ClockNumber reading = [&clock] { return clock; };
    auto next = [&] { clock = core::ClockNumberOf(minute(pick), second(pick)); };
    constexpr int Casts = 1000000;
    for (int c = 0; c < Casts; ++c)
      for (int line = 0; line < 6; ++line) {
        int t = 0;
        next();
        const int d1 = core::Step_1(rng, reading, t);
        next();
        const int d2 = core::Step_2(rng, reading, t);
        next();
        const int d3 = core::Step_3(rng, reading, t);
        ++counts[static_cast<std::size_t>(core::LineValueOfCode(std::to_string(d1 * 100 + d2 * 10 + d3)) -
                                          6)];
      }
    benchmark::DoNotOptimize(counts);
  }
  const double total = static_cast<double>(counts[0] + counts[1] + counts[2] + counts[3]);
  double largest = 0;
  for (std::size_t v = 0; v < 4; ++v) {
    const double share = static_cast<double>(counts[v]) / total;
    state.counters["sim" + std::to_string(v + 6)] = share;
    state.counters["exact" + std::to_string(v + 6)] = exact[v];
    largest = std::max(largest, std::abs(share - exact[v]));
  }
  const double chi2 = core::ChiSquare(counts, exact);
  state.counters["max_diff"] = largest;
  state.counters["chi2"] = chi2;
  state.counters["p"] = core::ChiSquarePValue(chi2, 3);
}
BENCHMARK(BM_YarrowOddsSimulated)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ProgramYarrowOddsExact(benchmark::State& state) {
  std::vector<int> clocks;
  for (int m = 0; m < 60; ++m)
    for (int s = 0; s < 60; ++s) clocks.push_back(m * 100 + s);
  for (auto _ : state) benchmark::DoNotOptimize(core::YarrowOdds(clocks));
}
BENCHMARK(BM_ProgramYarrowOddsExact)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
