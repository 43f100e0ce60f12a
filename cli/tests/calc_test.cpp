// The commands of kalynth-calc, run in process with a fixed clock.
#include "cli/calc.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "calendar/civil.h"
#include "cli/tsv.h"
#include "core/hextexts.h"
#include "core/stats.h"
#include "records/record.h"

namespace cli {
namespace {

struct Result {
  int status = -1;
  std::string out, err;
};

// The fixed "now" of these tests: 10 February 2024 12:00 (lunar New Year),
// and the clock number 1234 for every draw.
Environment FixedEnvironment(astro::TDateTime now = calendar::EncodeCivilDateTime({2024, 2, 10, 12, 0, 0,
                                                                                   0})) {
  return Environment{[now] { return now; }, [] { return 1234; }, {}, {}, {}};
}

Result Calc(const std::vector<std::string>& args, const Environment& env = FixedEnvironment()) {
  std::ostringstream out, err;
  Result r;
  r.status = RunCalc(args, out, err, env);
  r.out = out.str();
  r.err = err.str();
  return r;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
    fields.push_back(line.substr(start, tab - start));
  fields.push_back(line.substr(start));
  return fields;
}

// ---- successful commands: header and rows -----------------------------

struct OutputCase {
  const char* what;
  std::vector<std::string> args;
  std::vector<std::string> lines;  // header first
};

// Lunar dates and pillars as worked out for the calendar (see the calendar
// tests); castings as worked out for the divination core.
const char* const LunarHeader =
    "moment\tyear_count\tyear_in_cycle\tyear_branch\tmonth\tleap_month\tleap_year\tday\tdouble_hour\t"
    "double_hour_caption";
const char* const CastHeader = "upper\tlower\tchanging_line\tprimary\tnuclear\tchanged\tstatus\tboundary";
const char* const YarrowHeader = "line1\tline2\tline3\tline4\tline5\tline6\tprimary\tnuclear\tchanged";

TEST(KalynthCalc, CommandsPrintTheirRows) {
  const OutputCase cases[] = {
      {"lunar date at midday",
       {"lunar", "2000-01-01"},
       {LunarHeader, "2000-01-01T12:00:00\t4636\t16\t4\t11\t0\t0\t25\t6\tУ | 11-13"}},
      {"23:30 is Zi of the next date",
       {"lunar", "2024-02-09", "23:30"},
       {LunarHeader, "2024-02-09T23:30:00\t4661\t41\t5\t1\t0\t0\t1\t0\tЦзы | 23-1"}},
      {"with +1 it is Hai of the same date",
       {"lunar", "2024-02-09", "23:30:15", "--correction", "4"},
       {LunarHeader, "2024-02-09T23:30:15\t4660\t40\t4\t12\t0\t0\t30\t11\tХай | 22-0"}},
      {"a leap month",
       {"lunar", "--correction=3", "2023-04-01"},
       {LunarHeader, "2023-04-01T12:00:00\t4660\t40\t4\t2\t1\t1\t11\t6\tУ | 11-13"}},
      {"now", {"lunar"}, {LunarHeader, "2024-02-10T12:00:00\t4661\t41\t5\t1\t0\t0\t1\t6\tУ | 11-13"}},
      {"a range of days",
       {"lunar", "--from", "2024-02-08", "--to", "2024-02-11", "--time", "06:00"},
       {LunarHeader, "2024-02-08T06:00:00\t4660\t40\t4\t12\t0\t0\t29\t3\tМао | 5-7",
        "2024-02-09T06:00:00\t4660\t40\t4\t12\t0\t0\t30\t3\tМао | 5-7",
        "2024-02-10T06:00:00\t4661\t41\t5\t1\t0\t0\t1\t3\tМао | 5-7",
        "2024-02-11T06:00:00\t4661\t41\t5\t1\t0\t0\t2\t3\tМао | 5-7"}},
      {"the calendar window's pillars",
       {"pillars", "2000-01-01", "12:00"},
       {"moment\tyear_stem\tyear_branch\tmonth_stem\tmonth_branch\tday_stem\tday_branch\thour_stem\thour_"
        "branch\t"
        "season_branch\tseason\tterm",
        "2000-01-01T12:00:00\t6\t4\t3\t1\t5\t7\t5\t7\t1\tСередина зимы\tЗимнее солнцестояние"}},
      {"the first new moons of 2000 (kernel: 6 January 18:14:45)", {"newmoons", "2000"}, {}},
      {"codes with one changing line",
       {"cast", "--codes", "588", "588", "544", "588", "588", "588"},
       {"primary\tnuclear\tchanged", "1\t37\t10"}},
      {"line values 7 8 9 6 9 8", {"cast", "--lines", "789698"}, {"primary\tnuclear\tchanged", "63\t64\t51"}},
      {"hexagram 11 with lines 3 and 5 changing",
       {"cast", "--hexagram", "11", "--changing", "3,5"},
       {"primary\tnuclear\tchanged", "11\t54\t60"}},
      {"hexagram 11 without changing lines",
       {"cast", "--hexagram=11"},
       {"primary\tnuclear\tchanged", "11\t54\t11"}},
      {"date casting 5 3 15 U",
       {"cast", "--date", "5", "3", "15", "6"},
       {CastHeader, "7\t6\t6\t4\t24\t7\tГуа на год 5, месяц 3, день 15, час У\t"}},
      {"date casting with remainders 0",
       {"cast", "--date", "1", "1", "6", "7"},
       {CastHeader, "8\t8\t4\t2\t39\t16\tГуа на год 1, месяц 1, день 6, час Вэй\t"}},
      {"date casting at the end of the lists",
       {"cast", "--date", "12", "12", "30", "11"},
       {CastHeader, "6\t2\t6\t60\t27\t61\tГуа на год 12, месяц 12, день 30, час Хай\t"}},
      {"now: New Year's day, Wu hour",
       {"cast", "--now"},
       {CastHeader, "7\t6\t2\t4\t24\t23\tГуа на год 5, месяц 1, день 1, час У\t"}},
      {"yarrow stalks with the clock number 1234",
       {"yarrow", "--clock", "1234"},
       {YarrowHeader, "588\t588\t544\t544\t984\t948\t1\t27\t61"}},
      {"yarrow stalks with the clock number 0",
       {"yarrow", "--clock=0"},
       {YarrowHeader, "544\t544\t544\t544\t544\t544\t1\t1\t2"}},
      {"yarrow stalks with the machine's clock",
       {"yarrow"},
       {YarrowHeader, "588\t588\t544\t544\t984\t948\t1\t27\t61"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Result r = Calc(c.args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    if (!c.lines.empty()) {
      EXPECT_EQ(Lines(r.out), c.lines);
    }
  }
}

TEST(KalynthCalc, CastNowUsesTheLunarDateOfTheCorrectedMoment) {
  // 21:00 with "-3" is 00:00 of New Year's day: year 5, month 1, day 1, Zi.
  const Environment evening = FixedEnvironment(calendar::EncodeCivilDateTime({2024, 2, 9, 21, 0, 0, 0}));
  EXPECT_EQ(Calc({"cast", "--now", "--correction", "0"}, evening).out,
            Calc({"cast", "--date", "5", "1", "1", "0"}).out);
  // Without "-3" it is 21:00, Hai of the last day of month 12, a change of
  // the double hour that the last column warns of.
  EXPECT_EQ(Calc({"cast", "--now", "--boundary-minutes", "0"}, evening).out,
            Calc({"cast", "--date", "4", "12", "30", "11"}).out);
  EXPECT_EQ(Fields(Lines(Calc({"cast", "--now"}, evening).out).at(1)).back(),
            "После смены двойного часа прошло меньше минуты: до 21:00 — час Сюй; по ту сторону гуа 5, 38, "
            "60, черта 3");
}

// The last column of cast --now warns of a change of the date within the
// minutes of --boundary-minutes (5 unless given), naming the hexagrams of
// the other side; the casting itself keeps the moment's own date. The new
// moon of 2024-02-09 23:00:15 (kalynth-calc newmoons 2024) falls on 10
// February China time, so the lunar year begins at 23:00 of 9 February.
TEST(KalynthCalc, CastNowWarnsNearAChangeOfTheDate) {
  auto at = [](int day, int h, int mi) {
    return FixedEnvironment(calendar::EncodeCivilDateTime({2024, 2, day, h, mi, 0, 0}));
  };
  // The minutes as the settings dialog stored them.
  auto stored = [](Environment env, int minutes) {
    env.boundaryMinutes = [minutes] { return minutes; };
    return env;
  };
  struct Case {
    const char* what;
    Environment env;
    std::vector<std::string> options;
    std::vector<std::string> cast;  // cast --date of the moment's own date
    const char* boundary;
  };
  const Case cases[] = {
      {"Shen in 2 minutes",
       at(10, 14, 58),
       {},
       {"5", "1", "1", "7"},
       "До смены двойного часа 2 мин: после 15:00 — час Шэнь; по ту сторону гуа 23, 2, 35, черта 4"},
      {"a window of 1 minute", at(10, 14, 58), {"--boundary-minutes", "1"}, {"5", "1", "1", "7"}, ""},
      {"a window of 0 minutes", at(9, 22, 58), {"--boundary-minutes=0"}, {"4", "12", "30", "11"}, ""},
      {"the new year in 2 minutes",
       at(9, 22, 58),
       {},
       {"4", "12", "30", "11"},
       "До начала лунного года 2 мин: после 23:00 — год 5, месяц 1, день 1, час Цзы; по ту сторону гуа 23, "
       "2, 4, "
       "черта 2"},
      {"with +1 the new year is at 00:00",
       at(9, 23, 58),
       {"--correction", "+1"},
       {"4", "12", "30", "11"},
       "До начала лунного года 2 мин: после 00:00 — год 5, месяц 1, день 1, час Цзы; по ту сторону гуа 23, "
       "2, 4, "
       "черта 2"},
      {"with +1 22:58 is far from it", at(9, 22, 58), {"--correction", "+1"}, {"4", "12", "30", "11"}, ""},
      {"midday", at(10, 12, 0), {}, {"5", "1", "1", "6"}, ""},
      {"stored 0: no warning", stored(at(10, 14, 58), 0), {}, {"5", "1", "1", "7"}, ""},
      {"stored 0, the option wins",
       stored(at(10, 14, 58), 0),
       {"--boundary-minutes", "3"},
       {"5", "1", "1", "7"},
       "До смены двойного часа 2 мин: после 15:00 — час Шэнь; по ту сторону гуа 23, 2, 35, черта 4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> args{"cast", "--now"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const Result r = Calc(args, c.env);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], CastHeader);
    std::vector<std::string> date{"cast", "--date"};
    date.insert(date.end(), c.cast.begin(), c.cast.end());
    std::vector<std::string> fields = Fields(lines[1]);
    EXPECT_EQ(fields.back(), c.boundary);
    fields.back().clear();
    std::vector<std::string> own = Fields(Lines(Calc(date).out).at(1));
    EXPECT_EQ(fields, own);
  }
}

TEST(KalynthCalc, TermsAndNewMoons) {
  const std::vector<std::string> terms = Lines(Calc({"terms", "2024", "2025"}).out);
  ASSERT_EQ(terms.size(), 1u + 48);
  EXPECT_EQ(terms[0], "year\tk\tinstant\tdatetime");
  for (std::size_t i = 1; i < terms.size(); ++i) {
    const std::vector<std::string> f = Fields(terms[i]);
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[0], i <= 24 ? "2024" : "2025");
    EXPECT_EQ(f[1], std::to_string((i - 1) % 24));
    EXPECT_EQ(f[2].size() - f[2].find('.'), 10u) << "nine decimals: " << f[2];
    EXPECT_EQ(f[3].substr(0, 4), f[0]) << "term in its own calendar year";
  }
  // The spring equinox of 2024: 20 March 03:06 UT, a minute later on the
  // kernel's scale without delta-T.
  EXPECT_EQ(Fields(terms[1])[3].substr(0, 15), "2024-03-20T03:0");

  const std::vector<std::string> moons = Lines(Calc({"newmoons", "2000"}).out);
  ASSERT_EQ(moons.size(), 1u + 13);  // 6 January .. 25 December 2000
  EXPECT_EQ(moons[0], "instant\tdatetime");
  EXPECT_EQ(Fields(moons[1])[1], "2000-01-06T18:14:45");
  EXPECT_NEAR(std::stod(Fields(moons[1])[0]), 36531.76025, 1e-5);
  EXPECT_EQ(Fields(moons[13])[1].substr(0, 10), "2000-12-25");
  for (std::size_t i = 2; i < moons.size(); ++i)
    EXPECT_NEAR(std::stod(Fields(moons[i])[0]) - std::stod(Fields(moons[i - 1])[0]), 29.53, 0.4);
}

TEST(KalynthCalc, SunPosition) {
  // 1992-10-13 0h: Meeus, Astronomical Algorithms, example 25.b with the
  // full VSOP87 (longitude 199.90596, R 0.99760775 AU, alpha 198.37812,
  // delta -7.78382). J2000.0: longitude 280.36814 as the kernel is checked
  // against; alpha -78.7226 and delta -23.0327 of an independent ephemeris,
  // R about 0.98333 AU. Tolerances per column.
  const struct {
    const char* day;
    double longitude, radius, rightAscension, declination;
    double tolLongitude, tolRadius, tolEquatorial;
  } cases[] = {
      {"33890", 199.90596, 149240109, 198.37812, -7.78382, 1e-5, 1, 1e-4},
      {"36526.5", 280.36814, 147102000, -78.7226, -23.0327, 1e-5, 2e4, 5e-4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.day);
    const std::vector<std::string> lines = Lines(Calc({"sun", c.day}).out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "longitude\tlatitude\tradius\trightascension\tdeclination");
    const std::vector<std::string> f = Fields(lines[1]);
    ASSERT_EQ(f.size(), 5u);
    EXPECT_NEAR(std::stod(f[0]), c.longitude, c.tolLongitude);
    EXPECT_NEAR(std::stod(f[2]), c.radius, c.tolRadius);
    EXPECT_NEAR(std::stod(f[3]), c.rightAscension, c.tolEquatorial);
    EXPECT_NEAR(std::stod(f[4]), c.declination, c.tolEquatorial);
    for (const std::string& v : f) EXPECT_EQ(v.size() - v.find('.'), 10u) << v;
  }
}

// ---- errors: one line on stderr, status 2 -----------------------------

struct ErrorCase {
  std::vector<std::string> args;
  const char* err;  // the whole line, without its line end
};

TEST(KalynthCalc, BadArgumentsGiveOneLineAndStatus2) {
  const ErrorCase cases[] = {
      {{}, "kalynth-calc: не указана команда; справка: kalynth-calc --help"},
      {{"moon"}, "kalynth-calc: неизвестная команда «moon»; список команд: kalynth-calc --help"},
      {{"lunar", "2023-02-30"},
       "kalynth-calc: неверная дата «2023-02-30»: нужна дата ГГГГ-ММ-ДД с годом от 0001 до 9999"},
      {{"lunar", "2023-2-3"},
       "kalynth-calc: неверная дата «2023-2-3»: нужна дата ГГГГ-ММ-ДД с годом от 0001 до 9999"},
      {{"lunar", "0000-01-01"},
       "kalynth-calc: неверная дата «0000-01-01»: нужна дата ГГГГ-ММ-ДД с годом от 0001 до 9999"},
      {{"lunar", "2023-02-03", "24:00"},
       "kalynth-calc: неверное время «24:00»: нужно ЧЧ:ММ или ЧЧ:ММ:СС от 00:00 до 23:59:59"},
      {{"lunar", "2023-02-03", "9:30"},
       "kalynth-calc: неверное время «9:30»: нужно ЧЧ:ММ или ЧЧ:ММ:СС от 00:00 до 23:59:59"},
      {{"lunar", "--correction", "7"}, "kalynth-calc: --correction: нужно целое число от 0 до 6, а не «7»"},
      {{"lunar", "--correction", "-4"},
       "kalynth-calc: --correction: нужно целое число от -3 до 3, а не «-4»"},
      {{"lunar", "--correction", "+4"},
       "kalynth-calc: --correction: нужно целое число от -3 до 3, а не «+4»"},
      {{"lunar", "--correction", "3x"}, "kalynth-calc: --correction: нужно целое число от 0 до 6, а не «3x»"},
      {{"lunar", "--correction"}, "kalynth-calc: после --correction нужно значение"},
      {{"lunar", "--correction", "1", "--correction", "2"}, "kalynth-calc: --correction указан дважды"},
      {{"lunar", "--zone", "3"}, "kalynth-calc: команда lunar не знает параметра «--zone»"},
      {{"lunar", "2024-01-01", "10:00", "x"}, "kalynth-calc: лишний аргумент «x»"},
      {{"lunar", "--from", "2024-01-02"}, "kalynth-calc: --from и --to указываются вместе"},
      {{"lunar", "--from", "2024-01-02", "--to", "2024-01-01"}, "kalynth-calc: дата --to раньше даты --from"},
      {{"lunar", "--from", "2024-01-01", "--to", "2024-01-02", "2024-01-01"},
       "kalynth-calc: лишний аргумент «2024-01-01»"},
      {{"lunar", "--time", "10:00"},
       "kalynth-calc: --time задаёт время для --from и --to; одну дату пишите как ДАТА ВРЕМЯ"},
      {{"pillars", "--zone", "26"}, "kalynth-calc: --zone: нужно целое число от 0 до 25, а не «26»"},
      {{"pillars", "--zone", "+14"}, "kalynth-calc: --zone: нужно целое число от -12 до 13, а не «+14»"},
      {{"pillars", "--zone", "-13"}, "kalynth-calc: --zone: нужно целое число от -12 до 13, а не «-13»"},
      {{"terms"}, "kalynth-calc: команде terms нужен год"},
      {{"terms", "0"}, "kalynth-calc: год: нужно целое число от 2 до 9999, а не «0»"},
      {{"terms", "1"}, "kalynth-calc: год: нужно целое число от 2 до 9999, а не «1»"},
      {{"terms", "1", "9999"}, "kalynth-calc: год: нужно целое число от 2 до 9999, а не «1»"},
      {{"terms", "20x4"}, "kalynth-calc: год: нужно целое число от 2 до 9999, а не «20x4»"},
      // The calendar's range, refused before any row.
      {{"lunar", "0001-01-01"},
       "kalynth-calc: команда lunar считает даты от 0001-12-31 до 9999-12-16, а не 0001-01-01"},
      {{"lunar", "0001-12-30", "23:59"},
       "kalynth-calc: команда lunar считает даты от 0001-12-31 до 9999-12-16, а не 0001-12-30"},
      {{"lunar", "9999-12-17", "00:00"},
       "kalynth-calc: команда lunar считает даты от 0001-12-31 до 9999-12-16, а не 9999-12-17"},
      {{"lunar", "--from", "9999-12-01", "--to", "9999-12-31"},
       "kalynth-calc: команда lunar считает даты от 0001-12-31 до 9999-12-16, а не 9999-12-31"},
      {{"lunar", "--from", "0001-03-01", "--to", "0002-01-01"},
       "kalynth-calc: команда lunar считает даты от 0001-12-31 до 9999-12-16, а не 0001-03-01"},
      {{"pillars", "0001-01-01"},
       "kalynth-calc: команда pillars считает даты от 0001-03-22 до 9999-12-30, а не 0001-01-01"},
      {{"pillars", "0001-03-21", "23:59"},
       "kalynth-calc: команда pillars считает даты от 0001-03-22 до 9999-12-30, а не 0001-03-21"},
      {{"pillars", "9999-12-31"},
       "kalynth-calc: команда pillars считает даты от 0001-03-22 до 9999-12-30, а не 9999-12-31"},
      {{"terms", "2025", "2024"}, "kalynth-calc: второй год раньше первого"},
      {{"newmoons", "10000"}, "kalynth-calc: год: нужно целое число от 1 до 9999, а не «10000»"},
      {{"sun"}, "kalynth-calc: команде sun нужен момент в днях"},
      {{"sun", "abc"}, "kalynth-calc: момент: нужно конечное число, а не «abc»"},
      {{"sun", "nan"}, "kalynth-calc: момент: нужно конечное число, а не «nan»"},
      {{"sun", "1e400"}, "kalynth-calc: момент: нужно конечное число, а не «1e400»"},
      {{"sun", "-1e300"},
       "kalynth-calc: момент должен лежать в годах 1..9999: от -693593 до 2958466 (не включая), а не "
       "«-1e300»"},
      {{"sun", "2958466"},
       "kalynth-calc: момент должен лежать в годах 1..9999: от -693593 до 2958466 (не включая), а не "
       "«2958466»"},
      {{"cast"},
       "kalynth-calc: команде cast нужен ровно один из способов --codes, --lines, --hexagram, --date, --now"},
      {{"cast", "--codes", "--now"},
       "kalynth-calc: команде cast нужен ровно один из способов --codes, --lines, --hexagram, --date, --now"},
      {{"cast", "--codes", "588"}, "kalynth-calc: cast --codes ждёт шесть кодов линий, с первой (нижней)"},
      {{"cast", "--lines", "789598"},
       "kalynth-calc: --lines: Знак 4 «5» — не значение черты: нужны 6, 7, 8 или 9"},
      {{"cast", "--lines", "78969"},
       "kalynth-calc: --lines: Нужно ровно шесть значений черт (6, 7, 8 или 9), с первой (нижней), а введено "
       "5 "
       "знаков"},
      {{"cast", "--lines", "789698", "7"}, "kalynth-calc: лишний аргумент «7»"},
      {{"cast", "--lines", "789698", "--codes"},
       "kalynth-calc: команде cast нужен ровно один из способов --codes, --lines, --hexagram, --date, --now"},
      {{"cast", "--lines", "789698", "--hexagram", "1"},
       "kalynth-calc: команде cast нужен ровно один из способов --codes, --lines, --hexagram, --date, --now"},
      {{"cast", "--hexagram", "65"}, "kalynth-calc: --hexagram: нужно целое число от 1 до 64, а не «65»"},
      {{"cast", "--hexagram", "11", "--changing", "3,7"},
       "kalynth-calc: --changing: нужно целое число от 1 до 6, а не «7»"},
      {{"cast", "--hexagram", "11", "--changing", "3,,5"},
       "kalynth-calc: --changing: нужно целое число от 1 до 6, а не «»"},
      {{"cast", "--hexagram", "11", "--changing", "3,5,3"},
       "kalynth-calc: --changing: Черта 3 названа изменяющейся дважды"},
      {{"cast", "--lines", "789698", "--changing", "3"},
       "kalynth-calc: --changing относится только к cast --hexagram"},
      {{"cast", "--codes", "588", "588", "545", "588", "588", "588"},
       "kalynth-calc: неверный код линии 3: «545» (допустимы 544, 548, 584, 588, 944, 948, 984, 988)"},
      {{"cast", "--codes", "588", "588", "588", "588", "588", " 588"},
       "kalynth-calc: неверный код линии 6: « 588» (допустимы 544, 548, 584, 588, 944, 948, 984, 988)"},
      {{"cast", "--codes", "588", "588", "588", "588", "588", "588", "588"},
       "kalynth-calc: лишний аргумент «588»"},
      {{"cast", "--date", "13", "1", "1", "0"},
       "kalynth-calc: номер года: нужно целое число от 1 до 12, а не «13»"},
      {{"cast", "--date", "1", "0", "1", "0"},
       "kalynth-calc: лунный месяц: нужно целое число от 1 до 12, а не «0»"},
      {{"cast", "--date", "1", "1", "31", "0"},
       "kalynth-calc: лунный день: нужно целое число от 1 до 30, а не «31»"},
      {{"cast", "--date", "1", "1", "1", "12"},
       "kalynth-calc: двухчасовка: нужно целое число от 0 до 11, а не «12»"},
      {{"cast", "--date", "1", "1", "1"}, "kalynth-calc: cast --date ждёт ГОД МЕСЯЦ ДЕНЬ ЧАС"},
      {{"cast", "--date", "1", "1", "1", "1", "--correction", "3"},
       "kalynth-calc: --correction относится только к cast --now"},
      {{"cast", "--date", "1", "1", "1", "1", "--boundary-minutes", "3"},
       "kalynth-calc: --boundary-minutes относится только к cast --now"},
      {{"cast", "--now", "--boundary-minutes", "121"},
       "kalynth-calc: --boundary-minutes: нужно целое число от 0 до 120, а не «121»"},
      {{"cast", "--now", "--boundary-minutes", "-1"},
       "kalynth-calc: --boundary-minutes: нужно целое число от 0 до 120, а не «-1»"},
      {{"yarrow", "--clock", "6000"}, "kalynth-calc: --clock: нужно целое число от 0 до 5959, а не «6000»"},
      {{"yarrow", "--clock", "1260"}, "kalynth-calc: --clock — минуты и секунды ММСС, а не «1260»"},
      {{"yarrow", "7"}, "kalynth-calc: лишний аргумент «7»"},
      {{"coins", "7"}, "kalynth-calc: лишний аргумент «7»"},
      {{"coins", "--seed", "x"}, "kalynth-calc: --seed: нужно целое число от 0 до 999999999, а не «x»"},
      {{"journal", ".", "--format", "xml"}, "kalynth-calc: --format: нужен tsv, csv или json, а не «xml»"},
      {{"journal", ".", "--format", "CSV"}, "kalynth-calc: --format: нужен tsv, csv или json, а не «CSV»"},
      {{"record"}, "kalynth-calc: команде record нужен файл записи"},
      {{"reading"}, "kalynth-calc: команде reading нужен файл записи или --codes и шесть кодов"},
      {{"reading", "--codes", "588", "588"},
       "kalynth-calc: reading --codes ждёт шесть кодов линий, с первой (нижней)"},
      {{"reading", "--codes", "588", "588", "588", "588", "588", "5880"},
       "kalynth-calc: неверный код линии 6: «5880» (допустимы 544, 548, 584, 588, 944, 948, 984, 988)"},
      {{"reading", "--codes", "588", "588", "588", "588", "588", "588", "588"},
       "kalynth-calc: лишний аргумент «588»"},
      {{"reading", "a.kly", "b.kly"}, "kalynth-calc: лишний аргумент «b.kly»"},
      {{"reading", "--date"}, "kalynth-calc: команда reading не знает параметра «--date»"},
  };
  for (const auto& c : cases) {
    std::string joined;
    for (const auto& a : c.args) joined += a + ' ';
    SCOPED_TRACE(joined);
    const Result r = Calc(c.args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, std::string(c.err) + "\n");
  }
}

// The ends of the ranges --help states give whole tables, at every time of
// day, zone and correction.
TEST(KalynthCalc, StatedRangesAnswerToTheirEnds) {
  for (const char* date : {"0001-12-31", "9999-12-16"})
    for (const char* time : {"00:00", "12:00", "23:00", "23:59:59"})
      for (const char* correction : {"0", "3", "6"}) {
        SCOPED_TRACE(std::string(date) + " " + time + " " + correction);
        const Result r = Calc({"lunar", date, time, "--correction", correction});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(Lines(r.out).size(), 2u);
      }
  for (const char* date : {"0001-03-22", "9999-12-30"})
    for (const char* time : {"00:00", "23:59:59"})
      for (const char* zone : {"0", "25"})
        for (const char* correction : {"0", "6"}) {
          SCOPED_TRACE(std::string(date) + " " + time + " " + zone + " " + correction);
          const Result r = Calc({"pillars", date, time, "--zone", zone, "--correction", correction});
          EXPECT_EQ(r.status, 0);
          EXPECT_EQ(Lines(r.out).size(), 2u);
        }
  for (const char* year : {"2", "9999"}) {
    const Result r = Calc({"terms", year});
    EXPECT_EQ(r.status, 0) << year;
    EXPECT_EQ(Lines(r.out).size(), 1u + 24) << year;
  }
}

// A cast entered as line values or as a hexagram with its changing lines
// prints what cast --codes prints for the same codes.
TEST(KalynthCalc, EnteredCastsPrintWhatTheirCodesPrint) {
  struct Case {
    std::vector<std::string> entered, codes;
  };
  const Case cases[] = {
      {{"cast", "--lines", " 789698 "}, {"cast", "--codes", "588", "548", "544", "988", "544", "548"}},
      {{"cast", "--lines", "666666"}, {"cast", "--codes", "988", "988", "988", "988", "988", "988"}},
      {{"cast", "--hexagram", "11", "--changing", "3,5"},
       {"cast", "--codes", "588", "588", "544", "548", "988", "548"}},
      {{"cast", "--hexagram", "2", "--changing", ""},
       {"cast", "--codes", "548", "548", "548", "548", "548", "548"}},
      {{"cast", "--hexagram", "64", "--changing", "6,1"},
       {"cast", "--codes", "988", "588", "548", "588", "548", "544"}},
  };
  for (const Case& c : cases) {
    const Result entered = Calc(c.entered), codes = Calc(c.codes);
    EXPECT_EQ(entered.status, 0) << c.entered[2] << " " << entered.err;
    EXPECT_EQ(entered.out, codes.out) << c.entered[2];
    EXPECT_EQ(codes.status, 0);
  }
}

// The six throws of the coins, line 1 first, then the figures of their
// codes as cast --codes prints them.
TEST(KalynthCalc, CoinsPrintTheThrowsAndTheirFigures) {
  // Heads for the first, fifth, ninth ... coin: one heads in every line
  // but the fourth, which is all tails.
  Environment env = FixedEnvironment();
  auto n = std::make_shared<int>(0);
  env.coins = [n] { return (*n)++ % 4 == 0; };
  const Result r = Calc({"coins"}, env);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out),
            (std::vector<std::string>{"line\tcoins\tvalue\tcode", "1\tО Р Р\t7\t588", "2\tР О Р\t7\t588",
                                      "3\tР Р О\t7\t588", "4\tР Р Р\t6\t988", "5\tО Р Р\t7\t588",
                                      "6\tР О Р\t7\t588", "primary\tnuclear\tchanged", "9\t38\t1"}));
  EXPECT_EQ(Lines(r.out).back(),
            Lines(Calc({"cast", "--codes", "588", "588", "588", "988", "588", "588"}).out).back());

  // A seed gives the same throws every time, whatever the environment's coins.
  const Result seeded = Calc({"coins", "--seed", "42"});
  EXPECT_EQ(seeded.status, 0);
  EXPECT_EQ(seeded.out, Calc({"coins", "--seed", "42"}, env).out);
  EXPECT_EQ(Lines(seeded.out).size(), 9u);
}

TEST(KalynthCalc, HelpExplainsEveryCommand) {
  for (const auto& args : {std::vector<std::string>{"--help"}, {"-h"}, {"lunar", "--help"}}) {
    const Result r = Calc(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    for (const char* command : {"lunar [ДАТА",
                                "lunar --from",
                                "pillars",
                                "terms",
                                "newmoons",
                                "sun",
                                "cast --codes",
                                "cast --lines",
                                "cast --hexagram",
                                "cast --date",
                                "cast --now",
                                "yarrow",
                                "coins",
                                "record",
                                "reading ФАЙЛ",
                                "reading --codes",
                                "--correction",
                                "--zone",
                                "--boundary-minutes",
                                "boundary"})
      EXPECT_NE(r.out.find(command), std::string::npos) << command;
  }
}

// The stored settings count where no option is given; an option wins.
TEST(KalynthCalc, StoredTimeSettingsUnlessAnOptionIsGiven) {
  Environment stored = FixedEnvironment(calendar::EncodeCivilDateTime({2024, 2, 9, 23, 30, 0, 0}));
  stored.timeSettings = [] { return TimeSettings::FromIndexes(4, 25); };
  const Environment plain = FixedEnvironment(calendar::EncodeCivilDateTime({2024, 2, 9, 23, 30, 0, 0}));
  struct Case {
    std::vector<std::string> withStored, same;
  };
  const Case cases[] = {
      {{"lunar"}, {"lunar", "--correction", "4"}},
      {{"lunar", "--correction", "3"}, {"lunar"}},
      {{"lunar", "--from", "2024-02-08", "--to", "2024-02-09", "--time", "23:30"},
       {"lunar", "--from", "2024-02-08", "--to", "2024-02-09", "--time", "23:30", "--correction", "4"}},
      {{"cast", "--now"}, {"cast", "--now", "--correction", "4"}},
      {{"pillars"}, {"pillars", "--correction", "4", "--zone", "25"}},
      {{"pillars", "--zone", "15"}, {"pillars", "--correction", "4"}},
  };
  for (const Case& c : cases) {
    const Result a = Calc(c.withStored, stored), b = Calc(c.same, plain);
    EXPECT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(a.out, b.out) << c.withStored[0];
  }
  // With "+1" 23:30 is the Hai hour of the last day of month 12.
  EXPECT_EQ(Lines(Calc({"lunar"}, stored).out).at(1),
            "2024-02-09T23:30:00\t4660\t40\t4\t12\t0\t0\t30\t11\tХай | 22-0");
  const Result help = Calc({"--help"}, stored);
  for (const char* named : {"LetneeTime", "GMT", "Calendar", "KALYNTH.ini", "XDG_CONFIG_HOME",
                            "double_hour_caption", "sheet ФАЙЛ PDF [--correction N]"})
    EXPECT_NE(help.out.find(named), std::string::npos) << named;
}

// A value with a sign is hours, one without the list index: both name the
// same setting.
TEST(KalynthCalc, SignedHoursAndListIndexesNameTheSameSetting) {
  const Environment env = FixedEnvironment(calendar::EncodeCivilDateTime({2024, 2, 9, 23, 30, 0, 0}));
  struct Case {
    std::vector<std::string> hours, index;
  };
  const Case cases[] = {
      {{"lunar", "--correction", "-1"}, {"lunar", "--correction", "2"}},
      {{"lunar", "--correction", "+1"}, {"lunar", "--correction", "4"}},
      {{"lunar", "--correction", "-3"}, {"lunar", "--correction", "0"}},
      {{"lunar", "--correction", "+3"}, {"lunar", "--correction", "6"}},
      {{"lunar", "--correction", "+0"}, {"lunar", "--correction", "3"}},
      {{"cast", "--now", "--correction", "-2"}, {"cast", "--now", "--correction", "1"}},
      {{"pillars", "2024-02-04", "12:00", "--zone", "+3"},
       {"pillars", "2024-02-04", "12:00", "--zone", "15"}},
      {{"pillars", "2024-02-04", "12:00", "--zone", "-12"},
       {"pillars", "2024-02-04", "12:00", "--zone", "0"}},
      {{"pillars", "2024-02-04", "12:00", "--zone", "+13"},
       {"pillars", "2024-02-04", "12:00", "--zone", "25"}},
      {{"pillars", "2024-02-04", "12:00", "--zone", "-0"},
       {"pillars", "2024-02-04", "12:00", "--zone", "12"}},
  };
  for (const Case& c : cases) {
    const Result a = Calc(c.hours, env), b = Calc(c.index, env);
    EXPECT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(a.out, b.out) << c.hours.back();
  }
  // An unsigned number stays an index: "--zone 3" is "GMT -9", not "+3".
  // At 10:00 the start of spring (08:27 universal time) is still to come at
  // "GMT +3" and past at "GMT -9".
  EXPECT_EQ(Calc({"pillars", "2024-02-04", "10:00", "--zone", "3"}, env).out,
            Calc({"pillars", "2024-02-04", "10:00", "--zone", "-9"}, env).out);
  EXPECT_NE(Calc({"pillars", "2024-02-04", "10:00", "--zone", "3"}, env).out,
            Calc({"pillars", "2024-02-04", "10:00", "--zone", "+3"}, env).out);
}

// ---- record -------------------------------------------------------------

class RecordCommand : public ::testing::Test {
 protected:
  std::string Write(const char* name, const QByteArray& bytes) {
    const QString path = dir_.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return QFile::encodeName(path).toStdString();
  }
  QTemporaryDir dir_;
};

TEST_F(RecordCommand, ShowsTheRecordAsTheWindowRestoresIt) {
  records::Record rec;
  rec.lineCodes = {"588", "588", "544", "588", "588", "588"};
  rec.note = QString::fromUtf8("Вопрос\tо пути");
  rec.yah = 4, rec.mon = 0, rec.day = 0, rec.hour = 6;
  rec.comments = QString::fromUtf8("Первая строка\n\nthird");
  const std::string path = Write("codes.kly", records::EncodeRecord(rec));
  const Result r = Calc({"record", path});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  const std::vector<std::string> expected = {"key\tvalue",
                                             "Edit1\t588",
                                             "Edit2\t588",
                                             "Edit3\t544",
                                             "Edit4\t588",
                                             "Edit5\t588",
                                             "Edit6\t588",
                                             "Edit7\tВопрос о пути",
                                             "yah\t4",
                                             "mon\t0",
                                             "day\t0",
                                             "hour\t6",
                                             "Btn2\t0",
                                             "Gua1\t1",
                                             "Gua2\t1",
                                             "Gua3\t1",
                                             "Gua4\t1",
                                             "Gua5\t1",
                                             "Gua6\t1",
                                             "JaoNo\t0",
                                             "primary\t1",
                                             "nuclear\t37",
                                             "changed\t10",
                                             "context\tМомент гадания неизвестен",
                                             "comment\tПервая строка",
                                             "comment\t",
                                             "comment\tthird"};
  EXPECT_EQ(Lines(r.out), expected);
}

TEST_F(RecordCommand, DateCastingsAndDefaults) {
  // The date casting of year 5, month 3, day 15, hour U: changing line 6,
  // primary 4, nuclear 24, changed 7.
  const std::string dated =
      Write("dated.kly",
            "[TITLE]\r\nTitle=KALYNTH\r\n[BEGINNER]\r\nEdit1=5\r\nyah=4\r\nmon=2\r\nday=14\r\n"
            "hour=6\r\nBtn2=1\r\nGua1=0\r\nGua2=1\r\nGua3=0\r\nGua4=0\r\nGua5=0\r\nGua6=1\r\n"
            "JaoNo=6\r\n[%%%&*(0876&%9]\r\n");
  std::vector<std::string> lines = Lines(Calc({"record", dated}).out);
  ASSERT_EQ(lines.size(), 24u);
  EXPECT_EQ(lines[1], "Edit1\t5");
  EXPECT_EQ(lines[12], "Btn2\t1");
  EXPECT_EQ(lines[13], "Gua1\t0");
  EXPECT_EQ(std::vector<std::string>(lines.end() - 4, lines.end()),
            (std::vector<std::string>{"primary\t4", "nuclear\t24", "changed\t7",
                                      "context\tМомент гадания неизвестен"}));

  // Nothing but the title: every default; codes empty, so no figures.
  const std::string bare = Write("bare.kly", "[TITLE]\nTitle=KALYNTH\n");
  lines = Lines(Calc({"record", bare}).out);
  ASSERT_EQ(lines.size(), 24u);
  EXPECT_EQ(lines[8], "yah\t0");
  EXPECT_EQ(lines[12], "Btn2\t0");
  EXPECT_EQ(lines[13], "Gua1\t1");
  EXPECT_EQ(lines[20], "primary\t");
  EXPECT_EQ(lines[22], "changed\t");
}

// A record that keeps the moment of its cast shows it as stored, a key
// out of its range as unknown.
TEST_F(RecordCommand, TheMomentOfTheCast) {
  const std::string path =
      Write("context.kly",
            "[TITLE]\r\nTitle=KALYNTH\r\n[BEGINNER]\r\nEdit1=588\r\n[CONTEXT]\r\nMoment=2026-12-11T22:57:05+"
            "03:00\r\n"
            "Method=yarrow\r\nZone=3\r\nDayPillar=6,8\r\nLunarYear=99\r\n[%%%&*(0876&%9]\r\n");
  const std::vector<std::string> lines = Lines(Calc({"record", path}).out);
  const auto has = [&lines](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  EXPECT_TRUE(has("Moment\t2026-12-11T22:57:05+03:00"));
  EXPECT_TRUE(has("Method\tyarrow"));
  EXPECT_TRUE(has("Zone\t3"));
  EXPECT_TRUE(has("DayPillar\t6,8"));
  EXPECT_TRUE(has("LunarYear\t0"));  // out of range: unknown
  EXPECT_TRUE(has("context\tГадание 11.12.2026 22:57 (GMT +3) · столпы ?, ?, Цзи-Вэй, ?"));
}

TEST_F(RecordCommand, NotARecordAndBadIntegers) {
  const std::string other = Write("other.kly", "[TITLE]\r\nTitle=kalynth\r\n");
  Result r = Calc({"record", other});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "kalynth-calc: File " + other + " Этот файл не является файлом KALYNTH\n");

  const std::string missing = QFile::encodeName(dir_.filePath("missing.kly")).toStdString();
  r = Calc({"record", missing});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "kalynth-calc: файл " + missing + " не существует\n");

  const std::string folder = QFile::encodeName(dir_.path()).toStdString();
  EXPECT_EQ(Calc({"record", folder}).err,
            "kalynth-calc: File " + folder + " Этот файл не является файлом KALYNTH\n");

  if (geteuid() != 0) {  // file permissions do not bind root
    const std::string locked = Write("locked.kly", "[TITLE]\r\nTitle=KALYNTH\r\n");
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    r = Calc({"record", locked});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "kalynth-calc: файл " + locked + " не удаётся прочитать\n");
  }

  const std::string bad = Write("bad.kly", "[TITLE]\r\nTitle=KALYNTH\r\n[BEGINNER]\r\nmon=abc\r\n");
  r = Calc({"record", bad});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "kalynth-calc: 'abc' is not a valid integer value\n");
}

// ---- reading -------------------------------------------------------------

// Our wording and the classical text of a line of hexagram n, as the table
// of texts has them (the core's tests hold that table to comment/hexagrams.py).
std::vector<std::string> LineTexts(int n, int line) {
  const core::HexagramTexts& t = core::TextsOfHexagram(n);
  return {std::string(t.lines[line - 1]), std::string(t.lines_zh[line - 1])};
}

std::vector<std::string> Joined(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Plain text, not a table: the rule, then each text under its heading.
// Codes 588 588 544 588 588 988: Heaven below, Lake above, 43, lines 3
// (yang) and 6 (yin) changing. The date casting of records 63 with line 1
// (yang) changing; the codes record 61 (Lake below, Wind above) with lines
// 1, 2, 3 changing, which turn it into 53 (Mountain below, Wind above).
TEST_F(RecordCommand, ReadingPrintsTheRuleAndTheSelectedTexts) {
  records::Record dated;
  dated.btn2 = true;
  dated.gua = {true, false, true, false, true, false};
  dated.jaoNo = 1;
  dated.yah = 0, dated.mon = 4, dated.day = 11, dated.hour = 6;
  records::Record codes;
  codes.lineCodes = {"544", "544", "988", "584", "948", "588"};
  const core::HexagramTexts &t61 = core::TextsOfHexagram(61), &t53 = core::TextsOfHexagram(53);
  const struct {
    const char* what;
    std::vector<std::string> args;
    std::vector<std::string> lines;
  } cases[] = {
      {"codes, two changing lines",
       {"reading", "--codes", "588", "588", "544", "588", "588", "988"},
       Joined(
           {{"Меняются две черты: читайте обе, главная — верхняя.", "", "43. Гуай «Прорыв» — Девятка третья"},
            LineTexts(43, 3),
            {"", "43. Гуай «Прорыв» — Наверху шестёрка (главная)"},
            LineTexts(43, 6)})},
      {"a date casting's record",
       {"reading", Write("dated.kly", records::EncodeRecord(dated))},
       Joined({{"Меняется одна черта: читайте её текст в основном гуа.", "",
                "63. Цзи-цзи «Уже конец» — В начале девятка"},
               LineTexts(63, 1)})},
      {"a record of codes, three changing lines",
       {"reading", Write("codes.kly", records::EncodeRecord(codes))},
       {"Меняются три черты: читайте суждение и образ основного гуа, затем изменённого; главное — основное.",
        "", "61. Чжун-фу «Внутренняя правда» — Суждение", std::string(t61.judgement),
        std::string(t61.judgement_zh), "", "61. Чжун-фу «Внутренняя правда» — Образ", std::string(t61.image),
        std::string(t61.image_zh), "", "53. Цзянь «Постепенность» — Суждение", std::string(t53.judgement),
        std::string(t53.judgement_zh), "", "53. Цзянь «Постепенность» — Образ", std::string(t53.image),
        std::string(t53.image_zh)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Result r = Calc(c.args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Lines(r.out), c.lines);
    EXPECT_EQ(r.out.find('\t'), std::string::npos);
  }
}

TEST_F(RecordCommand, ReadingFailsAsRecordDoes) {
  records::Record unfinished;
  unfinished.lineCodes = {"588", "588", "", "588", "588", "588"};
  const std::string empty = Write("unfinished.kly", records::EncodeRecord(unfinished));
  const std::string other = Write("other.kly", "[TITLE]\r\nTitle=kalynth\r\n");
  const std::string missing = QFile::encodeName(dir_.filePath("missing.kly")).toStdString();
  const struct {
    std::string file, err;
  } cases[] = {
      {missing, "kalynth-calc: файл " + missing + " не существует\n"},
      {other, "kalynth-calc: File " + other + " Этот файл не является файлом KALYNTH\n"},
      {empty, "kalynth-calc: в записи " + empty +
                  " нет гуа: коды линий не заполнены или неверны, а гадание не по дате\n"},
  };
  for (const auto& c : cases) {
    const Result r = Calc({"reading", c.file});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
  }
}

}  // namespace
}  // namespace cli

// Every cell of every command: nothing in a value can split a row or a
// column, or reach the terminal as a control sequence.
TEST(TsvCell, ControlCharactersAndLineSeparatorsBecomeSpaces) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"обычный текст", "обычный текст"},
      {"a\tb", "a b"},
      {"a\r\nb", "a  b"},
      {"\x1b[2Jочистка", " [2Jочистка"},
      {"\x1b]0;title\x07", " ]0;title "},
      {"v\vf\fx", "v f x"},
      {"fs\x1cgs\x1drs\x1eus\x1f", "fs gs rs us "},
      {std::string("nul\0x", 5), "nul x"},
      {"del\x7f", "del "},
      {"nel\xc2\x85x", "nel x"},  // U+0085
      {"csi\xc2\x9b"
       "2J",
       "csi 2J"},                                          // U+009B, the one-character CSI
      {"ls\xe2\x80\xa8ps\xe2\x80\xa9", "ls ps "},          // U+2028, U+2029
      {"\xe2\x80\xa7 \xc2\xa0", "\xe2\x80\xa7 \xc2\xa0"},  // neighbours kept
      {"\xc3\xe0\xe4\xe0\xed\xe8\xff",
       "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"},
      {"\xc0\x80", "\xef\xbf\xbd\xef\xbf\xbd"},                  // overlong NUL
      {"\xed\xa0\x80", "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"},  // a surrogate
      {"\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},                  // outside the BMP, kept
      {"end\xe2\x80", "end\xef\xbf\xbd\xef\xbf\xbd"},
  };
  for (const auto& c : cases) EXPECT_EQ(cli::TsvCell(c.in), c.out) << c.in;
}

TEST(TsvCell, RecordCommandPrintsNoControlCharacters) {
  QTemporaryDir dir;
  records::Record r;
  r.note = QString::fromUtf8("\x1b[2Jзаметка\x0bещё");
  r.comments = QString::fromUtf8("строка\x0cс\x1cразделителями\x1b[31m");
  const QString path = dir.filePath("x.kly");
  records::WriteRecordFile(path, r);
  std::ostringstream out, err;
  ASSERT_EQ(cli::RunCalc({"record", path.toStdString()}, out, err, cli::SystemEnvironment()), 0);
  for (const char c : out.str()) EXPECT_TRUE(c == '\t' || c == '\n' || static_cast<unsigned char>(c) >= 0x20);
  EXPECT_NE(out.str().find("Edit7\t [2Jзаметка ещё\n"), std::string::npos) << out.str();
}

namespace cli {
namespace {

// kalynth-calc stats on a folder made here: the counts, shares and the
// chi-square with its p-value worked out by the test itself (the p-value
// of 3 degrees of freedom in closed form).
TEST(StatsCommand, CountsAndPValuesOfAGeneratedFolder) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const char* const codes[] = {"988", "588", "948", "984", "548", "584", "944", "544"};  // 6 7 7 7 8 8 8 9
  const int values[] = {6, 7, 7, 7, 8, 8, 8, 9};
  struct Method {
    core::CastMethod method;  // None: a record without its [CONTEXT] section
    const char* key;
    int records;
    core::LineOdds odds;
  };
  const Method methods[] = {
      {core::CastMethod::Codes, "codes", 3, core::ClassicalYarrowOdds()},
      {core::CastMethod::Yarrow, "yarrow", 7, core::ProgramYarrowOdds()},
      {core::CastMethod::Coins, "coins", 11, core::CoinOdds()},
      {core::CastMethod::None, "unknown", 2, core::ClassicalYarrowOdds()},
  };
  std::vector<std::string> expected{"method\tvalue\tcount\tshare\texpected\tclassical\tchi2\tp"};
  int file = 0, next = 0;
  for (const Method& m : methods) {
    std::array<long long, 4> counts{};
    for (int r = 0; r < m.records; ++r) {
      records::Record rec;
      for (int line = 0; line < 6; ++line) {
        const int pick = (next++ * 5 + m.records) % 8;
        rec.lineCodes[static_cast<std::size_t>(line)] = codes[pick];
        ++counts[static_cast<std::size_t>(values[pick] - 6)];
      }
      if (m.method != core::CastMethod::None) {
        rec.context = core::CastContext{};
        rec.context->method = m.method;
      }
      records::WriteRecordFile(dir.filePath(QString("r%1.kly").arg(file++)), rec);
    }
    const double total = 6.0 * m.records;
    double chi2 = 0;
    for (std::size_t v = 0; v < 4; ++v)
      chi2 += std::pow(counts[v] - total * m.odds[v], 2) / (total * m.odds[v]);
    const double p = std::erfc(std::sqrt(chi2 / 2)) + std::sqrt(2 * chi2 / M_PI) * std::exp(-chi2 / 2);
    for (std::size_t v = 0; v < 4; ++v) {
      char row[256];
      std::snprintf(row, sizeof row, "%s\t%zu\t%lld\t%.6f\t%.6f\t%.6f\t%.4f\t%.6f", m.key, v + 6, counts[v],
                    counts[v] / total, m.odds[v], core::ClassicalYarrowOdds()[v], chi2, p);
      expected.push_back(row);
    }
  }
  // Files that are no records do not count.
  QFile junk(dir.filePath("junk.kly"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("not a record\r\n");
  junk.close();
  const Result r = Calc({"stats", QFile::encodeName(dir.path()).toStdString()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out), expected);

  EXPECT_EQ(Calc({"stats"}).err, "kalynth-calc: команде stats нужна папка с записями\n");
  EXPECT_EQ(Calc({"stats", "/нет/такой/папки"}).status, 2);
}

}  // namespace
}  // namespace cli
