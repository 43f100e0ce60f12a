// kalynth-calc: the calendar and the castings of KALYNTH in a terminal.
//
// RunCalc takes the arguments after the program name, writes tab-separated
// UTF-8 rows (a header line of column names first) to `out` and one line to
// `err` on failure. Exit status: 0 done, 2 bad arguments or a failed
// computation. The moment "now", the clock number of the yarrow stalks and
// the stored time settings come from the environment so that tests can fix
// them.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "astro/constants.h"
#include "calendar/time_settings.h"

namespace cli {

// The time correction and zone the calendar commands count with.
using calendar::TimeSettings;

struct Environment {
  std::function<astro::TDateTime()> now;  // local clock moment as a day value
  std::function<int()> clockNumber;       // minutes and seconds of the local time, 0..5959
  // The settings the program itself uses, read when a command needs them;
  // unset: the program's defaults. --correction and --zone override them.
  std::function<TimeSettings()> timeSettings;
  // How near a change of the lunar date cast --now warns, as the settings
  // dialog stored it; unset: 5 minutes. --boundary-minutes overrides it.
  std::function<int()> boundaryMinutes;
  // The coins of "coins" without --seed; unset: the system's random source.
  std::function<bool()> coins;
};

// The local clock of this machine and the user's settings file.
Environment SystemEnvironment();

struct ParsedArgs;
// The environment's time settings with --correction and --zone of the
// command line in their place.
TimeSettings TimeSettingsOf(const ParsedArgs& args, const Environment& env);

// The correction and zone stored in the user's settings file (the values
// "LetneeTime" and "GMT" of "Calendar" that the main window reads at start),
// read by the window's rules: a missing value or one that is not an
// integer gives the default; any other value is taken as stored (one
// outside the list shifts nothing, as in the window's calculations).
// --correction and --zone take the same list indexes, or hours with a sign
// ("--zone +3", "--correction -1"); a number without a sign is an index.
TimeSettings StoredTimeSettings();

int RunCalc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            const Environment& env);

// The Russian help text of --help.
const char* HelpText();

}  // namespace cli
