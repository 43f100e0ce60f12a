// The .kly record file: an INI part ([TITLE] Title=KALYNTH, [BEGINNER] with
// the divination's keys) followed by the marker line and the comment lines.
// Windows-1251, CR LF. The window maps its controls to a Record and back;
// this module only reads and writes bytes.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <stdexcept>

namespace records {

inline const char* const CommentsMarker = "[%%%&*(0876&%9]";

// One divination as stored in a record file.
struct Record {
  std::array<QString, 6> lineCodes;  // Edit1..Edit6 (line 1 first)
  QString note;                      // Edit7
  int yah = 0, mon = 0, day = 0, hour = 0;  // list item indexes, -1 = none
  bool btn2 = false;                 // figures were cast from the date
  std::array<bool, 6> gua{true, true, true, true, true, true};  // GuaBig1 lines
  int jaoNo = 0;
  QStringList comments;              // CommentsMemo lines
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

// Writes the record all-or-nothing: the file on disk is the old one or the
// new one. Throws RecordError "Cannot create file <path>".
void WriteRecordFile(const QString& path, const Record& record);

// Identification: the file's "Title" in "TITLE" is exactly "KALYNTH".
bool IsRecord(const QByteArray& bytes);
bool IsRecordFile(const QString& path);  // false for directories, devices, pipes, > MaxRecordSize

// The parsed file (after identification). Integer keys that are not integers
// throw RecordError "'<text>' is not a valid integer value".
Record DecodeRecord(const QByteArray& bytes);
// Reads a file; nullopt when it is not a record.
std::optional<Record> ReadRecordFile(const QString& path);
std::optional<Record> ReadRecord(QIODevice& device);

}  // namespace records
