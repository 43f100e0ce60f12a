// kalynth-calc: the calendar and the castings of KALYNTH in a terminal.
//
// RunCalc takes the arguments after the program name, writes tab-separated
// UTF-8 rows (a header line of column names first) to `out` and one line to
// `err` on failure. Exit status: 0 done, 2 bad arguments or a failed
// computation. The moment "now" and the clock number of the yarrow stalks
// come from the environment so that tests can fix them.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "astro/constants.h"

namespace cli {

struct Environment {
  std::function<astro::TDateTime()> now;  // local clock moment as a day value
  std::function<int()> clockNumber;       // minutes and seconds of the local time, 0..5959
};

// The local clock of this machine.
Environment SystemEnvironment();

int RunCalc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            const Environment& env);

// The Russian help text of --help.
const char* HelpText();

}  // namespace cli
