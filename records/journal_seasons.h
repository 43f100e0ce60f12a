// The hexagrams that recur by season: the journal's rows grouped by the
// solar term in force at their cast (kept in the record's moment), each
// term with its number of casts and its primary hexagrams, most frequent
// first. Rows without a known term are left out.
#pragma once

#include <QList>
#include <utility>

#include "records/journal.h"

namespace records {

struct SeasonRow {
  int term = 0;   // 0..23 (calendar::TermName), in the order of the year from the spring equinox
  int casts = 0;  // records cast under this term
  // (hexagram number, count): most frequent first, equal counts by number.
  QList<std::pair<int, int>> hexagrams;
};

// All 24 terms, in term order, also those without casts.
QList<SeasonRow> HexagramsBySeason(const QList<JournalRow>& rows);

}  // namespace records
