// Writes the worst-case records (worst_cases.h) into a folder, as seeds for
// the fuzzer beside the small hand-made ones of fuzz/corpus/. They are made
// at each run rather than kept.
//   fuzz_make_seeds FOLDER [SIZE]
// SIZE (bytes, default 1 MiB) is the size of each seed: under the
// sanitizers one pass of the fuzz target over a 16 MiB worst case takes
// 2 to 20 s, beyond the fuzzer's per-input timeout, while a 1 MiB one has
// the same shape at a sixteenth of the cost; a reader that is not linear
// still times out on it. The full-size cases run in the tests and in
// bench_records.
#include <QDir>
#include <QFile>
#include <cstdio>

#include "fuzz/worst_cases.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: fuzz_make_seeds FOLDER [SIZE]\n");
    return 2;
  }
  const QDir folder(QFile::decodeName(argv[1]));
  const qsizetype size = argc == 3 ? QByteArray(argv[2]).toLongLong() : 1 << 20;
  if (size < 1024 || size > records::MaxRecordSize) {
    std::fprintf(stderr, "fuzz_make_seeds: SIZE must lie in 1024..%lld\n",
                 static_cast<long long>(records::MaxRecordSize));
    return 2;
  }
  for (const records::worst::Case& c : records::worst::Cases(size)) {
    QFile f(folder.filePath(QString::fromStdString("worst-" + c.name + ".kly")));
    if (!f.open(QIODevice::WriteOnly) || f.write(c.bytes) != c.bytes.size()) {
      std::fprintf(stderr, "fuzz_make_seeds: cannot write %s\n", qPrintable(f.fileName()));
      return 1;
    }
  }
  return 0;
}
