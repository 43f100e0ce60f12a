// Internal: the per-thread memo tables behind memo.h.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "calendar/memo.h"

namespace calendar::detail {

// A direct-mapped table of 2^Bits slots from a 64-bit key to a double.
// Scatter: the slot is a Fibonacci hash of the key (for keys that are the
// bits of a double); otherwise the key's low bits (for keys that count up).
template <unsigned Bits, bool Scatter>
class MemoTable {
 public:
  template <typename Compute>
  double Get(std::uint64_t key, Compute compute) {
    if (!CalendarMemo()) return compute();
    if (slots_.empty()) slots_.resize(std::size_t{1} << Bits);
    const std::uint64_t index =
        Scatter ? (key * 0x9E3779B97F4A7C15ull) >> (64 - Bits) : key & ((std::uint64_t{1} << Bits) - 1);
    Slot& slot = slots_[index];
    if (slot.used && slot.key == key) return slot.value;
    const double value = compute();  // an exception stores nothing
    slot = Slot{key, value, true};
    return value;
  }
  void Clear() { std::vector<Slot>().swap(slots_); }

 private:
  struct Slot {
    std::uint64_t key = 0;
    double value = 0;
    bool used = false;
  };
  std::vector<Slot> slots_;
};

inline std::uint64_t KeyOf(double x) {
  std::uint64_t k;
  std::memcpy(&k, &x, sizeof k);
  return k;
}

struct MemoTables {
  MemoTable<13, false> solarTerms;  // key 24 * year + k: 341 consecutive years without a clash
  MemoTable<12, true> newMoonOnOrBefore;
  MemoTable<12, true> newMoonOnOrAfter;
  MemoTable<12, true> majorTermDayOnOrAfter;
  MemoTable<12, true> majorTermDayBefore;
  MemoTable<12, true> newMoonInstants;  // astro::PrincipalPhaseInstant(mpNewMoon, probe) by probe
};

MemoTables& ThreadMemo();

}  // namespace calendar::detail
