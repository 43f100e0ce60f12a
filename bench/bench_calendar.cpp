// Speed of the calendar: one recomputation of the calendar window (SeasonOf
// and the four pillars), one SetLunarDate computation, and a year of lunar
// dates. "Cold" runs forget the memo before every iteration, so they show
// what the first computation for a new moment costs; the others show the
// usual case of moments near the last ones.
#include <benchmark/benchmark.h>

#include "calendar/calendar.h"
#include "calendar/lunar_range.h"

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
    benchmark::DoNotOptimize(calendar::LunarDayOf(Spread(start, i++), calendar::TimeSettings{}));
}
BENCHMARK(BM_SetLunarDate)->Unit(benchmark::kMicrosecond);

void BM_SetLunarDateCold(benchmark::State& state) {
  const TDateTime start = Moment(2023, 1, 1, 10, 30);
  benchmark::IterationCount i = 0;
  for (auto _ : state) {
    calendar::ClearCalendarMemo();
    benchmark::DoNotOptimize(calendar::LunarDayOf(Spread(start, i++), calendar::TimeSettings{}));
  }
}
BENCHMARK(BM_SetLunarDateCold)->Unit(benchmark::kMicrosecond);

void BM_SetLunarDateNoMemo(benchmark::State& state) {
  const TDateTime start = Moment(2023, 1, 1, 10, 30);
  calendar::SetCalendarMemo(false);
  benchmark::IterationCount i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(calendar::LunarDayOf(Spread(start, i++), calendar::TimeSettings{}));
  calendar::SetCalendarMemo(true);
}
BENCHMARK(BM_SetLunarDateNoMemo)->Unit(benchmark::kMicrosecond);

// One lunar date per day of a year (what `kalynth-calc lunar --from --to` does).
void BM_LunarYearOfDays(benchmark::State& state) {
  const TDateTime start = Moment(2023, 1, 1, 12, 0);
  for (auto _ : state) {
    calendar::ClearCalendarMemo();
    for (int d = 0; d < 365; ++d)
      benchmark::DoNotOptimize(calendar::LunarDayOf(start + d, calendar::TimeSettings{}));
  }
}
BENCHMARK(BM_LunarYearOfDays)->Unit(benchmark::kMicrosecond);

// The listing's two ways through consecutive days, the memo forgotten
// before each pass: each day alone (LunarDayOf), and the walk that keeps
// the year and the lunation between days (LunarDayWalk). A year of days,
// and every day of 1901-2100 (what `kalynth-calc lunar` computes for that
// range, without the output).
void LunarDaysAlone(benchmark::State& state, TDateTime start, int days) {
  for (auto _ : state) {
    calendar::ClearCalendarMemo();
    for (int d = 0; d < days; ++d)
      benchmark::DoNotOptimize(calendar::LunarDayOf(start + d, calendar::TimeSettings{}));
  }
  state.SetItemsProcessed(state.iterations() * days);
}

void LunarDaysWalk(benchmark::State& state, TDateTime start, int days) {
  for (auto _ : state) {
    calendar::ClearCalendarMemo();
    calendar::LunarDayWalk walk(calendar::TimeSettings{});
    for (int d = 0; d < days; ++d) benchmark::DoNotOptimize(walk.At(start + d));
  }
  state.SetItemsProcessed(state.iterations() * days);
}

const TDateTime Year2023 = Moment(2023, 1, 1, 12, 0);
const TDateTime From1901 = Moment(1901, 1, 1, 12, 0);
const int Days1901To2100 = static_cast<int>(Moment(2101, 1, 1, 12, 0) - From1901);

void BM_LunarYearAlone(benchmark::State& state) {
  LunarDaysAlone(state, Year2023, 365);
}
BENCHMARK(BM_LunarYearAlone)->Unit(benchmark::kMicrosecond);

void BM_LunarYearWalk(benchmark::State& state) {
  LunarDaysWalk(state, Year2023, 365);
}
BENCHMARK(BM_LunarYearWalk)->Unit(benchmark::kMicrosecond);

void BM_Lunar1901To2100Alone(benchmark::State& state) {
  LunarDaysAlone(state, From1901, Days1901To2100);
}
BENCHMARK(BM_Lunar1901To2100Alone)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Lunar1901To2100Walk(benchmark::State& state) {
  LunarDaysWalk(state, From1901, Days1901To2100);
}
BENCHMARK(BM_Lunar1901To2100Walk)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SolarTermInstant(benchmark::State& state) {
  calendar::SetCalendarMemo(false);
  int k = 0;
  for (auto _ : state) benchmark::DoNotOptimize(calendar::SolarTermInstant(2024, k++ % 24));
  calendar::SetCalendarMemo(true);
}
BENCHMARK(BM_SolarTermInstant)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
