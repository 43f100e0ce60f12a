// Speed of the calendar: one recomputation of the calendar window (SeasonOf
// and the four pillars), one SetLunarDate computation, and a year of lunar
// dates. "Cold" runs forget the memo before every iteration, so they show
// what the first computation for a new moment costs; the others show the
// usual case of moments near the last ones.
#include <benchmark/benchmark.h>

#include "calendar/calendar.h"

namespace {

using calendar::TDateTime;

TDateTime Moment(int y, int mo, int d, int h, int mi) {
  return calendar::EncodeCivilDateTime({y, mo, d, h, mi, 0, 0});
}

// Moments spread over a year so that every season row is met.
TDateTime Spread(TDateTime start, benchmark::IterationCount i) {
  return start + static_cast<double>(i % 73) * 5.0;
}

void BM_CalendarWindow(benchmark::State& state) {
  const TDateTime start = Moment(2024, 1, 1, 10, 30);
  calendar::ClearCalendarMemo();
  benchmark::IterationCount i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(calendar::ComputePillars(Spread(start, i++), calendar::TimeSettings{}));
}
BENCHMARK(BM_CalendarWindow)->Unit(benchmark::kMicrosecond);

void BM_CalendarWindowCold(benchmark::State& state) {
  const TDateTime start = Moment(2024, 1, 1, 10, 30);
  benchmark::IterationCount i = 0;
  for (auto _ : state) {
    calendar::ClearCalendarMemo();
    benchmark::DoNotOptimize(calendar::ComputePillars(Spread(start, i++), calendar::TimeSettings{}));
  }
}
BENCHMARK(BM_CalendarWindowCold)->Unit(benchmark::kMicrosecond);

void BM_CalendarWindowNoMemo(benchmark::State& state) {
  const TDateTime start = Moment(2024, 1, 1, 10, 30);
  calendar::SetCalendarMemo(false);
  benchmark::IterationCount i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(calendar::ComputePillars(Spread(start, i++), calendar::TimeSettings{}));
  calendar::SetCalendarMemo(true);
}
BENCHMARK(BM_CalendarWindowNoMemo)->Unit(benchmark::kMicrosecond);

void BM_SetLunarDate(benchmark::State& state) {
  const TDateTime start = Moment(2023, 1, 1, 10, 30);
  calendar::ClearCalendarMemo();
  benchmark::IterationCount i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(calendar::ComputeLunarSelection(Spread(start, i++), calendar::TimeSettings{}));
}
BENCHMARK(BM_SetLunarDate)->Unit(benchmark::kMicrosecond);

void BM_SetLunarDateCold(benchmark::State& state) {
  const TDateTime start = Moment(2023, 1, 1, 10, 30);
  benchmark::IterationCount i = 0;
  for (auto _ : state) {
    calendar::ClearCalendarMemo();
    benchmark::DoNotOptimize(calendar::ComputeLunarSelection(Spread(start, i++), calendar::TimeSettings{}));
  }
}
BENCHMARK(BM_SetLunarDateCold)->Unit(benchmark::kMicrosecond);

void BM_SetLunarDateNoMemo(benchmark::State& state) {
  const TDateTime start = Moment(2023, 1, 1, 10, 30);
  calendar::SetCalendarMemo(false);
  benchmark::IterationCount i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(calendar::ComputeLunarSelection(Spread(start, i++), calendar::TimeSettings{}));
  calendar::SetCalendarMemo(true);
}
BENCHMARK(BM_SetLunarDateNoMemo)->Unit(benchmark::kMicrosecond);

// One lunar date per day of a year (what `kalynth-calc lunar --from --to` does).
void BM_LunarYearOfDays(benchmark::State& state) {
  const TDateTime start = Moment(2023, 1, 1, 12, 0);
  for (auto _ : state) {
    calendar::ClearCalendarMemo();
    for (int d = 0; d < 365; ++d)
      benchmark::DoNotOptimize(calendar::ComputeLunarSelection(start + d, calendar::TimeSettings{}));
  }
}
BENCHMARK(BM_LunarYearOfDays)->Unit(benchmark::kMicrosecond);

void BM_SolarTermInstant(benchmark::State& state) {
  calendar::SetCalendarMemo(false);
  int k = 0;
  for (auto _ : state) benchmark::DoNotOptimize(calendar::SolarTermInstant(2024, k++ % 24));
  calendar::SetCalendarMemo(true);
}
BENCHMARK(BM_SolarTermInstant)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
