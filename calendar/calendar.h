// The Chinese calendar, built on the astronomy kernel.
//
//   time_settings.h  the time correction and the zone, in hours
//   season.h       solar terms, major terms, SeasonOf
//   lunar_date.h   lunar date of a moment, China time, new moons and major terms
//   lunar_range.h  the date a divination by date is cast from, and many days of it
//   double_hours.h the double hours and their clock hours
//   boundaries.h   the changes of that date near a moment, with a sentence each
//   StvolyVetvi.h  stems and branches of year, month, day and hour
//   civil.h        day values read as the clock and date pickers read them
//   memo.h         the memo of the pure searches (on/off switch)
//   signs.h        signs, Russian readings, phases and animals of stems and branches
//
// The time settings come in as a TimeSettings value (time_settings.h).
// Nothing here catches the kernel's exceptions.
#pragma once

#include "StvolyVetvi.h"
#include "boundaries.h"
#include "civil.h"
#include "double_hours.h"
#include "lunar_date.h"
#include "lunar_range.h"
#include "memo.h"
#include "season.h"
#include "signs.h"
#include "time_settings.h"
