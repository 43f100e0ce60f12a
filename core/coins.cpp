// Three coins: throws, their values and codes.
#include "core/coins.h"

#include <memory>
#include <random>

#include "core/entry.h"

namespace core {

CoinSource SystemCoins() {
  // One device for the source's life; each call takes one bit of a fresh
  // 32-bit word.
  auto device = std::make_shared<std::random_device>();
  return [device] { return ((*device)() & 1u) != 0; };
}

CoinSource SeededCoins(std::uint64_t seed) {
  auto generator = std::make_shared<std::mt19937_64>(seed);
  return [generator] { return ((*generator)() >> 63) != 0; };
}

int CoinThrow::value() const {
  int v = 0;
  for (const bool h : heads) v += h ? 3 : 2;
  return v;
}

std::string_view CoinThrow::code() const {
  return CodeOfLineValue(value());
}

std::string CoinThrow::text() const {
  std::string s;
  for (const bool h : heads) {
    if (!s.empty()) s += ' ';
    s += h ? "О" : "Р";
  }
  return s;
}

CoinThrow ThrowCoins(const CoinSource& coins) {
  CoinThrow t;
  for (bool& h : t.heads) h = coins();
  return t;
}

std::array<CoinThrow, 6> CastCoins(const CoinSource& coins) {
  std::array<CoinThrow, 6> lines;
  for (CoinThrow& t : lines) t = ThrowCoins(coins);
  return lines;
}

}  // namespace core
