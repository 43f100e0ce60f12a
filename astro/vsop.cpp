// Angle helpers, VSOP87D Earth evaluation, nutation and the Sun's apparent
// position. References: Bretagnon & Francou, A&A 202, 309 (1988);
// J. Meeus, Astronomical Algorithms, 2nd ed., ch. 22 (nutation), 25 (Sun),
// 32 (VSOP87 and the FK5 correction).

#include "astro/vsop.h"

#include <cmath>
#include <limits>
#include <stdexcept>

#include "astro/Calendar.h"
#include "astro/vsop87d_earth.h"
#include "astro/vsop_fast.h"

namespace astro {

namespace {

constexpr Extended Pi = 3.141592653589793238462643383279502884L;
constexpr Extended AstronomicalUnitKm = 149597869;  // km per AU, as the program's tables use it

}  // namespace

// ---------------------------------------------------------------------------
// Angles

Extended DegToRad(Extended x) {
  return x / 180 * Pi;
}

Extended RadToDeg(Extended x) {
  return x * 180 / Pi;
}

namespace {

// Nearest integer, ties to even, for |x| < 2^62: adding 1.5*2^63 leaves no
// fraction bits in the 64-bit significand. Same result as nearbyintl in the
// default rounding mode, without its cost of saving the FPU state.
Extended RoundToInteger(Extended x) {
  constexpr Extended Shift = 13835058055282163712.0L;  // 1.5 * 2^63
  return (x + Shift) - Shift;
}

// sin and cos of an angle in [0, 360) degrees. The quadrant is taken off in
// degrees, where x - 90*n is exact; the rest, |r| <= pi/4, goes through the
// Taylor series to r^19 (sin) and r^20 (cos), truncation below 1e-22.
void SinCosNormalized(Extended degrees, Extended& sine, Extended& cosine) {
  if (std::isnan(degrees)) {
    sine = cosine = degrees;
    return;
  }
  constexpr Extended RadiansPerDegree = Pi / 180;
  const Extended n = RoundToInteger(degrees * (1 / 90.0L));
  const Extended r = (degrees - 90 * n) * RadiansPerDegree;
  const Extended r2 = r * r;
  Extended s = -8.2206352466243297169559812e-18L;
  s = s * r2 + 2.8114572543455207631989456e-15L;
  s = s * r2 - 7.6471637318198164759011320e-13L;
  s = s * r2 + 1.6059043836821614599392377e-10L;
  s = s * r2 - 2.5052108385441718775052108e-8L;
  s = s * r2 + 2.7557319223985890652557319e-6L;
  s = s * r2 - 1.9841269841269841269841270e-4L;
  s = s * r2 + 8.3333333333333333333333333e-3L;
  s = s * r2 - 1.6666666666666666666666667e-1L;
  s = r + r * r2 * s;
  Extended c = 4.1103176233121648584779906e-19L;
  c = c * r2 - 1.5619206968586226462216364e-16L;
  c = c * r2 + 4.7794773323873852974382075e-14L;
  c = c * r2 - 1.1470745597729724713851698e-11L;
  c = c * r2 + 2.0876756987868098979210090e-9L;
  c = c * r2 - 2.7557319223985890652557319e-7L;
  c = c * r2 + 2.4801587301587301587301587e-5L;
  c = c * r2 - 1.3888888888888888888888889e-3L;
  c = c * r2 + 4.1666666666666666666666667e-2L;
  c = c * r2 - 0.5L;
  c = 1 + r2 * c;
  // Through double: a long double -> int conversion would switch the x87
  // rounding mode, which costs more than the polynomials.
  switch (static_cast<int>(static_cast<double>(n)) & 3) {
    case 0:
      sine = s;
      cosine = c;
      break;
    case 1:
      sine = c;
      cosine = -s;
      break;
    case 2:
      sine = -s;
      cosine = -c;
      break;
    default:
      sine = -c;
      cosine = s;
      break;
  }
}

}  // namespace

// x - 360*N with N = x/360 rounded to the nearest integer (ties to even),
// lifted into [0, 360). Non-finite input gives NaN. Beyond |x| = 1e18 the
// subtraction would lose the angle entirely, so fmod takes over there.
Extended NormalizeDeg(Extended x) {
  if (!std::isfinite(x)) return std::numeric_limits<Extended>::quiet_NaN();
  Extended r;
  if (std::fabs(x) < 1e18L) {
    r = x - RoundToInteger(x / 360) * 360;
  } else {
    r = std::fmod(x, 360.0L);
  }
  while (r < 0) r += 360;
  // A tiny negative remainder plus 360 rounds to 360 itself.
  if (r >= 360) r = 0;
  return r;
}

void SinCosDeg(Extended x, Extended& sine, Extended& cosine) {
  SinCosNormalized(NormalizeDeg(x), sine, cosine);
}

Extended SinDeg(Extended x) {
  Extended s, c;
  SinCosDeg(x, s, c);
  return s;
}

Extended CosDeg(Extended x) {
  Extended s, c;
  SinCosDeg(x, s, c);
  return c;
}

Extended TanDeg(Extended x) {
  Extended s, c;
  SinCosDeg(x, s, c);
  return s / c;
}

Extended ArcTan2Deg(Extended a, Extended b) {
  Extended r = RadToDeg(std::atan(b / a));
  if (a < 0) r += 180;
  return r;
}

Extended ArcSinDeg(Extended x) {
  return RadToDeg(std::atan(x / std::sqrt(1 - x * x)));
}

Extended AngleDiffDeg(Extended a, Extended b) {
  Extended d = NormalizeDeg(a - b);
  if (d > 180) d -= 360;
  return d;
}

std::int64_t AMod(std::int64_t a, std::int64_t n) {
  if (n <= 0) throw std::domain_error("AMod: the modulus must be positive");
  std::int64_t r = a % n;
  while (r <= 0) r += n;
  return r;
}

// ---------------------------------------------------------------------------
// VSOP87

Extended TVSOP::Tau() const {
  return (static_cast<Extended>(moment) - J2000DayValue) / 365250;
}

Extended TVSOP::SeriesSum(Slot slot) const {
  const Extended tau = Tau();
  Extended S[vsop87d::MaxOrder + 1] = {};
  for (int k = 0; k <= vsop87d::MaxOrder; ++k) {
    const int count = TermCount(slot, k);
    for (int i = 0; i < count; ++i) {
      TVSOPTerm term;
      switch (slot) {
        case Slot::Longitude:
          term = LongitudeTerm(i, k);
          break;
        case Slot::Latitude:
          term = LatitudeTerm(i, k);
          break;
        case Slot::Radius:
          term = RadiusTerm(i, k);
          break;
      }
      S[k] += term.A * std::cos(term.P + term.F * tau);
    }
  }
  return (((((S[5] * tau + S[4]) * tau + S[3]) * tau + S[2]) * tau + S[1]) * tau + S[0]) * 1e-8L;
}

// Conversion from the dynamical ecliptic of VSOP87 to FK5 (Meeus 32.3).
// L, B in radians.
void TVSOP::ToFK5(Extended& L, Extended& B) const {
  const Extended T = 10 * Tau();
  const Extended Lp = L + T * DegToRad(-1.397L - 0.00031L * T);
  const Extended cosLp = std::cos(Lp);
  const Extended sinLp = std::sin(Lp);
  L = L - DegToRad(0.09033L / 3600) + DegToRad(0.03916L / 3600) * (cosLp + sinLp) * std::tan(B);
  B = B + DegToRad(0.03916L / 3600) * (cosLp - sinLp);
}

namespace {

TVSOPTerm TermOf(const vsop87d::TVSOPSeries (&series)[vsop87d::MaxOrder + 1], int index, int order) {
  if (order < 0 || order > vsop87d::MaxOrder || index < 0) return {};
  const vsop87d::TVSOPSeries& s = series[order];
  if (static_cast<std::size_t>(index) >= s.count) return {};
  return s.terms[index];
}

}  // namespace

int TVSOPEarth::TermCount(Slot slot, int order) const {
  if (order < 0 || order > vsop87d::MaxOrder) return 0;
  switch (slot) {
    case Slot::Longitude:
      return static_cast<int>(vsop87d::Longitude[order].count);
    case Slot::Latitude:
      return static_cast<int>(vsop87d::Latitude[order].count);
    case Slot::Radius:
      return static_cast<int>(vsop87d::Radius[order].count);
  }
  return 0;
}

TVSOPTerm TVSOPEarth::LongitudeTerm(int index, int order) const {
  return TermOf(vsop87d::Longitude, index, order);
}

TVSOPTerm TVSOPEarth::LatitudeTerm(int index, int order) const {
  return TermOf(vsop87d::Latitude, index, order);
}

TVSOPTerm TVSOPEarth::RadiusTerm(int index, int order) const {
  return TermOf(vsop87d::Radius, index, order);
}

// ---------------------------------------------------------------------------
// Positions

namespace {

// L, B (rad) and R (AU) of the series -> FK5 degrees.
HeliocentricPosition Heliocentric(const TVSOP& vsop, Extended L, Extended B, Extended R) {
  vsop.ToFK5(L, B);
  HeliocentricPosition p;
  p.L = NormalizeDeg(RadToDeg(L));
  p.B = RadToDeg(B);
  p.R = R;
  return p;
}

// Geocentric apparent position from the heliocentric one (Meeus ch. 25,
// "higher accuracy"): the FK5 correction is applied once more to the
// geocentric values, without the tan(beta) part.
TSkyCoordinates SunFromEarth(const HeliocentricPosition& earth, TDateTime t) {
  Extended lambda = earth.L + 180;
  Extended beta = -earth.B;
  const Extended T = (DateTimeToJulianDay(t) - J2000JulianDay) / 365250 * 10;
  const Extended lambdaP = lambda + T * (-1.397L - 0.00031L * T);
  lambda -= 0.09033L / 3600;
  Extended sinLambdaP, cosLambdaP;
  SinCosDeg(lambdaP, sinLambdaP, cosLambdaP);
  beta += 0.03916L / 3600 * (cosLambdaP - sinLambdaP);
  lambda -= (20.4898L / 3600) / earth.R;  // aberration

  TSkyCoordinates sun;
  sun.longitude = NormalizeDeg(lambda);
  sun.latitude = beta;
  sun.radius = earth.R * AstronomicalUnitKm;
  ApparentEquatorial(sun, t);
  return sun;
}

}  // namespace

HeliocentricPosition EarthCoordinatesReference(TDateTime t) {
  TVSOPEarth earth;
  earth.moment = t;
  const Extended R = earth.SeriesSum(TVSOP::Slot::Radius);
  const Extended L = earth.SeriesSum(TVSOP::Slot::Longitude);
  const Extended B = earth.SeriesSum(TVSOP::Slot::Latitude);
  return Heliocentric(earth, L, B, R);
}

// The fast evaluation of the same series (vsop_fast.h).
HeliocentricPosition EarthCoordinates(TDateTime t) {
  TVSOPEarth earth;
  earth.moment = t;
  const Extended tau = earth.Tau();
  const Extended R = vsop87d::FastSeriesSum(TVSOP::Slot::Radius, tau);
  const Extended L = vsop87d::FastSeriesSum(TVSOP::Slot::Longitude, tau);
  const Extended B = vsop87d::FastSeriesSum(TVSOP::Slot::Latitude, tau);
  return Heliocentric(earth, L, B, R);
}

TSkyCoordinates SunCoordinatesReference(TDateTime t) {
  return SunFromEarth(EarthCoordinatesReference(t), t);
}

TSkyCoordinates SunCoordinates(TDateTime t) {
  return SunFromEarth(EarthCoordinates(t), t);
}

// ---------------------------------------------------------------------------
// Nutation: IAU 1980 theory, the 31 largest terms (Meeus table 22.A).

namespace {

struct NutationRow {
  int d, m, mp, f, om;  // multiples of D, M, M', F, Omega
  int s0, s1;           // longitude: s0 in 0.0001", s1 in 0.00001" per century
  int c0, c1;           // obliquity: the same units
};

constexpr NutationRow NutationTable[] = {
    /* 1-10 */
    {0, 0, 0, 0, 1, -171996, -1742, 92025, 89},
    {-2, 0, 0, 2, 2, -13187, -16, 5736, -31},
    {0, 0, 0, 2, 2, -2274, -2, 977, -5},
    {0, 0, 0, 0, 2, 2062, 2, -895, 5},
    {0, 1, 0, 0, 0, 1426, -34, 54, -1},
    {0, 0, 1, 0, 0, 712, 1, -7, 0},
    {-2, 1, 0, 2, 2, -517, 12, 224, -6},
    {0, 0, 0, 2, 1, -386, -4, 200, 0},
    {0, 0, 1, 2, 2, -301, 0, 129, -1},
    {-2, -1, 0, 2, 2, 217, -5, -95, 3},
    /* 11-20 */
    {-2, 0, 1, 0, 0, -158, 0, 0, 0},
    {-2, 0, 0, 2, 1, 129, 1, -70, 0},
    {0, 0, -1, 2, 2, 123, 0, -53, 0},
    {2, 0, 0, 0, 0, 63, 0, 0, 0},
    {0, 0, 1, 0, 1, 63, 1, -33, 0},
    {2, 0, -1, 2, 2, -59, 0, 26, 0},
    {0, 0, -1, 0, 1, -58, -1, 32, 0},
    {0, 0, 1, 2, 1, -51, 0, 27, 0},
    {-2, 0, 2, 0, 0, 48, 0, 0, 0},
    {0, 0, -2, 2, 1, 46, 0, -24, 0},
    /* 21-31 */
    {2, 0, 0, 2, 2, -38, 0, 16, 0},
    {0, 0, 2, 2, 2, -31, 0, 13, 0},
    {0, 0, 2, 0, 0, 29, 0, 0, 0},
    {-2, 0, 1, 2, 2, 29, 0, -12, 0},
    {0, 0, 0, 2, 0, 26, 0, 0, 0},
    {-2, 0, 0, 2, 0, -22, 0, 0, 0},
    {0, 0, -1, 2, 1, 21, 0, -10, 0},
    {0, 2, 0, 0, 0, 17, -1, 0, 0},
    {2, 0, -1, 0, 1, 16, 0, -8, 0},
    {-2, 2, 0, 2, 2, -16, 1, 7, 0},
    {0, 1, 0, 0, 1, -15, 0, 9, 0},
};

}  // namespace

Nutation CalcNutation(TDateTime t) {
  const Extended T = (DateTimeToJulianDay(t) - J2000JulianDay) / 36525;
  const Extended T2 = T * T;
  const Extended T3 = T2 * T;
  const Extended Om = NormalizeDeg(125.04452L - 1934.136261L * T + 0.0020708L * T2 + T3 / 450000);
  const Extended D = NormalizeDeg(297.85036L + 445267.11148L * T - 0.0019142L * T2 + T3 / 189474);
  const Extended M = NormalizeDeg(357.52772L + 35999.05034L * T - 0.0001603L * T2 - T3 / 300000);
  const Extended Mp = NormalizeDeg(134.96298L + 477198.867398L * T + 0.0086972L * T2 + T3 / 56250);
  const Extended F = NormalizeDeg(93.27191L + 483202.017538L * T - 0.0036825L * T2 + T3 / 327270);

  Extended dPsi = 0;  // 0.0001"
  Extended dEps = 0;  // 0.0001"
  for (const NutationRow& row : NutationTable) {
    const Extended arg = row.d * D + row.m * M + row.mp * Mp + row.f * F + row.om * Om;
    Extended sinArg, cosArg;
    SinCosDeg(arg, sinArg, cosArg);
    dPsi += sinArg * (row.s0 + row.s1 * T * 0.1L);
    dEps += cosArg * (row.c0 + row.c1 * T * 0.1L);
  }
  Nutation n;
  n.deltaPsi = dPsi * 0.0001L / 3600;
  n.epsilon = (84381.448L - 46.815L * T - 0.00059L * T2 + 0.001813L * T3 + dEps * 0.0001L) / 3600;
  return n;
}

void ApparentEquatorial(TSkyCoordinates& coordinates, TDateTime t) {
  const Nutation n = CalcNutation(t);
  const Extended lambda = NormalizeDeg(coordinates.longitude + n.deltaPsi);
  coordinates.longitude = lambda;
  const Extended beta = coordinates.latitude;
  Extended sinLambda, cosLambda, sinBeta, cosBeta, sinEps, cosEps;
  SinCosDeg(lambda, sinLambda, cosLambda);
  SinCosDeg(beta, sinBeta, cosBeta);
  SinCosDeg(n.epsilon, sinEps, cosEps);
  const Extended tanBeta = sinBeta / cosBeta;  // TanDeg(beta)
  coordinates.rightascension = ArcTan2Deg(cosLambda, sinLambda * cosEps - tanBeta * sinEps);
  coordinates.declination = ArcSinDeg(sinBeta * cosEps + cosBeta * sinEps * sinLambda);
}

}  // namespace astro
