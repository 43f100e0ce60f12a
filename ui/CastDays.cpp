#include "ui/CastDays.h"

#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

namespace ui {

CastDays::CastDays(std::function<QString()> folder, QObject* parent)
    : QObject(parent), folder_(std::move(folder)) {
  connect(&watcher_, &QFutureWatcher<QList<records::JournalRow>>::finished, this, [this] {
    Take(watcher_.result());
    if (again_) {
      again_ = false;
      Scan();
    }
  });
}

CastDays::~CastDays() {
  // A scan of a big folder stops at the next file rather than keep the
  // program from ending.
  stop_->store(true);
  watcher_.waitForFinished();
}

bool CastDays::scanning() const {
  return watcher_.isRunning();
}

void CastDays::Scan() {
  if (watcher_.isRunning()) {
    again_ = true;
    return;
  }
  const QString folder = folder_ ? folder_() : QString();
  if (folder.isEmpty()) return;
  watcher_.setFuture(QtConcurrent::run([folder, stop = stop_] {
    try {
      return records::ScanJournal(records::EntryOf(folder), [stop] { return stop->load(); });
    } catch (const std::exception&) {
      return QList<records::JournalRow>();  // a folder that cannot be read marks no day
    }
  }));
}

void CastDays::Take(const QList<records::JournalRow>& rows) {
  days_.clear();
  for (const records::JournalRow& row : rows)
    if (row.isRecord() && row.castKnown()) days_[row.cast.date()].append(row);
  for (QList<records::JournalRow>& day : days_)
    std::sort(day.begin(), day.end(),
              [](const records::JournalRow& a, const records::JournalRow& b) { return a.cast < b.cast; });
  ++revision_;
  emit changed();
}

}  // namespace ui
