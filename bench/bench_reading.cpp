// Speed of the reading window following the main window: one ">>" on the
// main window with the reading window shown, alternating between casts
// whose readings differ (so every step lays the texts out anew), and the
// same with the other texts unfolded (laid out after the selected ones, in
// the same turn of the event loop). "Layout" is the reading window's own
// part alone: the rule and the selected texts of a cast set into its
// browser. Runs offscreen
// unless a platform is set.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QToolButton>
#include <array>
#include <cstdio>

#include "ui/ProgramWindows.h"
#include "ui/kalynth.h"
#include "ui/reading.h"

namespace {

TFormKalynth* Main = nullptr;
TFormReading* Reading = nullptr;

// Casts with none, two, three and six changing lines.
const std::array<std::array<const char*, 6>, 4> Casts{{{"588", "548", "588", "548", "588", "548"},
                                                       {"544", "588", "548", "988", "588", "548"},
                                                       {"544", "988", "544", "548", "588", "548"},
                                                       {"544", "988", "544", "988", "544", "988"}}};

void Cast(benchmark::IterationCount i) {
  const auto& codes = Casts[std::size_t(i % Casts.size())];
  for (int n = 1; n <= 6; ++n) Main->LineEdit(n)->setText(QString::fromLatin1(codes[std::size_t(n - 1)]));
  Main->controls().Button1->click();
}

// shown 0: the main window's own part, the reading window hidden.
void BM_CastWithReadingShown(benchmark::State& state) {
  if (state.range(0) != 0)
    Reading->ShowWindow();
  else
    Reading->HideWindow();
  if (Reading->RestButton->isChecked() != (state.range(1) != 0)) Reading->RestButton->click();
  benchmark::IterationCount i = 0;
  for (auto _ : state) {
    Cast(i++);
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_CastWithReadingShown)
    ->ArgNames({"shown", "rest"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMicrosecond);

void BM_ReadingLayout(benchmark::State& state) {
  Reading->ShowWindow();
  if (Reading->RestButton->isChecked()) Reading->RestButton->click();
  ui::ShownCast cast;
  cast.primary = core::Figure{true, true, true, true, true, true};
  std::size_t i = 0;
  const std::array<std::vector<int>, 3> changing{{{}, {3, 5}, {1, 2, 3}}};
  for (auto _ : state) {
    cast.changing = changing[i++ % changing.size()];
    Reading->ShowCast(cast);
  }
}
BENCHMARK(BM_ReadingLayout)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  TFormKalynth formKalynth;
  formKalynth.show();
  QElapsedTimer clock;
  clock.start();
  TFormReading formReading(&formKalynth, formKalynth.controls().Reading1, [](int, const QString&) {});
  ui::ProgramWindows windows;
  windows.reading = &formReading;
  ui::HandOver(&formKalynth, nullptr, windows);
  formReading.ShowWindow();
  const double created = clock.nsecsElapsed() / 1e6;
  std::printf("reading window created and shown in %.2f ms\n", created);
  Main = &formKalynth;
  Reading = &formReading;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
