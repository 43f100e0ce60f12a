// The INI part of a record file: a reader over the file's bytes and a
// writer that produces its lines, with the matching rules of the program's
// records.
//
// Reading: lines end at CR LF, LF or CR; a line "[name]" starts a section;
// "key=value" lines belong to the section above them; blank and other lines
// are ignored. Section and key names match without regard to letter case.
// Only the first section of a name counts, and in it the first line of a
// key. A value is the text after the first "=", without surrounding blanks
// (spaces and tabs), cut to MaxIniValueLength characters (and a blank the
// cut leaves at its end dropped too).
//
// A file may come from anywhere, so the reader is told which keys of which
// sections it keeps and stores nothing else: one pass over the lines, no
// storage per line, section or key of the file, and the pass ends as soon
// as every wanted section has been read to its end. A file of any size up
// to the record limit costs its length in time and nothing in memory beyond
// the wanted values.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace records {

// Longest value a reader returns, in characters.
inline constexpr qsizetype MaxIniValueLength = 2047;

// The lines of a text one by one (without their ends); a last line without
// a line end still counts, an empty text has no lines.
class LineReader {
 public:
  explicit LineReader(QByteArrayView text) : text_(text) {}
  // The next line; false after the last one.
  bool next(QByteArrayView& line);
  // Where the next line starts (the text's size after the last line).
  qsizetype position() const { return position_; }

 private:
  QByteArrayView text_;
  qsizetype position_ = 0;
};

// All lines of a text (LineReader's rule), for short texts.
QList<QByteArrayView> SplitLines(QByteArrayView text);

// An integer as the record's keys hold it: an optional sign, then decimal
// digits or "0x"/"0X" and hexadecimal digits, nothing else, within the
// range of int. nullopt for any other text.
std::optional<int> ParseIniInteger(QStringView text);

// A section and the keys a reader keeps from it.
struct IniSection {
  QString name;
  QStringList keys;
};

class IniFile {
 public:
  // `bytes` is Windows-1251 text; it is parsed once here, keeping the
  // values of the wanted keys only.
  IniFile(QByteArrayView bytes, const QList<IniSection>& wanted);

  // The value of a key, nullopt when the section or the key is missing
  // (or was not among the wanted ones).
  std::optional<QString> value(const QString& section, const QString& key) const;

  QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
  // Strict: a present value that is not an integer throws RecordError
  // "'<value>' is not a valid integer value"; a missing key gives the default.
  int readInteger(const QString& section, const QString& key, int defaultValue) const;
  // Lenient: non-zero is true; a missing key or text that is not an integer
  // gives the default.
  bool readBool(const QString& section, const QString& key, bool defaultValue) const;

 private:
  struct Section {
    QString name;                             // folded
    QStringList keys;                         // folded
    QList<std::optional<QByteArray>> values;  // raw bytes, already trimmed and cut
    // The names as they were wanted, and for each the first one folding
    // alike: a reader asking with the same text is answered without folding.
    QString wantedName;
    qsizetype sameName = 0;  // index into sections_
    QStringList wantedKeys;
    QList<qsizetype> sameKey;  // indexes into keys
  };
  QList<Section> sections_;
};

// Collects sections and keys in the order of their first writing and gives
// the INI lines; writing a key again replaces its value in place.
class IniWriter {
 public:
  void writeString(const QString& section, const QString& key, const QString& value);
  QStringList lines() const;

 private:
  struct Section {
    QString name;
    QList<std::pair<QString, QString>> keys;
  };
  QList<Section> sections_;
};

}  // namespace records
