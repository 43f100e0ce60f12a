// The yarrow-stalk procedure: the program's generator and the three stalk
// divisions of one line.
#include "core/yarrow.h"

#include <ctime>
#include <stdexcept>

namespace core {

std::uint32_t RandomGenerator::Draw(std::uint32_t range) {
  state_ = state_ * 134775813u + 1u;  // unsigned arithmetic wraps modulo 2^32
  return static_cast<std::uint32_t>((static_cast<std::uint64_t>(state_) * range) >> 32);
}

RandomGenerator& ProgramRandom() {
  static RandomGenerator generator;
  return generator;
}

int ClockNumberOf(int minute, int second) {
  return minute * 100 + second;
}

ClockNumber SystemClockNumber() {
  return [] {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return ClockNumberOf(local.tm_min, local.tm_sec);
  };
}

std::uint32_t DrawRepeated(RandomGenerator& rng, const ClockNumber& clock, int k) {
  std::uint32_t v = 0;
  for (int i = 0; i < k; ++i) v = rng.Draw(static_cast<std::uint32_t>(clock()));
  return v;
}

int RemainderByFours(int x) {
  return (x - 1) % 4 + 1;
}

namespace {

// The left heap of one division among `total` stalks (49 for the first
// division, 49 - t for the later ones): a draw brought into 2..total-2.
int LeftHeap(RandomGenerator& rng, const ClockNumber& clock, int total) {
  const std::uint32_t top = static_cast<std::uint32_t>(total - 2);
  std::uint32_t v = DrawRepeated(rng, clock, total);
  if (v > top) v %= top;
  if (v == 0) v = top;
  if (v == 1) v = 2;
  return static_cast<int>(v);
}

// Second and third division with t stalks already set aside: one stalk of
// the left heap is held apart, both heaps are counted off by fours.
int LaterDivision(RandomGenerator& rng, const ClockNumber& clock, int t) {
  // t is 5 or 9 before the second division and 9, 13 or 17 before the
  // third; anything else means the divisions were called out of order.
  if (t < 5 || t > 17) throw std::invalid_argument("Stalk count out of range");
  const int v = LeftHeap(rng, clock, 49 - t);
  return RemainderByFours(v - 1) + RemainderByFours(49 - t - v) + 1;
}

}  // namespace

int Step_1(RandomGenerator& rng, const ClockNumber& clock, int& stalkCount) {
  // One of the 49 stalks is held apart; the left heap and the right heap
  // (48 - v) are counted off by fours.
  const int v = LeftHeap(rng, clock, 49);
  const int r = RemainderByFours(v) + RemainderByFours(48 - v) + 1;
  stalkCount = r;
  return r;
}

int Step_2(RandomGenerator& rng, const ClockNumber& clock, int& stalkCount) {
  const int r = LaterDivision(rng, clock, stalkCount);
  stalkCount += r;
  return r;
}

int Step_3(RandomGenerator& rng, const ClockNumber& clock, int stalkCount) {
  return LaterDivision(rng, clock, stalkCount);
}

}  // namespace core
