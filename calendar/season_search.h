// Internal: the solar-term search with the Sun's longitude passed in, so
// that tests can run it on the plain reference evaluation of the kernel.
#pragma once

#include <cmath>

#include "astro/vsop.h"
#include "calendar/civil.h"

namespace calendar::detail {

inline constexpr astro::Extended TermTolerance = 3e-10L;  // degrees of apparent longitude
inline constexpr astro::Extended NewtonStep = 58;         // days per unit of sin(L - lambda)
// Far more than any search needs (the error shrinks some thirtyfold per step
// from a guess a few days off); it ends a search that can no longer improve,
// as where the last bit of a far-future day value is worth more than the
// tolerance.
inline constexpr int MaxTermSteps = 100;

// Instant of term k (longitude 15k degrees) in calendar year `year`.
// First guess: 1 January (proleptic Gregorian) plus 80 + k * 365.24219 / 24
// days, counted from the year before when that exceeds 365 (terms 19..23
// fall in January to March). Then t += 58 sin(L - lambda) until the
// longitude is within 3e-10 degrees; t is a double between the steps.
template <typename SunLongitude>
astro::TDateTime SearchSolarTerm(int year, int k, SunLongitude sunLongitude) {
  using astro::Extended;
  const Extended target = 15.0L * k;
  const Extended guess = 80 + k * (365.24219L / 24);
  const astro::TDateTime newYear = EncodeCivilDate(guess > 365 ? year - 1 : year, 1, 1);
  astro::TDateTime t = static_cast<astro::TDateTime>(newYear + guess);
  Extended lambda = sunLongitude(t);
  Extended diff = astro::AngleDiffDeg(target, lambda);
  for (int step = 0; std::fabs(diff) > TermTolerance && step < MaxTermSteps; ++step) {
    t = static_cast<astro::TDateTime>(t + NewtonStep * astro::SinDeg(target - lambda));
    lambda = sunLongitude(t);
    diff = astro::AngleDiffDeg(target, lambda);
  }
  return t;
}

}  // namespace calendar::detail
