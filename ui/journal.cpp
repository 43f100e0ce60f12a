#include "ui/journal.h"

#include <QCheckBox>
#include <QColor>
#include <QDateEdit>
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
#include <QPromise>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableView>
#include <QThread>
#include <QThreadPool>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <atomic>

#include "ui/Application.h"
#include "ui/Placement.h"
#include "ui/Platform.h"
#include "ui/SettingsStore.h"

namespace {

using records::JournalRow;

// What tells a file unchanged since it was read.
struct Stamp {
  QDateTime saved;
  qint64 size = -1;
  bool operator==(const Stamp&) const = default;
};

// Rows are handed to the window in pieces of this many, or sooner when
// reading is slow, so the table fills while the scan goes on.
constexpr int PieceRows = 256;
constexpr qint64 PieceMilliseconds = 100;

// The scan job, run off the user-interface thread. Reads every candidate
// file under `roots` whose stamp differs from `known` (all of them when
// known is empty); rows are relative to `base`.
// `stop` ends it early: the rows read so far are still delivered, and the
// last piece says it was stopped.
void RunScan(QPromise<TFormJournal::ScanPiece>& promise, const QStringList& roots, const QString& base,
             const QHash<QString, Stamp>& known, const std::shared_ptr<std::atomic_bool>& stop) {
  const auto cancelled = [&promise, &stop] { return stop->load() || promise.isCanceled(); };
  TFormJournal::ScanPiece last;
  last.last = true;
  last.roots = roots;
  for (const QString& root : roots) {
    const records::JournalTree tree = records::ListJournalTree(root, cancelled);
    last.present += tree.files;
    last.folders += tree.folders;
  }
  last.total = static_cast<int>(last.present.size());
  if (cancelled()) {
    last.stopped = true;
    promise.addResult(std::move(last));
    return;
  }
  promise.setProgressRange(0, last.total);

  TFormJournal::ScanPiece piece;
  QElapsedTimer sinceLastPiece;
  sinceLastPiece.start();
  for (qsizetype i = 0; i < last.present.size(); ++i) {
    if (cancelled()) {
      last.stopped = true;
      break;
    }
    const QString& path = last.present[i];
    const auto k = known.constFind(path);
    bool read = true;
    if (k != known.constEnd()) {
      const QFileInfo info(path);
      read =
          !(Stamp{info.exists() ? info.lastModified() : QDateTime(), info.isFile() ? info.size() : -1} == *k);
    }
    if (read) piece.rows.append(records::ReadJournalRow(path, base));
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

// The folders of a set that are not inside another one of the set.
QStringList OutermostFolders(QStringList folders) {
  folders.sort();
  QStringList outer;
  for (const QString& f : folders)
    if (outer.isEmpty() || (f != outer.last() && !IsUnder(f, outer.last()))) outer.append(f);
  return outer;
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
      if (column == records::ColComments && !r.comments.isEmpty()) return r.comments.mid(0, 30).join(u'\n');
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
  auto gone = [&](int i) {
    const QString& path = rows_[i].path;
    return !present.contains(path) &&
           std::any_of(folders.begin(), folders.end(), [&](const QString& f) { return IsUnder(path, f); });
  };
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
  if (left.column() == records::ColSaved) {
    // By time, files of the same minute by path, so the order never depends
    // on the order the files were read in.
    const auto* source = static_cast<const TJournalModel*>(sourceModel());
    const JournalRow& a = source->row(left.row());
    const JournalRow& b = source->row(right.row());
    if (a.saved != b.saved) return a.saved < b.saved;
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
  ReadPlacement();
}

TFormJournal::~TFormJournal() {
  if (scan_) {
    stop_->store(true);
    ScanPool()->waitForDone(ScanEndWaitMs);
  }
  if (placed_ && isVisible()) WritePlacement();
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
  FolderEdit->setReadOnly(true);
  folderRow->addWidget(FolderEdit, 1);
  FolderButton = named(new QPushButton(QStringLiteral("Папка..."), this), "FolderButton");
  FolderButton->setToolTip(QStringLiteral("Выбрать папку с записями"));
  folderRow->addWidget(FolderButton);
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
  FromCheck->setToolTip(QStringLiteral("Файлы, сохранённые не раньше этой даты"));
  ToCheck->setToolTip(QStringLiteral("Файлы, сохранённые не позже этой даты"));
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
  Table->sortByColumn(records::ColSaved, Qt::DescendingOrder);
  Table->verticalHeader()->hide();
  Table->verticalHeader()->setDefaultSectionSize(Table->fontMetrics().height() + 6);
  Table->horizontalHeader()->setStretchLastSection(true);
  Table->horizontalHeader()->setHighlightSections(false);
  const int widths[records::JournalColumnCount] = {115, 125, 70, 190, 150, 150, 50, 270, 250, 200};
  for (int c = 0; c < records::JournalColumnCount; ++c) Table->setColumnWidth(c, widths[c]);
  Table->setColumnHidden(records::ColProblem, true);
  layout->addWidget(Table, 1);

  auto* statusRow = new QHBoxLayout;
  CountLabel = named(new QLabel(this), "CountLabel");
  statusRow->addWidget(CountLabel, 1);
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

  watcher_ = new QFileSystemWatcher(this);
  pendingTimer_.setSingleShot(true);
  pendingTimer_.setInterval(150);  // one scan for a burst of changes

  connect(FolderButton, &QPushButton::clicked, this,
          [this] { ui::RunCommand([this] { FolderButtonClick(); }); });
  connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
  connect(SearchEdit, &QLineEdit::textChanged, this, [this] { FilterChange(); });
  connect(HexagramBox, &QSpinBox::valueChanged, this, [this] { FilterChange(); });
  connect(ChangingBox, &QCheckBox::toggled, this, [this] { FilterChange(); });
  for (QCheckBox* c : {FromCheck, ToCheck}) connect(c, &QCheckBox::toggled, this, [this] { FilterChange(); });
  for (QDateEdit* d : {FromDate, ToDate})
    connect(d, &QDateEdit::dateChanged, this, [this] { FilterChange(); });
  connect(Table, &QTableView::activated, this, [this](const QModelIndex& index) { OpenRow(index); });
  connect(watcher_, &QFileSystemWatcher::directoryChanged, this,
          [this](const QString& path) { FolderChanged(path); });
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
  const QString remembered = ui::SettingsStore().read(ui::settings::SetJournalFolder);
  if (!remembered.isEmpty() && QFileInfo(remembered).isDir()) return remembered;
  const QString current = currentFile_ ? currentFile_() : QString();
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

void TFormJournal::SetFolder(const QString& folder) {
  folder_ = QDir(folder).absolutePath();
  FolderEdit->setText(QDir::toNativeSeparators(folder_));
  ui::SettingsStore().write(ui::settings::SetJournalFolder, folder_);
  if (!watcher_->directories().isEmpty()) watcher_->removePaths(watcher_->directories());
  pending_.clear();
  pendingTimer_.stop();
  model_->clear();
  StartScan({folder_}, true);
}

void TFormJournal::StartScan(const QStringList& roots, bool full) {
  if (scan_) {
    // A new folder replaces the scan of the old one; its results are dropped.
    scan_->disconnect(this);
    stop_->store(true);
    scan_.reset();
  }
  stop_ = std::make_shared<std::atomic_bool>(false);
  QHash<QString, Stamp> known;
  if (!full)
    for (const JournalRow& r : model_->rows())
      if (std::any_of(roots.begin(), roots.end(), [&](const QString& f) { return IsUnder(r.path, f); }))
        known.insert(r.path, Stamp{r.saved, r.size});

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
  w->setFuture(QtConcurrent::run(ScanPool(), RunScan, roots, folder_, known, stop_));
}

void TFormJournal::TakePiece(int index) {
  const ScanPiece piece = scan_->resultAt(index);
  if (!piece.rows.isEmpty()) model_->upsert(piece.rows);
  if (!piece.last) return;
  lastRead_ = piece.read;
  lastTotal_ = piece.total;
  lastStopped_ = piece.stopped;
  // A stopped scan keeps what it read and watches nothing new: the rest of
  // the folder is read when the user asks for it again.
  if (piece.stopped) return;
  model_->removeMissing(piece.roots, QSet<QString>(piece.present.begin(), piece.present.end()));
  // Every folder of the tree is watched: a record saved, added, renamed or
  // removed changes the folder that holds it.
  const QStringList watched = watcher_->directories();
  const QSet<QString> already(watched.begin(), watched.end());
  QStringList add;
  for (const QString& f : piece.folders)
    if (!already.contains(f) && QFileInfo(f).isDir()) add.append(f);
  if (!add.isEmpty()) watcher_->addPaths(add);
}

void TFormJournal::ScanDone() {
  const bool full = scanFull_;
  scan_.reset();
  CancelButton->hide();
  if (lastStopped_)
    ProgressLabel->setText(QStringLiteral("Остановлено: прочитано %1 из %2").arg(lastRead_).arg(lastTotal_));
  else if (!QFileInfo(folder_).isDir())
    // An empty list must not look like a folder without records.
    ProgressLabel->setText(QStringLiteral("Папка не найдена: ") + QDir::toNativeSeparators(folder_));
  else if (full)
    ProgressLabel->clear();
  UpdateCount();
  if (!pending_.isEmpty() && !pendingTimer_.isActive()) ScanPending();
  emit scanFinished();
}

void TFormJournal::CancelButtonClick() {
  if (scan_) stop_->store(true);
}

void TFormJournal::FolderChanged(const QString& path) {
  pending_.insert(QDir(path).absolutePath());
  pendingTimer_.start();
}

void TFormJournal::ScanPending() {
  if (scan_ || pending_.isEmpty()) return;  // the running scan calls again when done
  const QStringList roots = OutermostFolders(QStringList(pending_.begin(), pending_.end()));
  pending_.clear();
  StartScan(roots, false);
}

void TFormJournal::OpenRow(const QModelIndex& index) {
  if (!index.isValid()) return;
  const QString path = model_->row(proxy_->mapToSource(index).row()).path;
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
  const QSize size(std::max(480, store.read(ui::settings::FormJournalWidth)),
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
    if (folder_.isEmpty())
      SetFolder(DefaultFolder());
    else
      StartScan({folder_}, false);  // catch up with what changed while hidden
  }
  placed_ = true;
}

void TFormJournal::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (event->spontaneous()) return;  // minimised
  WritePlacement();
  // Not watched while hidden; showing again scans what changed.
  if (!watcher_->directories().isEmpty()) watcher_->removePaths(watcher_->directories());
  pending_.clear();
  pendingTimer_.stop();
}
