// Three coins thrown six times, one throw a line from line 1 (bottom) up.
// Heads counts 3 and tails 2, so a throw sums to 6..9:
//   three tails  6  old yin (changing)   "988"
//   one heads    7  young yang           "588"
//   two heads    8  young yin            "548"
//   three heads  9  old yang (changing)  "544"
// with the odds 1/8, 3/8, 3/8, 1/8 of fair coins.
//
// The coins fall by a source of bits: the system's random source for a
// real cast, a generator of a fixed seed where the same throws must come
// again (tests, simulations).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace core {

// One fair coin: true = heads.
using CoinSource = std::function<bool()>;
// std::random_device, the system's own random source.
CoinSource SystemCoins();
// A pseudo-random generator (64-bit Mersenne twister) started from `seed`.
CoinSource SeededCoins(std::uint64_t seed);

struct CoinThrow {
  std::array<bool, 3> heads{};  // the three coins as they fell
  // 6..9: 3 for every heads, 2 for every tails.
  int value() const;
  // The line code of the value (core/entry.h: 6 "988", 7 "588", 8 "548", 9 "544").
  std::string_view code() const;
  // "О Р О": О for heads (орёл), Р for tails (решка), in the order thrown.
  std::string text() const;
};

CoinThrow ThrowCoins(const CoinSource& coins);
// Six throws, [0] = line 1.
std::array<CoinThrow, 6> CastCoins(const CoinSource& coins);

}  // namespace core
