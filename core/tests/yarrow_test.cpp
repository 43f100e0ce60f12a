// The program's generator and the yarrow-stalk divisions.
#include "core/yarrow.h"

#include <gtest/gtest.h>

#include <climits>

#include "core/divination.h"
#include "core/hexagram.h"

namespace core {
namespace {

ClockNumber Constant(int n) {
  return [n] { return n; };
}

// The six codes of one whole procedure: every division on the button the
// procedure enables next.
std::array<std::string, 6> WholeCasting(RandomGenerator& rng, const ClockNumber& clock) {
  Divination d;
  d.BeginMilfoil();
  while (d.yarrowActive()) d.Divide(d.yarrowDivision(), rng, clock);
  return d.lineCodes();
}

TEST(RandomGenerator, StateSequenceFromZero) {
  // state(k+1) = state(k) * 134775813 + 1 mod 2^32 from state 0; values
  // worked out with arbitrary-precision integers.
  RandomGenerator rng;
  EXPECT_EQ(rng.state(), 0u);
  const std::uint32_t states[] = {1u, 134775814u, 3698175007u, 870078620u, 1172187917u};
  for (std::uint32_t s : states) {
    EXPECT_EQ(rng.Draw(0), 0u);  // range 0 gives 0 and still advances the state
    EXPECT_EQ(rng.state(), s);
  }
}

TEST(RandomGenerator, DrawScalesTheNewStateIntoTheRange) {
  // floor(state * 1000 / 2^32) for the states above.
  RandomGenerator rng;
  for (std::uint32_t want : {0u, 31u, 861u, 202u, 272u}) EXPECT_EQ(rng.Draw(1000), want);
  // The product needs 64 bits: next state 2^32 - 134775812 = 4160191484,
  // and floor(x * (2^32 - 1) / 2^32) is x - 1.
  rng.setState(0xFFFFFFFFu);
  EXPECT_EQ(rng.Draw(0xFFFFFFFFu), 4160191483u);
  EXPECT_EQ(rng.state(), 4160191484u);
}

TEST(RandomGenerator, OneProgramWideInstanceStartingAtZero) {
  // No other test touches the program's generator.
  EXPECT_EQ(&ProgramRandom(), &ProgramRandom());
  EXPECT_EQ(ProgramRandom().state(), 0u);
}

TEST(ClockNumber, MinutesAndSecondsAsOneNumber) {
  EXPECT_EQ(ClockNumberOf(7, 5), 705);
  EXPECT_EQ(ClockNumberOf(0, 0), 0);
  EXPECT_EQ(ClockNumberOf(59, 59), 5959);
  const int now = SystemClockNumber()();
  EXPECT_GE(now, 0);
  EXPECT_LE(now, 5959);
  EXPECT_LE(now % 100, 59);
}

TEST(DrawRepeated, ReadsTheClockAfreshForEveryDraw) {
  int reads = 0;
  const ClockNumber counting = [&reads] { return ++reads; };
  RandomGenerator rng, replay;
  const std::uint32_t v = DrawRepeated(rng, counting, 5);
  EXPECT_EQ(reads, 5);
  for (std::uint32_t range = 1; range <= 4; ++range) replay.Draw(range);
  EXPECT_EQ(v, replay.Draw(5));  // the last draw, with the last clock number, counts
  EXPECT_EQ(rng.state(), replay.state());
}

TEST(DrawRepeated, ClockReadsPerDivision) {
  // The first division draws 49 times, the later ones 49 - t times.
  int reads = 0;
  const ClockNumber counting = [&reads] {
    ++reads;
    return 1234;
  };
  RandomGenerator rng;
  int stalks = 0;
  Step_1(rng, counting, stalks);
  EXPECT_EQ(reads, 49);
  reads = 0;
  const int t = stalks;
  Step_2(rng, counting, stalks);
  EXPECT_EQ(reads, 49 - t);
  reads = 0;
  const int t3 = stalks;
  Step_3(rng, counting, stalks);
  EXPECT_EQ(reads, 49 - t3);
}

TEST(RemainderByFours, CountsOneToFour) {
  const int table[][2] = {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 1}, {8, 4}, {41, 1}, {47, 3}};
  for (const auto& row : table) EXPECT_EQ(RemainderByFours(row[0]), row[1]) << row[0];
}

// A freshly started program whose clock always reads 1234 casts these six
// lines; the first division of line 1 takes a left heap of 10 (remainders 2
// and 2, digit 5).
TEST(Yarrow, PinsTheLinesOfAFreshProgramWithClock1234) {
  RandomGenerator rng;
  const std::uint32_t raw = DrawRepeated(rng, Constant(1234), 49);
  EXPECT_EQ(raw % 47, 10u);

  RandomGenerator fresh;
  int stalks = 0;
  EXPECT_EQ(Step_1(fresh, Constant(1234), stalks), 5);
  EXPECT_EQ(stalks, 5);

  RandomGenerator program;
  const std::array<std::string, 6> want{"588", "588", "544", "544", "984", "948"};
  EXPECT_EQ(WholeCasting(program, Constant(1234)), want);
}

// With the clock number 0 every draw is 0: the first division takes the left
// heap 47 (remainders 3 and 1, digit 5), the later divisions give 4.
TEST(Yarrow, ClockZeroGives544) {
  RandomGenerator rng;
  int stalks = 0;
  EXPECT_EQ(Step_1(rng, Constant(0), stalks), 5);
  EXPECT_EQ(stalks, 5);
  EXPECT_EQ(Step_2(rng, Constant(0), stalks), 4);
  EXPECT_EQ(stalks, 9);
  EXPECT_EQ(Step_3(rng, Constant(0), stalks), 4);
  EXPECT_EQ(WholeCasting(rng, Constant(0))[0], "544");
}

// Whatever the clock says, every division sets aside a valid count and every
// finished line is one of the eight codes: all clock numbers 0..5959, each
// for a whole casting from a fresh generator.
TEST(Yarrow, EveryClockNumberGivesValidCodes) {
  for (int clock = 0; clock <= 5959; ++clock) {
    RandomGenerator rng;
    for (int line = 1; line <= 6; ++line) {
      int stalks = 0;
      const int d1 = Step_1(rng, Constant(clock), stalks);
      ASSERT_TRUE(d1 == 5 || d1 == 9) << "clock " << clock << " line " << line;
      const int d2 = Step_2(rng, Constant(clock), stalks);
      ASSERT_TRUE(d2 == 4 || d2 == 8) << "clock " << clock << " line " << line;
      ASSERT_EQ(stalks, d1 + d2);
      const int d3 = Step_3(rng, Constant(clock), stalks);
      const std::string code = std::to_string(d1) + std::to_string(d2) + std::to_string(d3);
      ASSERT_TRUE(IsValidCode(code)) << "clock " << clock << " line " << line << " code " << code;
    }
  }
}

TEST(Yarrow, ChangingAndOutOfRangeClocksStillGiveValidCodes) {
  int tick = 0;
  const ClockNumber running = [&tick] { return tick++ % 6000; };  // a clock that moves on every read
  RandomGenerator rng;
  for (int casting = 0; casting < 100; ++casting)
    for (const std::string& code : WholeCasting(rng, running)) ASSERT_TRUE(IsValidCode(code)) << casting;
  for (int odd : {-1, 6000, INT_MAX, INT_MIN}) {
    RandomGenerator r;
    for (const std::string& code : WholeCasting(r, Constant(odd))) EXPECT_TRUE(IsValidCode(code)) << odd;
  }
}

TEST(Yarrow, LaterDivisionsRefuseAWorkingNumberNoDivisionLeaves) {
  RandomGenerator rng;
  int stalks = 0;
  EXPECT_THROW(Step_2(rng, Constant(1), stalks), std::invalid_argument);
  EXPECT_THROW(Step_3(rng, Constant(1), 46), std::invalid_argument);
}

}  // namespace
}  // namespace core
