// A record's values and the divination model: the record file knows keys
// and texts, core::Divination knows what they mean. Nothing here decides a
// rule; each key is copied to the value of the same name (UTF-8 on the
// model's side).
#pragma once

#include "core/divination.h"
#include "records/record.h"

namespace records {

core::RecordValues ToValues(const Record& record);
Record FromValues(const core::RecordValues& values);

}  // namespace records
