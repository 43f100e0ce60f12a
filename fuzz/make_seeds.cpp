// Writes the worst-case records (worst_cases.h) into a folder, as seeds for
// the fuzzer beside the small hand-made ones of fuzz/corpus/. They are made
// at each run rather than kept: seven files of 16 MiB.
//   fuzz_make_seeds FOLDER
#include <QDir>
#include <QFile>
#include <cstdio>

#include "fuzz/worst_cases.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_make_seeds FOLDER\n");
    return 2;
  }
  const QDir folder(QFile::decodeName(argv[1]));
  for (const records::worst::Case& c : records::worst::Cases()) {
    QFile f(folder.filePath(QString::fromStdString("worst-" + c.name + ".kly")));
    if (!f.open(QIODevice::WriteOnly) || f.write(c.bytes) != c.bytes.size()) {
      std::fprintf(stderr, "fuzz_make_seeds: cannot write %s\n", qPrintable(f.fileName()));
      return 1;
    }
  }
  return 0;
}
