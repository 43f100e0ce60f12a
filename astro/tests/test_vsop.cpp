// VSOP87D Earth tables and the Sun's apparent position.
// Reference values: Meeus, Astronomical Algorithms, example 25.b
// (1992-10-13 0h, on the kernel's uniform time scale: the book's TD is used
// as the day value) and the kernel's J2000.0 check, where the declination
// and right ascension follow from the true obliquity (mean obliquity plus
// nutation in obliquity); an independent ephemeris gives -23.0327 and
// -78.7226 deg there.

#include <gtest/gtest.h>

#include <cmath>

#include "astro/Calendar.h"
#include "astro/vsop.h"
#include "astro/vsop_fast.h"

namespace astro {
namespace {

using Slot = TVSOP::Slot;

TVSOPTerm TermOf(const TVSOP& v, Slot slot, int index, int order) {
  switch (slot) {
    case Slot::Longitude:
      return v.LongitudeTerm(index, order);
    case Slot::Latitude:
      return v.LatitudeTerm(index, order);
    case Slot::Radius:
      return v.RadiusTerm(index, order);
  }
  return {};
}

bool IsZero(const TVSOPTerm& t) {
  return t.A == 0 && t.P == 0 && t.F == 0;
}

// Term counts of the published VSOP87D Earth series (2425 terms in all).
TEST(Vsop, TermCounts) {
  const struct {
    const char* name;
    Slot slot;
    int counts[6];
  } series[] = {
      {"L", Slot::Longitude, {559, 341, 142, 22, 11, 5}},
      {"B", Slot::Latitude, {184, 99, 49, 11, 5, 0}},
      {"R", Slot::Radius, {526, 292, 139, 27, 10, 3}},
  };
  const TVSOPEarth earth;
  int total = 0;
  for (const auto& s : series) {
    for (int order = 0; order < 6; ++order) {
      SCOPED_TRACE(testing::Message() << s.name << order);
      const int n = s.counts[order];
      total += n;
      EXPECT_EQ(earth.TermCount(s.slot, order), n);  // where the plain walk stops
      for (int i = 0; i < n; ++i) ASSERT_NE(TermOf(earth, s.slot, i, order).A, 0) << i;
      EXPECT_TRUE(IsZero(TermOf(earth, s.slot, n, order)));  // the zero term past the end
      EXPECT_TRUE(IsZero(TermOf(earth, s.slot, n + 1000, order)));
      EXPECT_TRUE(IsZero(TermOf(earth, s.slot, -1, order)));
    }
    EXPECT_TRUE(IsZero(TermOf(earth, s.slot, 0, 6)));
    EXPECT_TRUE(IsZero(TermOf(earth, s.slot, 0, -1)));
    EXPECT_EQ(earth.TermCount(s.slot, 6), 0);
    EXPECT_EQ(earth.TermCount(s.slot, -1), 0);
  }
  EXPECT_EQ(total, 2425);
}

// Published coefficients, amplitude scaled by 1e8, every digit kept.
TEST(Vsop, TableValues) {
  const TVSOPEarth earth;
  const struct {
    const char* name;
    TVSOPTerm got, want;
  } cases[] = {
      {"L0[0]", earth.LongitudeTerm(0, 0), {175347045.673L, 0, 0}},
      {"L0[1]", earth.LongitudeTerm(1, 0), {3341656.456L, 4.66925680417L, 6283.0758499914L}},
      {"L1[0]", earth.LongitudeTerm(0, 1), {628331966747.491L, 0, 0}},
      {"L5[4]", earth.LongitudeTerm(4, 5), {0.005L, 1.75600058765L, 18849.2275499742L}},
      {"B4[2]", earth.LatitudeTerm(2, 4), {0.005L, 0.05711572303L, 84334.66158130829L}},
      {"R0[0]", earth.RadiusTerm(0, 0), {100013988.799L, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.got.A, c.want.A);
    EXPECT_EQ(c.got.P, c.want.P);
    EXPECT_EQ(c.got.F, c.want.F);
  }
}

TEST(Vsop, Tau) {
  TVSOPEarth earth;
  earth.moment = 36526.5;
  EXPECT_EQ(earth.Tau(), 0);
  earth.moment = 36526.5 - 36525;
  EXPECT_NEAR(static_cast<double>(earth.Tau()), -0.1, 1e-18);
}

// Meeus example 25.b, 1992-10-13 0h.
TEST(Vsop, SunMeeusExample) {
  const TSkyCoordinates sun = SunCoordinates(33890.0);
  EXPECT_NEAR(static_cast<double>(sun.longitude), 199.90596, 1e-5);
  EXPECT_NEAR(static_cast<double>(sun.radius), 149240109, 1);
  const HeliocentricPosition earth = EarthCoordinates(33890.0);
  EXPECT_NEAR(static_cast<double>(earth.L), 19.907272, 1e-6);
}

// Pins the program's own values at J2000.0 (see the note at the top).
TEST(Vsop, PinsSunAtJ2000) {
  const TSkyCoordinates sun = SunCoordinates(36526.5);
  EXPECT_NEAR(static_cast<double>(sun.longitude), 280.36814, 1e-5);
  EXPECT_NEAR(static_cast<double>(sun.declination), -23.03248, 1e-5);
  EXPECT_NEAR(static_cast<double>(sun.rightascension), -78.72246, 1e-5);  // not reduced to [0, 360)
}

// Ranges of the result over a year: longitude in [0, 360), right ascension
// in (-90, 270), declination within the obliquity.
TEST(Vsop, SunRanges) {
  for (TDateTime t = 36526.0; t < 36526.0 + 366; t += 0.7) {
    const TSkyCoordinates sun = SunCoordinates(t);
    ASSERT_GE(sun.longitude, 0);
    ASSERT_LT(sun.longitude, 360);
    ASSERT_GT(sun.rightascension, -90);
    ASSERT_LT(sun.rightascension, 270);
    ASSERT_LT(std::fabs(sun.declination), 23.45L);
    ASSERT_NEAR(static_cast<double>(sun.radius / 149597869), 1, 0.0175);
  }
}

// Meeus example 22.a: 1987-04-10 0h TD, delta-psi = -3.788", epsilon =
// 23 deg 26' 36.850" from the book's 63 terms; the 31 largest terms kept
// here leave up to 0.005" out.
TEST(Vsop, Nutation) {
  const Nutation n = CalcNutation(EncodeHistoricDate(1987, 4, 10));
  EXPECT_NEAR(static_cast<double>(n.deltaPsi * 3600), -3.788, 0.005);
  EXPECT_NEAR(static_cast<double>(n.epsilon * 3600), (23 * 60 + 26) * 60 + 36.850, 0.005);
}

// The fast evaluation (double-precision arguments and cosines, long double
// sums) against the plain walk through the term slots, over 1900-2100.
// Tolerance: 1e-9 deg in longitude, 1e-9 deg in latitude, 1e-6 km in radius.
TEST(Vsop, FastMatchesReference) {
  const TDateTime from = EncodeHistoricDate(1900, 1, 1);
  const TDateTime to = EncodeHistoricDate(2100, 1, 1);
  const int samples = 1500;
  double worst = 0;
  for (int i = 0; i <= samples; ++i) {
    const TDateTime t = from + (to - from) * i / samples + 0.123456789 * (i % 7);
    const TSkyCoordinates fast = SunCoordinates(t);
    const TSkyCoordinates ref = SunCoordinatesReference(t);
    const double dl = static_cast<double>(AngleDiffDeg(fast.longitude, ref.longitude));
    worst = std::max(worst, std::fabs(dl));
    ASSERT_LT(std::fabs(dl), 1e-9) << "t = " << t;
    ASSERT_NEAR(static_cast<double>(fast.latitude), static_cast<double>(ref.latitude), 1e-9) << t;
    ASSERT_NEAR(static_cast<double>(fast.radius), static_cast<double>(ref.radius), 1e-6) << t;
  }
  RecordProperty("worst_longitude_difference_deg", testing::PrintToString(worst));
}

// The evaluation chosen for this processor (one clone per instruction set)
// gives the same bits as the baseline x86-64 code: the Sun, and with it every
// solar-term instant, does not depend on the machine that runs the program.
// Fused multiply-adds, which the wider instruction sets offer, would change
// the last bits. Years 1 to 9999, every 369 days or so.
TEST(Vsop, SameBitsOnEveryProcessor) {
  for (const Slot slot : {Slot::Longitude, Slot::Latitude, Slot::Radius}) {
    int differences = 0;
    for (Extended tau = -2; tau < 8; tau += 0.00101L) {
      if (vsop87d::FastSeriesSum(slot, tau) != vsop87d::BaselineSeriesSum(slot, tau)) ++differences;
    }
    EXPECT_EQ(differences, 0) << "slot " << static_cast<int>(slot);
  }
}

}  // namespace
}  // namespace astro
