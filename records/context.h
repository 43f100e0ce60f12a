// The record's [CONTEXT] section: the moment and calendar of the cast
// (core::CastContext), between "BEGINNER" and the comments marker.
//
//   [CONTEXT]
//   Moment=2026-12-11T12:30:05+03:00   local clock time with its UTC offset
//   Method=date                        codes, yarrow or date
//   Zone=3                             hours east of Greenwich; empty: none
//   Correction=0                       the time correction in hours
//   LunarYear=43                       year in the sixty-year cycle 1..60
//   LunarMonth=11                      1..12
//   LeapMonth=0                        1 in a leap month
//   LunarDay=2                         1..30
//   DoubleHour=6                       0 (Цзы) .. 11 (Хай)
//   YearPillar=3,7                     stem 1..10, branch 1..12
//   MonthPillar=7,1
//   DayPillar=6,8
//   HourPillar=7,7
//   Term=Большие снега                 the solar term in force
//   Season=Середина зимы               its season month
//   Boundary=...                       the warning near a boundary, or nothing
//
// A reader that knows only "TITLE" and "BEGINNER" takes its keys from the
// first section of each name and never asks for this one, so older readers
// see the record as before. Only the lines before the comments marker are
// read: comment text that looks like this section is never taken for it.
// A file may hold anything here: each key is checked on its own (length,
// type, range) and one that fails is left unknown, the others are kept; a
// key written twice counts once, its first line; a section with no usable
// key gives no context at all.
#pragma once

#include <QByteArrayView>
#include <QStringList>
#include <optional>

#include "core/context.h"

namespace records {

inline const char* const ContextSection = "CONTEXT";

// The key=value pairs of the section, in write order (UTF-8 values become
// the record's text; the file's code page is applied by the writer).
QList<std::pair<QString, QString>> ContextValues(const core::CastContext& context);
// The section of a record's bytes, or nullopt when there is none or none
// of its keys holds a usable value.
std::optional<core::CastContext> DecodeContext(QByteArrayView bytes);

}  // namespace records
