// The journal: every record file under a folder, one row each, for finding
// a past divination by words, hexagram or date.
//
// A row is made in one place, ReadJournalRow: the file is read by the same
// reader that opens a record in the main window (record.h) and put into the
// divination model (core/divination.h) exactly as the main window does, and
// the model gives the figures, changing lines and date text. The journal
// window and "kalynth-calc journal" both take their rows, their cell texts
// (JournalCell), their filter (JournalMatcher) and their order
// (JournalOrder) from here, so they always agree.
//
// Candidates are the files whose name ends in ".kly" in any letter case.
// One that cannot be read, or is not a record, still gets a row, whose
// `problem` tells why; it never hides the others. Nothing here writes.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace records {

struct JournalRow {
  QString path;      // absolute path of the file
  QString folder;    // its folder relative to the scanned folder ("" = that folder itself)
  QString fileName;  // name without folder
  QDateTime saved;   // the file's modification time (local)
  qint64 size = -1;  // bytes (-1 when unknown)
  QString problem;   // why the file is not listed as a record; empty for a record

  QString note;     // Edit7
  int primary = 0;  // hexagram numbers as the main window shows them
  int nuclear = 0;  // after opening the record; 0 = not shown
  int changed = 0;
  QList<int> changingLines;  // 1..6, bottom first
  QString lunarDate;         // the date status text of a date casting, else empty
  QStringList comments;      // the comment lines
  QString searchText;        // note, comments and file name, folded (FoldForSearch)

  bool isRecord() const { return problem.isEmpty(); }
};

// The row of one file. `root` is the scanned folder (for `folder`).
JournalRow ReadJournalRow(const QString& path, const QString& root);

// True when `fileName` ends in ".kly" in any letter case.
bool IsJournalCandidate(const QString& fileName);

// Every candidate file under root and its subfolders, in path order, and
// every folder visited, root first. Symbolic links to folders are not
// followed; hidden files and folders are skipped. `cancelled`, when given,
// is asked between folders and stops the walk.
struct JournalTree {
  QStringList files;
  QStringList folders;
};
JournalTree ListJournalTree(const QString& root, const std::function<bool()>& cancelled = {});

// All rows under root, in JournalOrder.
QList<JournalRow> ScanJournal(const QString& root);

// Search text: lower case, "ё" read as "е".
QString FoldForSearch(const QString& text);

// What the user looks for. Every word must occur in the note, the comments
// or the file name; `hexagram` (1..64, 0 = any) must be the primary, the
// nuclear or the changed hexagram; the file date must lie within from..to.
struct JournalFilter {
  QString text;
  int hexagram = 0;
  bool changingOnly = false;  // only records with changing lines
  std::optional<QDate> from, to;
};
// Prepared once for many rows.
class JournalMatcher {
 public:
  explicit JournalMatcher(const JournalFilter& filter);
  bool operator()(const JournalRow& row) const;
  bool isEmpty() const;

 private:
  JournalFilter filter_;
  QStringList words_;
};
inline bool Matches(const JournalRow& row, const JournalFilter& filter) {
  return JournalMatcher(filter)(row);
}

// Newest first; equal times by path.
bool JournalOrder(const JournalRow& a, const JournalRow& b);

// The columns shown in the window and printed by the command line, in order.
enum JournalColumn {
  ColSaved,
  ColFile,
  ColFolder,
  ColNote,
  ColPrimary,
  ColChanged,
  ColLines,
  ColLunarDate,
  ColComments,
  ColProblem,
  JournalColumnCount
};
// Column name of the command line's header ("saved", "file" ...).
const char* JournalColumnKey(int column);
// Column caption of the window ("Сохранена", "Файл" ...).
QString JournalColumnTitle(int column);
// The text of a cell: one line (tabs and line breaks become spaces).
QString JournalCell(const JournalRow& row, int column);
// Characters of the comments shown in the comments column.
inline constexpr int CommentsPreviewLength = 80;

}  // namespace records
