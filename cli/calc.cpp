#include "cli/calc.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <exception>
#include <ostream>
#include <string_view>

#include "astro/moon.h"
#include "astro/vsop.h"
#include "calendar/calendar.h"
#include "calendar/lunar_range.h"
#include "cli/args.h"
#include "cli/journal.h"
#include "cli/tsv.h"
#include "core/core.h"
#include "core/reading.h"
#include "records/context.h"
#include "records/mapping.h"
#include "records/record.h"
#include "settings/SettingsStore.h"

namespace cli {

// sheet RECORD PDF (sheet.cpp: the one command that paints).
int SheetCommand(const std::vector<std::string>& args, std::ostream& out, const Environment& env);

namespace {

using astro::TDateTime;

constexpr TDateTime Noon = 0.5;

// One output row: fields joined by tabs.
class Row {
 public:
  explicit Row(std::ostream& out) : out_(out) {}
  Row(const Row&) = delete;
  Row& operator=(const Row&) = delete;
  ~Row() {
    if (std::uncaught_exceptions() > exceptions_) return;  // a row left half-made by an error
    line_ += '\n';
    out_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
  }
  Row& operator<<(std::string_view field) {
    if (!first_) line_ += '\t';
    first_ = false;
    line_ += TsvCell(field);
    return *this;
  }
  Row& operator<<(const char* field) { return *this << std::string_view(field); }
  Row& operator<<(const std::string& field) { return *this << std::string_view(field); }
  Row& operator<<(int v) { return *this << std::string_view(std::to_string(v)); }
  Row& operator<<(bool v) { return *this << std::string_view(v ? "1" : "0"); }

 private:
  std::ostream& out_;
  std::string line_;
  bool first_ = true;
  int exceptions_ = std::uncaught_exceptions();
};

// Rows under a header line of column names. The header goes out with the
// first row (or at Finish), so a command that fails before its first result
// prints nothing on standard output.
class Table {
 public:
  Table(std::ostream& out, std::initializer_list<const char*> names) : out_(out), names_(names) {}
  Row Add() {
    WriteHeader();
    return Row(out_);
  }
  void Finish() { WriteHeader(); }

 private:
  void WriteHeader() {
    if (headerDone_) return;
    headerDone_ = true;
    Row row(out_);
    for (const char* n : names_) row << n;
  }
  std::ostream& out_;
  std::vector<const char*> names_;
  bool headerDone_ = false;
};

std::string Fixed9(long double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.9Lf", v);
  return buf;
}

// YYYY-MM-DDTHH:MM:SS of a day value; `round` to the nearest second, else
// the clock's reading (whole seconds shown, milliseconds dropped).
std::string FormatMoment(TDateTime t, bool round) {
  const calendar::CivilDateTime d = calendar::DecodeCivilDateTime(round ? t + 0.5 / 86400 : t);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute,
                d.second);
  return buf;
}

void NoMorePositional(const ParsedArgs& a, std::size_t allowed) {
  if (a.positional.size() > allowed) throw UsageError("лишний аргумент «" + a.positional[allowed] + "»");
}

// The dates the calendar commands answer for at every time of day, time
// zone and correction. The kernel knows the years 1..9999 only: the lunar
// date needs the winter solstices on both sides of the date (none before
// the one of year 1, in late December, and none after 9999-12-16 at the
// latest correction), the pillars the term before the date (from the
// spring equinox of year 1), and the terms of a year begin in the previous
// one (so year 1 has none of its own).
struct DateRange {
  int firstYear, firstMonth, firstDay;
  int lastYear, lastMonth, lastDay;
};
constexpr DateRange LunarDates{1, 12, 31, 9999, 12, 16};
constexpr DateRange PillarsDates{1, 3, 22, 9999, 12, 30};
constexpr int FirstTermsYear = 2;

std::string DateText(int y, int m, int d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
  return buf;
}

// Refuses, before anything is printed, a moment whose date lies outside the range.
void CheckDate(const DateRange& r, const std::string& command, TDateTime t) {
  const TDateTime first = calendar::EncodeCivilDate(r.firstYear, r.firstMonth, r.firstDay);
  const TDateTime end = calendar::EncodeCivilDate(r.lastYear, r.lastMonth, r.lastDay) + 1;
  if (t >= first && t < end) return;
  const TDateTime shown =
      std::clamp<TDateTime>(t, calendar::EncodeCivilDate(1, 1, 1), calendar::EncodeCivilDate(9999, 12, 31));
  throw UsageError(
      "команда " + command + " считает даты от " + DateText(r.firstYear, r.firstMonth, r.firstDay) + " до " +
      DateText(r.lastYear, r.lastMonth, r.lastDay) + ", а не " + FormatMoment(shown, false).substr(0, 10));
}

// [DATE [TIME]]: the moment given, or now. A date without a time is noon.
TDateTime MomentArgument(const ParsedArgs& a, const Environment& env) {
  NoMorePositional(a, 2);
  if (a.positional.empty()) return env.now();
  const TDateTime date = ParseDate(a.positional[0]);
  return date + (a.positional.size() > 1 ? ParseTime(a.positional[1]) : Noon);
}

// ---- lunar -------------------------------------------------------------

Table LunarTable(std::ostream& out) {
  return Table(out, {"moment", "year_count", "year_in_cycle", "year_branch", "month", "leap_month",
                     "leap_year", "day", "double_hour", "double_hour_caption"});
}

// The listing's lines, made without Row: a line of digits and one of the
// twelve double-hour captions of the correction (made and made safe once),
// the same bytes as Row and FormatMoment give. The header goes out with the
// first line; complete lines are gathered and written in blocks, and the
// ones gathered go out also when a later day fails.
class LunarLines {
 public:
  LunarLines(Table& table, std::ostream& out, const TimeSettings& settings) : table_(table), out_(out) {
    const std::array<std::string, 12> captions = calendar::DoubleHourCaptions(settings);
    for (std::size_t i = 0; i < captions.size(); ++i) captions_[i] = TsvCell(captions[i]);
  }
  LunarLines(const LunarLines&) = delete;
  LunarLines& operator=(const LunarLines&) = delete;
  ~LunarLines() { Write(); }

  void Add(TDateTime t, const calendar::LunarDay& d) {
    if (!started_) {
      table_.Finish();
      started_ = true;
    }
    const calendar::CivilDateTime c = calendar::DecodeCivilDateTime(t);
    if (c.year < 0) {
      lines_ += FormatMoment(t, false);
    } else {
      Number(c.year, 4, '-');
      Number(c.month, 2, '-');
      Number(c.day, 2, 'T');
      Number(c.hour, 2, ':');
      Number(c.minute, 2, ':');
      Number(c.second, 2, '\t');
      lines_.pop_back();
    }
    lines_ += '\t';
    Number(d.lunar.YearCount, 0, '\t');
    Number(d.lunar.YearInCycle, 0, '\t');
    Number(d.yearNumber, 0, '\t');
    Number(d.lunar.Month, 0, '\t');
    Number(d.lunar.LeapMonth ? 1 : 0, 0, '\t');
    Number(d.lunar.LeapYear ? 1 : 0, 0, '\t');
    Number(d.lunar.DayOfMonth, 0, '\t');
    Number(d.doubleHour, 0, '\t');
    lines_ += captions_[static_cast<std::size_t>(d.doubleHour)];
    lines_ += '\n';
    if (lines_.size() >= BlockSize) Write();
  }

 private:
  static constexpr std::size_t BlockSize = 1 << 16;

  // v in decimal, zero-padded to `width` digits (as %0*d), then `after`.
  void Number(int v, int width, char after) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
    const auto n = static_cast<int>(end - digits);
    if (v >= 0 && n < width) lines_.append(static_cast<std::size_t>(width - n), '0');
    lines_.append(digits, end);
    lines_ += after;
  }
  void Write() {
    out_.write(lines_.data(), static_cast<std::streamsize>(lines_.size()));
    lines_.clear();
  }

  Table& table_;
  std::ostream& out_;
  std::array<std::string, 12> captions_;
  std::string lines_;
  bool started_ = false;
};

int Lunar(const std::vector<std::string>& args, std::ostream& out, const Environment& env) {
  const ParsedArgs a = ParseArgs("lunar", args, 1, {"--correction", "--from", "--to", "--time"}, {});
  const TimeSettings settings = TimeSettingsOf(a, env);
  const auto from = a.Value("--from"), to = a.Value("--to"), time = a.Value("--time");
  if (from || to) {
    if (!from || !to) throw UsageError("--from и --to указываются вместе");
    NoMorePositional(a, 0);
    const TDateTime first = ParseDate(*from), last = ParseDate(*to);
    if (last < first) throw UsageError("дата --to раньше даты --from");
    CheckDate(LunarDates, "lunar", first);
    CheckDate(LunarDates, "lunar", last);
    const TDateTime dayTime = time ? ParseTime(*time) : Noon;
    Table table = LunarTable(out);
    LunarLines lines(table, out, settings);
    calendar::LunarDayWalk walk(settings);
    for (TDateTime d = first; d <= last; d += 1) {
      const TDateTime t = d + dayTime;
      lines.Add(t, walk.At(t));
    }
    return 0;
  }
  if (time) throw UsageError("--time задаёт время для --from и --to; одну дату пишите как ДАТА ВРЕМЯ");
  const TDateTime t = MomentArgument(a, env);
  CheckDate(LunarDates, "lunar", t);
  Table table = LunarTable(out);
  LunarLines(table, out, settings).Add(t, calendar::LunarDayOf(t, settings));
  return 0;
}

// ---- pillars -----------------------------------------------------------

int PillarsCommand(const std::vector<std::string>& args, std::ostream& out, const Environment& env) {
  const ParsedArgs a = ParseArgs("pillars", args, 1, {"--correction", "--zone"}, {});
  const TimeSettings settings = TimeSettingsOf(a, env);
  const TDateTime t = MomentArgument(a, env);
  CheckDate(PillarsDates, "pillars", t);
  const calendar::Pillars p = calendar::ComputePillars(t, settings);
  Table(out, {"moment", "year_stem", "year_branch", "month_stem", "month_branch", "day_stem", "day_branch",
              "hour_stem", "hour_branch", "season_branch", "season", "term"})
          .Add()
      << FormatMoment(t, false) << p.yearStem << p.yearBranch << p.monthStem << p.monthBranch << p.dayStem
      << p.dayBranch << p.hourStem << p.hourBranch << p.monthBranch << p.season << p.term;
  return 0;
}

// ---- terms, newmoons, sun ------------------------------------------------

// YEAR [YEAR2]: the first and last year.
std::pair<int, int> YearRange(const std::string& command, const ParsedArgs& a, int firstYear = 1) {
  if (a.positional.empty()) throw UsageError("команде " + command + " нужен год");
  NoMorePositional(a, 2);
  const int first = ParseInt(a.positional[0], firstYear, 9999, "год");
  const int last = a.positional.size() > 1 ? ParseInt(a.positional[1], firstYear, 9999, "год") : first;
  if (last < first) throw UsageError("второй год раньше первого");
  return {first, last};
}

int Terms(const std::vector<std::string>& args, std::ostream& out) {
  const auto [first, last] = YearRange("terms", ParseArgs("terms", args, 1, {}, {}), FirstTermsYear);
  Table table(out, {"year", "k", "instant", "datetime"});
  for (int year = first; year <= last; ++year) {
    for (int k = 0; k < 24; ++k) {
      const TDateTime t = calendar::SolarTermInstant(year, k);
      table.Add() << year << k << Fixed9(t) << FormatMoment(t, true);
    }
  }
  return 0;
}

int NewMoons(const std::vector<std::string>& args, std::ostream& out) {
  const auto [first, last] = YearRange("newmoons", ParseArgs("newmoons", args, 1, {}, {}));
  const TDateTime end = calendar::EncodeCivilDate(last, 12, 31) + 1;
  Table table(out, {"instant", "datetime"});
  for (TDateTime t = astro::NextPhase(astro::mpNewMoon, calendar::EncodeCivilDate(first, 1, 1)); t < end;
       t = astro::NextPhase(astro::mpNewMoon, t + 0.001))
    table.Add() << Fixed9(t) << FormatMoment(t, true);
  table.Finish();
  return 0;
}

int Sun(const std::vector<std::string>& args, std::ostream& out) {
  const ParsedArgs a = ParseArgs("sun", args, 1, {}, {});
  if (a.positional.empty()) throw UsageError("команде sun нужен момент в днях");
  NoMorePositional(a, 1);
  const double t = ParseReal(a.positional[0], "момент");
  // The days of the years 1..9999, where the series and the calendar are meant to be used.
  const double firstDay = calendar::EncodeCivilDate(1, 1, 1),
               endDay = calendar::EncodeCivilDate(9999, 12, 31) + 1;
  if (t < firstDay || t >= endDay)
    throw UsageError(
        "момент должен лежать в годах 1..9999: от " + std::to_string(static_cast<long>(firstDay)) + " до " +
        std::to_string(static_cast<long>(endDay)) + " (не включая), а не «" + a.positional[0] + "»");
  const astro::TSkyCoordinates s = astro::SunCoordinates(t);
  Table(out, {"longitude", "latitude", "radius", "rightascension", "declination"}).Add()
      << Fixed9(s.longitude) << Fixed9(s.latitude) << Fixed9(s.radius) << Fixed9(s.rightascension)
      << Fixed9(s.declination);
  return 0;
}

// ---- cast, yarrow, record ----------------------------------------------

// Every casting below runs through core::Divination, as the window's do.

// --codes K1 .. K6 of `command`: the casting of six line codes, line 1 first.
core::Divination CodesCasting(const std::string& command, const ParsedArgs& a) {
  if (a.positional.size() < 6)
    throw UsageError(command + " --codes ждёт шесть кодов линий, с первой (нижней)");
  NoMorePositional(a, 6);
  core::Divination d;
  for (int i = 0; i < 6; ++i) {
    if (!core::IsValidCode(a.positional[i]))
      throw UsageError("неверный код линии " + std::to_string(i + 1) + ": «" + a.positional[i] +
                       "» (допустимы 544, 548, 584, 588, 944, 948, 984, 988)");
    d.EditLine(i + 1, a.positional[i]);
  }
  d.CastFromCodes();
  return d;
}

// The casting of codes worked out by the program (always valid).
core::Divination CastingOfCodes(const std::array<std::string, 6>& codes) {
  core::Divination d;
  for (int i = 0; i < 6; ++i) d.EditLine(i + 1, codes[static_cast<std::size_t>(i)]);
  d.CastFromCodes();
  return d;
}

// A cast made elsewhere: --lines VALUES, or --hexagram N [--changing L,L..].
core::Divination EnteredCasting(const ParsedArgs& a) {
  NoMorePositional(a, 0);
  core::EnteredCodes e;
  if (const auto v = a.Value("--lines")) {
    e = core::CodesOfLineValues(*v);
    if (!e.ok()) throw UsageError("--lines: " + e.error);
  } else {
    const int number = ParseInt(*a.Value("--hexagram"), 1, 64, "--hexagram");
    std::vector<int> changing;
    if (const auto v = a.Value("--changing"); v && !v->empty()) {
      std::size_t start = 0;
      for (;;) {
        const std::size_t comma = v->find(',', start);
        changing.push_back(ParseInt(v->substr(start, comma - start), 1, 6, "--changing"));
        if (comma == std::string::npos) break;
        start = comma + 1;
      }
    }
    e = core::CodesOfHexagram(number, changing);
    if (!e.ok()) throw UsageError("--changing: " + e.error);
  }
  return CastingOfCodes(e.codes);
}

// The record file of a command, read as `record` reads it. A file that is
// not there or cannot be opened is said so; the window keeps its one
// not-a-record message for every case. One open decides (a pipe put there
// is not waited on).
records::Record RecordOfFile(const std::string& path) {
  const QString file = QFile::decodeName(path.c_str());
  const records::CandidateFile candidate = records::ReadCandidateFile(file, records::MaxRecordSize);
  using records::CandidateProblem;
  if (candidate.problem == CandidateProblem::Missing || candidate.problem == CandidateProblem::DanglingLink)
    throw std::runtime_error("файл " + path + " не существует");
  if (candidate.problem == CandidateProblem::Unreadable)
    throw std::runtime_error("файл " + path + " не удаётся прочитать");
  if (!candidate.bytes || !records::IsRecord(*candidate.bytes))
    throw std::runtime_error(records::NotARecordMessage(file).toStdString());
  return records::DecodeRecord(*candidate.bytes);
}

void NumbersInto(Row& row, const core::Divination& d) {
  const core::Numbers n = d.numbers().value_or(core::Numbers{});
  row << n.primary << n.nuclear << n.changed;
}

// `boundary`: the warnings of a moment near a change of its date (empty for
// cast --date, which has no moment, and for a moment far from any change).
void DateCastingRow(std::ostream& out, int year, int month, int day, int hour, const std::string& boundary) {
  core::Divination d;
  d.SetDate({year - 1, month - 1, day - 1, hour});
  d.CastFromDate();
  Row row =
      Table(out, {"upper", "lower", "changing_line", "primary", "nuclear", "changed", "status", "boundary"})
          .Add();
  row << d.dateNumbers().upperTrigram << d.dateNumbers().lowerTrigram << d.dateNumbers().changingLine;
  NumbersInto(row, d);
  row << d.CastDateText() << boundary;
}

int Cast(const std::vector<std::string>& args, std::ostream& out, const Environment& env) {
  const ParsedArgs a = ParseArgs(
      "cast", args, 1, {"--correction", "--boundary-minutes", "--lines", "--hexagram", "--changing"},
      {"--codes", "--date", "--now"});
  const bool entered = a.Value("--lines") || a.Value("--hexagram");
  const int modes =
      a.Flag("--codes") + a.Flag("--date") + a.Flag("--now") + !!a.Value("--lines") + !!a.Value("--hexagram");
  if (modes != 1)
    throw UsageError("команде cast нужен ровно один из способов --codes, --lines, --hexagram, --date, --now");
  if (a.Value("--changing") && !a.Value("--hexagram"))
    throw UsageError("--changing относится только к cast --hexagram");
  if (a.Value("--correction") && !a.Flag("--now"))
    throw UsageError("--correction относится только к cast --now");
  if (a.Value("--boundary-minutes") && !a.Flag("--now"))
    throw UsageError("--boundary-minutes относится только к cast --now");

  if (a.Flag("--codes") || entered) {
    const core::Divination d = entered ? EnteredCasting(a) : CodesCasting("cast", a);
    Table table(out, {"primary", "nuclear", "changed"});
    Row row = table.Add();
    NumbersInto(row, d);
    return 0;
  }
  if (a.Flag("--date")) {
    if (a.positional.size() < 4) throw UsageError("cast --date ждёт ГОД МЕСЯЦ ДЕНЬ ЧАС");
    NoMorePositional(a, 4);
    const int year = ParseInt(a.positional[0], 1, 12, "номер года");
    const int month = ParseInt(a.positional[1], 1, 12, "лунный месяц");
    const int day = ParseInt(a.positional[2], 1, 30, "лунный день");
    const int hour = ParseInt(a.positional[3], 0, 11, "двухчасовка");
    DateCastingRow(out, year, month, day, hour, {});
    return 0;
  }
  NoMorePositional(a, 0);
  const auto minutes = a.Value("--boundary-minutes");
  const int window = minutes ? ParseInt(*minutes, 0, core::MaxBoundaryMinutes, "--boundary-minutes")
                     : env.boundaryMinutes ? env.boundaryMinutes()
                                           : core::DefaultBoundaryMinutes;
  const astro::TDateTime now = env.now();
  const TimeSettings settings = TimeSettingsOf(a, env);
  const calendar::LunarDay d = calendar::LunarDayOf(now, settings);
  DateCastingRow(out, d.yearNumber, d.lunar.Month, d.lunar.DayOfMonth, d.doubleHour,
                 core::BoundaryWarningsLine(core::BoundaryWarnings(now, settings, window)));
  return 0;
}

int Yarrow(const std::vector<std::string>& args, std::ostream& out, const Environment& env) {
  const ParsedArgs a = ParseArgs("yarrow", args, 1, {"--clock"}, {});
  NoMorePositional(a, 0);
  core::ClockNumber clock = env.clockNumber;
  if (const auto v = a.Value("--clock")) {
    const int n = ParseInt(*v, 0, 5959, "--clock");
    if (n % 100 > 59) throw UsageError("--clock — минуты и секунды ММСС, а не «" + *v + "»");
    clock = [n] { return n; };
  }
  core::RandomGenerator rng;  // a freshly started program: state 0
  core::Divination d;
  // The eighteen divisions, each on the division button the procedure enables.
  d.BeginMilfoil();
  while (d.yarrowActive()) d.Divide(d.yarrowDivision(), rng, clock);
  Table table(out, {"line1", "line2", "line3", "line4", "line5", "line6", "primary", "nuclear", "changed"});
  Row row = table.Add();
  for (const std::string& line : d.lineCodes()) row << line;
  NumbersInto(row, d);
  return 0;
}

// Three coins thrown six times: each throw, then the figures as cast
// --codes prints them.
int CoinsCommand(const std::vector<std::string>& args, std::ostream& out, const Environment& env) {
  const ParsedArgs a = ParseArgs("coins", args, 1, {"--seed"}, {});
  NoMorePositional(a, 0);
  core::CoinSource coins = env.coins ? env.coins : core::SystemCoins();
  if (const auto v = a.Value("--seed"))
    coins = core::SeededCoins(static_cast<std::uint64_t>(ParseInt(*v, 0, 999999999, "--seed")));
  const std::array<core::CoinThrow, 6> lines = core::CastCoins(coins);
  std::array<std::string, 6> codes;
  {
    Table table(out, {"line", "coins", "value", "code"});
    for (int i = 0; i < 6; ++i) {
      const core::CoinThrow& t = lines[static_cast<std::size_t>(i)];
      codes[static_cast<std::size_t>(i)] = t.code();
      table.Add() << i + 1 << t.text() << t.value() << std::string(t.code());
    }
  }
  const core::Divination d = CastingOfCodes(codes);
  Table table(out, {"primary", "nuclear", "changed"});
  Row row = table.Add();
  NumbersInto(row, d);
  return 0;
}

int RecordCommand(const std::vector<std::string>& args, std::ostream& out) {
  const ParsedArgs a = ParseArgs("record", args, 1, {}, {});
  if (a.positional.empty()) throw UsageError("команде record нужен файл записи");
  NoMorePositional(a, 1);
  const records::Record r = RecordOfFile(a.positional[0]);

  Table table(out, {"key", "value"});
  auto field = [&table](const char* key, const QString& value) { table.Add() << key << value.toStdString(); };
  for (int i = 0; i < 6; ++i) field(records::LineKeys[i], r.lineCodes[i]);
  field(records::NoteKey, r.note);
  table.Add() << records::YearKey << r.yah;
  table.Add() << records::MonthKey << r.mon;
  table.Add() << records::DayKey << r.day;
  table.Add() << records::HourKey << r.hour;
  table.Add() << records::CastFromDateKey << r.btn2;
  for (int i = 0; i < 6; ++i) table.Add() << records::FigureKeys[i] << r.gua[i];
  table.Add() << records::ChangingLineKey << r.jaoNo;

  // The figures the window shows after opening the record; no numbers while
  // a line code is invalid.
  core::Divination d;
  records::Restore(d, r);
  const std::optional<core::Numbers> n = d.numbers();
  auto number = [&n](int core::Numbers::*which) { return n ? std::to_string((*n).*which) : std::string(); };
  table.Add() << "primary" << number(&core::Numbers::primary);
  table.Add() << "nuclear" << number(&core::Numbers::nuclear);
  table.Add() << "changed" << number(&core::Numbers::changed);
  // The moment of the cast as the record keeps it: the section's keys, then
  // the whole in one line (or that the record keeps no moment).
  if (r.context)
    for (const auto& [key, value] : records::ContextValues(*r.context))
      table.Add() << key.toStdString() << value.toStdString();
  table.Add() << "context"
              << (r.context ? core::ContextText(*r.context) : std::string(core::UnknownMomentText));
  if (!r.comments.isEmpty())
    for (const QStringView line : QStringTokenizer(r.comments, u'\n'))
      table.Add() << "comment" << line.toString().toStdString();
  return 0;
}

// ---- reading -------------------------------------------------------------

// The texts that answer a cast, by the rule of core/reading.h, as plain
// text: the rule's sentence, then every selected text under its heading.
int ReadingCommand(const std::vector<std::string>& args, std::ostream& out) {
  const ParsedArgs a = ParseArgs("reading", args, 1, {}, {"--codes"});
  core::Divination d;
  if (a.Flag("--codes")) {
    d = CodesCasting("reading", a);
  } else {
    if (a.positional.empty()) throw UsageError("команде reading нужен файл записи или --codes и шесть кодов");
    NoMorePositional(a, 1);
    records::Restore(d, RecordOfFile(a.positional[0]));
    // The figures the window shows after opening the record: none while a
    // line code is invalid.
    if (!d.numbers())
      throw std::runtime_error("в записи " + a.positional[0] +
                               " нет гуа: коды линий не заполнены или неверны, а гадание не по дате");
  }
  const std::string text =
      core::PlainReadingText(core::TextsOfReading(d.figure(core::Primary), d.ChangingLines()));
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return 0;
}

int Dispatch(const std::vector<std::string>& args, std::ostream& out, const Environment& env) {
  const std::string& command = args[0];
  if (command == "lunar") return Lunar(args, out, env);
  if (command == "pillars") return PillarsCommand(args, out, env);
  if (command == "terms") return Terms(args, out);
  if (command == "newmoons") return NewMoons(args, out);
  if (command == "sun") return Sun(args, out);
  if (command == "cast") return Cast(args, out, env);
  if (command == "yarrow") return Yarrow(args, out, env);
  if (command == "coins") return CoinsCommand(args, out, env);
  if (command == "record") return RecordCommand(args, out);
  if (command == "reading") return ReadingCommand(args, out);
  if (command == "journal") return JournalCommand(args, out);
  if (command == "stats") return StatsCommand(args, out);
  if (command == "sheet") return SheetCommand(args, out, env);
  throw UsageError("неизвестная команда «" + command + "»; список команд: kalynth-calc --help");
}

}  // namespace

static bool HasSign(const std::string& text) {
  return !text.empty() && (text[0] == '+' || text[0] == '-');
}

// The stored settings, with --correction and --zone (where the command
// takes them) in their place. A value with a sign is hours, one without
// the index of the settings dialog's list.
TimeSettings TimeSettingsOf(const ParsedArgs& a, const Environment& env) {
  TimeSettings s = env.timeSettings ? env.timeSettings() : TimeSettings{};
  if (const auto v = a.Value("--correction"))
    s.correctionHours =
        HasSign(*v) ? ParseInt(*v, -3, 3, "--correction")
                    : TimeSettings::FromIndexes(ParseInt(*v, 0, 6, "--correction"), 0).correctionHours;
  if (const auto v = a.Value("--zone"))
    s.zoneHours = HasSign(*v) ? ParseInt(*v, -12, 13, "--zone")
                              : *TimeSettings::FromIndexes(0, ParseInt(*v, 0, 25, "--zone")).zoneHours;
  return s;
}

Environment SystemEnvironment() {
  Environment env;
  env.now = [] {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    return calendar::EncodeCivilDateTime({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                          local.tm_hour, local.tm_min, local.tm_sec == 60 ? 59 : local.tm_sec,
                                          static_cast<int>(ms < 0 ? 0 : ms)});
  };
  env.clockNumber = core::SystemClockNumber();
  env.timeSettings = StoredTimeSettings;
  env.boundaryMinutes = [] {
    return std::clamp(ui::SettingsStore().read(ui::settings::SetBoundaryMinutes), 0,
                      core::MaxBoundaryMinutes);
  };
  return env;
}

TimeSettings StoredTimeSettings() {
  // With no zone stored, the desktop's offset, as the window takes it.
  return ui::StoredTimeSettings(ui::SettingsStore(), QDateTime::currentDateTime().offsetFromUtc());
}

int RunCalc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            const Environment& env) {
  if (args.empty()) {
    err << "kalynth-calc: не указана команда; справка: kalynth-calc --help\n";
    return 2;
  }
  const bool help = args[0] == "help" || args[0] == "-h" ||
                    std::find(args.begin(), args.end(), std::string("--help")) != args.end();
  if (help) {
    out << HelpText();
    return out.flush() ? 0 : 2;
  }
  try {
    const int status = Dispatch(args, out, env);
    if (!out.flush()) {
      err << "kalynth-calc: не удалось записать результат\n";
      return 2;
    }
    return status;
  } catch (const UsageError& e) {
    out.flush();
    err << "kalynth-calc: " << e.what() << '\n';
  } catch (const std::exception& e) {
    // Errors of the kernel, the calendar and the record reader, with their own text.
    out.flush();
    err << "kalynth-calc: " << e.what() << '\n';
  }
  return 2;
}

}  // namespace cli
