// kalynth-calc journal: the rows of the journal window as tab-separated text.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// args[0] is "journal": DIR [--text WORDS] [--hexagram N] [--changing]
// [--from DATE] [--to DATE]. Throws UsageError for bad arguments.
int JournalCommand(const std::vector<std::string>& args, std::ostream& out);

}  // namespace cli
