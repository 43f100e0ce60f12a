// How often each line value came up in the user's casts, against the odds
// of the way they were cast.
//
// Line values: 6 old yin ("988"), 7 young yang ("588", "948", "984"),
// 8 young yin ("548", "584", "944"), 9 old yang ("544"); index 0..3 below
// is value 6..9.
//
// Odds:
//   CoinOdds             three coins: 1/8, 3/8, 3/8, 1/8
//   ClassicalYarrowOdds  49 stalks divided by hand, every left heap as
//                        likely: 1/16, 5/16, 7/16, 3/16
//   ProgramYarrowOdds    the program's own procedure (yarrow.h), worked out
//                        exactly from its division rule: a division draws
//                        with the clock number C as range, a draw being
//                        0..C-1 with the share of the generator's 2^32
//                        states that give it, and brings the draw into the
//                        heap's range as LeftHeap does. The clock number
//                        is taken as any of the 3600 readings of an hour
//                        (MMSS) alike, read afresh for every division.
#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/context.h"

namespace core {

using LineOdds = std::array<double, 4>;  // value 6..9
using LineCounts = std::array<long long, 4>;

LineOdds CoinOdds();
LineOdds ClassicalYarrowOdds();
LineOdds ProgramYarrowOdds();  // computed once, then kept

// The program's odds with the clock number drawn from `clocks` alike (each
// 0..5959); ProgramYarrowOdds is this for the 3600 readings of an hour.
LineOdds YarrowOdds(const std::vector<int>& clocks);
// The left heap (index 2..total-2; 0 and 1 stay 0) of one division among
// `total` stalks with the clock number `clock`: its share of the
// generator's states.
std::vector<double> LeftHeapOdds(int total, int clock);

// The odds the values of a method are measured against: the program's
// yarrow odds for Yarrow, the coins' for Coins, the classical stalk odds
// for the rest (codes typed by the user, dates, casts of unknown method).
LineOdds OddsOfMethod(CastMethod method);

// 6..9 for a valid line code; 0 otherwise.
int LineValueOfCode(std::string_view code);

struct CastCodes {
  CastMethod method = CastMethod::None;
  std::array<std::string, 6> codes;
};
// The values of every valid code, counted per method.
std::map<CastMethod, LineCounts> CountLineValues(const std::vector<CastCodes>& casts);

// Pearson's statistic of `counts` against `odds` (0 for no counts).
double ChiSquare(const LineCounts& counts, const LineOdds& odds);
// The chance of a statistic at least `chi2` with `dof` degrees of freedom:
// Q(dof / 2, chi2 / 2).
double ChiSquarePValue(double chi2, int dof);
// The regularized incomplete gamma functions P(a, x) and Q(a, x) = 1 - P,
// a > 0, x >= 0: by the series for x < a + 1, else by the continued fraction.
double RegularizedGammaP(double a, double x);
double RegularizedGammaQ(double a, double x);

}  // namespace core
