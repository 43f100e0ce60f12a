#include "calendar/memo.h"

#include <atomic>

#include "calendar/memo_table.h"

namespace calendar {
namespace {
std::atomic<bool> memoEnabled{true};
}

void SetCalendarMemo(bool enabled) {
  memoEnabled.store(enabled, std::memory_order_relaxed);
}
bool CalendarMemo() {
  return memoEnabled.load(std::memory_order_relaxed);
}

void ClearCalendarMemo() {
  detail::MemoTables& m = detail::ThreadMemo();
  m.solarTerms.Clear();
  m.newMoonOnOrBefore.Clear();
  m.newMoonOnOrAfter.Clear();
  m.majorTermDayOnOrAfter.Clear();
  m.majorTermDayBefore.Clear();
  m.newMoonInstants.Clear();
}

namespace detail {
MemoTables& ThreadMemo() {
  thread_local MemoTables tables;
  return tables;
}
}  // namespace detail

}  // namespace calendar
