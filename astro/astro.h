// The astronomy kernel: pure functions over day values.
//
//   constants.h  time scale, JulianDayOffset, GregorianSwitchDay, Day2000
//   Calendar.h   day values <-> Julian days <-> Julian/Gregorian/historic dates
//   vsop.h       angle helpers, VSOP87D Earth, nutation, apparent Sun position
//   moon.h       Moon phase instants, LastPhase / NextPhase
//
// Data flow: Calendar gives Julian days; vsop turns a day value into the
// Sun's apparent longitude (solar terms); moon gives new-moon instants
// (lunar months). Errors are EConvertError and E_OutOfAlgorithmRange.
#pragma once

#include "Calendar.h"
#include "constants.h"
#include "moon.h"
#include "vsop.h"
