#include "records/mapping.h"

namespace records {

core::RecordValues ToValues(const Record& record) {
  core::RecordValues v;
  for (int n = 0; n < 6; ++n) v.lineCodes[n] = record.lineCodes[n].toStdString();
  v.note = record.note.toStdString();
  v.date = {record.yah, record.mon, record.day, record.hour};
  v.fromDate = record.btn2;
  v.primary = record.gua;
  v.jaoNo = record.jaoNo;
  v.comments = record.comments.toStdString();
  return v;
}

Record FromValues(const core::RecordValues& values) {
  Record r;
  for (int n = 0; n < 6; ++n) r.lineCodes[n] = QString::fromStdString(values.lineCodes[n]);
  r.note = QString::fromStdString(values.note);
  r.yah = values.date.year;
  r.mon = values.date.month;
  r.day = values.date.day;
  r.hour = values.date.hour;
  r.btn2 = values.fromDate;
  r.gua = values.primary;
  r.jaoNo = values.jaoNo;
  r.comments = QString::fromStdString(values.comments);
  return r;
}

std::optional<core::Divination> ReadDivinationFile(const QString& path, FileIdentity* identity) {
  const std::optional<Record> record = ReadRecordFile(path, identity);
  if (!record) return std::nullopt;
  core::Divination d;
  d.Restore(ToValues(*record));
  return d;
}

}  // namespace records
