// Line value counts, the odds of each way of casting, and the chi-square test.
#include "core/stats.h"

#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "core/hexagram.h"

namespace core {
namespace {

constexpr double TwoTo32 = 4294967296.0;

int RemainderOf(int x) {  // yarrow.h's RemainderByFours
  return (x - 1) % 4 + 1;
}

// The share of the 2^32 states s with floor(s * clock / 2^32) == k, for
// k = 0..clock-1: the states from ceil(k * 2^32 / clock) on.
std::uint64_t FirstState(std::uint64_t k, std::uint64_t clock) {
  return ((k << 32) + clock - 1) / clock;
}

// P(digit 4) of a later division after t stalks, P(digit 5) of the first.
double SmallDigitOdds(int total, int clock, bool first) {
  const std::vector<double> heap = LeftHeapOdds(total, clock);
  double p = 0;
  for (int v = 2; v <= total - 2; ++v) {
    const int r =
        first ? RemainderOf(v) + RemainderOf(48 - v) + 1 : RemainderOf(v - 1) + RemainderOf(total - v) + 1;
    if (r == 5 || r == 4) p += heap[static_cast<std::size_t>(v)];
  }
  return p;
}

}  // namespace

std::vector<double> LeftHeapOdds(int total, int clock) {
  if (total < 4 || clock < 0) throw std::invalid_argument("LeftHeapOdds: total or clock out of range");
  std::vector<double> odds(static_cast<std::size_t>(total - 1), 0.0);
  const std::uint64_t top = static_cast<std::uint64_t>(total - 2);
  auto heap = [top](std::uint64_t v) {
    if (v > top) v %= top;
    if (v == 0) v = top;
    if (v == 1) v = 2;
    return static_cast<std::size_t>(v);
  };
  if (clock == 0) {  // a draw of range 0 is 0
    odds[heap(0)] = 1;
    return odds;
  }
  const std::uint64_t c = static_cast<std::uint64_t>(clock);
  for (std::uint64_t k = 0; k < c; ++k)
    odds[heap(k)] += static_cast<double>(FirstState(k + 1, c) - FirstState(k, c)) / TwoTo32;
  return odds;
}

LineOdds YarrowOdds(const std::vector<int>& clocks) {
  if (clocks.empty()) throw std::invalid_argument("YarrowOdds: no clock numbers");
  // The chance of the small digit of each division, over the clocks alike:
  // the first division among 49 stalks; later ones after t = 5, 9, 13, 17.
  const double n = static_cast<double>(clocks.size());
  double first = 0;
  std::map<int, double> later;  // t -> P(digit 4)
  for (const int t : {5, 9, 13, 17}) later[t] = 0;
  for (const int c : clocks) {
    first += SmallDigitOdds(49, c, true) / n;
    for (auto& [t, p] : later) p += SmallDigitOdds(49 - t, c, false) / n;
  }
  // Every path of digits: 5 or 9, then 4 or 8 twice.
  LineOdds odds{};
  for (const int d1 : {5, 9})
    for (const int d2 : {4, 8})
      for (const int d3 : {4, 8}) {
        const double p1 = d1 == 5 ? first : 1 - first;
        const double p2 = d2 == 4 ? later[d1] : 1 - later[d1];
        const double p3 = d3 == 4 ? later[d1 + d2] : 1 - later[d1 + d2];
        const std::string code = std::to_string(d1 * 100 + d2 * 10 + d3);
        odds[static_cast<std::size_t>(LineValueOfCode(code) - 6)] += p1 * p2 * p3;
      }
  return odds;
}

LineOdds CoinOdds() {
  return {1.0 / 8, 3.0 / 8, 3.0 / 8, 1.0 / 8};
}

LineOdds ClassicalYarrowOdds() {
  return {1.0 / 16, 5.0 / 16, 7.0 / 16, 3.0 / 16};
}

LineOdds ProgramYarrowOdds() {
  static const LineOdds odds = [] {
    std::vector<int> clocks;
    for (int m = 0; m < 60; ++m)
      for (int s = 0; s < 60; ++s) clocks.push_back(m * 100 + s);
    return YarrowOdds(clocks);
  }();
  return odds;
}

LineOdds OddsOfMethod(CastMethod method) {
  switch (method) {
    case CastMethod::Yarrow:
      return ProgramYarrowOdds();
    case CastMethod::Coins:
      return CoinOdds();
    case CastMethod::None:
    case CastMethod::Codes:
    case CastMethod::Date:
      break;
  }
  return ClassicalYarrowOdds();
}

int LineValueOfCode(std::string_view code) {
  if (!IsValidCode(code)) return 0;
  if (code == "988") return 6;
  if (code == "544") return 9;
  return PrimaryLine(code) ? 7 : 8;
}

std::map<CastMethod, LineCounts> CountLineValues(const std::vector<CastCodes>& casts) {
  std::map<CastMethod, LineCounts> counts;
  for (const CastCodes& c : casts) {
    LineCounts& n = counts[c.method];
    for (const std::string& code : c.codes)
      if (const int v = LineValueOfCode(code)) ++n[static_cast<std::size_t>(v - 6)];
  }
  return counts;
}

double ChiSquare(const LineCounts& counts, const LineOdds& odds) {
  long long total = 0;
  for (const long long n : counts) total += n;
  if (total == 0) return 0;
  double chi2 = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const double expected = static_cast<double>(total) * odds[i];
    const double d = static_cast<double>(counts[i]) - expected;
    chi2 += d * d / expected;
  }
  return chi2;
}

double RegularizedGammaP(double a, double x) {
  if (!(a > 0) || !(x >= 0)) throw std::invalid_argument("RegularizedGamma: a > 0 and x >= 0");
  if (x == 0) return 0;
  if (x >= a + 1) return 1 - RegularizedGammaQ(a, x);
  // Series: P = e^-x x^a / Γ(a+1) · Σ x^n / ((a+1)...(a+n)).
  double term = 1 / a, sum = term;
  for (int n = 1; n < 1000; ++n) {
    term *= x / (a + n);
    sum += term;
    if (std::fabs(term) < std::fabs(sum) * 1e-16) break;
  }
  return sum * std::exp(-x + a * std::log(x) - std::lgamma(a));
}

double RegularizedGammaQ(double a, double x) {
  if (!(a > 0) || !(x >= 0)) throw std::invalid_argument("RegularizedGamma: a > 0 and x >= 0");
  if (x < a + 1) return 1 - RegularizedGammaP(a, x);
  // Continued fraction (modified Lentz).
  constexpr double tiny = 1e-300;
  double b = x + 1 - a, c = 1 / tiny, d = 1 / b, h = d;
  for (int i = 1; i < 1000; ++i) {
    const double an = -i * (i - a);
    b += 2;
    d = an * d + b;
    if (std::fabs(d) < tiny) d = tiny;
    c = b + an / c;
    if (std::fabs(c) < tiny) c = tiny;
    d = 1 / d;
    const double delta = d * c;
    h *= delta;
    if (std::fabs(delta - 1) < 1e-16) break;
  }
  return std::exp(-x + a * std::log(x) - std::lgamma(a)) * h;
}

double ChiSquarePValue(double chi2, int dof) {
  if (dof < 1) throw std::invalid_argument("ChiSquarePValue: dof < 1");
  return RegularizedGammaQ(dof / 2.0, std::max(chi2, 0.0) / 2);
}

}  // namespace core
