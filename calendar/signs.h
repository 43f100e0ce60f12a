// The ten heavenly stems and twelve earthly branches as a reader meets
// them: the Chinese sign, its Russian reading, its phase and its polarity,
// and the animal of each branch. One table for the whole program: the
// calendar window's glyphs and tooltips, the double-hour captions, the
// status texts and the reference diagrams all take their names from here.
//
// Numbers are the calendar's: stem 1..10 (1 = Jia), branch 1..12 (1 = Zi).
// A number outside its range gives an empty text (and Phase::None).
// Texts are UTF-8.
#pragma once

#include <string_view>

namespace calendar {

// The five phases in the order of the generating cycle: wood feeds fire,
// fire makes earth (ash), earth bears metal, metal carries water (dew),
// water feeds wood.
enum class Phase { None = 0, Wood, Fire, Earth, Metal, Water };

constexpr bool IsStem(int stem) {
  return stem >= 1 && stem <= 10;
}
constexpr bool IsBranch(int branch) {
  return branch >= 1 && branch <= 12;
}

std::string_view StemSign(int stem);         // "甲" .. "癸"
std::string_view StemReading(int stem);      // "Цзя" .. "Гуй"
std::string_view BranchSign(int branch);     // "子" .. "亥"
std::string_view BranchReading(int branch);  // "Цзы" .. "Хай"
std::string_view BranchAnimal(int branch);   // "Крыса" .. "Свинья"

Phase StemPhase(int stem);
Phase BranchPhase(int branch);
// Odd stems and odd branches are yang, even ones yin.
bool StemIsYang(int stem);
bool BranchIsYang(int branch);

std::string_view PhaseName(Phase phase);  // "Дерево", "Огонь", "Земля", "Металл", "Вода"
std::string_view PhaseSign(Phase phase);  // "木", "火", "土", "金", "水"

}  // namespace calendar
