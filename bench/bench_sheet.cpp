// The sheet of hostile records as a PDF. Goal: any record up to the record
// size limit makes its PDF in under 2 s and 200 MB.
//
//   BM_SheetPdf/0   comments of one unbroken 16 MiB line
//   BM_SheetPdf/1   100,000 comment lines, all but the first empty
//   BM_SheetPdf/2   100,000 short comment lines
//   BM_SheetPdf/3   an ordinary record, for comparison
//
// Counter pages is the sheet's length, peak_mb the process's peak resident
// memory while the record is read and the PDF made.
#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <fstream>
#include <string>

#include "records/mapping.h"
#include "records/record.h"
#include "sheet/sheet.h"

namespace {

void ResetPeakMemory() {
  std::ofstream("/proc/self/clear_refs") << "5";
}
double PeakMemoryMb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024;
  return 0;
}

QString RecordFile(int kind) {
  static QTemporaryDir dir;
  const QString path = dir.path() + QStringLiteral("/r%1.kly").arg(kind);
  if (QFile::exists(path)) return path;
  QByteArray bytes =
      "[TITLE]\r\nTitle=KALYNTH\r\n[BEGINNER]\r\nEdit1=588\r\nEdit2=948\r\nEdit3=984\r\nEdit4=588\r\n"
      "Edit5=588\r\nEdit6=544\r\nEdit7=\xe2\xee\xef\xf0\xee\xf1\r\nBtn2=0\r\n[%%%&*(0876&%9]\r\n";
  if (kind == 0) bytes += QByteArray(records::MaxRecordSize - bytes.size(), '\xe0');
  if (kind == 1) bytes += "\xed\xe0\xf7\xe0\xeb\xee" + QByteArray(99999 * 2, '\n').replace("\n\n", "\r\n");
  if (kind == 2)
    for (int i = 0; i < 100000; ++i) bytes += "\xe4\xe0\r\n";
  if (kind == 3) bytes += "\xce\xf2\xe2\xe5\xf2 \xef\xee\xeb\xf3\xf7\xe5\xed.\r\n";
  QFile f(path);
  f.open(QIODevice::WriteOnly);
  f.write(bytes);
  return path;
}

void BM_SheetPdf(benchmark::State& state) {
  const QString record = RecordFile(static_cast<int>(state.range(0)));
  QTemporaryDir out;
  int pages = 0;
  double peak = 0;
  for (auto _ : state) {
    ResetPeakMemory();
    const std::optional<core::Divination> d = records::ReadDivinationFile(record);
    if (!d) {
      state.SkipWithError("not a record");
      return;
    }
    pages = ui::ExportSheetPdf(*d, {record, QDateTime::currentDateTime()}, out.path() + "/sheet.pdf");
    peak = std::max(peak, PeakMemoryMb());
  }
  state.counters["pages"] = pages;
  state.counters["peak_mb"] = peak;
}
BENCHMARK(BM_SheetPdf)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
