// The divination core: plain rules, no windows.
//
//   hexagram.h  line codes, line values, King Wen numbers, changed and
//               nuclear figures, trigram numbers
//   yarrow.h    the program-wide generator and the three stalk divisions
//   datecast.h  casting from the lunar date (Raschet, Chisla2) and the
//               status text naming the date
//   context.h   the moment and calendar of a cast, kept with its record
//   reading.h   which texts answer a cast, and the texts themselves
//   divination.h  core::Divination: one divination with the operations of
//               its castings and records (what the window, the command
//               line and the readers of records share)
//   stats.h     counts of line values per method against their odds
//   messages.h  error texts raised by more than one module
//   coins.h     three coins thrown six times
//   entry.h     a cast made elsewhere, entered from its line values or its
//               hexagram number and changing lines
//   boundary.h  warnings for a moment near a change of its date, with the
//               hexagrams the other side gives
//
// The main window reads its controls, calls core::Divination and draws it;
// every rule is testable without a window.
#pragma once

#include "boundary.h"
#include "coins.h"
#include "context.h"
#include "datecast.h"
#include "divination.h"
#include "entry.h"
#include "hexagram.h"
#include "messages.h"
#include "reading.h"
#include "stats.h"
#include "yarrow.h"
