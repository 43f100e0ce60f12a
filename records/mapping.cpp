#include "records/mapping.h"

namespace records {

void Restore(core::Divination& divination, const Record& record) {
  std::array<std::string, 6> codes;
  for (int n = 0; n < 6; ++n) codes[n] = record.lineCodes[n].toStdString();
  divination.Restore(codes, record.note.toStdString(), {record.yah, record.mon, record.day, record.hour},
                     record.btn2, record.gua, record.jaoNo, record.comments.toStdString(), record.context);
}

core::Divination DivinationOf(const Record& record) {
  core::Divination d;
  Restore(d, record);
  return d;
}

Record RecordOf(const core::Divination& divination) {
  Record r;
  for (int n = 0; n < 6; ++n) r.lineCodes[n] = QString::fromStdString(divination.lineCodes()[n]);
  r.note = QString::fromStdString(divination.note());
  const core::DateSelection& date = divination.date();
  r.yah = date.year;
  r.mon = date.month;
  r.day = date.day;
  r.hour = date.hour;
  r.btn2 = divination.fromDate();
  r.gua = divination.figure(core::Primary);
  r.jaoNo = divination.changingLine();
  r.comments = QString::fromStdString(divination.commentsText());
  r.context = divination.context();
  return r;
}

std::optional<core::Divination> ReadDivinationFile(const QString& path, FileIdentity* identity) {
  const std::optional<Record> record = ReadRecordFile(path, identity);
  if (!record) return std::nullopt;
  return DivinationOf(*record);
}

}  // namespace records
