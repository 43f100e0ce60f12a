// libFuzzer target for the record reader: any bytes go through the
// identification, the decoding of every key and the comments block, as when
// a file of unknown origin is opened, dropped or handed over.
//
// Besides "no crash, no hang, no sanitizer report" it checks that what the
// reader gives back can be saved and read again unchanged: a record never
// holds a value that its own file format would alter.
#include <QBuffer>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "records/inifile.h"
#include "records/record.h"

using records::Record;

extern "C" const char* __ubsan_default_options() {
  return "halt_on_error=1:print_stacktrace=1";
}

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckRecord(const QByteArray& bytes, const Record& r) {
  for (const QString& code : r.lineCodes) Check(code.size() <= records::MaxIniValueLength);
  Check(r.note.size() <= records::MaxIniValueLength);
  Check(r.comments == records::CommentsRead(bytes));
  // Everything read came from Windows-1251 text, so all of it can be written back.
  Check(records::UnencodableFields(r).isEmpty());

  const QByteArray written = records::EncodeRecord(r);
  Check(records::IsRecord(written));
  // A comment line equal to the marker repeats what follows it on reading,
  // so only records without one read back exactly.
  if (!r.comments.isEmpty())
    for (const QStringView line : QStringTokenizer(r.comments, u'\n'))
      if (line == QLatin1StringView(records::CommentsMarker)) return;
  const Record again = records::DecodeRecord(written);
  Check(again == r);
  Check(records::EncodeRecord(again) == written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));

  // The comments rule runs on any text, record or not.
  records::CommentsRead(bytes);

  const bool isRecord = records::IsRecord(bytes);
  QByteArray copy(bytes);  // QBuffer needs a writable array
  QBuffer device(&copy);
  try {
    const std::optional<Record> viaDevice = records::ReadRecord(device);
    Check(viaDevice.has_value() == isRecord);
    if (viaDevice) {
      Check(*viaDevice == records::DecodeRecord(bytes));
      CheckRecord(bytes, *viaDevice);
    }
  } catch (const records::RecordError& e) {
    // Only a key that is not an integer, or too many comment lines, stops
    // the reading, and only in a record.
    Check(isRecord);
    Check(e.text().endsWith(QLatin1String(" is not a valid integer value")) ||
          (records::CommentLineCount(records::CommentsRead(bytes)) > records::MaxCommentLines &&
           e.text() == records::CommentLinesText(records::CommentLineCount(records::CommentsRead(bytes)))));
  }
  return 0;
}
