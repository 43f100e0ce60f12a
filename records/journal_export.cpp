// The journal's rows as CSV and JSON.
#include "records/journal_export.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include "records/files.h"
#include "records/record.h"

namespace records {
namespace {

// The cells of one row for CSV, in column order: the journal's cells with
// the texts whole.
QStringList CsvCells(const JournalRow& row) {
  QStringList cells;
  for (int c = 0; c < JournalColumnCount; ++c) {
    switch (c) {
      case ColFile:
        cells.append(row.fileName);
        break;
      case ColFolder:
        cells.append(row.folder);
        break;
      case ColNote:
        cells.append(row.note);
        break;
      case ColLunarDate:
        cells.append(row.lunarDate);
        break;
      case ColComments:
        cells.append(WholeComments(row));
        break;
      case ColProblem:
        cells.append(row.problem);
        break;
      default:
        cells.append(JournalCell(row, c));
    }
  }
  return cells;
}

void AppendLine(QByteArray& out, const QStringList& cells) {
  for (qsizetype i = 0; i < cells.size(); ++i) {
    if (i > 0) out += ',';
    out += CsvField(cells[i]);
  }
  out += "\r\n";
}

// ISO 8601 with the offset of the time itself; null when unknown.
QJsonValue IsoMoment(const QDateTime& t) {
  if (!t.isValid()) return QJsonValue::Null;
  return t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODate);
}

QJsonValue NumberOrNull(int n) {
  return n > 0 ? QJsonValue(n) : QJsonValue(QJsonValue::Null);
}

QJsonValue TextOrNull(const QString& text) {
  return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

}  // namespace

QString WholeComments(const JournalRow& row) {
  if (!row.isRecord() || row.isFolder) return {};
  if (!row.commentsCut) return row.commentsHead;
  const CandidateFile read = ReadCandidateFile(row.nativePath, MaxRecordSize);
  if (!read.bytes || !IsRecord(*read.bytes)) return row.commentsHead;
  try {
    return DecodeRecord(*read.bytes).comments;
  } catch (const RecordError&) {
    return row.commentsHead;
  }
}

QByteArray CsvField(const QString& text) {
  QByteArray bytes = text.toUtf8();
  if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\r') || bytes.contains('\n')) {
    bytes.replace("\"", "\"\"");
    bytes.prepend('"');
    bytes.append('"');
  }
  return bytes;
}

QByteArray JournalCsv(const QList<JournalRow>& rows) {
  QByteArray out;
  QStringList header;
  for (int c = 0; c < JournalColumnCount; ++c) header.append(QString::fromLatin1(JournalColumnKey(c)));
  AppendLine(out, header);
  for (const JournalRow& row : rows) AppendLine(out, CsvCells(row));
  return out;
}

QByteArray JournalJson(const QList<JournalRow>& rows) {
  QJsonArray array;
  for (const JournalRow& row : rows) {
    QJsonArray lines;
    for (int n : row.changingLines) lines.append(n);
    const QJsonObject object{
        {"path", row.path},
        {"folder", row.folder},
        {"file", row.fileName},
        {"saved", IsoMoment(row.saved)},
        {"cast", IsoMoment(row.cast)},
        {"context", TextOrNull(row.castContext)},
        {"note", row.note},
        {"primary", NumberOrNull(row.primary)},
        {"nuclear", NumberOrNull(row.nuclear)},
        {"changed", NumberOrNull(row.changed)},
        {"changing_lines", lines},
        {"lunar_date", TextOrNull(row.lunarDate)},
        {"comments", WholeComments(row)},
        {"problem", TextOrNull(row.problem)},
        {"is_folder", row.isFolder},
    };
    array.append(object);
  }
  return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

void WriteJournalExport(const QString& path, const QByteArray& bytes) {
  if (HasRecordFileExtension(path))
    throw RecordError(QStringLiteral("Экспорт журнала не записывается в файл записи: %1").arg(path));
  ReplacingFile file(path, {});
  if (file.status() == ReplacingFile::Status::ForeignLink)
    throw RecordError(ForeignLinkText(file.foreignLink()));
  if (file.status() != ReplacingFile::Status::Open || !WriteAllBytes(file.fd(), bytes) || !file.commit())
    throw RecordError(CannotCreateFileText(path));
}

}  // namespace records
