// Argument parsing of kalynth-calc: options "--name VALUE" or "--name=VALUE",
// flags "--name", everything else positional. Every failure is a UsageError
// whose text is the one line the tool prints.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "astro/constants.h"

namespace cli {

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ParsedArgs {
  std::vector<std::string> positional;
  std::map<std::string, std::string> values;  // options with a value, by name with "--"
  std::set<std::string> flags;                // options without a value

  std::optional<std::string> Value(const std::string& name) const;
  bool Flag(const std::string& name) const { return flags.count(name) > 0; }
};

// `command` names the command in messages; `valued` and `flags` list the
// options it knows ("--correction", ...).
ParsedArgs ParseArgs(const std::string& command, const std::vector<std::string>& args, std::size_t first,
                     const std::set<std::string>& valued, const std::set<std::string>& flags);

// Strict decimal integer in [min, max]; `what` names it in the message.
int ParseInt(const std::string& text, int min, int max, const std::string& what);
// YYYY-MM-DD, a proleptic Gregorian date of the years 1..9999: its day value.
astro::TDateTime ParseDate(const std::string& text);
// HH:MM or HH:MM:SS: the fraction of a day.
astro::TDateTime ParseTime(const std::string& text);
// A finite decimal number (day value).
double ParseReal(const std::string& text, const std::string& what);

}  // namespace cli
