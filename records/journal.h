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
// Candidates are the files the window opens as records: names ending in
// ".kly", ".KLY" or ".Kly" (records::IsRecordFileName).
// One that cannot be read, or is not a record, still gets a row, whose
// `problem` tells why; it never hides the others. Nothing here writes.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <stdexcept>

namespace records {

struct JournalRow {
  QString path;           // absolute path as shown (see DisplayPath)
  QByteArray nativePath;  // the same path as the file system spells it
  QString folder;         // its folder relative to the scanned folder ("" = that folder itself)
  QString fileName;       // name without folder
  QDateTime saved;        // the file's modification time (local)
  qint64 size = -1;       // bytes (-1 when unknown)
  QString problem;        // why the file is not listed as a record; empty for a record
  bool isFolder = false;  // a subfolder that could not be listed (problem says why)

  // The moment of the cast as the record keeps it (with the offset it was
  // cast in); invalid for a record that keeps none.
  QDateTime cast;
  QString castContext;  // the whole calendar of the cast in one line (core::ContextText), or empty
  int term = -1;        // the solar term in force at the cast, 0..23 (calendar::TermName), -1 unknown
  // What the journal sorts and filters by: the moment of the cast, else
  // the file's time (castKnown() tells which).
  QDateTime when() const { return cast.isValid() ? cast : saved; }
  bool castKnown() const { return cast.isValid(); }

  QString note;     // Edit7
  int primary = 0;  // hexagram numbers as the main window shows them
  int nuclear = 0;  // after opening the record; 0 = not shown
  int changed = 0;
  QList<int> changingLines;  // 1..6, bottom first
  QString lunarDate;         // the date status text of a date casting, else empty
  // The beginning of the comments (at most CommentsHeadLength characters,
  // lines joined by '\n'), for the comments column and its tooltip;
  // commentsCut when the comments go on after it.
  QString commentsHead;
  bool commentsCut = false;
  // Note, file name and the first SearchedCommentsLength characters of the
  // comments, folded (FoldForSearch). A row never holds the whole comments:
  // a folder of large records costs little more than one of small ones.
  QString searchText;

  bool isRecord() const { return problem.isEmpty(); }
  // False for a name the file system holds in bytes that are not UTF-8
  // (e.g. a folder named in Windows-1251 by an old system): such a row is
  // listed under a readable name but cannot be handed on by that name.
  bool hasPortablePath() const;
};

// Characters of the comments kept per row for the search, and for the
// comments column and its tooltip.
inline constexpr qsizetype SearchedCommentsLength = 64 * 1024;
inline constexpr qsizetype CommentsHeadLength = 2048;

// A path as the file system spells it and as it is shown. A name in bytes
// that are not UTF-8 is shown read as Windows-1251, the code page of the
// records (its bytes are kept for reading it).
struct JournalEntry {
  QByteArray native;
  QString path;
};
QString DisplayPath(QByteArrayView native);
JournalEntry EntryOf(const QString& path);  // an absolute path of a name in UTF-8

// The row of one file. `root` is the scanned folder as shown (for `folder`).
JournalRow ReadJournalRow(const JournalEntry& file, const QString& root);
JournalRow ReadJournalRow(const QString& path, const QString& root);

// The modification time and size ReadJournalRow would give the file now
// (invalid and -1 when there is none), to tell a file unchanged.
struct JournalStamp {
  QDateTime saved;
  qint64 size = -1;
  bool operator==(const JournalStamp&) const = default;
};
JournalStamp StampOf(const QByteArray& native);

// records::IsRecordFileName: the name is one the window opens.
bool IsJournalCandidate(const QString& fileName);

// Every candidate file under root and its subfolders, in path order, and
// every folder listed, level by level (root first, then its subfolders,
// then theirs). Symbolic links to folders are not followed; hidden files
// and folders are skipped; names are taken as the file system holds them,
// UTF-8 or not. A subfolder that cannot be listed becomes a row of its own
// whose problem tells why; a root that cannot be listed gives rootProblem
// (JournalRootText) and nothing else. `cancelled`, when given, is asked
// between folders and stops the walk; `listing`, when given, is called with
// each folder just before it is listed (the window starts watching it
// there, so no change made while it is read is missed). Each folder costs
// the same whatever it holds: the walk is linear in the size of the tree.
struct JournalTree {
  QList<JournalEntry> files;
  QList<JournalEntry> folders;
  QList<JournalRow> unreadable;  // folders that could not be listed, as rows
  QString rootProblem;
};
JournalTree ListJournalTree(const JournalEntry& root, const std::function<bool()>& cancelled = {},
                            const std::function<void(const JournalEntry&)>& listing = {});
JournalTree ListJournalTree(const QString& root, const std::function<bool()>& cancelled = {});

// Why a root folder cannot be listed, naming it: "Папка не найдена: <path>",
// "Папка не читается (нет прав на чтение): <path>" ...
QString JournalRootText(int error, const QString& path);

// A root that cannot be listed.
class JournalError : public std::runtime_error {
 public:
  explicit JournalError(const QString& text) : std::runtime_error(text.toStdString()) {}
};

// All rows under root, in JournalOrder. Throws JournalError when the root
// cannot be listed. `cancelled`, when given, is asked between folders and
// between files and stops the scan with the rows read so far.
QList<JournalRow> ScanJournal(const JournalEntry& root, const std::function<bool()>& cancelled = {});
QList<JournalRow> ScanJournal(const QString& root);

// Search text: lower case, "ё" read as "е".
QString FoldForSearch(const QString& text);

// What the user looks for. Every word must occur in the note, the comments
// or the file name; `hexagram` (1..64, 0 = any) must be the primary, the
// nuclear or the changed hexagram; the date of the cast (the file's date
// for a record that keeps no moment) must lie within from..to, the date as
// the clock of the cast read it.
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

// Newest cast first (the file's time for a record without a moment);
// equal times by path.
bool JournalOrder(const JournalRow& a, const JournalRow& b);

// The columns shown in the window and printed by the command line, in order.
enum JournalColumn {
  ColSaved,
  ColCast,
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
// The text of a cell: one line. Tabs, line breaks and every other control
// character or line separator (C0, DEL, C1, U+2028, U+2029) become spaces,
// so a cell can neither split a row nor drive a terminal.
QString JournalCell(const JournalRow& row, int column);
// Characters of the comments shown in the comments column.
inline constexpr int CommentsPreviewLength = 80;

}  // namespace records
