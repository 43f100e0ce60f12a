// kalynth-calc journal: the same rows, filter and order as the journal window.
#include "cli/journal.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <ostream>

#include "cli/args.h"
#include "records/journal.h"

namespace cli {

namespace {

// A date argument (YYYY-MM-DD) as a calendar date.
QDate DateArgument(const std::string& text) {
  const double day = ParseDate(text);  // checks the text, days since 1899-12-30
  return QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(day)));
}

void WriteLine(std::ostream& out, const QStringList& cells) {
  const std::string line = cells.join(QLatin1Char('\t')).toStdString() + '\n';
  out.write(line.data(), static_cast<std::streamsize>(line.size()));
}

}  // namespace

int JournalCommand(const std::vector<std::string>& args, std::ostream& out) {
  const ParsedArgs a =
      ParseArgs("journal", args, 1, {"--text", "--hexagram", "--from", "--to"}, {"--changing"});
  if (a.positional.empty()) throw UsageError("команде journal нужна папка с записями");
  if (a.positional.size() > 1) throw UsageError("лишний аргумент «" + a.positional[1] + "»");
  const QString folder = QFile::decodeName(a.positional[0].c_str());
  if (!QFileInfo(folder).isDir()) throw UsageError("нет такой папки: «" + a.positional[0] + "»");

  records::JournalFilter filter;
  if (const auto v = a.Value("--text")) filter.text = QString::fromStdString(*v);
  if (const auto v = a.Value("--hexagram")) filter.hexagram = ParseInt(*v, 1, 64, "--hexagram");
  filter.changingOnly = a.Flag("--changing");
  if (const auto v = a.Value("--from")) filter.from = DateArgument(*v);
  if (const auto v = a.Value("--to")) filter.to = DateArgument(*v);
  if (filter.from && filter.to && *filter.to < *filter.from) throw UsageError("дата --to раньше даты --from");

  const records::JournalMatcher matches(filter);
  QStringList header;
  for (int c = 0; c < records::JournalColumnCount; ++c)
    header.append(QString::fromLatin1(records::JournalColumnKey(c)));
  WriteLine(out, header);
  for (const records::JournalRow& row : records::ScanJournal(folder)) {
    if (!matches(row)) continue;
    QStringList cells;
    for (int c = 0; c < records::JournalColumnCount; ++c) cells.append(records::JournalCell(row, c));
    WriteLine(out, cells);
  }
  return 0;
}

}  // namespace cli
