// kalynth-calc journal: the same rows, filter and order as the journal window.
#include "cli/journal.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <ostream>

#include "calendar/civil.h"
#include "cli/args.h"
#include "cli/tsv.h"
#include "core/stats.h"
#include "records/journal.h"
#include "records/journal_export.h"
#include "records/record.h"

namespace cli {

namespace {

// A date argument (YYYY-MM-DD) as a calendar date.
QDate DateArgument(const std::string& text) {
  const calendar::CivilDateTime d =
      calendar::DecodeCivilDateTime(ParseDate(text));  // ParseDate checks the text
  return QDate(d.year, d.month, d.day);
}

void WriteLine(std::ostream& out, const QStringList& cells) {
  std::string line;
  for (qsizetype i = 0; i < cells.size(); ++i) {
    if (i > 0) line += '\t';
    line += TsvCell(cells[i].toStdString());
  }
  line += '\n';
  out.write(line.data(), static_cast<std::streamsize>(line.size()));
}

}  // namespace

int JournalCommand(const std::vector<std::string>& args, std::ostream& out) {
  const ParsedArgs a =
      ParseArgs("journal", args, 1, {"--text", "--hexagram", "--from", "--to", "--format"}, {"--changing"});
  const std::string format = a.Value("--format").value_or("tsv");
  if (format != "tsv" && format != "csv" && format != "json")
    throw UsageError("--format: нужен tsv, csv или json, а не «" + format + "»");
  if (a.positional.empty()) throw UsageError("команде journal нужна папка с записями");
  if (a.positional.size() > 1) throw UsageError("лишний аргумент «" + a.positional[1] + "»");
  // The folder's bytes as given: a name that is not UTF-8 is read all the same.
  const QByteArray native(a.positional[0].data(), qsizetype(a.positional[0].size()));
  const records::JournalEntry folder{native, records::DisplayPath(native)};

  records::JournalFilter filter;
  if (const auto v = a.Value("--text")) filter.text = QString::fromStdString(*v);
  if (const auto v = a.Value("--hexagram")) filter.hexagram = ParseInt(*v, 1, 64, "--hexagram");
  filter.changingOnly = a.Flag("--changing");
  if (const auto v = a.Value("--from")) filter.from = DateArgument(*v);
  if (const auto v = a.Value("--to")) filter.to = DateArgument(*v);
  if (filter.from && filter.to && *filter.to < *filter.from) throw UsageError("дата --to раньше даты --from");

  const records::JournalMatcher matches(filter);
  // A folder that cannot be listed is an error (records::JournalError),
  // before anything is printed.
  const QList<records::JournalRow> rows = records::ScanJournal(folder);
  if (format != "tsv") {
    QList<records::JournalRow> kept;
    for (const records::JournalRow& row : rows)
      if (matches(row)) kept.append(row);
    const QByteArray bytes = format == "csv" ? records::JournalCsv(kept) : records::JournalJson(kept);
    out.write(bytes.constData(), static_cast<std::streamsize>(bytes.size()));
    return 0;
  }
  QStringList header;
  for (int c = 0; c < records::JournalColumnCount; ++c)
    header.append(QString::fromLatin1(records::JournalColumnKey(c)));
  WriteLine(out, header);
  for (const records::JournalRow& row : rows) {
    if (!matches(row)) continue;
    QStringList cells;
    for (int c = 0; c < records::JournalColumnCount; ++c) cells.append(records::JournalCell(row, c));
    WriteLine(out, cells);
  }
  return 0;
}

namespace {

std::string Decimal(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

}  // namespace

int StatsCommand(const std::vector<std::string>& args, std::ostream& out) {
  const ParsedArgs a = ParseArgs("stats", args, 1, {}, {});
  if (a.positional.empty()) throw UsageError("команде stats нужна папка с записями");
  if (a.positional.size() > 1) throw UsageError("лишний аргумент «" + a.positional[1] + "»");
  const QByteArray native(a.positional[0].data(), qsizetype(a.positional[0].size()));
  const records::JournalTree tree = records::ListJournalTree({native, records::DisplayPath(native)});
  if (!tree.rootProblem.isEmpty()) throw records::JournalError(tree.rootProblem);

  // Every record read as the window opens it; a file that is not one is left out.
  std::vector<core::CastCodes> casts;
  for (const records::JournalEntry& file : tree.files) {
    const records::CandidateFile read = records::ReadCandidateFile(file.native, records::MaxRecordSize);
    if (!read.bytes || !records::IsRecord(*read.bytes)) continue;
    try {
      const records::Record r = records::DecodeRecord(*read.bytes);
      core::CastCodes c;
      c.method = r.context ? r.context->method : core::CastMethod::None;
      for (std::size_t i = 0; i < 6; ++i) c.codes[i] = r.lineCodes[i].toStdString();
      casts.push_back(std::move(c));
    } catch (const records::RecordError&) {
    }
  }
  const std::map<core::CastMethod, core::LineCounts> counts = core::CountLineValues(casts);

  WriteLine(out, {"method", "value", "count", "share", "expected", "classical", "chi2", "p"});
  for (const core::CastMethod m : {core::CastMethod::Codes, core::CastMethod::Yarrow, core::CastMethod::Coins,
                                   core::CastMethod::Date, core::CastMethod::None}) {
    const auto found = counts.find(m);
    if (found == counts.end()) continue;
    const core::LineCounts& n = found->second;
    const long long total = n[0] + n[1] + n[2] + n[3];
    if (total == 0) continue;
    const core::LineOdds odds = core::OddsOfMethod(m), classical = core::ClassicalYarrowOdds();
    const double chi2 = core::ChiSquare(n, odds);
    const QString key = m == core::CastMethod::None ? QStringLiteral("unknown")
                                                    : QString::fromUtf8(core::MethodKey(m).data(),
                                                                        qsizetype(core::MethodKey(m).size()));
    for (std::size_t v = 0; v < 4; ++v)
      WriteLine(out, {key, QString::number(v + 6), QString::number(n[v]),
                      QString::fromStdString(Decimal("%.6f", double(n[v]) / double(total))),
                      QString::fromStdString(Decimal("%.6f", odds[v])),
                      QString::fromStdString(Decimal("%.6f", classical[v])),
                      QString::fromStdString(Decimal("%.4f", chi2)),
                      QString::fromStdString(Decimal("%.6f", core::ChiSquarePValue(chi2, 3)))});
  }
  return 0;
}

}  // namespace cli
