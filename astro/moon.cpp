// Instants of the Moon's principal phases and the last/next phase searches.
// Reference: J. Meeus, Astronomical Algorithms, 2nd ed., ch. 49.
// Time scale: the day value is used as is (no delta-T); the phase instant,
// a Julian ephemeris day in the book, is returned as a day value.

#include "astro/moon.h"

#include <cmath>
#include <iterator>
#include <optional>
#include <span>

#include "astro/Calendar.h"
#include "astro/vsop.h"

namespace astro {

namespace {

constexpr Extended LunationsPerCentury = 1236.85L;

// Periodic terms of the principal phases: coefficient * factor * sin(arg),
// arg = mp*M' + m*M + f*F + om*Omega; the factor is E^e.
struct PhaseTerm {
  int mp, m, f, om;  // multiples of M', M, F, Omega
  int e;             // power of the eccentricity factor E
  double newMoon;    // days
  double fullMoon;   // days
};

constexpr PhaseTerm NewFullTerms[] = {
    /* 1-10 */
    {1, 0, 0, 0, 0, -0.40720, -0.40614},
    {0, 1, 0, 0, 1, +0.17241, +0.17302},
    {2, 0, 0, 0, 0, +0.01608, +0.01614},
    {0, 0, 2, 0, 0, +0.01039, +0.01043},
    {1, -1, 0, 0, 1, +0.00739, +0.00734},
    {1, 1, 0, 0, 1, -0.00514, -0.00515},
    {0, 2, 0, 0, 2, +0.00208, +0.00209},
    {1, 0, -2, 0, 0, -0.00111, -0.00111},
    {1, 0, 2, 0, 0, -0.00057, -0.00057},
    {2, 1, 0, 0, 1, +0.00056, +0.00056},
    /* 11-20 */
    {3, 0, 0, 0, 0, -0.00042, -0.00042},
    {0, 1, 2, 0, 1, +0.00042, +0.00042},
    {0, 1, -2, 0, 1, +0.00038, +0.00038},
    {2, -1, 0, 0, 1, -0.00024, -0.00024},
    {0, 0, 0, 1, 0, -0.00017, -0.00017},
    {1, 2, 0, 0, 0, -0.00007, -0.00007},
    {2, 0, -2, 0, 0, +0.00004, +0.00004},
    {0, 3, 0, 0, 0, +0.00004, +0.00004},
    {1, 1, -2, 0, 0, +0.00003, +0.00003},
    {2, 0, 2, 0, 0, +0.00003, +0.00003},
    /* 21-25 */
    {1, 1, 2, 0, 0, -0.00003, -0.00003},
    {1, -1, 2, 0, 0, +0.00003, +0.00003},
    {1, -1, -2, 0, 0, -0.00002, -0.00002},
    {3, 1, 0, 0, 0, -0.00002, -0.00002},
    {4, 0, 0, 0, 0, +0.00002, +0.00002},
};

// First and last quarter share one table (second coefficient column unused).
constexpr PhaseTerm QuarterTerms[] = {
    /* 1-10 */
    {1, 0, 0, 0, 0, -0.62801, 0},
    {0, 1, 0, 0, 1, +0.17172, 0},
    {1, 1, 0, 0, 1, -0.01183, 0},
    {2, 0, 0, 0, 0, +0.00862, 0},
    {0, 0, 2, 0, 0, +0.00804, 0},
    {1, -1, 0, 0, 1, +0.00454, 0},
    {0, 2, 0, 0, 2, +0.00204, 0},
    {1, 0, -2, 0, 0, -0.00180, 0},
    {1, 0, 2, 0, 0, -0.00070, 0},
    {3, 0, 0, 0, 0, -0.00040, 0},
    /* 11-20 */
    {2, -1, 0, 0, 1, -0.00034, 0},
    {0, 1, 2, 0, 1, +0.00032, 0},
    {0, 1, -2, 0, 1, +0.00032, 0},
    {1, 2, 0, 0, 2, -0.00028, 0},
    {2, 1, 0, 0, 1, +0.00027, 0},
    {0, 0, 0, 1, 0, -0.00017, 0},
    {1, -1, -2, 0, 0, -0.00005, 0},
    {2, 0, 2, 0, 0, +0.00004, 0},
    {1, 1, 2, 0, 0, -0.00004, 0},
    {1, -2, 0, 0, 0, +0.00004, 0},
    /* 21-25 */
    {1, 1, -2, 0, 0, +0.00003, 0},
    {0, 3, 0, 0, 0, +0.00003, 0},
    {2, 0, -2, 0, 0, +0.00002, 0},
    {1, -1, 2, 0, 0, +0.00002, 0},
    {3, 1, 0, 0, 0, -0.00002, 0},
};

// Additional corrections for all phases: c * sin(a + b*k), degrees and days.
struct PlanetaryTerm {
  double a, b, c;
};

constexpr PlanetaryTerm PlanetaryTerms[] = {
    {299.77, 0.107408, 0.000325},  // A1, also - 0.009173 T^2
    {251.88, 0.016321, 0.000165}, {251.83, 26.651886, 0.000164}, {349.42, 36.412478, 0.000126},
    {84.66, 18.206239, 0.000110}, {141.74, 53.303771, 0.000062}, {207.14, 2.453732, 0.000060},
    {154.84, 7.306860, 0.000056}, {34.52, 27.261239, 0.000047},  {207.19, 0.121824, 0.000042},
    {291.34, 1.844379, 0.000040}, {161.72, 24.198154, 0.000037}, {239.56, 25.513099, 0.000035},
    {331.55, 3.592518, 0.000023},
};

}  // namespace

MeanPhaseValues MeanPhase(std::uint8_t phase, TDateTime t) {
  const Extended centuries = (static_cast<Extended>(t) - Day2000) / 36525;  // from 2000-01-01
  MeanPhaseValues v;
  v.k = std::nearbyint(centuries * LunationsPerCentury) + static_cast<Extended>(phase) / 8;
  const Extended k = v.k;
  const Extended T = k / LunationsPerCentury;
  const Extended T2 = T * T;
  const Extended T3 = T2 * T;
  const Extended T4 = T3 * T;
  v.JDE = 2451550.09765L + 29.530588853L * k + 0.0001337L * T2 - 0.00000015L * T3 + 0.00000000073L * T4;
  v.M = 2.5534L + 29.10535669L * k - 0.0000218L * T2 - 0.00000011L * T3;
  v.Mp = 201.5643L + 385.81693528L * k + 0.0107438L * T2 + 0.00001239L * T3 - 0.000000058L * T4;
  v.F = 160.7108L + 390.67050274L * k - 0.0016341L * T2 - 0.00000227L * T3 + 0.000000011L * T4;
  v.Omega = 124.7746L - 1.5637558L * k + 0.0020691L * T2 + 0.00000215L * T3;
  // E is taken from the moment asked about, not from k.
  v.E = 1 - 0.002516L * centuries - 0.0000074L * centuries * centuries;
  return v;
}

TDateTime PrincipalPhaseInstant(std::uint8_t phase, TDateTime t) {
  if (phase != mpNewMoon && phase != mpFirstQuarter && phase != mpFullMoon && phase != mpLastQuarter)
    throw E_OutOfAlgorithmRange("Invalid TMoonPhase");
  const MeanPhaseValues v = MeanPhase(phase, t);
  const Extended E = v.E;
  const Extended powersOfE[] = {1, E, E * E};

  const bool quarter = phase == mpFirstQuarter || phase == mpLastQuarter;
  Extended correction = 0;
  for (const PhaseTerm& term : quarter ? std::span(QuarterTerms) : std::span(NewFullTerms)) {
    const Extended coefficient = phase == mpFullMoon ? term.fullMoon : term.newMoon;
    const Extended arg = term.mp * v.Mp + term.m * v.M + term.f * v.F + term.om * v.Omega;
    correction += coefficient * powersOfE[term.e] * SinDeg(arg);
  }
  if (quarter) {
    const Extended W = 0.00306L - 0.00038L * E * CosDeg(v.M) + 0.00026L * CosDeg(v.Mp) -
                       0.00002L * CosDeg(v.Mp - v.M) + 0.00002L * CosDeg(v.Mp + v.M) +
                       0.00002L * CosDeg(2 * v.F);
    correction += phase == mpFirstQuarter ? W : -W;
  }

  const Extended T = v.k / LunationsPerCentury;
  Extended additional = 0;
  for (std::size_t i = 0; i < std::size(PlanetaryTerms); ++i) {
    const PlanetaryTerm& term = PlanetaryTerms[i];
    Extended arg = term.a + term.b * v.k;
    if (i == 0) arg -= 0.009173L * T * T;
    additional += term.c * SinDeg(arg);
  }
  return JulianDayToDateTime(v.JDE + correction + additional);
}

std::optional<TDateTime> PhaseInstant(std::uint8_t phase, TDateTime t) {
  switch (phase) {
    case mpNewMoon:
    case mpFirstQuarter:
    case mpFullMoon:
    case mpLastQuarter:
      return PrincipalPhaseInstant(phase, t);
    case mpWaxingCrescent:
    case mpWaxingGibbous:
    case mpWaningGibbous:
    case mpWaningCrescent:
      throw E_OutOfAlgorithmRange(
          "Intermediate Moon phases (waxing crescent, waxing gibbous, waning gibbous, waning "
          "crescent) are not computed");
    default:
      return std::nullopt;
  }
}

namespace {

TDateTime InstantOrRaise(std::uint8_t phase, TDateTime t) {
  const std::optional<TDateTime> instant = PhaseInstant(phase, t);
  if (!instant) throw E_OutOfAlgorithmRange("No TDateTime possible");
  return *instant;
}

}  // namespace

// Probes step by 28 days, less than any lunation, so no lunation is skipped.
TDateTime LastPhase(std::uint8_t phase, TDateTime t) {
  TDateTime probe = t + 28;
  TDateTime result = probe;
  while (result > t) {
    result = InstantOrRaise(phase, probe);
    probe -= 28;
  }
  return result;
}

TDateTime NextPhase(std::uint8_t phase, TDateTime t) {
  TDateTime probe = t - 28;
  TDateTime result = probe;
  while (result < t) {
    result = InstantOrRaise(phase, probe);
    probe += 28;
  }
  return result;
}

}  // namespace astro
