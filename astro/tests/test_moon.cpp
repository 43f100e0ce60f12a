// Moon phases. Reference values: Meeus, Astronomical Algorithms, example 49.a
// (new moon of 1977 February, JDE 2443192.65118) and the program's examples
// for the lunations around 2000-01-01 (phase instants on the uniform day-value
// scale, no delta-T); tolerances 1e-5 day or 1 second as stated per table.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "astro/Calendar.h"
#include "astro/moon.h"

namespace astro {
namespace {

constexpr double kSecond = 1.0 / 86400;

TDateTime At(int y, int mo, int d, int h, int mi, int s) {
  return EncodeHistoricDate(y, mo, d) + (h * 3600 + mi * 60 + s) * kSecond;
}

TEST(Moon, MeanPhaseLunationNumber) {
  EXPECT_EQ(MeanPhase(mpNewMoon, 28174.0).k, -283);  // 1977-02-18
  EXPECT_EQ(MeanPhase(mpFullMoon, 28174.0).k, -282.5L);
  EXPECT_EQ(MeanPhase(mpFirstQuarter, 36526.0).k, 0.25L);
  EXPECT_EQ(MeanPhase(mpLastQuarter, 36526.0).k, 0.75L);
  // E from the moment: exactly 1 on 2000-01-01.
  EXPECT_EQ(MeanPhase(mpNewMoon, Day2000).E, 1);
  EXPECT_NEAR(static_cast<double>(MeanPhase(mpNewMoon, 28174.0).JDE), 2443192.94102, 1e-5);  // Meeus 49.a
}

TEST(Moon, PhaseInstantMeeusExample) {
  EXPECT_NEAR(PhaseInstant(mpNewMoon, 28174.0).value(), 28174.15118, 1e-5);
  EXPECT_NEAR(static_cast<double>(DateTimeToJulianDay(PhaseInstant(mpNewMoon, 28174.0).value())),
              2443192.65118, 1e-5);
}

TEST(Moon, SearchesAroundJ2000) {
  const struct {
    const char* name;
    TDateTime (*search)(std::uint8_t, TDateTime);
    TMoonPhase phase;
    TDateTime want;
    double tolerance;
  } cases[] = {
      {"NextNewMoon", NextPhase, mpNewMoon, 36531.76025, 1e-5},
      {"LastNewMoon", LastPhase, mpNewMoon, 36501.93939, 1e-5},
      {"NextNewMoonClock", NextPhase, mpNewMoon, At(2000, 1, 6, 18, 14, 45), kSecond},
      {"LastNewMoonClock", LastPhase, mpNewMoon, At(1999, 12, 7, 22, 32, 43), kSecond},
      {"NextFullMoon", NextPhase, mpFullMoon, At(2000, 1, 21, 4, 41, 27), kSecond},
      {"NextFirstQuarter", NextPhase, mpFirstQuarter, At(2000, 1, 14, 13, 35, 9), kSecond},
      {"NextLastQuarter", NextPhase, mpLastQuarter, At(2000, 1, 28, 7, 57, 50), kSecond},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(c.search(c.phase, 36526.0), c.want, c.tolerance);
  }
}

// New moons of well-known solar eclipses, in universal time to the minute as
// the almanacs publish them. The kernel applies no delta-T (about 1 minute in
// these years) and the phase series is good to some 20 seconds; tolerance
// 3 minutes.
TEST(Moon, PublishedNewMoons) {
  const struct {
    int y, mo, d, h, mi;
  } published[] = {
      {1991, 7, 11, 19, 6},  {1999, 8, 11, 11, 8},  {2009, 7, 22, 2, 35},
      {2012, 5, 20, 23, 47}, {2017, 8, 21, 18, 30}, {2024, 4, 8, 18, 21},
  };
  for (const auto& p : published) {
    SCOPED_TRACE(testing::Message() << p.y << '-' << p.mo << '-' << p.d);
    const TDateTime ut = At(p.y, p.mo, p.d, p.h, p.mi, 0);
    EXPECT_NEAR(NextPhase(mpNewMoon, ut - 2), ut, 180 * kSecond);
  }
}

// Over 1900-2100: NextPhase is the earliest instant >= t, LastPhase the
// latest <= t, and consecutive phases of one kind are one lunation apart
// (29.1..29.95 d: never 0, never two lunations), so none is skipped.
TEST(Moon, SearchesBracketTheMoment) {
  const TDateTime from = EncodeHistoricDate(1900, 1, 1);
  const TDateTime to = EncodeHistoricDate(2100, 1, 1);
  for (TDateTime t = from; t < to; t += 47.3) {
    for (TMoonPhase phase : {mpNewMoon, mpFirstQuarter, mpFullMoon, mpLastQuarter}) {
      const TDateTime next = NextPhase(phase, t);
      const TDateTime last = LastPhase(phase, t);
      ASSERT_GE(next, t);
      ASSERT_LE(last, t);
      ASSERT_GT(next - last, 29.1) << t;
      ASSERT_LT(next - last, 29.95) << t;
      // Nothing of that phase lies between: the following one is a lunation on.
      ASSERT_GT(NextPhase(phase, next + 1e-3) - next, 29.1) << t;
    }
  }
}

// Asked again from the instant a search returned, NextPhase gives that same
// new moon (recomputed from another probe, it may differ in the last digits
// and then fall just before x) or the one after it, never anything else.
TEST(Moon, NextPhaseFromAPhaseInstant) {
  for (TDateTime t = 30000.0; t < 50000.0; t += 997.0) {
    const TDateTime x = NextPhase(mpNewMoon, t);
    const TDateTime again = NextPhase(mpNewMoon, x);
    ASSERT_GE(again, x);
    const bool same = again - x < 1e-6;
    const bool following = again - x > 29.2 && again - x < 29.9;
    ASSERT_TRUE(same || following) << "x = " << x << ", again = " << again;
  }
}

TEST(Moon, PhaseOrderWithinLunation) {
  const TDateTime nm = NextPhase(mpNewMoon, 40000.0);
  const TDateTime fq = NextPhase(mpFirstQuarter, nm);
  const TDateTime fm = NextPhase(mpFullMoon, nm);
  const TDateTime lq = NextPhase(mpLastQuarter, nm);
  EXPECT_LT(nm, fq);
  EXPECT_LT(fq, fm);
  EXPECT_LT(fm, lq);
  EXPECT_LT(lq, NextPhase(mpNewMoon, nm + 1));
}

template <typename F>
std::string ErrorOf(F call) {
  try {
    call();
  } catch (const E_OutOfAlgorithmRange& e) {
    return e.what();
  }
  return "(no E_OutOfAlgorithmRange)";
}

TEST(Moon, Errors) {
  EXPECT_EQ(PhaseInstant(8, 36526.0), std::nullopt);
  EXPECT_EQ(PhaseInstant(255, 36526.0), std::nullopt);
  EXPECT_EQ(ErrorOf([] { NextPhase(9, 36526.0); }), "No TDateTime possible");
  EXPECT_EQ(ErrorOf([] { LastPhase(9, 36526.0); }), "No TDateTime possible");
  for (std::uint8_t phase : {1, 3, 5, 7, 8, 200}) {
    SCOPED_TRACE(static_cast<int>(phase));
    EXPECT_EQ(ErrorOf([phase] { PrincipalPhaseInstant(phase, 36526.0); }), "Invalid TMoonPhase");
  }
  // The intermediate phases are not computed by the program.
  for (std::uint8_t phase : {mpWaxingCrescent, mpWaxingGibbous, mpWaningGibbous, mpWaningCrescent}) {
    SCOPED_TRACE(static_cast<int>(phase));
    EXPECT_THROW(PhaseInstant(phase, 36526.0), E_OutOfAlgorithmRange);
    EXPECT_THROW(NextPhase(phase, 36526.0), E_OutOfAlgorithmRange);
  }
}

}  // namespace
}  // namespace astro
