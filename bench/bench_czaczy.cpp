// Speed of the calendar window itself: one recomputation from a picker
// change (DateTimePicker1Change: the moment text, the four pillars and the
// season labels put into the real controls), as a user holding the hour
// arrow of the time picker causes it, once a step. "Cold" forgets the
// calendar's memo before every step (the first moment of a new region);
// "Moon" is the same with "Лунный календарь" ticked, so that every step also
// fills the main window's date lists. Runs offscreen unless a platform is set.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QElapsedTimer>
#include <cstdio>

#include "calendar/memo.h"
#include "ui/czaczy.h"
#include "ui/kalynth.h"

namespace {

TFormKalynth* Main = nullptr;
TFormCzaczy* Calendar = nullptr;

// One step of the time picker: an hour later (a day later each 24 steps).
void Step(benchmark::IterationCount i) {
  Calendar->DateTimePicker2->setTime(QTime(int(i % 24), 30));
  if (i % 24 == 23) Calendar->DateTimePicker1->setDate(Calendar->DateTimePicker1->date().addDays(5));
}

void BM_PickerStep(benchmark::State& state) {
  Calendar->CheckMoon->setChecked(state.range(0) != 0);
  const bool cold = state.range(1) != 0;
  Calendar->DateTimePicker1->setDate(QDate(2024, 1, 1));
  calendar::ClearCalendarMemo();
  benchmark::IterationCount i = 0;
  for (auto _ : state) {
    if (cold) calendar::ClearCalendarMemo();
    Step(i++);
  }
}
BENCHMARK(BM_PickerStep)
    ->ArgNames({"moon", "cold"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  TFormKalynth formKalynth;
  // Before any benchmark: the window's creation (its first computation in
  // this process included) and a first step to a far moment, both cold.
  QElapsedTimer clock;
  clock.start();
  TFormCzaczy formCzaczy(&formKalynth, formKalynth.controls().Chza1, formKalynth.timeSettings(),
                         [&formKalynth](astro::TDateTime t) { formKalynth.SetLunarDate(t); });
  const double created = clock.nsecsElapsed() / 1e6;
  clock.restart();
  formCzaczy.DateTimePicker1->setDate(QDate(1950, 7, 1));
  const double firstStep = clock.nsecsElapsed() / 1e6;
  std::printf("calendar window created in %.2f ms; first picker step to a far date %.2f ms\n", created,
              firstStep);
  Main = &formKalynth;
  Calendar = &formCzaczy;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
