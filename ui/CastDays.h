// ui::CastDays: the days on which the user cast, from the records of the
// journal's folder (ui::JournalFolder), for the calendar window.
//
// Scan() reads the folder off the user-interface thread (the journal's own
// reader, records::ScanJournal) and emits changed() when the days are
// known; a scan asked for while one runs follows it. Each record counts on
// the day of its cast as its clock read it (the record's moment); a record
// without a moment counts nowhere. Nothing is written.
#pragma once

#include <QDate>
#include <QFutureWatcher>
#include <QList>
#include <QMap>
#include <QObject>
#include <atomic>
#include <functional>
#include <memory>

#include "records/journal.h"

namespace ui {

class CastDays : public QObject {
  Q_OBJECT
 public:
  // folder: the folder to read at each scan.
  explicit CastDays(std::function<QString()> folder, QObject* parent = nullptr);
  ~CastDays() override;

  void Scan();
  // The records cast on `day`, earliest first.
  QList<records::JournalRow> On(const QDate& day) const { return days_.value(day); }
  bool HasCasts(const QDate& day) const { return days_.contains(day); }
  bool scanning() const;
  // Grows with every scan taken: a reader knows when to look again.
  unsigned revision() const { return revision_; }
  // The rows of a finished scan, as if read (tests, and a caller that
  // already has them).
  void Take(const QList<records::JournalRow>& rows);

 signals:
  void changed();

 private:
  std::function<QString()> folder_;
  QFutureWatcher<QList<records::JournalRow>> watcher_;
  bool again_ = false;
  QMap<QDate, QList<records::JournalRow>> days_;
  std::shared_ptr<std::atomic_bool> stop_ = std::make_shared<std::atomic_bool>(false);
  unsigned revision_ = 0;
};

}  // namespace ui
