// A record file's fields and the divination: the record file knows keys
// and texts, core::Divination knows what they mean. Nothing here decides a
// rule; each key is read into or written from the divination's fact of the
// same meaning (UTF-8 on the divination's side).
#pragma once

#include <optional>

#include "core/divination.h"
#include "records/record.h"

namespace records {

// A record read into a divination exactly as the window opens it (figures,
// numbers, date text; clean and bound).
void Restore(core::Divination& divination, const Record& record);
core::Divination DivinationOf(const Record& record);
// What a save of the divination writes.
Record RecordOf(const core::Divination& divination);

// A record file read into a divination, for readers without a window.
// nullopt when the file is not a record; an integer key that is not an
// integer throws RecordError.
// `identity`, when given, receives the identity of the file read.
std::optional<core::Divination> ReadDivinationFile(const QString& path, FileIdentity* identity = nullptr);

}  // namespace records
