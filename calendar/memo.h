// Memo of the calendar's pure searches.
//
// SolarTermInstant(year, k), the four China-date searches of lunar_date.h and
// the new-moon instants that the kernel's phase searches evaluate are pure
// functions of their exact arguments, and the lunar date of one moment asks
// for the same few dozen of them again and again (the same solstices, the
// same month starts while PriorLeapMonth walks back; the searches of
// consecutive days probe the same moments 28 days apart). Their results are
// kept by exact argument, so every answer is bit for bit the one computed
// without the memo.
//
// Each thread has its own small direct-mapped tables (a bounded amount of
// memory; a new entry simply replaces the one in its slot), so the memo is
// safe to use from several threads. Switching it off makes every call
// compute afresh; tests use that to compare the two ways.
#pragma once

namespace calendar {

// On by default; the switch is shared by all threads.
void SetCalendarMemo(bool enabled);
bool CalendarMemo();
// Forgets everything memoised by the calling thread.
void ClearCalendarMemo();

}  // namespace calendar
