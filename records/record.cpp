// Reading and writing .kly record files.
#include "records/record.h"

#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cerrno>

#include "records/context.h"
#include "records/cp1251.h"
#include "records/inifile.h"

namespace records {

namespace {

const QString kTitleSection = QString::fromLatin1(TitleSection);
const QString kBeginner = QString::fromLatin1(BeginnerSection);

QString Key(const char* name) {
  return QString::fromLatin1(name);
}

// Text a one-line value can store as it is: Windows-1251 without NUL and
// without a line break (which would end the value's line).
bool CanHoldLine(const QString& text) {
  for (QChar c : text)
    if (c == QChar(0) || c == u'\r' || c == u'\n') return false;
  return IsWindows1251(text);
}

bool CanHoldComments(const QString& text) {
  return !text.contains(QChar(0)) && IsWindows1251(text);
}

// Replaces what a one-line value cannot store by '?', as the encoder does
// for characters outside the code page.
QString StorableLine(QString text) {
  for (QChar& c : text)
    if (c == QChar(0) || c == u'\r' || c == u'\n') c = u'?';
  return text;
}

QString StorableComment(QString text) {
  text.replace(QChar(0), u'?');
  return text;
}

QString Flag(bool value) {
  return value ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

QString NotARecordMessage(const QString& path) {
  return QStringLiteral("File ") + path + QLatin1Char(' ') + QString::fromUtf8(NotARecordText);
}

QString CannotCreateFileText(const QString& path) {
  return QStringLiteral("Cannot create file %1").arg(path);
}

bool operator==(const Record& a, const Record& b) {
  return a.lineCodes == b.lineCodes && a.note == b.note && a.yah == b.yah && a.mon == b.mon &&
         a.day == b.day && a.hour == b.hour && a.btn2 == b.btn2 && a.gua == b.gua && a.jaoNo == b.jaoNo &&
         a.comments == b.comments && a.context == b.context;
}

QByteArray EncodeRecord(const Record& record) {
  IniWriter ini;
  ini.writeString(kTitleSection, Key(TitleKey), Key(RecordTitle));
  for (int n = 0; n < 6; ++n) ini.writeString(kBeginner, Key(LineKeys[n]), StorableLine(record.lineCodes[n]));
  ini.writeString(kBeginner, Key(NoteKey), StorableLine(record.note));
  ini.writeString(kBeginner, Key(YearKey), QString::number(record.yah));
  ini.writeString(kBeginner, Key(MonthKey), QString::number(record.mon));
  ini.writeString(kBeginner, Key(DayKey), QString::number(record.day));
  ini.writeString(kBeginner, Key(HourKey), QString::number(record.hour));
  ini.writeString(kBeginner, Key(CastFromDateKey), Flag(record.btn2));
  for (int n = 0; n < 6; ++n) ini.writeString(kBeginner, Key(FigureKeys[n]), Flag(record.gua[n]));
  ini.writeString(kBeginner, Key(ChangingLineKey), QString::number(record.jaoNo));
  if (record.context) {
    const QString section = QString::fromLatin1(ContextSection);
    for (const auto& [key, value] : ContextValues(*record.context))
      ini.writeString(section, key, StorableLine(value));
  }

  QStringList lines = ini.lines();
  lines.append(QString::fromLatin1(CommentsMarker));

  QByteArray bytes;
  for (const QString& line : lines) {
    bytes += EncodeWindows1251(line);
    bytes += "\r\n";
  }
  if (!record.comments.isEmpty()) {
    // Each '\n' of the text ends a line: CR LF. (Done in one pass: replacing
    // in place moves the rest of the text for every line.)
    const QByteArray comments = EncodeWindows1251(StorableComment(record.comments));
    bytes.reserve(bytes.size() + comments.size() + comments.count('\n') + 2);
    for (const char c : comments) {
      if (c == '\n') bytes += '\r';
      bytes += c;
    }
    bytes += "\r\n";
  }
  return bytes;
}

QStringList UnencodableFields(const Record& record) {
  QStringList fields;
  for (int n = 0; n < 6; ++n)
    if (!CanHoldLine(record.lineCodes[n])) fields.append(Key(LineKeys[n]));
  if (!CanHoldLine(record.note)) fields.append(Key(NoteKey));
  if (!CanHoldComments(record.comments)) fields.append(Key(CommentsField));
  return fields;
}

FileIdentity WriteRecordFile(const QString& path, const Record& record, const FileIdentity& expected) {
  const QByteArray bytes = EncodeRecord(record);
  ReplacingFile file(path, {.expected = expected, .forbidden = {}});
  switch (file.status()) {
    case ReplacingFile::Status::ForeignLink:
      throw UnsafeSaveError(UnsafeSaveError::Kind::ForeignLink, ForeignLinkText(file.foreignLink()));
    case ReplacingFile::Status::OtherFile:
      throw UnsafeSaveError(UnsafeSaveError::Kind::OtherFile, OtherFileText(path));
    default:
      break;
  }
  if (file.status() != ReplacingFile::Status::Open || !WriteAllBytes(file.fd(), bytes) || !file.commit())
    throw RecordError(CannotCreateFileText(path));
  return file.identity();
}

std::optional<QByteArray> ReadRecordBytes(const QString& path, FileIdentity* identity) {
  CandidateFile file = ReadCandidateFile(path, MaxRecordSize);
  if (identity) *identity = file.bytes ? file.identity : FileIdentity{};
  return std::move(file.bytes);
}

std::optional<QByteArray> ReadRecordBytes(QIODevice& device) {
  return ReadRecordBytes(device, 0);
}

std::optional<QByteArray> ReadRecordBytes(QIODevice& device, qint64 expectedSize) {
  if (!device.isOpen() && !device.open(QIODevice::ReadOnly)) return std::nullopt;
  if (!device.isReadable()) return std::nullopt;
  // One byte more than a record may hold tells a larger file apart (a file
  // may have grown since its size was checked).
  QByteArray bytes;
  bytes.reserve(std::clamp<qint64>(expectedSize + 1, 1, MaxRecordSize + 1));
  char chunk[16384];
  while (bytes.size() <= MaxRecordSize) {
    const qint64 want = std::min<qint64>(sizeof chunk, MaxRecordSize + 1 - bytes.size());
    const qint64 n = device.read(chunk, want);
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    bytes.append(chunk, n);
  }
  if (bytes.size() > MaxRecordSize) return std::nullopt;
  return bytes;
}

bool IsRecord(const QByteArray& bytes) {
  if (bytes.contains('\0')) return false;  // binary, not Windows-1251 text
  const IniFile ini(bytes, {{kTitleSection, {Key(TitleKey)}}});
  return ini.readString(kTitleSection, Key(TitleKey), QString::fromUtf8(NotARecordTitle)) ==
         QLatin1String(RecordTitle);
}

bool IsRecordFile(const QString& path) {
  const std::optional<QByteArray> bytes = ReadRecordBytes(path);
  return bytes && IsRecord(*bytes);
}

Record DecodeRecord(const QByteArray& bytes) {
  QStringList keys;
  for (const char* k : LineKeys) keys.append(Key(k));
  keys << Key(NoteKey) << Key(YearKey) << Key(MonthKey) << Key(DayKey) << Key(HourKey)
       << Key(CastFromDateKey);
  for (const char* k : FigureKeys) keys.append(Key(k));
  keys << Key(ChangingLineKey);
  const IniFile ini(bytes, {{kBeginner, keys}});
  Record r;
  // In the order the window reads them, so the first bad integer is the one reported.
  for (int n = 0; n < 6; ++n) r.lineCodes[n] = ini.readString(kBeginner, Key(LineKeys[n]), QString());
  r.note = ini.readString(kBeginner, Key(NoteKey), QString());
  r.yah = ini.readInteger(kBeginner, Key(YearKey), 0);
  r.mon = ini.readInteger(kBeginner, Key(MonthKey), 0);
  r.day = ini.readInteger(kBeginner, Key(DayKey), 0);
  r.hour = ini.readInteger(kBeginner, Key(HourKey), 0);
  r.btn2 = ini.readBool(kBeginner, Key(CastFromDateKey), false);
  for (int n = 0; n < 6; ++n) r.gua[n] = ini.readBool(kBeginner, Key(FigureKeys[n]), true);
  if (r.btn2) {
    r.jaoNo = ini.readInteger(kBeginner, Key(ChangingLineKey), 0);
  } else {
    // The window does not use the figure of a record cast from line codes,
    // so its changing line is never an error; it is kept for a faithful copy.
    const std::optional<int> n = ParseIniInteger(ini.readString(kBeginner, Key(ChangingLineKey), QString()));
    r.jaoNo = n.value_or(0);
  }
  r.comments = CommentsRead(bytes);
  r.context = DecodeContext(bytes);
  const qsizetype lines = CommentLineCount(r.comments);
  if (lines > MaxCommentLines) throw RecordError(CommentLinesText(lines));
  return r;
}

qsizetype CommentLineCount(const QString& comments) {
  return comments.isEmpty() ? 0 : comments.count(u'\n') + 1;
}

QString CommentLinesText(qsizetype lines) {
  return QStringLiteral("В комментариях %1 строк, а программа показывает и сохраняет не больше %2")
      .arg(lines)
      .arg(MaxCommentLines);
}

QString CommentsRead(const QByteArray& bytes) {
  const QByteArrayView marker(CommentsMarker);
  LineReader lines(bytes);
  QByteArrayView line;
  bool found = false;
  while (!found && lines.next(line)) found = line == marker;
  if (!found) return {};
  const QByteArrayView rest = QByteArrayView(bytes).sliced(lines.position());
  if (rest.isEmpty()) return {};  // no line after the marker

  // Every line after the first marker, joined by '\n': the file's text with
  // each line end (CR LF, CR or LF) made one '\n' and the last one dropped.
  QString text = DecodeWindows1251(rest);
  {
    QChar* d = text.data();
    const qsizetype n = text.size();
    qsizetype w = 0;
    for (qsizetype r = 0; r < n; ++r) {
      if (d[r] == u'\r') {
        d[w++] = u'\n';
        if (r + 1 < n && d[r + 1] == u'\n') ++r;
      } else {
        d[w++] = d[r];
      }
    }
    text.truncate(w);
    if (text.endsWith(u'\n')) text.chop(1);
  }

  // Every later marker repeats the lines after it at the top, within the
  // limit. A block's cost is its characters with one per line end, which is
  // the text from its start to the end plus one (none for an empty block).
  const QLatin1StringView markerText(CommentsMarker);
  QList<qsizetype> blocks;  // start of each repeated block in text; -1: no line after the marker
  qsizetype repeated = 0;
  for (qsizetype start = 0;;) {
    qsizetype end = text.indexOf(u'\n', start);
    if (end < 0) end = text.size();
    if (end - start == markerText.size() && QStringView(text).sliced(start, end - start) == markerText) {
      const bool hasLines = end < text.size();
      const qsizetype cost = hasLines ? text.size() - end : 0;
      if (repeated + cost > MaxRepeatedComments) break;
      repeated += cost;
      blocks.append(hasLines ? end + 1 : -1);
    }
    if (end == text.size()) break;
    start = end + 1;
  }
  if (blocks.isEmpty()) return text;

  // Each marker inserts its block at the top, so the last one used ends up first.
  QString box;
  box.reserve(text.size() + repeated + 1);
  for (auto b = blocks.crbegin(); b != blocks.crend(); ++b) {
    if (*b < 0) continue;
    box += QStringView(text).sliced(*b);
    box += u'\n';
  }
  box += text;
  return box;
}

std::optional<Record> ReadRecord(QIODevice& device) {
  const std::optional<QByteArray> bytes = ReadRecordBytes(device);
  if (!bytes || !IsRecord(*bytes)) return std::nullopt;
  return DecodeRecord(*bytes);
}

std::optional<Record> ReadRecordFile(const QString& path, FileIdentity* identity) {
  const std::optional<QByteArray> bytes = ReadRecordBytes(path, identity);
  if (!bytes || !IsRecord(*bytes)) return std::nullopt;
  return DecodeRecord(*bytes);
}

}  // namespace records
