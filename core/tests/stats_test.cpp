// Line value counts, the odds of the ways of casting, the chi-square
// statistic and its p-value.
#include "core/stats.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/yarrow.h"

namespace core {
namespace {

double Sum(const LineOdds& odds) {
  return odds[0] + odds[1] + odds[2] + odds[3];
}

TEST(RegularizedGamma, KnownValues) {
  struct Case {
    double chi2;
    int dof;
    double p;
  };
  // Critical values of the chi-square tables, and closed forms:
  // dof 2: e^(-x/2); dof 4: e^(-x/2) (1 + x/2).
  const Case cases[] = {
      {7.815, 3, 0.05},
      {11.345, 3, 0.01},
      {16.266, 3, 0.001},
      {0.584, 3, 0.90},
      {3.841, 1, 0.05},
      {6.635, 1, 0.01},
      {5.991, 2, 0.05},
      {0, 3, 1},
      {2, 2, std::exp(-1.0)},
      {10, 2, std::exp(-5.0)},
      {3, 4, std::exp(-1.5) * 2.5},
      {40, 4, std::exp(-20.0) * 21},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(ChiSquarePValue(c.chi2, c.dof), c.p, std::max(2e-4, c.p * 1e-3)) << c.chi2 << " " << c.dof;
  // dof 3 in closed form: erfc(sqrt(x/2)) + sqrt(2x/pi) e^(-x/2), both
  // sides of x = a + 1 where the method changes.
  for (double x = 0.01; x < 60; x *= 1.37) {
    const double closed = std::erfc(std::sqrt(x / 2)) + std::sqrt(2 * x / M_PI) * std::exp(-x / 2);
    EXPECT_NEAR(ChiSquarePValue(x, 3), closed, 1e-12 + closed * 1e-9) << x;
    EXPECT_NEAR(RegularizedGammaP(1.5, x / 2) + RegularizedGammaQ(1.5, x / 2), 1, 1e-12) << x;
  }
}

TEST(LineValue, OfEveryCode) {
  const std::pair<const char*, int> cases[] = {{"988", 6}, {"588", 7}, {"948", 7}, {"984", 7}, {"548", 8},
                                               {"584", 8}, {"944", 8}, {"544", 9}, {"545", 0}, {"", 0}};
  for (const auto& [code, value] : cases) EXPECT_EQ(LineValueOfCode(code), value) << code;
}

TEST(YarrowOdds, FixedOddsOfCoinsAndStalks) {
  EXPECT_DOUBLE_EQ(Sum(CoinOdds()), 1);
  EXPECT_DOUBLE_EQ(Sum(ClassicalYarrowOdds()), 1);
  EXPECT_DOUBLE_EQ(ClassicalYarrowOdds()[0], 1.0 / 16);
  EXPECT_DOUBLE_EQ(CoinOdds()[1], 3.0 / 8);
  EXPECT_EQ(OddsOfMethod(CastMethod::Coins), CoinOdds());
  EXPECT_EQ(OddsOfMethod(CastMethod::Yarrow), ProgramYarrowOdds());
  EXPECT_EQ(OddsOfMethod(CastMethod::Codes), ClassicalYarrowOdds());
  EXPECT_EQ(OddsOfMethod(CastMethod::None), ClassicalYarrowOdds());
}

// A clock number of 0 makes every draw 0: every line is "544", old yang.
TEST(YarrowOdds, ClockZeroGivesOldYangOnly) {
  const LineOdds odds = YarrowOdds({0});
  EXPECT_EQ(odds, (LineOdds{0, 0, 0, 1}));
}

TEST(YarrowOdds, LeftHeapsShareAllStates) {
  for (int total : {49, 44, 40, 36, 32})
    for (int clock : {1, 2, 47, 48, 1234, 5959}) {
      const std::vector<double> heap = LeftHeapOdds(total, clock);
      double sum = 0;
      for (double p : heap) sum += p;
      EXPECT_NEAR(sum, 1, 1e-12) << total << " " << clock;
      EXPECT_EQ(heap[0], 0);
      EXPECT_EQ(heap[1], 0);
    }
  // Clock 1: every draw 0, the top heap. Clock 2: half 0 (top), half 1 (2).
  EXPECT_EQ(LeftHeapOdds(49, 1)[47], 1);
  EXPECT_DOUBLE_EQ(LeftHeapOdds(49, 2)[47], 0.5);
  EXPECT_DOUBLE_EQ(LeftHeapOdds(49, 2)[2], 0.5);
}

// The worked-out odds against the procedure itself (yarrow.h's three
// divisions) run from 65,536 generator states spread over all 2^32, with
// the clock number held.
TEST(YarrowOdds, AgreeWithTheDivisionsThemselves) {
  for (int clock : {1234, 5959, 7, 100, 4711}) {
    const LineOdds expected = YarrowOdds({clock});
    EXPECT_NEAR(Sum(expected), 1, 1e-12);
    const ClockNumber fixed = [clock] { return clock; };
    LineCounts counts{};
    constexpr int N = 65536;
    for (std::uint32_t i = 0; i < N; ++i) {
      RandomGenerator rng;
      rng.setState(i * 65537u + 12345u);
      int t = 0;
      const int d1 = Step_1(rng, fixed, t);
      const int d2 = Step_2(rng, fixed, t);
      const int d3 = Step_3(rng, fixed, t);
      ++counts[static_cast<std::size_t>(LineValueOfCode(std::to_string(d1 * 100 + d2 * 10 + d3)) - 6)];
    }
    for (std::size_t v = 0; v < 4; ++v)
      EXPECT_NEAR(static_cast<double>(counts[v]) / N, expected[v], 0.01) << clock << " value " << v + 6;
  }
}

// The program's odds over the hour's clock readings: a distribution, and
// not the classical one (the draw brought into range favours some heaps).
TEST(YarrowOdds, ProgramOddsOverAnHour) {
  const LineOdds odds = ProgramYarrowOdds();
  EXPECT_NEAR(Sum(odds), 1, 1e-12);
  for (double p : odds) EXPECT_GT(p, 0);
  std::vector<int> clocks;
  for (int m = 0; m < 60; ++m)
    for (int s = 0; s < 60; ++s) clocks.push_back(m * 100 + s);
  EXPECT_EQ(odds, YarrowOdds(clocks));
}

TEST(LineCounts, CountedPerMethodAndTested) {
  const std::vector<CastCodes> casts = {
      {CastMethod::Coins, {"988", "588", "548", "544", "588", "548"}},
      {CastMethod::Coins, {"948", "984", "584", "944", "988", "xyz"}},  // the invalid code is not counted
      {CastMethod::Yarrow, {"544", "544", "544", "544", "544", "544"}},
  };
  const auto counts = CountLineValues(casts);
  ASSERT_EQ(counts.size(), 2u);
  EXPECT_EQ(counts.at(CastMethod::Coins), (LineCounts{2, 4, 4, 1}));
  EXPECT_EQ(counts.at(CastMethod::Yarrow), (LineCounts{0, 0, 0, 6}));
  // 11 lines against 1/8 3/8 3/8 1/8: expected 1.375 4.125 4.125 1.375.
  const double chi2 = (0.625 * 0.625 + 0.375 * 0.375) / 1.375 + 2 * (0.125 * 0.125) / 4.125;
  EXPECT_NEAR(ChiSquare(counts.at(CastMethod::Coins), CoinOdds()), chi2, 1e-12);
  EXPECT_EQ(ChiSquare(LineCounts{}, CoinOdds()), 0);
}

}  // namespace
}  // namespace core
