// Journal rows: one record file read into what the journal lists.
#include "records/journal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <string_view>

#include "calendar/season.h"
#include "core/celltext.h"
#include "core/divination.h"
#include "core/hexnames.h"
#include "records/cp1251.h"
#include "records/inifile.h"
#include "records/mapping.h"
#include "records/record.h"

namespace records {

namespace {

const QString kNotARecord = QString::fromUtf8(NotARecordText);

struct ColumnInfo {
  const char* key;
  const char* title;
};
const ColumnInfo kColumns[JournalColumnCount] = {
    {"saved", "Сохранена"},      {"cast", "Гадание"},         {"file", "Файл"},
    {"folder", "Папка"},         {"note", "Заметка"},         {"primary", "Гуа"},
    {"changed", "Изменённое"},   {"changing_lines", "Черты"}, {"lunar_date", "Лунная дата"},
    {"comments", "Комментарии"}, {"problem", "Не запись"},
};

// The figures, changing lines and date text the main window shows after
// opening the record: the record read into the divination model.
void Divination(const Record& record, JournalRow& row) {
  core::Divination d;
  Restore(d, record);
  if (const std::optional<core::Numbers> n = d.numbers()) {
    row.primary = n->primary;
    row.nuclear = d.HasFigure(core::Nuclear) ? n->nuclear : 0;
    row.changed = d.HasFigure(core::Changed) ? n->changed : 0;
  }
  for (int n : d.ChangingLines()) row.changingLines.append(n);
  if (d.fromDate()) row.lunarDate = QString::fromStdString(d.CastDateText());
}

QString HexagramCell(int number) {
  return number == 0 ? QString()
                     : QString::number(number) + QLatin1Char(' ') +
                           QString::fromUtf8(core::NameOfHexagram(number).name);
}

QString OneLine(QString text) {
  for (QChar& c : text)
    if (core::BreaksCell(c.unicode())) c = QChar(char16_t(core::CellReplacement));
  return text;
}

// The name's bytes as text: UTF-8 when they are, else Windows-1251.
QString DisplayName(QByteArrayView name) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8(name);
  return utf8.hasError() ? DecodeWindows1251(name) : text;
}

// Line ends of a text, CR LF counting once.
qsizetype LineEnds(QByteArrayView text) {
  qsizetype n = text.count('\n');
  for (qsizetype at = text.indexOf('\r'); at >= 0; at = text.indexOf('\r', at + 1))
    if (at + 1 == text.size() || text[at + 1] != '\n') ++n;
  return n;
}

// True when a line of `head` starts the section "BEGINNER" (the reader's
// rule: trimmed, the name up to "]", trimmed, in any letter case).
bool HasBeginnerSection(QByteArrayView head) {
  LineReader lines(head);
  QByteArrayView line;
  while (lines.next(line)) {
    QByteArrayView l = line.trimmed();
    if (l.isEmpty() || l.front() != '[') continue;
    l = l.sliced(1);
    if (const qsizetype close = l.indexOf(']'); close >= 0) l = l.first(close);
    if (l.trimmed().compare(QByteArrayView(BeginnerSection), Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

// The record as DecodeRecord reads it, but with only the first `keep`
// characters of the comments (or a few more): the journal needs no more,
// and decoding 16 MiB of comments for a row would cost far more than the
// row. The short way is taken when nothing after the comments' beginning
// can change the fields or the top of the comments: the first marker line
// ends a "BEGINNER" section above it, and the marker does not come again
// (a later marker would repeat lines at the top). Otherwise the whole
// record is decoded. The limit on comment lines is checked on the whole
// comments either way.
Record DecodeForJournal(const QByteArray& bytes, qsizetype keep) {
  const QByteArrayView marker(CommentsMarker);
  LineReader lines(bytes);
  QByteArrayView line;
  bool found = false;
  while (!found && lines.next(line)) found = line == marker;
  if (!found) return DecodeRecord(bytes);
  const qsizetype end = lines.position();
  const QByteArrayView all(bytes);
  const QByteArrayView rest = all.sliced(end);
  const qsizetype cut = 2 * keep + 2;  // bytes enough for `keep` characters after CR LF
  if (rest.size() <= cut || rest.indexOf(marker) >= 0 || !HasBeginnerSection(all.first(end - line.size())))
    return DecodeRecord(bytes);
  const qsizetype commentLines =
      rest.isEmpty() ? 0 : LineEnds(rest) + 1 - ((rest.endsWith('\n') || rest.endsWith('\r')) ? 1 : 0);
  if (commentLines > MaxCommentLines) throw RecordError(CommentLinesText(commentLines));
  return DecodeRecord(bytes.first(end + cut));
}

// IsRecordFileName on a name's bytes, for the folder walk.
bool EndsWithCandidateExtension(const char* name, std::size_t length) {
  if (length < 4 || name[length - 4] != '.') return false;
  const std::string_view ext(name + length - 3, 3);
  return ext == "kly" || ext == "KLY" || ext == "Kly";
}

// `native` relative to the root's bytes, shown.
QString RelativeFolder(const QByteArray& native, const QByteArray& root) {
  const qsizetype slash = native.lastIndexOf('/');
  if (slash <= root.size()) return {};
  return DisplayPath(QByteArrayView(native).sliced(root.size() + 1, slash - root.size() - 1));
}

// The root's bytes, absolute, without a trailing slash ("/" stays).
QByteArray AbsoluteNative(QByteArray native) {
  if (!native.startsWith('/')) {
    const QByteArray cwd = QFile::encodeName(QDir::currentPath());
    native = native.isEmpty() || native == "." ? cwd : cwd + '/' + native;
  }
  while (native.size() > 1 && native.endsWith('/')) native.chop(1);
  return native;
}

}  // namespace

bool IsJournalCandidate(const QString& fileName) {
  return IsRecordFileName(fileName);
}

QString FoldForSearch(const QString& text) {
  // Folding an ASCII text is making its capitals small (most file names).
  const QChar* const begin = text.constData();
  if (std::all_of(begin, begin + text.size(), [](QChar c) { return c.unicode() < 0x80; })) {
    QString folded(text.size(), Qt::Uninitialized);
    QChar* out = folded.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
      const char16_t c = begin[i].unicode();
      out[i] = QChar(c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c);
    }
    return folded;
  }
  QString folded = text.toCaseFolded();
  folded.replace(u'ё', u'е');
  return folded;
}

QString DisplayPath(QByteArrayView native) {
  QString path;
  path.reserve(native.size());
  qsizetype start = 0;
  while (start <= native.size()) {
    qsizetype slash = native.indexOf('/', start);
    if (slash < 0) slash = native.size();
    if (start > 0) path += QLatin1Char('/');
    path += DisplayName(native.sliced(start, slash - start));
    start = slash + 1;
  }
  return path;
}

JournalEntry EntryOf(const QString& path) {
  const QString absolute = QDir::cleanPath(QDir(path).absolutePath());
  return {QFile::encodeName(absolute), absolute};
}

bool JournalRow::hasPortablePath() const {
  return QFile::encodeName(path) == nativePath;
}

JournalStamp StampOf(const QByteArray& native) {
  struct stat st {};
  if (::stat(native.constData(), &st) != 0) return {};
  return {ModifiedOf(st), S_ISREG(st.st_mode) ? qint64(st.st_size) : -1};
}

JournalRow ReadJournalRow(const QString& path, const QString& root) {
  return ReadJournalRow(EntryOf(path), QDir::cleanPath(QDir(root).absolutePath()));
}

JournalRow ReadJournalRow(const JournalEntry& file, const QString& root) {
  JournalRow row;
  row.path = file.path;
  row.nativePath = file.native;
  const qsizetype slash = file.path.lastIndexOf(QLatin1Char('/'));
  row.fileName = file.path.mid(slash + 1);
  if (file.path.startsWith(root) && slash > root.size())
    row.folder = file.path.mid(root.size() + 1, slash - root.size() - 1);
  row.searchText = FoldForSearch(row.fileName);

  // One open of the file tells everything (records/files.h): what it is,
  // its time and size, and its bytes; a pipe or device is never waited on.
  const CandidateFile read = ReadCandidateFile(file.native, MaxRecordSize);
  row.saved = read.modified;
  row.size = read.size;
  if (!read.bytes) {
    row.problem = read.reason;
    return row;
  }
  const QByteArray& bytes = *read.bytes;
  if (!IsRecord(bytes)) {
    row.problem = kNotARecord;
    return row;
  }
  Record record;
  try {
    record = DecodeForJournal(bytes, SearchedCommentsLength + 1);
  } catch (const RecordError& e) {
    row.problem = e.text();
    return row;
  }
  if (record.context) {
    if (!record.context->moment.empty())
      row.cast = QDateTime::fromString(QString::fromStdString(record.context->moment), Qt::ISODateWithMs);
    row.castContext = QString::fromStdString(core::ContextText(*record.context));
    for (int k = 0; k < 24; ++k)
      if (!record.context->term.empty() && calendar::TermName(k) == record.context->term) row.term = k;
  }
  row.note = record.note;
  // Only the beginning of the comments stays with the row.
  row.commentsHead = record.comments.left(CommentsHeadLength);
  row.commentsCut = record.comments.size() > CommentsHeadLength;
  QString searched = row.note;
  searched.reserve(row.note.size() + std::min(record.comments.size(), SearchedCommentsLength) +
                   row.fileName.size() + 2);
  searched += QLatin1Char('\n');
  searched += QStringView(record.comments).left(SearchedCommentsLength);
  searched += QLatin1Char('\n');
  searched += row.fileName;
  row.searchText = FoldForSearch(searched);
  record.comments.clear();  // the figures do not depend on them
  Divination(record, row);
  return row;
}

namespace {

// The names of one folder, read straight from the kernel: open() with
// O_DIRECTORY (a pipe or anything else put in the folder's place is refused
// at once, never waited on) and getdents64() into one buffer, without the
// status call opendir() makes for every folder. On a tree of many small
// folders that call was a fifth of the walk.
class FolderReader {
 public:
  explicit FolderReader(const QByteArray& path)
      : fd_(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)),
        error_(fd_ < 0 ? errno : 0) {}
  ~FolderReader() {
    if (fd_ >= 0) ::close(fd_);
  }
  FolderReader(const FolderReader&) = delete;
  FolderReader& operator=(const FolderReader&) = delete;

  bool isOpen() const { return fd_ >= 0; }
  int error() const { return error_; }
  int fd() const { return fd_; }

  // The next entry, nullptr at the end (or on a read error).
  const dirent64* next() {
    if (at_ >= have_) {
      const ssize_t n = ::getdents64(fd_, buffer_, sizeof buffer_);
      if (n <= 0) return nullptr;
      have_ = n;
      at_ = 0;
    }
    const auto* e = reinterpret_cast<const dirent64*>(buffer_ + at_);
    at_ += e->d_reclen;
    return e;
  }

 private:
  int fd_;
  int error_;
  alignas(dirent64) char buffer_[32768];
  ssize_t have_ = 0, at_ = 0;
};

}  // namespace

QString JournalRootText(int error, const QString& path) {
  const QString shown = QDir::toNativeSeparators(path);
  switch (error) {
    case ENOENT:
      return QStringLiteral("Папка не найдена: ") + shown;
    case ENOTDIR:
      return QStringLiteral("Это не папка: ") + shown;
    default:
      return QStringLiteral("Папка не читается (%1): ").arg(ErrnoText(error)) + shown;
  }
}

JournalTree ListJournalTree(const QString& root, const std::function<bool()>& cancelled) {
  return ListJournalTree(EntryOf(root), cancelled);
}

JournalTree ListJournalTree(const JournalEntry& rootEntry, const std::function<bool()>& cancelled,
                            const std::function<void(const JournalEntry&)>& listing) {
  JournalTree tree;
  const QByteArray root = AbsoluteNative(rootEntry.native);
  // Level by level: each folder is taken from the front once and its
  // subfolders go to the back, so every folder costs the same.
  std::deque<QByteArray> pending{root};
  bool first = true;
  while (!pending.empty()) {
    if (cancelled && cancelled()) break;
    const QByteArray folder = std::move(pending.front());
    pending.pop_front();
    const JournalEntry entry{folder, DisplayPath(folder)};
    if (listing) listing(entry);
    FolderReader dir(folder);
    if (!dir.isOpen()) {
      const int error = dir.error();
      if (first) {
        tree.rootProblem = JournalRootText(error, entry.path);
        break;
      }
      // Gone or replaced since its parent was listed: nothing to show.
      if (error == ENOENT || error == ENOTDIR) continue;
      JournalRow row;
      row.path = entry.path;
      row.nativePath = folder;
      row.fileName = entry.path.mid(entry.path.lastIndexOf(QLatin1Char('/')) + 1);
      row.folder = RelativeFolder(folder, root);
      row.isFolder = true;
      row.problem = QStringLiteral("Папка не читается: ") + ErrnoText(error);
      struct stat st {};
      if (::lstat(folder.constData(), &st) == 0) row.saved = ModifiedOf(st);
      row.searchText = FoldForSearch(row.fileName);
      tree.unreadable.append(std::move(row));
      continue;
    }
    first = false;
    tree.folders.append(entry);
    std::vector<QByteArray> subfolders;
    const QByteArray prefix = folder == "/" ? folder : folder + '/';
    while (const dirent64* e = dir.next()) {
      const char* name = e->d_name;
      if (name[0] == '.') continue;  // hidden, "." and ".."
      const std::size_t length = std::strlen(name);
      unsigned char type = e->d_type;
      if (type == DT_UNKNOWN) {
        struct stat st {};
        if (::fstatat(dir.fd(), name, &st, AT_SYMLINK_NOFOLLOW) == 0)
          type = S_ISDIR(st.st_mode) ? DT_DIR : DT_REG;
      }
      if (type == DT_DIR) {
        subfolders.push_back(prefix + QByteArray(name, qsizetype(length)));
      } else if (EndsWithCandidateExtension(name, length)) {
        // Files of any kind: broken links and pipes are listed with their reason.
        const QByteArray path = prefix + QByteArray(name, qsizetype(length));
        tree.files.append({path, DisplayPath(path)});
      }
    }
    std::sort(subfolders.begin(), subfolders.end());
    for (QByteArray& f : subfolders) pending.push_back(std::move(f));
  }
  std::sort(tree.files.begin(), tree.files.end(),
            [](const JournalEntry& a, const JournalEntry& b) { return a.path < b.path; });
  return tree;
}

QList<JournalRow> ScanJournal(const QString& root) {
  return ScanJournal(EntryOf(root));
}

QList<JournalRow> ScanJournal(const JournalEntry& rootEntry, const std::function<bool()>& cancelled) {
  const JournalEntry root{AbsoluteNative(rootEntry.native), DisplayPath(AbsoluteNative(rootEntry.native))};
  JournalTree tree = ListJournalTree(root, cancelled);
  if (!tree.rootProblem.isEmpty()) throw JournalError(tree.rootProblem);
  QList<JournalRow> rows;
  rows.reserve(tree.files.size() + tree.unreadable.size());
  for (const JournalEntry& file : tree.files) {
    if (cancelled && cancelled()) break;
    rows.append(ReadJournalRow(file, root.path));
  }
  for (JournalRow& row : tree.unreadable) rows.append(std::move(row));
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
    const QDateTime when = row.when();
    if (!when.isValid()) return false;
    const QDate date = when.date();
    if (filter_.from && date < *filter_.from) return false;
    if (filter_.to && date > *filter_.to) return false;
  }
  return true;
}

bool JournalOrder(const JournalRow& a, const JournalRow& b) {
  const QDateTime ta = a.when(), tb = b.when();
  if (ta != tb) return ta > tb;
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
    case ColCast:
      // The moment in the offset it was cast in; a record without one shows
      // its file's time, marked.
      if (row.castKnown()) return row.cast.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
      return row.saved.isValid() && row.isRecord()
                 ? row.saved.toString(QStringLiteral("yyyy-MM-dd HH:mm")) + QStringLiteral(" (файл)")
                 : QString();
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
      QString text = OneLine(row.commentsHead).simplified();
      if (text.size() > CommentsPreviewLength)
        text = text.left(CommentsPreviewLength - 1) + QChar(0x2026);
      else if (row.commentsCut)
        text += QChar(0x2026);
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
