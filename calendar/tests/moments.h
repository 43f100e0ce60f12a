// Day values of clock moments for the calendar tests.
#pragma once

#include "calendar/civil.h"

namespace calendar::moments {

inline TDateTime Moment(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return EncodeCivilDateTime({y, mo, d, h, mi, s, 0});
}

inline constexpr TDateTime Second = 1.0 / 86400;
inline constexpr TDateTime Minute = 1.0 / 1440;

}  // namespace calendar::moments
