// The record reader on the worst files of the size limit (fuzz/worst_cases.h):
// the goal is any file read in under 0.5 s and 100 MB. Each case is read
// from a file, as the window and kalynth-calc read it (ReadRecordFile).
// Peak memory: /usr/bin/time -v build/bin/kalynth-calc record FILE.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "fuzz/worst_cases.h"
#include "records/record.h"

namespace {

void ReadWorstCase(benchmark::State& state, const records::worst::Case& c, const QString& path) {
  for (auto _ : state) {
    // The comment-heavy cases end in the error "too many comment lines":
    // the time is that of finding it out.
    try {
      const std::optional<records::Record> r = records::ReadRecordFile(path);
      if (!r) state.SkipWithError("not read as a record");
      benchmark::DoNotOptimize(r);
    } catch (const records::RecordError& e) {
      benchmark::DoNotOptimize(e);
    }
  }
  state.SetBytesProcessed(state.iterations() * c.bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir dir;
  const std::vector<records::worst::Case> cases = records::worst::Cases();
  for (const records::worst::Case& c : cases) {
    const QString path = dir.filePath(QString::fromStdString(c.name) + ".kly");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(c.bytes) != c.bytes.size()) return 1;
    f.close();
    benchmark::RegisterBenchmark(("ReadRecordFile/" + c.name).c_str(), ReadWorstCase, c, path)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
