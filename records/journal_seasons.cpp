#include "records/journal_seasons.h"

#include <QMap>
#include <algorithm>

namespace records {

QList<SeasonRow> HexagramsBySeason(const QList<JournalRow>& rows) {
  QList<SeasonRow> table(24);
  std::array<QMap<int, int>, 24> counts;
  for (int k = 0; k < 24; ++k) table[k].term = k;
  for (const JournalRow& r : rows) {
    if (!r.isRecord() || r.term < 0 || r.term >= 24) continue;
    ++table[r.term].casts;
    if (r.primary >= 1 && r.primary <= 64) ++counts[std::size_t(r.term)][r.primary];
  }
  for (int k = 0; k < 24; ++k) {
    for (auto it = counts[std::size_t(k)].cbegin(); it != counts[std::size_t(k)].cend(); ++it)
      table[k].hexagrams.append({it.key(), it.value()});
    std::stable_sort(table[k].hexagrams.begin(), table[k].hexagrams.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
  }
  return table;
}

}  // namespace records
