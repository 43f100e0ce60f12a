// Journal rows: one record file read into what the journal lists.
#include "records/journal.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

#include "core/divination.h"
#include "core/hexnames.h"
#include "records/mapping.h"
#include "records/record.h"

namespace records {

namespace {

const QString kNotARecord = QStringLiteral("Этот файл не является файлом KALYNTH");

struct ColumnInfo {
  const char* key;
  const char* title;
};
const ColumnInfo kColumns[JournalColumnCount] = {
    {"saved", "Сохранена"},      {"file", "Файл"},
    {"folder", "Папка"},         {"note", "Заметка"},
    {"primary", "Гуа"},          {"changed", "Изменённое"},
    {"changing_lines", "Черты"}, {"lunar_date", "Лунная дата"},
    {"comments", "Комментарии"}, {"problem", "Не запись"},
};

// The figures, changing lines and date text the main window shows after
// opening the record: the record read into the divination model.
void Divination(const Record& record, JournalRow& row) {
  core::Divination d;
  d.Restore(ToValues(record));
  auto shown = [&d](core::FigureIndex i) { return d.number(i).shown ? d.number(i).caption : 0; };
  row.primary = shown(core::Primary);
  row.nuclear = shown(core::Nuclear);
  row.changed = shown(core::Changed);
  for (int n : d.ChangingLines()) row.changingLines.append(n);
  if (d.statusShown()) row.lunarDate = QString::fromStdString(d.statusText());
}

QString HexagramCell(int number) {
  return number == 0 ? QString()
                     : QString::number(number) + QLatin1Char(' ') +
                           QString::fromUtf8(core::NameOfHexagram(number).name);
}

QString OneLine(QString text) {
  for (QChar& c : text)
    if (c == u'\t' || c == u'\r' || c == u'\n') c = u' ';
  return text;
}

}  // namespace

bool IsJournalCandidate(const QString& fileName) {
  return fileName.endsWith(QLatin1String(".kly"), Qt::CaseInsensitive);
}

QString FoldForSearch(const QString& text) {
  QString folded = text.toCaseFolded();
  folded.replace(u'ё', u'е');
  return folded;
}

JournalRow ReadJournalRow(const QString& path, const QString& root) {
  JournalRow row;
  const QFileInfo info(path);
  row.path = info.absoluteFilePath();
  row.fileName = info.fileName();
  row.folder = QDir(root).relativeFilePath(info.absolutePath());
  if (row.folder == QLatin1String(".")) row.folder.clear();
  row.searchText = FoldForSearch(row.fileName);

  // One open of the file tells everything (records/files.h): what it is,
  // its time and size, and its bytes; a pipe or device is never waited on.
  const CandidateFile file = ReadCandidateFile(path, MaxRecordSize);
  row.saved = file.modified;
  row.size = file.size;
  if (!file.bytes) {
    row.problem = file.reason;
    return row;
  }
  const std::optional<QByteArray>& bytes = file.bytes;
  if (!IsRecord(*bytes)) {
    row.problem = kNotARecord;
    return row;
  }
  Record record;
  try {
    record = DecodeRecord(*bytes);
  } catch (const RecordError& e) {
    row.problem = e.text();
    return row;
  }
  row.note = record.note;
  if (!record.comments.isEmpty()) row.comments = record.comments.split(QLatin1Char('\n'));
  Divination(record, row);
  row.searchText = FoldForSearch(row.note + QLatin1Char('\n') + row.comments.join(QLatin1Char('\n')) +
                                 QLatin1Char('\n') + row.fileName);
  return row;
}

JournalTree ListJournalTree(const QString& root, const std::function<bool()>& cancelled) {
  JournalTree tree;
  QStringList pending{QDir(root).absolutePath()};
  while (!pending.isEmpty()) {
    if (cancelled && cancelled()) break;
    const QString folder = pending.takeFirst();
    tree.folders.append(folder);
    QStringList subfolders;
    // Files of any kind (System: also broken links and pipes, which are
    // listed with their reason); folders that are not links.
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
      it.next();
      const QFileInfo info = it.fileInfo();
      if (info.isDir() && !info.isSymLink()) {
        subfolders.append(info.absoluteFilePath());
      } else if (IsJournalCandidate(info.fileName())) {
        tree.files.append(info.absoluteFilePath());
      }
    }
    subfolders.sort();
    pending = subfolders + pending;
  }
  tree.files.sort();
  return tree;
}

QList<JournalRow> ScanJournal(const QString& root) {
  const JournalTree tree = ListJournalTree(root);
  QList<JournalRow> rows;
  rows.reserve(tree.files.size());
  for (const QString& path : tree.files) rows.append(ReadJournalRow(path, root));
  std::stable_sort(rows.begin(), rows.end(), JournalOrder);
  return rows;
}

JournalMatcher::JournalMatcher(const JournalFilter& filter) : filter_(filter) {
  words_ = FoldForSearch(filter.text).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

bool JournalMatcher::isEmpty() const {
  return words_.isEmpty() && filter_.hexagram == 0 && !filter_.changingOnly && !filter_.from && !filter_.to;
}

bool JournalMatcher::operator()(const JournalRow& row) const {
  for (const QString& w : words_)
    if (!row.searchText.contains(w)) return false;
  if (filter_.hexagram != 0 && row.primary != filter_.hexagram && row.nuclear != filter_.hexagram &&
      row.changed != filter_.hexagram)
    return false;
  if (filter_.changingOnly && row.changingLines.isEmpty()) return false;
  if (filter_.from || filter_.to) {
    if (!row.saved.isValid()) return false;
    const QDate date = row.saved.date();
    if (filter_.from && date < *filter_.from) return false;
    if (filter_.to && date > *filter_.to) return false;
  }
  return true;
}

bool JournalOrder(const JournalRow& a, const JournalRow& b) {
  if (a.saved != b.saved) return a.saved > b.saved;
  return a.path < b.path;
}

const char* JournalColumnKey(int column) {
  return column >= 0 && column < JournalColumnCount ? kColumns[column].key : "";
}

QString JournalColumnTitle(int column) {
  return column >= 0 && column < JournalColumnCount ? QString::fromUtf8(kColumns[column].title) : QString();
}

QString JournalCell(const JournalRow& row, int column) {
  switch (column) {
    case ColSaved:
      return row.saved.isValid() ? row.saved.toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString();
    case ColFile:
      return OneLine(row.fileName);
    case ColNote:
      return OneLine(row.note);
    case ColPrimary:
      return HexagramCell(row.primary);
    case ColChanged:
      return HexagramCell(row.changed);
    case ColLines: {
      QStringList lines;
      for (int n : row.changingLines) lines.append(QString::number(n));
      return lines.join(QStringLiteral(", "));
    }
    case ColLunarDate:
      return OneLine(row.lunarDate);
    case ColComments: {
      QString text = OneLine(row.comments.join(QLatin1Char(' ')).simplified());
      if (text.size() > CommentsPreviewLength) text = text.left(CommentsPreviewLength - 1) + QChar(0x2026);
      return text;
    }
    case ColFolder:
      return OneLine(row.folder);
    case ColProblem:
      return OneLine(row.problem);
    default:
      return {};
  }
}

}  // namespace records
