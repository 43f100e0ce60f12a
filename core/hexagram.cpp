// Line codes, hexagram figures and their King Wen numbers.
#include "core/hexagram.h"

#include <stdexcept>

namespace core {

namespace {

// One row per valid line code: the line of the primary hexagram and the
// line of the changed hexagram. A code counts its "small" results (a 5 in
// the first place, a 4 in the second or third): three small results give a
// changing yang line, two a stable yin line, one a stable yang line, none a
// changing yin line.
struct LineCode {
  std::string_view code;
  bool primary;  // true = yang
  bool changed;
};

constexpr LineCode kLineCodes[] = {
    {"544", true, false},  {"548", false, false}, {"584", false, false}, {"588", true, true},
    {"944", false, false}, {"948", true, true},   {"984", true, true},   {"988", false, true},
};

const LineCode* FindCode(std::string_view code) {
  for (const LineCode& c : kLineCodes)
    if (c.code == code) return &c;
  return nullptr;
}

// King Wen numbers: row = lower trigram number - 1, column = upper trigram
// number - 1 (trigram 1 = three yang lines .. 8 = three yin lines).
constexpr int kKingWen[8][8] = {
    {1, 43, 14, 34, 9, 5, 26, 11},    {10, 58, 38, 54, 61, 60, 41, 19}, {13, 49, 30, 55, 37, 63, 22, 36},
    {25, 17, 21, 51, 42, 3, 27, 24},  {44, 28, 50, 32, 57, 48, 18, 46}, {6, 47, 64, 40, 59, 29, 4, 7},
    {33, 31, 56, 62, 53, 39, 52, 15}, {12, 45, 35, 16, 20, 8, 23, 2},
};

// Trigram number 1..8 of three lines given bottom to top: the lines read as
// a binary number with the bottom line highest, counted down from 8.
int TrigramNumber(bool bottom, bool middle, bool top) {
  return 8 - ((bottom ? 4 : 0) + (middle ? 2 : 0) + (top ? 1 : 0));
}

bool IsOneOrTwo(int number) {
  return number == 1 || number == 2;
}

}  // namespace

bool IsValidCode(std::string_view code) {
  return FindCode(code) != nullptr;
}

bool PrimaryLine(std::string_view code) {
  const LineCode* c = FindCode(code);
  return c ? c->primary : true;
}

bool ChangedLine(std::string_view code) {
  const LineCode* c = FindCode(code);
  return c ? c->changed : true;
}

bool IsChangingCode(std::string_view code) {
  return code == "544" || code == "988";
}

int CalcNoGua(const Figure& lines) {
  const int lower = TrigramNumber(lines[0], lines[1], lines[2]);
  const int upper = TrigramNumber(lines[3], lines[4], lines[5]);
  return kKingWen[lower - 1][upper - 1];
}

Figure FigureOfNumber(int number) {
  for (int lower = 1; lower <= 8; ++lower)
    for (int upper = 1; upper <= 8; ++upper)
      if (kKingWen[lower - 1][upper - 1] == number) {
        const auto lo = TrigramLines(lower);
        const auto up = TrigramLines(upper);
        return {lo[0], lo[1], lo[2], up[0], up[1], up[2]};
      }
  throw std::out_of_range("Hexagram number out of range");
}

std::array<bool, 3> TrigramLines(int trigram) {
  if (trigram < 1 || trigram > 8) throw std::out_of_range("Trigram number out of range");
  const int bits = 8 - trigram;  // bottom line is the highest bit
  return {(bits & 4) != 0, (bits & 2) != 0, (bits & 1) != 0};
}

Figure ChangedFigure(const Figure& primary, int changingLine) {
  Figure changed = primary;
  if (changingLine >= 1 && changingLine <= 6) changed[changingLine - 1] = !changed[changingLine - 1];
  return changed;
}

Figure NuclearFigure(const Figure& primary, const Figure& changed) {
  // Numbers 1 and 2 are their own nuclear figures; for them the changed
  // hexagram is the source, unless it is itself 1 or 2.
  const bool useChanged = IsOneOrTwo(CalcNoGua(primary)) && !IsOneOrTwo(CalcNoGua(changed));
  const Figure& s = useChanged ? changed : primary;
  return {s[1], s[2], s[3], s[2], s[3], s[4]};
}

CodesCasting CastFromCodes(const std::array<std::string_view, 6>& codes) {
  CodesCasting c;
  c.valid = true;
  for (int n = 0; n < 6; ++n) {
    c.primary[n] = PrimaryLine(codes[n]);
    c.changed[n] = ChangedLine(codes[n]);
    c.valid = c.valid && IsValidCode(codes[n]);
  }
  c.nuclear = NuclearFigure(c.primary, c.changed);
  c.primaryNo = CalcNoGua(c.primary);
  c.nuclearNo = CalcNoGua(c.nuclear);
  c.changedNo = CalcNoGua(c.changed);
  return c;
}

}  // namespace core
