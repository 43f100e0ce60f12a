// The .kly record file: an INI part ([TITLE] Title=KALYNTH, [BEGINNER] with
// the divination's keys) followed by the marker line and the comment lines.
// Windows-1251, CR LF. A Record holds a file's fields as stored; the
// divination is read from and written to it in records/mapping.h, and this
// module only reads and writes bytes.
//
// Reading takes one snapshot of the file (ReadRecordBytes: regular files up
// to MaxRecordSize only, nothing else is opened), identifies it (IsRecord;
// a file holding a NUL byte is binary and never a record) and decodes every
// field (DecodeRecord) before the window changes anything: a value that is
// not an integer throws RecordError and leaves the window as it was. The
// window then applies the fields in its own order. The reader keeps only
// what a record holds (the keys of the first "TITLE" and "BEGINNER"
// sections, and the comments as one text), so any file up to the size limit
// costs time and memory in proportion to its length, whatever it holds.
// A record whose comments box would hold more than MaxCommentLines lines is
// refused with a RecordError: the window's comments box needs about 1.3 µs
// and 100 bytes per line (16 million empty lines took 45 s and 1.8 GB),
// and showing part of the comments would lose the rest at the next save.
//
// Writing (WriteRecordFile) replaces the file in one step: the new bytes go
// to a new file in the same folder, are checked written whole and synced to
// the disk, and only then renamed over the old name. The file on disk is
// always either the old record, byte for byte, or the whole new one; a full
// disk, the file-size limit or any short write is a failed save, and no
// temporary file stays behind. A symbolic link of the user's own (or
// root's) stays a link and the file it leads to is replaced; another
// user's link is never followed (files.h). The new file keeps the old one's
// permission bits, and its owner and group where the process may give them
// (root may; a user keeps a group of theirs); otherwise it belongs to the
// saving user. A name with other hard links gets a file of its own (the
// other names keep the old record), and a pipe or other special file in the
// record's place is replaced by the record file. Characters the file
// cannot hold (outside Windows-1251, a NUL, a line break inside a one-line
// field) are reported by UnencodableFields so the window can warn first;
// the writer stores each of them as "?".
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <stdexcept>

#include "core/context.h"
#include "records/files.h"

namespace records {

inline const char* const CommentsMarker = "[%%%&*(0876&%9]";

// One divination as stored in a record file, each field under the key
// named below (the key constants further down).
struct Record {
  std::array<QString, 6> lineCodes;         // keys Edit1..Edit6: the typed line codes, line 1 first
  QString note;                             // key Edit7: the question or note
  int yah = 0, mon = 0, day = 0, hour = 0;  // yah, mon, day, hour: the lunar date as 0-based
                                            // year number, month, day and double hour, -1 = none
  bool btn2 = false;                        // Btn2: the figures were cast from the date
  std::array<bool, 6> gua{true, true, true, true, true, true};  // Gua1..Gua6: the primary figure's
                                                                // lines, line 1 first, true = yang
  int jaoNo = 0;                                                // JaoNo: the changing line
  // The comment lines after the marker, joined by '\n' (a single empty
  // line reads as no comment at all).
  QString comments;
  // The [CONTEXT] section (records/context.h); nullopt: the record has none.
  std::optional<core::CastContext> context;
};

// A failure with the text the window shows, e.g. "Cannot create file %s"
// or "'%s' is not a valid integer value".
class RecordError : public std::runtime_error {
 public:
  explicit RecordError(const QString& message) : std::runtime_error(message.toStdString()) {}
  QString text() const { return QString::fromStdString(what()); }
};

// Files larger than this are never records (refused without reading them).
inline constexpr qint64 MaxRecordSize = 16 * 1024 * 1024;

// Bytes of a record file.
QByteArray EncodeRecord(const Record& record);
// Fields whose text Windows-1251 cannot hold ("Edit7", "Comments", "Edit1"...).
QStringList UnencodableFields(const Record& record);

// A save the program refuses because of where the name leads now: another
// user's symbolic link on the way, or (with an expected identity) another
// file than the one opened or last saved. The text names the path; the
// window offers Save As.
class UnsafeSaveError : public RecordError {
 public:
  enum class Kind { ForeignLink, OtherFile };
  UnsafeSaveError(Kind kind, const QString& message) : RecordError(message), kind_(kind) {}
  Kind kind() const { return kind_; }

 private:
  Kind kind_;
};

// Writes the record all-or-nothing: the file on disk is the old one or the
// new one (ReplacingFile, files.h). With a known `expected` identity the
// name must still lead to that file. Returns the identity of the file
// written. Throws UnsafeSaveError (see above) before writing anything, or
// RecordError "Cannot create file <path>".
FileIdentity WriteRecordFile(const QString& path, const Record& record, const FileIdentity& expected = {});

// Identification: the file's "Title" in "TITLE" is exactly "KALYNTH".
bool IsRecord(const QByteArray& bytes);
bool IsRecordFile(const QString& path);  // false for directories, devices, pipes, > MaxRecordSize

// The parsed file (after identification). Integer keys that are not integers
// throw RecordError "'<text>' is not a valid integer value"; comments of
// more than MaxCommentLines lines throw RecordError (CommentLinesText).
Record DecodeRecord(const QByteArray& bytes);
// Reads a file; nullopt when it is not a record. `identity`, when given,
// receives the identity of the file read (unknown when nothing was read).
std::optional<Record> ReadRecordFile(const QString& path, FileIdentity* identity = nullptr);
std::optional<Record> ReadRecord(QIODevice& device);

// What a file that is not a record is called, and the message shown for
// one: "File <path> Этот файл не является файлом KALYNTH".
inline const char* const NotARecordText = "Этот файл не является файлом KALYNTH";
QString NotARecordMessage(const QString& path);

// A file that cannot be made: "Cannot create file <path>".
QString CannotCreateFileText(const QString& path);

// The identification value of a record, and what a file without one yields.
inline const char* const RecordTitle = "KALYNTH";
inline const char* const NotARecordTitle = "Не тот файл";

// Section and key names, in write order.
inline const char* const TitleSection = "TITLE";
inline const char* const TitleKey = "Title";
inline const char* const BeginnerSection = "BEGINNER";
inline const char* const LineKeys[6] = {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6"};
inline const char* const NoteKey = "Edit7";
inline const char* const YearKey = "yah";
inline const char* const MonthKey = "mon";
inline const char* const DayKey = "day";
inline const char* const HourKey = "hour";
inline const char* const CastFromDateKey = "Btn2";
inline const char* const FigureKeys[6] = {"Gua1", "Gua2", "Gua3", "Gua4", "Gua5", "Gua6"};
inline const char* const ChangingLineKey = "JaoNo";
// Name UnencodableFields uses for the comment lines.
inline const char* const CommentsField = "Comments";

bool operator==(const Record& a, const Record& b);
inline bool operator!=(const Record& a, const Record& b) {
  return !(a == b);
}

// The file's bytes when it can be a record: a regular file (symbolic links
// followed) of at most MaxRecordSize bytes. nullopt for a missing or
// unreadable file, a directory, a device, a pipe or a larger file, none of
// which is read (ReadCandidateFile, files.h, tells which).
std::optional<QByteArray> ReadRecordBytes(const QString& path, FileIdentity* identity = nullptr);
// At most MaxRecordSize bytes from a readable device (opened read-only when
// it is closed); nullopt when it holds more or cannot be read.
std::optional<QByteArray> ReadRecordBytes(QIODevice& device);
// The same with room made for `expectedSize` bytes at once.
std::optional<QByteArray> ReadRecordBytes(QIODevice& device, qint64 expectedSize);

// The comment lines, joined by '\n': for every line equal to the marker, the
// lines after it are inserted at the top, in their order. One marker gives
// every line after it; a marker repeated inside the comments repeats what
// follows it. The repeats are limited to MaxRepeatedComments characters
// (each line end counts one); markers beyond that add nothing.
QString CommentsRead(const QByteArray& bytes);
inline constexpr qsizetype MaxRepeatedComments = 1 << 20;

// The most comment lines a record may hold, and how many a comments text has
// (none for an empty text).
inline constexpr qsizetype MaxCommentLines = 100000;
qsizetype CommentLineCount(const QString& comments);
// The message of a record or a comments box with more lines than that.
QString CommentLinesText(qsizetype lines);

}  // namespace records
