// The compass of the reference diagrams: the eight directions, where the
// stems and branches stand on it, the double hour of each branch, the two
// cycles of the five phases, and King Wen's ("later heaven") arrangement of
// the eight trigrams. One table for the program: the diagram pictures
// (ui/art/make_diagrams.cpp) are drawn from it.
//
// Azimuths are degrees clockwise from north, as on a compass. Trigram
// numbers are those of core/hexagram.h: 1 = three yang lines (Цянь) ..
// 8 = three yin lines (Кунь), in the order Цянь, Дуй, Ли, Чжэнь, Сюнь,
// Кань, Гэнь, Кунь. Texts are UTF-8; a number outside its range gives an
// empty text.
#pragma once

#include <string_view>

#include "calendar/signs.h"

namespace calendar {

enum class Direction { Centre = 0, North, NorthEast, East, SouthEast, South, SouthWest, West, NorthWest };

double DirectionAzimuth(Direction d);         // North 0, NorthEast 45 .. NorthWest 315; Centre 0
std::string_view DirectionName(Direction d);  // "Север", "Северо-восток" .. "Центр"
std::string_view DirectionShortName(Direction d);  // "С", "СВ" .. ("" for Centre)
std::string_view DirectionSign(Direction d);       // "北", "東北" .. "中"

// Where each phase stands: wood east, fire south, earth centre, metal west,
// water north.
Direction PhaseDirection(Phase phase);

// The branches stand round the compass every 30 degrees from 子 at north;
// the stems of the four outer phases flank the middle branch of their side
// (甲 and 乙 either side of 卯), the two earth stems stand in the centre:
// the twenty-four points of the geomancer's compass without its four
// corner trigrams.
double BranchAzimuth(int branch);
double StemAzimuth(int stem);  // 戊 and 己: Direction::Centre, azimuth 0
Direction StemDirection(int stem);
Direction BranchDirection(int branch);  // the nearest of the eight directions

// The double hour of a branch, in whole clock hours: 子 23..1, 丑 1..3 ..
// 亥 21..23.
int BranchFirstHour(int branch);
int BranchLastHour(int branch);

// The two cycles of the five phases.
Phase Generates(Phase phase);  // wood -> fire -> earth -> metal -> water -> wood
Phase Overcomes(Phase phase);  // wood -> earth -> water -> fire -> metal -> wood

// The eight trigrams.
std::string_view TrigramSign(int trigram);     // "乾" .. "坤"
std::string_view TrigramReading(int trigram);  // "Цянь" .. "Кунь"
std::string_view TrigramImage(int trigram);    // "Небо" .. "Земля"
Phase TrigramPhase(int trigram);
// King Wen's arrangement: 離 south, 坎 north, 震 east, 兌 west, 巽 south-east,
// 乾 north-west, 坤 south-west, 艮 north-east.
Direction LaterHeavenDirection(int trigram);
// The number of the trigram's place in the nine-cell square (洛書) that goes
// with the arrangement: 坎 1, 坤 2, 震 3, 巽 4 (centre 5), 乾 6, 兌 7, 艮 8, 離 9.
int LoShuNumber(int trigram);

}  // namespace calendar
