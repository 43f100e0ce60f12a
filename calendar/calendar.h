// The Chinese calendar, built on the astronomy kernel.
//
//   time_settings.h  the time correction and the zone, in hours
//   season.h       solar terms, major terms, SeasonOf
//   my_MOON.h      lunar date of a moment, China time, double hours
//   StvolyVetvi.h  stems and branches of year, month, day and hour
//   civil.h        day values read as the clock and date pickers read them
//   memo.h         the memo of the pure searches (on/off switch)
//   signs.h        signs, Russian readings, phases and animals of stems and branches
//
// The time settings come in as a TimeSettings value (time_settings.h).
// Nothing here catches the kernel's exceptions.
#pragma once

#include "StvolyVetvi.h"
#include "civil.h"
#include "memo.h"
#include "my_MOON.h"
#include "season.h"
#include "signs.h"
#include "time_settings.h"
