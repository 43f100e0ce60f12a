// Constants of the astronomy kernel.
//
// One time scale runs through the whole kernel: day values (days since
// 1899-12-30 00:00, local clock time until a calendar operation corrects it)
// are used directly as the argument of every formula; no difference between
// universal and dynamical time is applied anywhere.
#pragma once

namespace astro {

using TDateTime = double;      // days since 1899-12-30 00:00, fraction = time of day
using Extended = long double;  // 80-bit extended precision on x86-64

inline constexpr Extended GregorianSwitchDay = 2299160.5L;  // JD of 1582-10-15 0h, first Gregorian day
inline constexpr Extended JulianDayOffset = 2415018.5L;     // JD of day value 0 = 2451544.5 - 36526
inline constexpr TDateTime Day2000 = 36526.0;               // day value of 2000-01-01 0h
inline constexpr TDateTime J2000DayValue = 36526.5;         // 2000-01-01 12:00, epoch of VSOP87 time
inline constexpr Extended J2000JulianDay = 2451545.0L;      // the same epoch as a Julian day
inline constexpr double MeanSynodicMonth = 29.530589;       // days, for searches and month counting

}  // namespace astro
