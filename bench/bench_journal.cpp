// The journal over a generated folder of 10,000 records (100 subfolders of
// 100 records, notes and comments in Russian, a third cast from the date).
// Goal: the list complete within 1 s, and the window answering input
// throughout.
//
//   BM_ScanJournal        every row read by the one row function, in order
//                         (what kalynth-calc journal does)
//   BM_JournalWindowList  the journal window from choosing the folder to the
//                         last row in the table, on the offscreen platform;
//                         counter max_ui_gap_ms is the longest the window's
//                         event loop went without serving a 5 ms timer
//   BM_JournalSearch      one search-as-you-type step over all rows
//
// The files are in the page cache after the first iteration: the numbers
// are those of a folder read recently, not of a cold disk.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "records/journal.h"
#include "records/record.h"
#include "ui/journal.h"

namespace {

constexpr int Folders = 100;
constexpr int PerFolder = 100;

QString Fixture() {
  static QTemporaryDir dir;
  static bool made = false;
  if (!made) {
    made = true;
    const char* const codes[8] = {"544", "548", "584", "588", "944", "948", "984", "988"};
    for (int f = 0; f < Folders; ++f) {
      const QString folder = dir.path() + QStringLiteral("/год%1/месяц%2").arg(2000 + f / 12).arg(f % 12 + 1);
      QDir().mkpath(folder);
      for (int i = 0; i < PerFolder; ++i) {
        const int n = f * PerFolder + i;
        records::Record r;
        for (int l = 0; l < 6; ++l) r.lineCodes[l] = QString::fromLatin1(codes[(n * 7 + l * 3) % 8]);
        r.note = QStringLiteral("Вопрос %1 о переезде, работе и здоровье").arg(n);
        r.btn2 = n % 3 == 0;
        r.yah = n % 12, r.mon = n % 12, r.day = n % 30, r.hour = n % 12;
        r.gua = {n % 2 == 0, n % 3 == 0, n % 5 == 0, n % 7 == 0, true, false};
        r.jaoNo = n % 7;
        r.comments = QStringLiteral(
                         "Ответ получен в день %1.\n"
                         "Ещё одна строка комментария, чтобы запись была похожа на настоящую.")
                         .arg(n);
        records::WriteRecordFile(folder + QStringLiteral("/Untitle%1.kly").arg(n), r);
      }
    }
  }
  return dir.path();
}

void BM_ScanJournal(benchmark::State& state) {
  const QString root = Fixture();
  qsizetype rows = 0;
  for (auto _ : state) {
    const QList<records::JournalRow> list = records::ScanJournal(root);
    rows = list.size();
    benchmark::DoNotOptimize(list.data());
  }
  if (rows != Folders * PerFolder) state.SkipWithError("not every record was listed");
  state.counters["rows"] = static_cast<double>(rows);
  state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_ScanJournal)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_JournalWindowList(benchmark::State& state) {
  const QString root = Fixture();
  double maxGap = 0;
  int rows = 0;
  for (auto _ : state) {
    TFormJournal journal([](const QString&) {});
    journal.show();
    QElapsedTimer sinceTick;
    qint64 worstGap = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] { worstGap = std::max(worstGap, sinceTick.restart()); });
    QEventLoop loop;
    QObject::connect(&journal, &TFormJournal::scanFinished, &loop, &QEventLoop::quit);
    sinceTick.start();
    tick.start();
    journal.SetFolder(root);  // timed from here ...
    loop.exec();              // ... to the last row merged into the table
    tick.stop();
    rows = journal.model()->rowCount();
    maxGap = std::max(maxGap, static_cast<double>(worstGap));
  }
  if (rows != Folders * PerFolder) state.SkipWithError("not every record was listed");
  state.counters["rows"] = rows;
  state.counters["max_ui_gap_ms"] = maxGap;
}
BENCHMARK(BM_JournalWindowList)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_JournalSearch(benchmark::State& state) {
  const QString root = Fixture();
  TFormJournal journal([](const QString&) {});
  journal.show();
  QEventLoop loop;
  QObject::connect(&journal, &TFormJournal::scanFinished, &loop, &QEventLoop::quit);
  journal.SetFolder(root);
  loop.exec();
  const QString words[2] = {QStringLiteral("ещё строка 77"), QStringLiteral("переезде")};
  int i = 0;
  for (auto _ : state) {
    journal.SearchEdit->setText(words[i++ % 2]);
    benchmark::DoNotOptimize(journal.proxy()->rowCount());
  }
}
BENCHMARK(BM_JournalSearch)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // The window's settings go to a folder of their own, not the user's.
  static QTemporaryDir settings;
  qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
