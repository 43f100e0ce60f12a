// A record's values and the divination model: the record file knows keys
// and texts, core::Divination knows what they mean. Nothing here decides a
// rule; each key is copied to the value of the same name (UTF-8 on the
// model's side).
#pragma once

#include <optional>

#include "core/divination.h"
#include "records/record.h"

namespace records {

core::RecordValues ToValues(const Record& record);
Record FromValues(const core::RecordValues& values);

// A record file read into a divination exactly as the window opens it
// (figures, numbers, status text; clean and bound), for readers without a
// window. nullopt when the file is not a record; an integer key that is not
// an integer throws RecordError.
// `identity`, when given, receives the identity of the file read.
std::optional<core::Divination> ReadDivinationFile(const QString& path, FileIdentity* identity = nullptr);

}  // namespace records
