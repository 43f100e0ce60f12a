// kalynth-calc journal: the rows of the journal window as tab-separated text.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// args[0] is "journal": DIR [--text WORDS] [--hexagram N] [--changing]
// [--from DATE] [--to DATE] [--format tsv|csv|json]. Throws UsageError for
// bad arguments. TSV is the default; CSV and JSON are records/journal_export.h's.
int JournalCommand(const std::vector<std::string>& args, std::ostream& out);

// args[0] is "stats": DIR. The line values of the records under DIR per
// method of their cast, against the method's odds (core/stats.h).
int StatsCommand(const std::vector<std::string>& args, std::ostream& out);

}  // namespace cli
