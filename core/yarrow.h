// The yarrow-stalk procedure: a 32-bit linear congruential generator
// shared by the whole program (state 0 at start, never reseeded,
// multiplier 134775813) and the three divisions that write one line code.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace core {

class RandomGenerator {
 public:
  // state := state * 134775813 + 1 (mod 2^32); returns floor(state * range / 2^32).
  std::uint32_t Draw(std::uint32_t range);
  std::uint32_t state() const { return state_; }
  void setState(std::uint32_t s) { state_ = s; }

 private:
  std::uint32_t state_ = 0;
};

// The one generator of the running program.
RandomGenerator& ProgramRandom();

// Clock number: minutes and seconds of the local time as one number 0..5959
// (10:07:05 gives 705). Read afresh for every draw.
using ClockNumber = std::function<int()>;
int ClockNumberOf(int minute, int second);
ClockNumber SystemClockNumber();

// Repeat k times: draw with the clock number as range; the last draw counts.
std::uint32_t DrawRepeated(RandomGenerator& rng, const ClockNumber& clock, int k);
// ((x - 1) mod 4) + 1 for a positive count.
int RemainderByFours(int x);

// The three divisions of one line. Each returns the digit written into the
// line's field (Step_1 replaces the text, the others append) and updates
// the working number stalkCount.
int Step_1(RandomGenerator& rng, const ClockNumber& clock, int& stalkCount);
int Step_2(RandomGenerator& rng, const ClockNumber& clock, int& stalkCount);
int Step_3(RandomGenerator& rng, const ClockNumber& clock, int stalkCount);
// Step_2 and Step_3 throw std::invalid_argument when stalkCount is not a
// working number a previous division can leave (5..17): out of order.
// The whole procedure, line by line, is core::Divination's (BeginMilfoil,
// Divide).

}  // namespace core
