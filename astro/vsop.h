// Angle helpers and the apparent position of the Sun from the complete
// VSOP87D Earth series (2425 terms), the FK5 correction, aberration and the
// IAU 1980 nutation (31 terms).
//
// Angles are degrees at every interface; sums are in extended precision.
// Reference: Bretagnon & Francou 1988; Meeus, Astronomical Algorithms, ch. 22, 25, 32.
#pragma once

#include <cstdint>

#include "constants.h"

namespace astro {

// --- angles (degrees) ---
Extended DegToRad(Extended x);
Extended RadToDeg(Extended x);
Extended NormalizeDeg(Extended x);  // [0, 360)
Extended SinDeg(Extended x);
Extended CosDeg(Extended x);
Extended TanDeg(Extended x);
void SinCosDeg(Extended x, Extended& sine, Extended& cosine);  // both at once, as SinDeg and CosDeg
Extended ArcTan2Deg(Extended a, Extended b);  // RadToDeg(atan(b/a)) + 180 when a < 0: (-90, 270)
Extended ArcSinDeg(Extended x);
Extended AngleDiffDeg(Extended a, Extended b);      // signed difference in (-180, 180]
std::int64_t AMod(std::int64_t a, std::int64_t n);  // a mod n in 1..n

// --- VSOP87 series ---
struct TVSOPTerm {
  Extended A = 0;  // amplitude, 1e-8 rad (L, B) or 1e-8 AU (R)
  Extended P = 0;  // phase, rad
  Extended F = 0;  // frequency, rad per Julian millennium
};

class TVSOP {
 public:
  enum class Slot { Longitude, Latitude, Radius };

  virtual ~TVSOP() = default;
  virtual TVSOPTerm LongitudeTerm(int index, int order) const = 0;
  virtual TVSOPTerm LatitudeTerm(int index, int order) const = 0;
  virtual TVSOPTerm RadiusTerm(int index, int order) const = 0;
  // Number of terms of a coordinate's series for a power of tau (0 when the
  // series has none); the walk stops there.
  virtual int TermCount(Slot slot, int order) const = 0;

  TDateTime moment = 0;

  Extended Tau() const;                 // Julian millennia from J2000.0
  Extended SeriesSum(Slot slot) const;  // plain walk through TermCount terms; rad or AU
  void ToFK5(Extended& L, Extended& B) const;
};

class TVSOPEarth : public TVSOP {
 public:
  TVSOPTerm LongitudeTerm(int index, int order) const override;
  TVSOPTerm LatitudeTerm(int index, int order) const override;
  TVSOPTerm RadiusTerm(int index, int order) const override;
  int TermCount(Slot slot, int order) const override;
};

struct HeliocentricPosition {
  Extended L = 0;  // degrees, [0, 360), FK5
  Extended B = 0;  // degrees
  Extended R = 0;  // AU
};

struct TSkyCoordinates {
  Extended longitude = 0;       // degrees, [0, 360)
  Extended latitude = 0;        // degrees
  Extended radius = 0;          // km
  Extended rightascension = 0;  // degrees, (-90, 270), not reduced
  Extended declination = 0;     // degrees
};

struct Nutation {
  Extended deltaPsi = 0;  // nutation in longitude, degrees
  Extended epsilon = 0;   // true obliquity of the ecliptic, degrees
};

HeliocentricPosition EarthCoordinates(TDateTime t);
Nutation CalcNutation(TDateTime t);
void ApparentEquatorial(TSkyCoordinates& coordinates, TDateTime t);
TSkyCoordinates SunCoordinates(TDateTime t);

// The same positions through the plain term-by-term walk (TVSOP::SeriesSum,
// one long double cosine per term): the reference that the fast evaluation
// used by EarthCoordinates/SunCoordinates is checked against.
HeliocentricPosition EarthCoordinatesReference(TDateTime t);
TSkyCoordinates SunCoordinatesReference(TDateTime t);

}  // namespace astro
