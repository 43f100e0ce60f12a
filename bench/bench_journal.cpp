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
// Hostile and huge trees (goals: 40 hard links to a 16 MiB record listed
// in under 2 s and 150 MB; 80,000 subfolders walked in under 1 s; another
// user changing a file every 0.2 s in an open 10,000-folder tree costs
// next to no CPU):
//
//   BM_JournalHardLinks        kalynth-calc's rows of 40 links to one 16 MiB
//                              record with one unbroken comment line;
//                              counter peak_mb is the process's peak
//                              resident memory during the listing
//   BM_JournalHardLinksWindow  the same folder in the window
//   BM_JournalWideFolder       the walk of one folder of 80,000 empty subfolders
//   BM_JournalChurn            the window open on 100 x 100 folders while a
//                              file is created and removed in its root every
//                              0.2 s for 3 s; counter cpu_percent is the
//                              process's CPU time over that time
//
// The files are in the page cache after the first iteration: the numbers
// are those of a folder read recently, not of a cold disk.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

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

// Peak resident memory from now on (the kernel's high-water mark, reset).
void ResetPeakMemory() {
  std::ofstream("/proc/self/clear_refs") << "5";
}
double PeakMemoryMb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024;
  return 0;
}

QString LinksFixture() {
  static QTemporaryDir dir;
  static bool made = false;
  if (!made) {
    made = true;
    QByteArray bytes =
        "[TITLE]\r\nTitle=KALYNTH\r\n[BEGINNER]\r\nEdit1=588\r\nEdit2=948\r\nEdit3=984\r\nEdit4=588\r\n"
        "Edit5=588\r\nEdit6=588\r\nEdit7=big\r\nBtn2=0\r\n[%%%&*(0876&%9]\r\n";
    bytes += QByteArray(records::MaxRecordSize - bytes.size(), '\xe0');
    QFile f(dir.path() + QStringLiteral("/big0.kly"));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    f.close();
    for (int i = 1; i < 40; ++i)
      ::link(QFile::encodeName(f.fileName()).constData(),
             QFile::encodeName(dir.path() + QStringLiteral("/big%1.kly").arg(i)).constData());
  }
  return dir.path();
}

void BM_JournalHardLinks(benchmark::State& state) {
  const QString root = LinksFixture();
  qsizetype rows = 0;
  double peak = 0;
  for (auto _ : state) {
    ResetPeakMemory();
    const QList<records::JournalRow> list = records::ScanJournal(root);
    rows = list.size();
    peak = std::max(peak, PeakMemoryMb());
  }
  if (rows != 40) state.SkipWithError("not every link was listed");
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["peak_mb"] = peak;
}
BENCHMARK(BM_JournalHardLinks)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_JournalHardLinksWindow(benchmark::State& state) {
  const QString root = LinksFixture();
  int rows = 0;
  double peak = 0;
  for (auto _ : state) {
    ResetPeakMemory();
    TFormJournal journal([](const QString&) {});
    journal.show();
    QEventLoop loop;
    QObject::connect(&journal, &TFormJournal::scanFinished, &loop, &QEventLoop::quit);
    journal.SetFolder(root);
    loop.exec();
    rows = journal.model()->rowCount();
    peak = std::max(peak, PeakMemoryMb());
  }
  if (rows != 40) state.SkipWithError("not every link was listed");
  state.counters["rows"] = rows;
  state.counters["peak_mb"] = peak;
}
BENCHMARK(BM_JournalHardLinksWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_JournalWideFolder(benchmark::State& state) {
  static QTemporaryDir dir;
  static bool made = false;
  if (!made) {
    made = true;
    for (int i = 0; i < 80000; ++i)
      ::mkdir(QFile::encodeName(dir.path() + QStringLiteral("/d%1").arg(i)).constData(), 0755);
  }
  qsizetype folders = 0;
  for (auto _ : state) folders = records::ListJournalTree(dir.path()).folders.size();
  if (folders != 80001) state.SkipWithError("not every folder was walked");
  state.counters["folders"] = static_cast<double>(folders);
}
BENCHMARK(BM_JournalWideFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

double CpuSeconds() {
  rusage use{};
  getrusage(RUSAGE_SELF, &use);
  return use.ru_utime.tv_sec + use.ru_stime.tv_sec + (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

void BM_JournalChurn(benchmark::State& state) {
  static QTemporaryDir dir;
  static bool made = false;
  if (!made) {
    made = true;
    for (int i = 0; i < 100; ++i)
      for (int j = 0; j < 100; ++j) QDir().mkpath(dir.path() + QStringLiteral("/%1/%2").arg(i).arg(j));
  }
  TFormJournal journal([](const QString&) {});
  journal.show();
  {
    QEventLoop loop;
    QObject::connect(&journal, &TFormJournal::scanFinished, &loop, &QEventLoop::quit);
    journal.SetFolder(dir.path());
    loop.exec();
  }
  double percent = 0;
  for (auto _ : state) {
    std::atomic_bool done{false};
    const QByteArray file = QFile::encodeName(dir.path() + QStringLiteral("/чужой.kly"));
    std::thread other([&] {
      while (!done) {
        FILE* f = std::fopen(file.constData(), "w");
        if (f) std::fclose(f);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::remove(file.constData());
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
    });
    const double before = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop;
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    loop.exec();
    percent = 100 * (CpuSeconds() - before) / (wall.elapsed() / 1000.0);
    done = true;
    other.join();
  }
  state.counters["cpu_percent"] = percent;
  state.counters["watched"] = journal.watchedFolders();
}
BENCHMARK(BM_JournalChurn)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

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
