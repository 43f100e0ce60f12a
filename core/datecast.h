// Casting from the lunar date: the year number, lunar month, lunar day and
// double hour give the upper and lower trigrams and the changing line.
#pragma once

#include <string>

#include "hexagram.h"

namespace core {

struct DateNumbers {
  int upperTrigram = 0;  // 1..8
  int lowerTrigram = 0;  // 1..8
  int changingLine = 0;  // 1..6
};
// year number 1..12, lunar month 1..12, lunar day 1..30, double hour 0..11 (0 = Цзы).
DateNumbers Raschet(int year, int month, int day, int hourIndex);

// Lines of a figure from trigram numbers; a number outside 1..8 leaves its
// three lines as they were; returns JaoNo (0 when changingLine is not 1..6).
int Chisla2(Figure& figure, int upperTrigram, int lowerTrigram, int changingLine);

// Branch name of a double hour 0..11 ("Цзы" .. "Хай"), empty outside 0..11.
std::string BranchName(int hourIndex);

// "Гуа на год Y, месяц M, день D, час H" (monthText/dayText as the lists show them).
std::string StatusText(int year, const std::string& monthText, const std::string& dayText, int hourIndex);

// The whole casting from four numbers, as the main window shows it.
struct DateCasting {
  DateNumbers numbers;
  Figure primary{}, nuclear{}, changed{};
  int primaryNo = 0, nuclearNo = 0, changedNo = 0;
  int jaoNo = 0;
};
DateCasting CastFromDate(int year, int month, int day, int hourIndex);

// The figures of a date casting rebuilt from its primary figure and changing
// line, as a record cast from the date restores them (numbers stay 0;
// a jaoNo outside 1..6 means no changing line).
DateCasting RestoreDateCasting(const Figure& primary, int jaoNo);

}  // namespace core
