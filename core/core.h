// The divination core: plain rules, no windows.
//
//   hexagram.h  line codes, line values, King Wen numbers, changed and
//               nuclear figures, trigram numbers
//   yarrow.h    the program-wide generator and the three stalk divisions
//   datecast.h  casting from the lunar date (Raschet, Chisla2) and the
//               status text naming the date
//
// The main window keeps the divination in its controls and calls these
// rules; every rule is testable without a window.
#pragma once

#include "datecast.h"
#include "hexagram.h"
#include "yarrow.h"
