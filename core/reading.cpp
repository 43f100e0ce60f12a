// Zhu Xi's rule for the texts of a cast.
#include "core/reading.h"

#include <algorithm>

namespace core {

Reading ReadingOf(const Figure& primary, const std::vector<int>& changingLines) {
  std::vector<int> changing;
  for (int n : changingLines)
    if (n >= 1 && n <= 6 && std::find(changing.begin(), changing.end(), n) == changing.end())
      changing.push_back(n);
  std::sort(changing.begin(), changing.end());
  Figure changed = primary;
  for (int n : changing) changed[static_cast<std::size_t>(n - 1)] = !changed[static_cast<std::size_t>(n - 1)];
  std::vector<int> steady;
  for (int n = 1; n <= 6; ++n)
    if (std::find(changing.begin(), changing.end(), n) == changing.end()) steady.push_back(n);

  Reading r;
  const int primaryNo = CalcNoGua(primary), changedNo = CalcNoGua(changed);
  switch (changing.size()) {
    case 0:
      r.hexagram = primaryNo;
      break;
    case 1:
      r.hexagram = primaryNo;
      r.lines = changing;
      break;
    case 2:
      r.hexagram = primaryNo;
      r.lines = changing;
      r.leadingLine = changing.back();
      break;
    case 3:
      r.hexagram = primaryNo;
      r.alsoHexagram = changedNo;
      break;
    case 4:
      r.hexagram = changedNo;
      r.lines = steady;
      r.leadingLine = steady.front();
      break;
    case 5:
      r.hexagram = changedNo;
      r.lines = steady;
      break;
    default:
      if (primaryNo == 1 || primaryNo == 2) {
        r.hexagram = primaryNo;
        r.allLines = true;
      } else {
        r.hexagram = changedNo;
      }
  }
  return r;
}

}  // namespace core
