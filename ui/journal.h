// TFormJournal: the "Журнал" window, every record under a folder in one
// table, to find a past divination by words, hexagram or date and open it.
//
// Data flow: a scan job (Qt Concurrent, off the user-interface thread)
// lists the record files under the folder and turns each into a row with
// records::ReadJournalRow (records/journal.h); the rows arrive in pieces and
// fill TJournalModel; TJournalProxy filters them with records::JournalMatcher
// and sorts them. While the window is open, the folders of the first levels
// of the tree (at most MaxWatchedFolders) are watched with inotify: the
// watches are added by the scan job as it lists each folder, and all of
// them go at once when the window closes or changes folder. A change names
// the file or folder it touched; after a short pause (a burst of changes
// is one job) only those names are looked at again: a file is read or its
// row removed, a new folder is read whole, a removed one takes its rows
// along. Deeper folders, and everything when the system grants no more
// watches, are brought up to date with "Обновить" (only files whose time
// or size changed are read again). The journal only reads: nothing in the
// folder is written.
//
// Double-click or Enter on a row hands its path to `openRecord` (the main
// window's open-a-given-path command, prompts included); the journal stays
// open. The window writes its position, size and folder to the settings
// store when it is hidden or destroyed.
#pragma once

#include <QAbstractTableModel>
#include <QFutureWatcher>
#include <QHash>
#include <QList>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>

#include "records/journal.h"

class QCheckBox;
class QDialog;
class QTableWidget;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSocketNotifier;
class QSpinBox;
class QTableView;
class TFolderWatch;

namespace ui {
// The folder of the user's records: the journal's remembered one, else the
// folder of `currentFile` (the main window's record), else the documents
// folder, else the home folder.
QString JournalFolder(const QString& currentFile);
}  // namespace ui

// The rows of the journal, one per file, in arrival order.
class TJournalModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  // Role of the value a column sorts by (date, number or folded text).
  static constexpr int SortRole = Qt::UserRole;

  using QAbstractTableModel::QAbstractTableModel;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  const records::JournalRow& row(int n) const { return rows_[n]; }
  const QList<records::JournalRow>& rows() const { return rows_; }

  void clear();
  // Adds new paths, replaces the rows of known ones.
  void upsert(const QList<records::JournalRow>& rows);
  // Removes the rows of files under `folders` (their subfolders included)
  // that are not in `present`.
  void removeMissing(const QStringList& folders, const QSet<QString>& present);
  // Removes the rows of `paths` and of everything under them.
  void removeUnder(const QStringList& paths);

 private:
  template <typename Gone>
  void removeRows(const Gone& gone);
  void reindex();
  QList<records::JournalRow> rows_;
  QHash<QString, int> byPath_;
};

// Filters with the journal's matcher and sorts by TJournalModel::SortRole.
class TJournalProxy : public QSortFilterProxyModel {
  Q_OBJECT
 public:
  explicit TJournalProxy(QObject* parent = nullptr);
  void setFilter(const records::JournalFilter& filter);
  const records::JournalFilter& filter() const { return filter_; }

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

 private:
  records::JournalFilter filter_;
  std::unique_ptr<records::JournalMatcher> matcher_;
};

class TFormJournal : public QWidget {
  Q_OBJECT
 public:
  // What the scan job delivers: rows as they are read, then, in the last
  // piece, every file present and every folder visited under `roots`, and
  // how far it came.
  struct ScanPiece {
    QList<records::JournalRow> rows;
    bool last = false;
    QStringList roots;    // folders read whole: their rows not in present go
    QStringList present;  // every row found under roots
    QStringList gone;     // names that are no more: their rows go, with all under them
    QString rootProblem;  // the folder shown cannot be listed (JournalRootText)
    int read = 0, total = 0;
    bool stopped = false;  // the user stopped it
  };
  // What a scan job looks at: trees read whole, and single names a change
  // touched (a file read again or gone, a folder new or gone).
  struct ScanJob {
    QList<records::JournalEntry> trees;
    QList<records::JournalEntry> names;
  };
  // Folders watched for changes at most (the first levels of the tree).
  static constexpr int MaxWatchedFolders = 2000;

  // openRecord: opens a path in the main window. currentFile: the path of
  // the record the main window holds (empty when none).
  explicit TFormJournal(std::function<void(const QString&)> openRecord,
                        std::function<QString()> currentFile = {}, QWidget* parent = nullptr);
  ~TFormJournal() override;

  // --- controls (object names equal the member names) ---------------------
  QLineEdit* FolderEdit = nullptr;       // the folder shown; Enter shows a typed one
  QPushButton* FolderButton = nullptr;   // "Папка..."
  QPushButton* RefreshButton = nullptr;  // "Обновить"
  QPushButton* SeasonsButton = nullptr;  // "По сезонам...": the hexagrams by solar term
  QDialog* SeasonsDialog = nullptr;      // made on first use
  QTableWidget* SeasonsTable = nullptr;  // 24 rows: term, casts, most frequent hexagrams
  QLabel* SeasonsNote = nullptr;
  QPushButton* ExportButton = nullptr;  // "Экспорт...": the listed rows as CSV or JSON
  QLabel* ExportLabel = nullptr;        // "Записано строк: N в <path>"
  QLineEdit* SearchEdit = nullptr;
  QSpinBox* HexagramBox = nullptr;  // 0 = any
  QCheckBox* ChangingBox = nullptr;
  QCheckBox *FromCheck = nullptr, *ToCheck = nullptr;
  QDateEdit *FromDate = nullptr, *ToDate = nullptr;
  QTableView* Table = nullptr;
  QLabel* CountLabel = nullptr;     // "Показано N из M"
  QLabel* ProgressLabel = nullptr;  // "Чтение: N из M"
  QPushButton* CancelButton = nullptr;

  TJournalModel* model() const { return model_; }
  TJournalProxy* proxy() const { return proxy_; }
  QString folder() const { return folder_; }
  // True while a scan job runs or changes wait to be scanned.
  bool isBusy() const;
  // Folders watched now, and whether some of the tree is not.
  int watchedFolders() const;
  bool watchLimited() const;

  // Shows `folder` (scanning it afresh) and remembers it.
  void SetFolder(const QString& folder);
  // The folder chooser.
  void FolderButtonClick();
  // Stops the running scan; the rows read so far stay.
  void CancelButtonClick();
  // Reads the folder again: new, changed and removed files anywhere in it.
  void RefreshButtonClick();
  // The hexagrams by season of the listed rows, in a window of their own.
  void SeasonsButtonClick();
  // The listed rows into a CSV or JSON file the user names.
  void ExportButtonClick();
  // The rows the table lists now, in its order.
  QList<records::JournalRow> ListedRows() const;
  // Enter in the folder field: shows the typed folder.
  void FolderEditReturn();
  // Opens the record of a table row (a proxy index).
  void OpenRow(const QModelIndex& index);
  // The folder shown when the window is first shown: the remembered one,
  // else the current record's, else the documents folder.
  QString DefaultFolder() const;

 signals:
  // A scan (full or of changed folders) has been merged into the table.
  void scanFinished();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void CreateControls();
  void FilterChange();
  void UpdateCount();
  void StartScan(const ScanJob& job, bool full);
  void TakePiece(int index);
  void ScanDone();
  void StartWatching();
  void StopWatching();
  void WatchEvents();
  void ScanPending();
  void ShowWatchNote();
  void WritePlacement() const;
  void ReadPlacement();

  std::function<void(const QString&)> openRecord_;
  std::function<QString()> currentFile_;
  TJournalModel* model_ = nullptr;
  TJournalProxy* proxy_ = nullptr;
  std::shared_ptr<TFolderWatch> watch_;
  QSocketNotifier* notifier_ = nullptr;
  QString folder_;
  std::unique_ptr<QFutureWatcher<ScanPiece>> scan_;
  std::shared_ptr<std::atomic_bool> stop_;  // asks the running scan to stop
  bool scanFull_ = false;
  int lastRead_ = 0, lastTotal_ = 0;
  bool lastStopped_ = false;
  QString rootProblem_;
  // Names changed since their last scan (by path), or the whole folder.
  QHash<QString, records::JournalEntry> pending_;
  bool pendingAll_ = false;
  QTimer pendingTimer_;
  bool placed_ = false;
};
