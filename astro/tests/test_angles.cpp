// Angle helpers. Values are exact arithmetic facts (e.g. 725 deg = 5 deg);
// tolerance 1e-15 deg where the result is not exactly representable.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "astro/vsop.h"

namespace astro {
namespace {

TEST(Angles, NormalizeDeg) {
  const struct {
    Extended x, want;
  } cases[] = {
      {-30, 330},       {725, 5},          {360, 0},    {0, 0},      {359.5L, 359.5L},
      {-360, 0},        {180, 180},        {540, 180},  {-180, 180}, {-540, 180},
      {720.25L, 0.25L}, {-0.25L, 359.75L}, {1e6L, 280}, {-1e6L, 80}, {36000000.5L, 0.5L},
      {-1e-20L, 0},  // 360 - 1e-20 rounds to 360; the result stays inside [0, 360)
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<double>(c.x));
    const Extended r = NormalizeDeg(c.x);
    EXPECT_NEAR(static_cast<double>(r), static_cast<double>(c.want), 1e-15);
    EXPECT_GE(r, 0);
    EXPECT_LT(r, 360);
  }
}

// Far outside any date the program handles; must still end and stay in range.
TEST(Angles, NormalizeDegExtremeInput) {
  for (Extended x : {1e30L, -1e30L, 4e18L, -4e18L}) {
    const Extended r = NormalizeDeg(x);
    EXPECT_GE(r, 0);
    EXPECT_LT(r, 360);
  }
  EXPECT_TRUE(std::isnan(NormalizeDeg(std::numeric_limits<Extended>::infinity())));
  EXPECT_TRUE(std::isnan(NormalizeDeg(std::numeric_limits<Extended>::quiet_NaN())));
}

TEST(Angles, AngleDiffDeg) {
  const struct {
    Extended a, b, want;
  } cases[] = {
      {10, 350, 20},
      {350, 10, -20},
      {180, 0, 180},
      {0, 180, 180},
      {0, 0, 0},
      {181, 0, -179},
      {90, 270.5L, -180.5L + 360},
      {720, 0.5L, -0.5L},
      {15, 14.75L, 0.25L},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<double>(c.a) << " - " << static_cast<double>(c.b));
    EXPECT_NEAR(static_cast<double>(AngleDiffDeg(c.a, c.b)), static_cast<double>(c.want), 1e-15);
  }
}

TEST(Angles, AMod) {
  const struct {
    std::int64_t a, n, want;
  } cases[] = {
      {0, 12, 12},   {-6, 60, 54}, {13, 12, 1}, {12, 12, 12},  {1, 12, 1},  {-12, 12, 12},
      {-13, 12, 11}, {60, 60, 60}, {61, 60, 1}, {-60, 60, 60}, {25, 10, 5}, {-1, 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "AMod(" << c.a << ", " << c.n << ")");
    EXPECT_EQ(AMod(c.a, c.n), c.want);
  }
}

// A modulus of zero would divide by zero, a negative one would never end.
TEST(Angles, AModRejectsNonPositiveModulus) {
  EXPECT_THROW(AMod(5, 0), std::domain_error);
  EXPECT_THROW(AMod(5, -12), std::domain_error);
}

TEST(Angles, Trigonometry) {
  const double eps = 1e-15;
  EXPECT_NEAR(static_cast<double>(DegToRad(180)), M_PI, eps);
  EXPECT_NEAR(static_cast<double>(RadToDeg(M_PI / 2)), 90, 1e-13);
  EXPECT_NEAR(static_cast<double>(SinDeg(30)), 0.5, eps);
  EXPECT_NEAR(static_cast<double>(SinDeg(-330)), 0.5, eps);
  EXPECT_NEAR(static_cast<double>(CosDeg(420)), 0.5, eps);
  EXPECT_NEAR(static_cast<double>(TanDeg(45 + 360)), 1, eps);
  EXPECT_NEAR(static_cast<double>(ArcSinDeg(0.5L)), 30, 1e-13);
  EXPECT_NEAR(static_cast<double>(ArcSinDeg(-0.5L)), -30, 1e-13);
  // ArcTan2Deg(cos, sin): (-90, 270), not reduced to [0, 360).
  const struct { Extended angle; } angles[] = {{-89}, {-45}, {0}, {45}, {89}, {91}, {180}, {269}};
  for (const auto& c : angles) {
    SCOPED_TRACE(static_cast<double>(c.angle));
    EXPECT_NEAR(static_cast<double>(ArcTan2Deg(CosDeg(c.angle), SinDeg(c.angle))),
                static_cast<double>(c.angle), 1e-12);
  }
}

// The kernel's own extended-precision sine and cosine against the C
// library's sinl/cosl of the same angle in radians: within 1e-18. The
// kernel reduces in degrees, exactly; the radian argument of the library
// call carries up to ~5e-19 of rounding near 2 pi, which dominates.
TEST(Angles, SinCosMatchLibm) {
  int failures = 0;
  for (int i = -2000; i <= 2000 && failures < 5; ++i) {
    const Extended x = i * 0.37L + i * i * 1e-4L;
    Extended s, c;
    SinCosDeg(x, s, c);
    const Extended rad = DegToRad(NormalizeDeg(x));
    const Extended dS = std::fabs(s - std::sin(rad));
    const Extended dC = std::fabs(c - std::cos(rad));
    if (dS > 1e-18L || dC > 1e-18L || s != SinDeg(x) || c != CosDeg(x)) {
      ADD_FAILURE() << "x = " << static_cast<double>(x) << ": sin off by " << static_cast<double>(dS)
                    << ", cos off by " << static_cast<double>(dC);
      ++failures;
    }
  }
  // Exact at the quadrant points.
  for (Extended x : {0.0L, 90.0L, 180.0L, 270.0L, 360.0L, -90.0L}) {
    Extended s, c;
    SinCosDeg(x, s, c);
    EXPECT_EQ(s * s + c * c, 1) << static_cast<double>(x);
    EXPECT_EQ(s * c, 0) << static_cast<double>(x);
  }
}

}  // namespace
}  // namespace astro
