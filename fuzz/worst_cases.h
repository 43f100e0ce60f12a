// Record files made to be as costly as possible for the reader, each just
// under a given size (the record size limit for the benchmark of the
// worst-case read and for the tests that check the reader's answer on them;
// 1 MiB for the fuzzer's seeds, see make_seeds.cpp).
//
// Every case is a valid record (its title section comes first) followed by
// what costs most per byte:
//   many-sections    one-key sections "[1a2b]" "k=" (a table per section)
//   many-keys        distinct keys in the BEGINNER section
//   long-line        one note of the whole size
//   empty-comments   empty comment lines (a line per two bytes or less)
//   short-comments   one-letter comment lines
//   markers          comment marker lines (each repeats what follows it)
//   empty-lines      blank lines between the sections
#pragma once

#include <QByteArray>
#include <functional>
#include <string>
#include <vector>

#include "records/record.h"

namespace records::worst {

struct Case {
  std::string name;
  QByteArray bytes;
};

inline const QByteArray kTitle = "[TITLE]\r\nTitle=KALYNTH\r\n";
inline const QByteArray kBeginner = "[BEGINNER]\r\nEdit1=588\r\nJaoNo=3\r\n";
inline const QByteArray kMarker = QByteArray(CommentsMarker) + "\r\n";

// `head`, then `unit(i)` for i = 0, 1, ... while the whole stays within `size`.
inline QByteArray Fill(const QByteArray& head, const std::function<QByteArray(qsizetype)>& unit,
                       qsizetype size) {
  QByteArray bytes = head;
  bytes.reserve(size);
  for (qsizetype i = 0;; ++i) {
    const QByteArray u = unit(i);
    if (bytes.size() + u.size() > size) break;
    bytes += u;
  }
  return bytes;
}

// The cases at the given size (MaxRecordSize for the real worst case).
inline std::vector<Case> Cases(qsizetype size = MaxRecordSize) {
  std::vector<Case> cases;
  cases.push_back({"many-sections",
                   Fill(
                       kTitle + kBeginner,
                       [](qsizetype i) { return "[" + QByteArray::number(i, 16) + "]\r\nk=\r\n"; }, size)});
  cases.push_back({"many-keys", Fill(
                                    kTitle + kBeginner,
                                    [](qsizetype i) { return QByteArray::number(i, 16) + "=\r\n"; }, size)});
  {
    QByteArray note = kTitle + kBeginner + "Edit7=";
    note += QByteArray(size - note.size() - 2, 'x') + "\r\n";
    cases.push_back({"long-line", note});
  }
  cases.push_back({"empty-comments",
                   Fill(
                       kTitle + kBeginner + kMarker, [](qsizetype) { return QByteArray("\n"); }, size)});
  cases.push_back({"short-comments",
                   Fill(
                       kTitle + kBeginner + kMarker, [](qsizetype) { return QByteArray("a\n"); }, size)});
  cases.push_back({"markers", Fill(
                                  kTitle + kBeginner, [](qsizetype) { return kMarker; }, size)});
  cases.push_back(
      {"empty-lines", Fill(
                          kTitle, [](qsizetype) { return QByteArray("\n"); }, size - kBeginner.size()) +
                          kBeginner});
  return cases;
}

}  // namespace records::worst
