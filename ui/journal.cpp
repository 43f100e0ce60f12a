#include "ui/journal.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCheckBox>
#include <QColor>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMutex>
#include <QPromise>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSocketNotifier>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableView>
#include <QTableWidget>
#include <QThread>
#include <QThreadPool>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <atomic>
#include <cerrno>

#include "calendar/season.h"
#include "core/hexnames.h"
#include "records/journal_export.h"
#include "records/journal_seasons.h"
#include "settings/SettingsStore.h"
#include "ui/Accessibility.h"
#include "ui/Application.h"
#include "ui/Placement.h"
#include "ui/Platform.h"

namespace {

using records::JournalRow;

using records::JournalEntry;
using records::JournalStamp;

// Rows are handed to the window in pieces of this many, or sooner when
// reading is slow, so the table fills while the scan goes on.
constexpr int PieceRows = 256;
constexpr qint64 PieceMilliseconds = 100;

bool IsUnderNative(const QByteArray& path, const QByteArray& folder) {
  return path.startsWith(folder) && path.size() > folder.size() && path[folder.size()] == '/';
}

}  // namespace

// The watches of the folder shown: one inotify descriptor, the folders of
// the first levels on it. Folders are added by the scan job (any thread);
// the window reads the changes on its own thread. Closing the descriptor
// drops every watch in one step.
class TFolderWatch {
 public:
  struct Change {
    JournalEntry entry;  // the file or folder touched
    bool whole = false;  // the folder shown itself moved or vanished, or changes were lost
  };

  TFolderWatch() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
  ~TFolderWatch() {
    if (fd_ >= 0) ::close(fd_);
  }
  TFolderWatch(const TFolderWatch&) = delete;
  TFolderWatch& operator=(const TFolderWatch&) = delete;

  int fd() const { return fd_; }
  int count() const { return count_.load(); }
  bool limited() const { return limited_.load(); }

  // Watches `folder` unless the budget is spent or the system grants no
  // more watches (then nothing more is asked; no message per folder).
  void Add(const JournalEntry& folder) {
    if (fd_ < 0 || limited_.load()) {
      limited_ = true;
      return;
    }
    QMutexLocker lock(&mutex_);
    if (byPath_.contains(folder.native)) return;
    if (count_.load() >= TFormJournal::MaxWatchedFolders) {
      limited_ = true;
      return;
    }
    const int wd =
        ::inotify_add_watch(fd_, folder.native.constData(),
                            IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE | IN_ATTRIB |
                                IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_DONT_FOLLOW | IN_EXCL_UNLINK);
    if (wd < 0) {
      if (errno == ENOSPC || errno == ENOMEM) limited_ = true;
      return;
    }
    byWd_.insert(wd, folder);
    byPath_.insert(folder.native, wd);
    count_ = static_cast<int>(byWd_.size());
  }

  // Stops watching `folder` and the folders under it (moved away).
  void RemoveUnder(const QByteArray& folder) {
    QMutexLocker lock(&mutex_);
    for (auto it = byPath_.begin(); it != byPath_.end();) {
      if (it.key() == folder || IsUnderNative(it.key(), folder)) {
        ::inotify_rm_watch(fd_, it.value());
        byWd_.remove(it.value());
        it = byPath_.erase(it);
      } else {
        ++it;
      }
    }
    count_ = static_cast<int>(byWd_.size());
  }

  // The changes waiting on the descriptor.
  QList<Change> Read(const QByteArray& root) {
    QList<Change> changes;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n <= 0) break;
      QMutexLocker lock(&mutex_);
      for (ssize_t at = 0; at < n;) {
        const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
        if (e->mask & IN_Q_OVERFLOW) {
          changes.append({{root, records::DisplayPath(root)}, true});
          continue;
        }
        const auto folder = byWd_.constFind(e->wd);
        if (folder == byWd_.constEnd()) continue;
        if (e->mask & IN_IGNORED) {
          byPath_.remove(folder->native);
          byWd_.erase(folder);
          count_ = static_cast<int>(byWd_.size());
          continue;
        }
        if (e->mask & (IN_DELETE_SELF | IN_MOVE_SELF)) {
          // Its parent's change tells the rest; the folder shown has none.
          if (folder->native == root) changes.append({*folder, true});
          continue;
        }
        if (e->len == 0) continue;
        const QByteArray name(e->name);
        if (name.startsWith('.')) continue;  // hidden, as the walk skips them
        const QByteArray path = folder->native == "/" ? "/" + name : folder->native + '/' + name;
        changes.append({{path, records::DisplayPath(path)}, false});
      }
    }
    return changes;
  }

 private:
  const int fd_;
  QMutex mutex_;
  QHash<int, JournalEntry> byWd_;
  QHash<QByteArray, int> byPath_;
  std::atomic_int count_{0};
  std::atomic_bool limited_{false};
};

namespace {

// The scan job, run off the user-interface thread. Reads every candidate
// file under the job's trees whose stamp differs from `known` (all of them
// when known is empty), and every name the job lists; rows are relative to
// `base`. Each folder is given to `watch` just before it is listed.
// `stop` ends it early: the rows read so far are still delivered, and the
// last piece says it was stopped.
void RunScan(QPromise<TFormJournal::ScanPiece>& promise, TFormJournal::ScanJob job, const QString& base,
             const QHash<QString, JournalStamp>& known, const std::shared_ptr<std::atomic_bool>& stop,
             const std::shared_ptr<TFolderWatch>& watch, const QByteArray& baseNative) {
  const auto cancelled = [&promise, &stop] { return stop->load() || promise.isCanceled(); };
  const auto listing = [&watch](const JournalEntry& folder) {
    if (watch) watch->Add(folder);
  };
  TFormJournal::ScanPiece last;
  last.last = true;
  QList<JournalEntry> files;
  QList<JournalEntry> changed;  // names a change touched: always read again
  // A name is looked at once: a folder there now is read whole, a file is
  // read, nothing there takes its rows (and watches) along.
  for (const JournalEntry& name : job.names) {
    struct stat st {};
    if (::lstat(name.native.constData(), &st) != 0) {
      last.gone.append(name.path);
      if (watch) watch->RemoveUnder(name.native);
    } else if (S_ISDIR(st.st_mode)) {
      job.trees.append(name);
    } else if (records::IsJournalCandidate(name.path)) {
      changed.append(name);
    } else {
      last.gone.append(name.path);  // a folder replaced by a file, say
    }
  }
  for (const JournalEntry& root : job.trees) {
    records::JournalTree tree = records::ListJournalTree(root, cancelled, listing);
    if (!tree.rootProblem.isEmpty()) {
      if (root.native == baseNative) last.rootProblem = tree.rootProblem;
      last.gone.append(root.path);
      continue;
    }
    last.roots.append(root.path);
    for (const JournalEntry& f : tree.files) last.present.append(f.path);
    for (const records::JournalRow& r : tree.unreadable) last.present.append(r.path);
    files += tree.files;
    // Folders that cannot be listed are rows of their own, always up to date.
    if (!tree.unreadable.isEmpty()) {
      TFormJournal::ScanPiece folders;
      folders.rows = std::move(tree.unreadable);
      promise.addResult(std::move(folders));
    }
  }
  for (const JournalEntry& f : changed) last.present.append(f.path);
  const qsizetype fromTrees = files.size();
  files += changed;
  last.total = static_cast<int>(files.size());
  if (cancelled()) {
    last.stopped = true;
    promise.addResult(std::move(last));
    return;
  }
  promise.setProgressRange(0, last.total);

  TFormJournal::ScanPiece piece;
  QElapsedTimer sinceLastPiece;
  sinceLastPiece.start();
  for (qsizetype i = 0; i < files.size(); ++i) {
    if (cancelled()) {
      last.stopped = true;
      break;
    }
    const JournalEntry& file = files[i];
    const auto k = i < fromTrees ? known.constFind(file.path) : known.constEnd();
    if (k == known.constEnd() || !(records::StampOf(file.native) == *k))
      piece.rows.append(records::ReadJournalRow(file, base));
    if (piece.rows.size() >= PieceRows ||
        (!piece.rows.isEmpty() && sinceLastPiece.elapsed() >= PieceMilliseconds)) {
      promise.addResult(std::move(piece));
      piece = {};
      sinceLastPiece.restart();
    }
    promise.setProgressValue(static_cast<int>(i + 1));
    last.read = static_cast<int>(i + 1);
  }
  if (!piece.rows.isEmpty()) promise.addResult(std::move(piece));
  promise.addResult(std::move(last));
}

// The scan jobs' own threads. Qt waits for its global pool without a bound
// when the application ends; this pool is never waited on that way (it is
// never destroyed): a scan stuck in a file system that does not answer is
// left behind when the program ends, after a short wait for a scan that is
// only finishing its file.
QThreadPool* ScanPool() {
  static QThreadPool* const pool = [] {
    auto* p = new QThreadPool;
    p->setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
    return p;
  }();
  return pool;
}
constexpr int ScanEndWaitMs = 2000;

bool IsUnder(const QString& path, const QString& folder) {
  return path.startsWith(folder) && path.size() > folder.size() && path[folder.size()] == u'/';
}

}  // namespace

// ---------------------------------------------------------------------------
// TJournalModel

int TJournalModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TJournalModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : records::JournalColumnCount;
}

QVariant TJournalModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_.size()) return {};
  const JournalRow& r = rows_[index.row()];
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
      // The reason a file is not a record stands where its note would be
      // (the reason's own column is hidden in the window).
      if (column == records::ColNote && !r.isRecord()) return records::JournalCell(r, records::ColProblem);
      return records::JournalCell(r, column);
    case Qt::FontRole:
      if (column == records::ColNote && !r.isRecord()) {
        QFont italic;
        italic.setItalic(true);
        return italic;
      }
      return {};
    case SortRole:
      switch (column) {
        case records::ColSaved:
          return r.saved;
        case records::ColCast:
          return r.when();
        case records::ColPrimary:
          return r.primary;
        case records::ColChanged:
          return r.changed;
        default:
          return records::FoldForSearch(records::JournalCell(r, column));
      }
    case Qt::ToolTipRole:
      if (!r.isRecord()) return r.problem;
      if (column == records::ColFile) return QDir::toNativeSeparators(r.path);
      if (column == records::ColCast)
        return r.castContext.isEmpty() ? QString::fromUtf8(core::UnknownMomentText.data(),
                                                           qsizetype(core::UnknownMomentText.size())) +
                                             QStringLiteral(": показано время файла")
                                       : r.castContext;
      if (column == records::ColComments && !r.commentsHead.isEmpty()) {
        QString tip = r.commentsHead.section(u'\n', 0, 29);
        if (r.commentsCut || tip.size() < r.commentsHead.size()) tip += QChar(0x2026);
        return tip;
      }
      if (column == records::ColPrimary && r.nuclear != 0)
        return QStringLiteral("Внутреннее гуа: ") + QString::number(r.nuclear);
      return {};
    case Qt::ForegroundRole:
      if (!r.isRecord()) return QColor(160, 0, 0);
      return {};
    default:
      return {};
  }
}

QVariant TJournalModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return records::JournalColumnTitle(section);
  return QAbstractTableModel::headerData(section, orientation, role);
}

void TJournalModel::reindex() {
  byPath_.clear();
  byPath_.reserve(rows_.size());
  for (int i = 0; i < rows_.size(); ++i) byPath_.insert(rows_[i].path, i);
}

void TJournalModel::clear() {
  beginResetModel();
  rows_.clear();
  byPath_.clear();
  endResetModel();
}

void TJournalModel::upsert(const QList<JournalRow>& rows) {
  QList<JournalRow> added;
  for (const JournalRow& r : rows) {
    const auto at = byPath_.constFind(r.path);
    if (at == byPath_.constEnd()) {
      added.append(r);
      continue;
    }
    rows_[*at] = r;
    emit dataChanged(index(*at, 0), index(*at, records::JournalColumnCount - 1));
  }
  if (added.isEmpty()) return;
  const int first = static_cast<int>(rows_.size());
  beginInsertRows({}, first, first + static_cast<int>(added.size()) - 1);
  for (JournalRow& r : added) {
    byPath_.insert(r.path, static_cast<int>(rows_.size()));
    rows_.append(std::move(r));
  }
  endInsertRows();
}

void TJournalModel::removeMissing(const QStringList& folders, const QSet<QString>& present) {
  removeRows([&](const QString& path) {
    return !present.contains(path) &&
           std::any_of(folders.begin(), folders.end(), [&](const QString& f) { return IsUnder(path, f); });
  });
}

void TJournalModel::removeUnder(const QStringList& paths) {
  if (paths.isEmpty()) return;
  removeRows([&](const QString& path) {
    return std::any_of(paths.begin(), paths.end(),
                       [&](const QString& p) { return path == p || IsUnder(path, p); });
  });
}

template <typename Gone>
void TJournalModel::removeRows(const Gone& goneAt) {
  auto gone = [&](int i) { return goneAt(rows_[i].path); };
  // From the end, one run of neighbouring rows at a time, so the indexes of
  // the rows still to look at stay valid and a removed folder of thousands
  // of records is a few removals, not thousands.
  bool removed = false;
  for (int last = static_cast<int>(rows_.size()) - 1; last >= 0; --last) {
    if (!gone(last)) continue;
    int first = last;
    while (first > 0 && gone(first - 1)) --first;
    beginRemoveRows({}, first, last);
    rows_.remove(first, last - first + 1);
    endRemoveRows();
    removed = true;
    last = first;
  }
  if (removed) reindex();
}

// ---------------------------------------------------------------------------
// TJournalProxy

TJournalProxy::TJournalProxy(QObject* parent)
    : QSortFilterProxyModel(parent), matcher_(std::make_unique<records::JournalMatcher>(filter_)) {
  setSortRole(TJournalModel::SortRole);
  setSortLocaleAware(true);
}

void TJournalProxy::setFilter(const records::JournalFilter& filter) {
  filter_ = filter;
  matcher_ = std::make_unique<records::JournalMatcher>(filter_);
  invalidateFilter();
}

bool TJournalProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
  if (left.column() == records::ColSaved || left.column() == records::ColCast) {
    // By time (of the file, or of the cast with the file's time for a
    // record without a moment), files of the same minute by path, so the
    // order never depends on the order the files were read in.
    const auto* source = static_cast<const TJournalModel*>(sourceModel());
    const JournalRow& a = source->row(left.row());
    const JournalRow& b = source->row(right.row());
    const QDateTime ta = left.column() == records::ColSaved ? a.saved : a.when();
    const QDateTime tb = left.column() == records::ColSaved ? b.saved : b.when();
    if (ta != tb) return ta < tb;
    return a.path > b.path;  // newest first reads the names in ascending order
  }
  return QSortFilterProxyModel::lessThan(left, right);
}

bool TJournalProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
  const auto* source = static_cast<const TJournalModel*>(sourceModel());
  return (*matcher_)(source->row(sourceRow));
}

// ---------------------------------------------------------------------------
// TFormJournal

TFormJournal::TFormJournal(std::function<void(const QString&)> openRecord,
                           std::function<QString()> currentFile, QWidget* parent)
    : QWidget(parent, Qt::Window), openRecord_(std::move(openRecord)), currentFile_(std::move(currentFile)) {
  setObjectName(QStringLiteral("FormJournal"));
  setWindowTitle(QStringLiteral("Журнал"));
  // The journal never keeps the program running once the main window is closed.
  setAttribute(Qt::WA_QuitOnClose, false);
  CreateControls();
  ui::NameJournalControls(this);
  ReadPlacement();
}

TFormJournal::~TFormJournal() {
  if (scan_) {
    stop_->store(true);
    ScanPool()->waitForDone(ScanEndWaitMs);
  }
  if (placed_ && isVisible()) WritePlacement();
  StopWatching();  // the notifier before the descriptor it reads
}

void TFormJournal::CreateControls() {
  auto named = [](auto* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
  };
  auto* layout = new QVBoxLayout(this);

  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(new QLabel(QStringLiteral("Папка:"), this));
  FolderEdit = named(new QLineEdit(this), "FolderEdit");
  FolderEdit->setToolTip(QStringLiteral("Путь к папке с записями; Enter — показать эту папку"));
  folderRow->addWidget(FolderEdit, 1);
  FolderButton = named(new QPushButton(QStringLiteral("Папка..."), this), "FolderButton");
  FolderButton->setToolTip(QStringLiteral("Выбрать папку с записями"));
  folderRow->addWidget(FolderButton);
  RefreshButton = named(new QPushButton(QStringLiteral("Обновить"), this), "RefreshButton");
  RefreshButton->setToolTip(
      QStringLiteral("Прочитать папку заново: новые, изменённые и удалённые файлы во всех подпапках"));
  folderRow->addWidget(RefreshButton);
  SeasonsButton = named(new QPushButton(QStringLiteral("По сезонам..."), this), "SeasonsButton");
  SeasonsButton->setToolTip(QStringLiteral(
      "Какие гуа выпадают в каждый из 24 сезонов-цзе (по показанным записям с моментом гадания)"));
  folderRow->addWidget(SeasonsButton);
  ExportButton = named(new QPushButton(QStringLiteral("Экспорт..."), this), "ExportButton");
  ExportButton->setToolTip(
      QStringLiteral("Записать показанные строки в файл CSV или JSON (комментарии целиком)"));
  folderRow->addWidget(ExportButton);
  layout->addLayout(folderRow);

  auto* filterRow = new QHBoxLayout;
  filterRow->addWidget(new QLabel(QStringLiteral("Найти:"), this));
  SearchEdit = named(new QLineEdit(this), "SearchEdit");
  SearchEdit->setPlaceholderText(QStringLiteral("слова из заметки, комментариев или имени файла"));
  SearchEdit->setClearButtonEnabled(true);
  filterRow->addWidget(SearchEdit, 1);
  filterRow->addWidget(new QLabel(QStringLiteral("Гуа:"), this));
  HexagramBox = named(new QSpinBox(this), "HexagramBox");
  HexagramBox->setRange(0, 64);
  HexagramBox->setSpecialValueText(QStringLiteral("любое"));
  HexagramBox->setToolTip(QStringLiteral("Номер основного, внутреннего или изменённого гуа"));
  filterRow->addWidget(HexagramBox);
  ChangingBox = named(new QCheckBox(QStringLiteral("с изменяющимися чертами"), this), "ChangingBox");
  filterRow->addWidget(ChangingBox);
  FromCheck = named(new QCheckBox(QStringLiteral("с"), this), "FromCheck");
  FromDate = named(new QDateEdit(this), "FromDate");
  ToCheck = named(new QCheckBox(QStringLiteral("по"), this), "ToCheck");
  ToDate = named(new QDateEdit(this), "ToDate");
  const QDate today = ui::platform().now().date();
  for (QDateEdit* d : {FromDate, ToDate}) {
    d->setCalendarPopup(true);
    d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    d->setDate(today);
    d->setEnabled(false);
  }
  FromDate->setDate(today.addYears(-1));
  FromCheck->setToolTip(
      QStringLiteral("Гадания не раньше этой даты (у записи без момента гадания — дата файла)"));
  ToCheck->setToolTip(
      QStringLiteral("Гадания не позже этой даты (у записи без момента гадания — дата файла)"));
  filterRow->addWidget(FromCheck);
  filterRow->addWidget(FromDate);
  filterRow->addWidget(ToCheck);
  filterRow->addWidget(ToDate);
  layout->addLayout(filterRow);

  model_ = new TJournalModel(this);
  proxy_ = new TJournalProxy(this);
  proxy_->setSourceModel(model_);
  Table = named(new QTableView(this), "Table");
  Table->setModel(proxy_);
  Table->setSelectionBehavior(QAbstractItemView::SelectRows);
  Table->setSelectionMode(QAbstractItemView::SingleSelection);
  Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Table->setAlternatingRowColors(true);
  Table->setWordWrap(false);
  Table->setSortingEnabled(true);
  Table->sortByColumn(records::ColCast, Qt::DescendingOrder);
  Table->verticalHeader()->hide();
  Table->verticalHeader()->setDefaultSectionSize(Table->fontMetrics().height() + 6);
  Table->horizontalHeader()->setStretchLastSection(true);
  Table->horizontalHeader()->setHighlightSections(false);
  // Each column as wide as what it usually holds (and its caption): the
  // changing lines "1, 2, 3, 4, 5, 6" whole, a date casting's text whole,
  // the longest hexagram name whole.
  const QFontMetrics metrics = Table->fontMetrics();
  const QFontMetrics header = Table->horizontalHeader()->fontMetrics();
  QString longestName;
  for (int n = 1; n <= 64; ++n) {
    const QString name = QStringLiteral("64 ") + QString::fromUtf8(core::NameOfHexagram(n).name);
    if (metrics.horizontalAdvance(name) > metrics.horizontalAdvance(longestName)) longestName = name;
  }
  const QString samples[records::JournalColumnCount] = {
      QStringLiteral("2024-12-31 23:59"),
      QStringLiteral("2024-12-31 23:59 (файл)"),
      QStringLiteral("Untitle1234.kly"),
      QStringLiteral("2024/весна"),
      QStringLiteral("Переезд в новый дом, весной"),
      longestName,
      longestName,
      QStringLiteral("1, 2, 3, 4, 5, 6"),
      QStringLiteral("Гуа на год 12, месяц 12, день 30, час Сюй"),
      QStringLiteral("Комментарии"),
      QStringLiteral("Не запись")};
  for (int c = 0; c < records::JournalColumnCount; ++c)
    Table->setColumnWidth(c, std::max(metrics.horizontalAdvance(samples[c]),
                                      header.horizontalAdvance(records::JournalColumnTitle(c)) + 16) +
                                 14);
  Table->setColumnHidden(records::ColProblem, true);
  layout->addWidget(Table, 1);

  auto* statusRow = new QHBoxLayout;
  CountLabel = named(new QLabel(this), "CountLabel");
  statusRow->addWidget(CountLabel, 1);
  ExportLabel = named(new QLabel(this), "ExportLabel");
  ExportLabel->hide();
  statusRow->addWidget(ExportLabel);
  ProgressLabel = named(new QLabel(this), "ProgressLabel");
  ProgressLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  ProgressLabel->setMinimumWidth(ProgressLabel->fontMetrics().horizontalAdvance(
      QStringLiteral("Остановлено: прочитано 000000 из 000000")));
  statusRow->addWidget(ProgressLabel);
  CancelButton = named(new QPushButton(QStringLiteral("Остановить"), this), "CancelButton");
  CancelButton->setToolTip(QStringLiteral("Прекратить чтение папки; прочитанное останется в списке"));
  CancelButton->hide();
  statusRow->addWidget(CancelButton);
  layout->addLayout(statusRow);

  pendingTimer_.setSingleShot(true);
  // One scan for a burst of changes: the first change starts the pause,
  // later ones join it (a steady stream of changes is served once per pause).
  pendingTimer_.setInterval(250);

  connect(FolderButton, &QPushButton::clicked, this,
          [this] { ui::RunCommand([this] { FolderButtonClick(); }); });
  connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
  connect(RefreshButton, &QPushButton::clicked, this, [this] { RefreshButtonClick(); });
  connect(SeasonsButton, &QPushButton::clicked, this, ui::Command(this, &TFormJournal::SeasonsButtonClick));
  connect(ExportButton, &QPushButton::clicked, this, ui::Command(this, &TFormJournal::ExportButtonClick));
  connect(FolderEdit, &QLineEdit::returnPressed, this, [this] { FolderEditReturn(); });
  connect(SearchEdit, &QLineEdit::textChanged, this, [this] { FilterChange(); });
  connect(HexagramBox, &QSpinBox::valueChanged, this, [this] { FilterChange(); });
  connect(ChangingBox, &QCheckBox::toggled, this, [this] { FilterChange(); });
  for (QCheckBox* c : {FromCheck, ToCheck}) connect(c, &QCheckBox::toggled, this, [this] { FilterChange(); });
  for (QDateEdit* d : {FromDate, ToDate})
    connect(d, &QDateEdit::dateChanged, this, [this] { FilterChange(); });
  connect(Table, &QTableView::activated, this, [this](const QModelIndex& index) { OpenRow(index); });
  connect(&pendingTimer_, &QTimer::timeout, this, [this] { ScanPending(); });
  for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
    connect(proxy_, signal, this, [this] { UpdateCount(); });
  connect(proxy_, &QAbstractItemModel::modelReset, this, [this] { UpdateCount(); });
  connect(proxy_, &QAbstractItemModel::layoutChanged, this, [this] { UpdateCount(); });
  UpdateCount();
}

void TFormJournal::FilterChange() {
  FromDate->setEnabled(FromCheck->isChecked());
  ToDate->setEnabled(ToCheck->isChecked());
  records::JournalFilter f;
  f.text = SearchEdit->text();
  f.hexagram = HexagramBox->value();
  f.changingOnly = ChangingBox->isChecked();
  if (FromCheck->isChecked()) f.from = FromDate->date();
  if (ToCheck->isChecked()) f.to = ToDate->date();
  proxy_->setFilter(f);
  UpdateCount();
}

void TFormJournal::UpdateCount() {
  const int shown = proxy_->rowCount(), all = model_->rowCount();
  CountLabel->setText(shown == all ? QStringLiteral("Файлов: %1").arg(all)
                                   : QStringLiteral("Показано %1 из %2").arg(shown).arg(all));
}

bool TFormJournal::isBusy() const {
  return scan_ != nullptr || !pending_.isEmpty();
}

QString TFormJournal::DefaultFolder() const {
  return ui::JournalFolder(currentFile_ ? currentFile_() : QString());
}

QString ui::JournalFolder(const QString& current) {
  const QString remembered = ui::SettingsStore().read(ui::settings::SetJournalFolder);
  if (!remembered.isEmpty() && QFileInfo(remembered).isDir()) return remembered;
  if (!current.isEmpty()) {
    const QString folder = QFileInfo(current).absolutePath();
    if (QFileInfo(folder).isDir()) return folder;
  }
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void TFormJournal::FolderButtonClick() {
  const QString chosen = ui::platform().directoryName(this, QStringLiteral("Папка с записями"), folder_);
  if (!chosen.isEmpty()) SetFolder(chosen);
}

void TFormJournal::FolderEditReturn() {
  const QString typed = QDir::fromNativeSeparators(FolderEdit->text().trimmed());
  if (typed.isEmpty()) {
    FolderEdit->setText(QDir::toNativeSeparators(folder_));
    return;
  }
  // "~" as a shell reads it.
  const QString path = typed == QLatin1String("~") || typed.startsWith(QLatin1String("~/"))
                           ? QDir::homePath() + typed.mid(1)
                           : typed;
  SetFolder(QDir::isAbsolutePath(path) ? path : QDir(folder_).filePath(path));
}

void TFormJournal::SetFolder(const QString& folder) {
  folder_ = QDir::cleanPath(QDir(folder).absolutePath());
  FolderEdit->setText(QDir::toNativeSeparators(folder_));
  ui::SettingsStore().write(ui::settings::SetJournalFolder, folder_);
  StopWatching();
  model_->clear();
  rootProblem_.clear();
  StartWatching();
  StartScan({{records::EntryOf(folder_)}, {}}, true);
}

int TFormJournal::watchedFolders() const {
  return watch_ ? watch_->count() : 0;
}

bool TFormJournal::watchLimited() const {
  return watch_ && watch_->limited();
}

void TFormJournal::StartWatching() {
  StopWatching();
  watch_ = std::make_shared<TFolderWatch>();
  if (watch_->fd() < 0) return;  // no watches at all: "Обновить" still works
  notifier_ = new QSocketNotifier(watch_->fd(), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { WatchEvents(); });
}

void TFormJournal::StopWatching() {
  // The notifier goes first; the descriptor (and with it every watch) is
  // closed by the last owner, the window or a scan job still adding to it.
  delete notifier_;
  notifier_ = nullptr;
  watch_.reset();
  pending_.clear();
  pendingAll_ = false;
  pendingTimer_.stop();
}

void TFormJournal::WatchEvents() {
  if (!watch_) return;
  for (const TFolderWatch::Change& c : watch_->Read(QFile::encodeName(folder_))) {
    if (c.whole)
      pendingAll_ = true;
    else
      pending_.insert(c.entry.path, c.entry);
  }
  if ((pendingAll_ || !pending_.isEmpty()) && !pendingTimer_.isActive()) pendingTimer_.start();
}

void TFormJournal::ScanPending() {
  if (scan_ || (pending_.isEmpty() && !pendingAll_)) return;  // the running scan calls again when done
  ScanJob job;
  if (pendingAll_)
    job.trees.append(records::EntryOf(folder_));
  else
    job.names = pending_.values();
  pending_.clear();
  pendingAll_ = false;
  StartScan(job, false);
}

QList<JournalRow> TFormJournal::ListedRows() const {
  // The rows the table lists now (search and filters applied), in its order.
  QList<JournalRow> listed;
  for (int i = 0; i < proxy_->rowCount(); ++i)
    listed.append(model_->row(proxy_->mapToSource(proxy_->index(i, 0)).row()));
  return listed;
}

void TFormJournal::ExportButtonClick() {
  const QList<JournalRow> listed = ListedRows();
  ui::FileDialogRequest request;
  request.directory = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  request.fileName = QStringLiteral("журнал.csv");
  request.filter = QStringLiteral("Таблица CSV (*.csv);;JSON (*.json)");
  request.defaultSuffix = QStringLiteral("csv");
  request.caption = QStringLiteral("Экспорт журнала");
  const QString path = ui::platform().saveFileName(this, request);
  if (path.isEmpty()) return;
  const bool json = path.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive);
  // All or nothing; an error ends the command with its box.
  records::WriteJournalExport(path, json ? records::JournalJson(listed) : records::JournalCsv(listed));
  ExportLabel->setText(
      QStringLiteral("Записано строк: %1 в %2").arg(listed.size()).arg(QDir::toNativeSeparators(path)));
  ExportLabel->show();
}

void TFormJournal::SeasonsButtonClick() {
  if (!SeasonsDialog) {
    SeasonsDialog = new QDialog(this, Qt::Dialog | Qt::WindowCloseButtonHint);
    SeasonsDialog->setObjectName(QStringLiteral("SeasonsDialog"));
    SeasonsDialog->setWindowTitle(QStringLiteral("Гуа по сезонам"));
    auto* layout = new QVBoxLayout(SeasonsDialog);
    SeasonsTable = new QTableWidget(24, 3, SeasonsDialog);
    SeasonsTable->setObjectName(QStringLiteral("SeasonsTable"));
    SeasonsTable->setAccessibleName(SeasonsDialog->windowTitle());
    SeasonsTable->setHorizontalHeaderLabels(
        {QStringLiteral("Сезон-цзе"), QStringLiteral("Гаданий"), QStringLiteral("Чаще всего")});
    SeasonsTable->verticalHeader()->hide();
    SeasonsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SeasonsTable->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(SeasonsTable);
    SeasonsNote = new QLabel(SeasonsDialog);
    SeasonsNote->setObjectName(QStringLiteral("SeasonsNote"));
    SeasonsNote->setWordWrap(true);
    layout->addWidget(SeasonsNote);
    SeasonsDialog->resize(620, 560);
  }
  const QList<JournalRow> listed = ListedRows();
  const QList<records::SeasonRow> seasons = records::HexagramsBySeason(listed);
  int known = 0;
  for (const records::SeasonRow& s : seasons) {
    known += s.casts;
    QStringList top;
    for (const auto& [number, count] : s.hexagrams.mid(0, 5))
      top << QStringLiteral("%1 %2 ×%3")
                 .arg(number)
                 .arg(QString::fromUtf8(core::NameOfHexagram(number).name))
                 .arg(count);
    const QString cells[3] = {QString::fromStdString(calendar::TermName(s.term)),
                              s.casts ? QString::number(s.casts) : QString(), top.join(QStringLiteral(", "))};
    for (int c = 0; c < 3; ++c) SeasonsTable->setItem(s.term, c, new QTableWidgetItem(cells[c]));
  }
  SeasonsTable->resizeColumnToContents(0);
  SeasonsNote->setText(QStringLiteral("Записей с известным сезоном-цзе гадания: %1 из %2 показанных.")
                           .arg(known)
                           .arg(listed.size()));
  SeasonsDialog->show();
  SeasonsDialog->raise();
}

void TFormJournal::RefreshButtonClick() {
  if (folder_.isEmpty()) return;
  if (!watch_) StartWatching();
  pending_.clear();
  pendingAll_ = false;
  StartScan({{records::EntryOf(folder_)}, {}}, true);
}

void TFormJournal::StartScan(const ScanJob& job, bool full) {
  if (scan_) {
    // A new folder replaces the scan of the old one; its results are dropped.
    scan_->disconnect(this);
    stop_->store(true);
    scan_.reset();
  }
  stop_ = std::make_shared<std::atomic_bool>(false);
  // Files of the trees read before are read again only when their time or
  // size changed.
  QHash<QString, JournalStamp> known;
  if (!job.trees.isEmpty())
    for (const JournalRow& r : model_->rows())
      if (!r.isFolder && std::any_of(job.trees.begin(), job.trees.end(),
                                     [&](const JournalEntry& f) { return IsUnder(r.path, f.path); }))
        known.insert(r.path, JournalStamp{r.saved, r.size});

  scanFull_ = full;
  lastStopped_ = false;
  scan_ = std::make_unique<QFutureWatcher<ScanPiece>>();
  auto* w = scan_.get();
  connect(w, &QFutureWatcherBase::resultReadyAt, this, [this](int index) { TakePiece(index); });
  connect(w, &QFutureWatcherBase::finished, this, [this] { ScanDone(); });
  if (full)
    connect(w, &QFutureWatcherBase::progressValueChanged, this, [this, w](int value) {
      if (w->progressMaximum() > 0)
        ProgressLabel->setText(QStringLiteral("Чтение: %1 из %2").arg(value).arg(w->progressMaximum()));
    });
  if (full) {
    ProgressLabel->setText(QStringLiteral("Поиск файлов…"));
    ProgressLabel->show();
    CancelButton->show();
  }
  w->setFuture(
      QtConcurrent::run(ScanPool(), RunScan, job, folder_, known, stop_, watch_, QFile::encodeName(folder_)));
}

void TFormJournal::TakePiece(int index) {
  const ScanPiece piece = scan_->resultAt(index);
  if (!piece.rows.isEmpty()) model_->upsert(piece.rows);
  if (!piece.last) return;
  lastRead_ = piece.read;
  lastTotal_ = piece.total;
  lastStopped_ = piece.stopped;
  if (!piece.rootProblem.isEmpty() || piece.roots.contains(folder_)) rootProblem_ = piece.rootProblem;
  // A stopped scan keeps what it read: the rest of the folder is read when
  // the user asks for it again.
  if (piece.stopped) return;
  model_->removeMissing(piece.roots, QSet<QString>(piece.present.begin(), piece.present.end()));
  model_->removeUnder(piece.gone);
}

void TFormJournal::ShowWatchNote() {
  if (watchLimited())
    ProgressLabel->setText(
        QStringLiteral("Изменения видны сразу в %1 папках; остальные — по кнопке «Обновить»")
            .arg(watchedFolders()));
}

void TFormJournal::ScanDone() {
  const bool full = scanFull_;
  scan_.reset();
  CancelButton->hide();
  if (lastStopped_)
    ProgressLabel->setText(QStringLiteral("Остановлено: прочитано %1 из %2").arg(lastRead_).arg(lastTotal_));
  else if (!rootProblem_.isEmpty())
    // An empty list must not look like a folder without records.
    ProgressLabel->setText(rootProblem_);
  else if (full) {
    ProgressLabel->clear();
    ShowWatchNote();
  }
  UpdateCount();
  if ((!pending_.isEmpty() || pendingAll_) && !pendingTimer_.isActive()) ScanPending();
  emit scanFinished();
}

void TFormJournal::CancelButtonClick() {
  if (scan_) stop_->store(true);
}

void TFormJournal::OpenRow(const QModelIndex& index) {
  if (!index.isValid()) return;
  const JournalRow& row = model_->row(proxy_->mapToSource(index).row());
  if (!row.hasPortablePath()) {
    // The main window, its save and the settings store speak of files by
    // name in UTF-8, which this name is not.
    ui::platform().error(
        this, QStringLiteral("Имя «%1» записано не в UTF-8 (видимо, старой системой). Журнал показывает эту "
                             "запись, но открыть её под таким именем программа не может: переименуйте файл "
                             "или папку.")
                  .arg(QDir::toNativeSeparators(row.path)));
    return;
  }
  const QString path = row.path;
  // After the event that asked for it: the open may show prompts, and the
  // table should not be in the middle of a key or mouse event meanwhile.
  QMetaObject::invokeMethod(
      this,
      [this, path] {
        if (openRecord_) openRecord_(path);
      },
      Qt::QueuedConnection);
}

void TFormJournal::ReadPlacement() {
  ui::SettingsStore store;
  // No wider or taller than the screen, whatever the store says.
  const QSize size(ui::ReachableWidth(store.read(ui::settings::FormJournalWidth), 480),
                   ui::ReachableHeight(store.read(ui::settings::FormJournalHeight), 300));
  resize(size);
  QPoint centre;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    centre =
        QPoint(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
  }
  const QPoint wanted(store.read(ui::settings::FormJournalLeft, centre.x()),
                      store.read(ui::settings::FormJournalTop, centre.y()));
  move(ui::ReachablePosition(wanted, size, centre));
}

void TFormJournal::WritePlacement() const {
  ui::SettingsStore store;
  store.write(ui::settings::FormJournalLeft, x());
  store.write(ui::settings::FormJournalTop, y());
  store.write(ui::settings::FormJournalWidth, width());
  store.write(ui::settings::FormJournalHeight, height());
}

void TFormJournal::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) {
    if (folder_.isEmpty()) {
      SetFolder(DefaultFolder());
    } else {
      StartWatching();
      StartScan({{records::EntryOf(folder_)}, {}}, false);  // catch up with what changed while hidden
    }
  }
  placed_ = true;
}

void TFormJournal::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (event->spontaneous()) return;  // minimised
  WritePlacement();
  // Not watched while hidden; showing again scans what changed.
  StopWatching();
}
