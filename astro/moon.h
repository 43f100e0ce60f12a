// Instants of the Moon's phases (Meeus, Astronomical Algorithms, ch. 49)
// and the searches for the last phase at or before and the next phase at
// or after a moment. Day values in and out, no delta-T.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "constants.h"

namespace astro {

enum TMoonPhase : std::uint8_t {
  mpNewMoon = 0,
  mpWaxingCrescent = 1,
  mpFirstQuarter = 2,
  mpWaxingGibbous = 3,
  mpFullMoon = 4,
  mpWaningGibbous = 5,
  mpLastQuarter = 6,
  mpWaningCrescent = 7,
};

// A request the phase algorithms cannot serve: "Invalid TMoonPhase",
// "No TDateTime possible", or the intermediate phases 1, 3, 5, 7.
class E_OutOfAlgorithmRange : public std::runtime_error {
 public:
  explicit E_OutOfAlgorithmRange(const std::string& message) : std::runtime_error(message) {}
};

struct MeanPhaseValues {
  Extended k = 0;      // lunation number (+ 0, 0.25, 0.5, 0.75)
  Extended JDE = 0;    // mean instant, Julian day
  Extended M = 0;      // Sun's mean anomaly, degrees (not reduced)
  Extended Mp = 0;     // Moon's mean anomaly M', degrees
  Extended F = 0;      // Moon's argument of latitude, degrees
  Extended Omega = 0;  // longitude of the ascending node, degrees
  Extended E = 0;      // eccentricity factor (from the moment t, not from k)
};

MeanPhaseValues MeanPhase(std::uint8_t phase, TDateTime t);
// The instant of a principal phase (PrincipalPhaseInstant); none for a
// value that names no phase at all, for which the searches below raise
// "No TDateTime possible". The intermediate phases 1, 3, 5, 7 raise
// E_OutOfAlgorithmRange.
std::optional<TDateTime> PhaseInstant(std::uint8_t phase, TDateTime t);

// Instant of a principal phase (new moon, first quarter, full moon, last
// quarter) in the lunation whose mean new moon is nearest to t: mean phase
// plus periodic and planetary corrections. Any other phase value raises
// E_OutOfAlgorithmRange "Invalid TMoonPhase". PhaseInstant dispatches here.
TDateTime PrincipalPhaseInstant(std::uint8_t phase, TDateTime t);
TDateTime LastPhase(std::uint8_t phase, TDateTime t);
TDateTime NextPhase(std::uint8_t phase, TDateTime t);

}  // namespace astro
