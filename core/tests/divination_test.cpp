// The divination model: castings, the yarrow procedure, records and the
// answers it gives its readers. Expected numbers are the worked examples of
// the casting rules (King Wen table looked up by hand), not recomputed.
#include "core/divination.h"

#include <gtest/gtest.h>

#include "core/messages.h"

namespace core {
namespace {

Divination WithCodes(const std::array<std::string, 6>& codes) {
  Divination d;
  for (int n = 1; n <= 6; ++n) d.EditLine(n, codes[n - 1]);
  return d;
}

// What a record stores of a divination, as a save takes it.
struct Stored {
  std::array<std::string, 6> lineCodes;
  std::string note;
  DateSelection date;
  bool fromDate = false;
  Figure primary{true, true, true, true, true, true};
  int changingLine = 0;
  std::string comments;
  friend bool operator==(const Stored&, const Stored&) = default;
};

Stored Saved(const Divination& d) {
  return {d.lineCodes(),     d.note(),         d.date(),        d.fromDate(),
          d.figure(Primary), d.changingLine(), d.commentsText()};
}

Divination Read(const Stored& s) {
  Divination d;
  d.Restore(s.lineCodes, s.note, s.date, s.fromDate, s.primary, s.changingLine, s.comments);
  return d;
}

struct CodesCase {
  const char* name;
  std::array<std::string, 6> codes;  // line 1 first
  std::optional<Numbers> numbers;    // nullopt: nothing shown
  bool allThree;
  std::vector<std::string> changingNames;
};

void PrintTo(const CodesCase& c, std::ostream* os) {
  *os << c.name;
}

class CodesCasting : public testing::TestWithParam<CodesCase> {};

TEST_P(CodesCasting, FiguresNumbersAndVisibility) {
  const CodesCase& c = GetParam();
  Divination d = WithCodes(c.codes);
  d.CastFromCodes();
  EXPECT_TRUE(d.modified());
  EXPECT_FALSE(d.fromDate());
  EXPECT_EQ(d.numbers(), c.numbers);
  EXPECT_EQ(d.method(), c.numbers ? CastMethod::Codes : CastMethod::None);
  EXPECT_EQ(d.HasFigure(Primary), c.numbers.has_value());
  EXPECT_EQ(d.HasFigure(Nuclear), c.allThree);
  EXPECT_EQ(d.HasFigure(Changed), c.allThree);
  EXPECT_EQ(d.changingLine(), 0);
  if (c.numbers) {
    EXPECT_EQ(d.ChangingLineNames(), c.changingNames);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CodesCasting,
    testing::Values(
        CodesCase{"SixStableYang", {"588", "588", "588", "588", "588", "588"}, Numbers{1, 1, 1}, false, {}},
        // Lines yang, yang, yin, yang, yang, yang change into number 10; the
        // changed figure is the nuclear source: 37.
        CodesCase{"LineThreeChanges",
                  {"588", "588", "544", "588", "588", "588"},
                  Numbers{1, 37, 10},
                  true,
                  {"Девятка третья"}},
        CodesCase{"AllOldYang",
                  {"544", "544", "544", "544", "544", "544"},
                  Numbers{1, 1, 2},
                  true,
                  {"В начале девятка", "Девятка вторая", "Девятка третья", "Девятка четвёртая",
                   "Девятка пятая", "Наверху девятка"}},
        CodesCase{"AllOldYin",
                  {"988", "988", "988", "988", "988", "988"},
                  Numbers{2, 2, 1},
                  true,
                  {"В начале шестёрка", "Шестёрка вторая", "Шестёрка третья", "Шестёрка четвёртая",
                   "Шестёрка пятая", "Наверху шестёрка"}},
        CodesCase{"SixthEmpty", {"588", "588", "588", "588", "588", ""}, std::nullopt, false, {}},
        CodesCase{"PartialCode", {"58", "588", "588", "588", "588", "588"}, std::nullopt, false, {}}),
    [](const testing::TestParamInfo<CodesCase>& info) { return info.param.name; });

// A failed number entry has no figures (the window keeps the captions of
// the last casting, hidden).
TEST(CodesCasting, InvalidCodeHasNoFigures) {
  Divination d = WithCodes({"588", "588", "544", "588", "588", "588"});
  d.CastFromCodes();
  d.EditLine(6, "5");
  d.CastFromCodes();
  EXPECT_EQ(d.numbers(), std::nullopt);
  EXPECT_FALSE(d.HasFigure(Nuclear));
}

struct DateCase {
  const char* name;
  DateSelection date;  // item indexes
  Numbers numbers;
  int jaoNo;
  const char* status;
  const char* changingName;
};

void PrintTo(const DateCase& c, std::ostream* os) {
  *os << c.name;
}

class DateCastingModel : public testing::TestWithParam<DateCase> {};

TEST_P(DateCastingModel, FiguresStatusAndRecordRoundTrip) {
  const DateCase& c = GetParam();
  Divination d = WithCodes({"588", "", "", "", "", ""});
  d.SetDate(c.date);
  d.CastFromDate();
  EXPECT_TRUE(d.modified());
  EXPECT_EQ(d.numbers(), c.numbers);
  for (FigureIndex i : {Primary, Nuclear, Changed}) EXPECT_TRUE(d.HasFigure(i));
  EXPECT_EQ(d.changingLine(), c.jaoNo);
  for (int n = 1; n <= 6; ++n)
    EXPECT_EQ(d.figure(Changed)[n - 1] != d.figure(Primary)[n - 1], n == c.jaoNo) << "line " << n;
  EXPECT_TRUE(d.fromDate());
  EXPECT_EQ(d.CastDateText(), c.status);
  EXPECT_EQ(d.lineCode(1), "588");  // the fields stay as they were
  EXPECT_EQ(d.ChangingLines(), std::vector<int>{c.jaoNo});
  EXPECT_EQ(d.ChangingLineNames(), std::vector<std::string>{c.changingName});

  // Saved and read back: the same figures without computing the date again.
  const Stored saved = Saved(d);
  EXPECT_TRUE(saved.fromDate);
  EXPECT_EQ(saved.changingLine, c.jaoNo);
  const Divination read = Read(saved);
  EXPECT_EQ(read.numbers(), c.numbers);
  for (FigureIndex i : {Primary, Nuclear, Changed}) EXPECT_EQ(read.figure(i), d.figure(i));
  EXPECT_EQ(read.CastDateText(), c.status);
  EXPECT_FALSE(read.modified());
  EXPECT_TRUE(read.bound());
  EXPECT_EQ(Saved(read), saved);
}

INSTANTIATE_TEST_SUITE_P(Cases, DateCastingModel,
                         testing::Values(
                             // Year 5, month 3, day 15, hour У: s = 23, t = 30; upper 7, lower 6, line 6.
                             // Number 4 (yin, yang, yin, yin, yin, yang): its top line is a nine.
                             DateCase{"Year5Month3Day15HourU",
                                      {4, 2, 14, 6},
                                      {4, 24, 7},
                                      6,
                                      "Гуа на год 5, месяц 3, день 15, час У",
                                      "Наверху девятка"},
                             // s = 8, t = 16: trigrams 8 and 8, line 4 of six yin lines.
                             DateCase{"RemainderZeroIsEight",
                                      {0, 0, 5, 7},
                                      {2, 39, 16},
                                      4,
                                      "Гуа на год 1, месяц 1, день 6, час Вэй",
                                      "Шестёрка четвёртая"},
                             // s = 54, t = 66: upper 6, lower 2, line 6 (66 mod 6 = 0).
                             DateCase{"LastOfEveryList",
                                      {11, 11, 29, 11},
                                      {60, 27, 61},
                                      6,
                                      "Гуа на год 12, месяц 12, день 30, час Хай",
                                      "Наверху шестёрка"}),
                         [](const testing::TestParamInfo<DateCase>& info) { return info.param.name; });

// An empty month list: the standard conversion error; the casting before
// stays (the window hides its figures and keeps the numbers).
TEST(DateCastingModel, EmptyMonthIsAConversionError) {
  Divination d;
  d.SetDate({4, 0, 0, 6});
  d.CastFromDate();
  // s = 7, t = 14: upper 7, lower 6, line 2 of number 4 turns it into 23.
  ASSERT_EQ(d.numbers(), (Numbers{4, 24, 23}));
  d.SetDate({4, -1, 0, 6});
  try {
    d.CastFromDate();
    FAIL() << "no error";
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'' is not a valid integer value");
  }
  EXPECT_EQ(d.numbers(), (Numbers{4, 24, 23}));
  EXPECT_TRUE(d.fromDate());
}

// The date lists without a year or hour: year 0 and no branch name.
TEST(DateCastingModel, StatusWithoutYearAndHour) {
  Divination d;
  d.SetDate({-1, 2, 14, -1});
  EXPECT_EQ(d.DateStatusText(), "Гуа на год 0, месяц 3, день 15, час ");
}

// The codes of an earlier casting stay in the fields after a date casting
// (and in its record, as typed), but they are not the casting's: every
// reader asks the model and gets no codes and the date's changing line,
// until ">>" casts from the codes again.
TEST(DateCastingModel, StaleCodesAreNotTheCastingsCodes) {
  Divination d = WithCodes({"544", "948", "984", "588", "984", "948"});
  d.CastFromCodes();
  ASSERT_TRUE(d.ShowsLineCodes());
  ASSERT_EQ(d.ChangingLines(), std::vector<int>{1});

  d.SetDate({4, 2, 14, 6});  // line 6 changes
  d.CastFromDate();
  EXPECT_FALSE(d.ShowsLineCodes());
  EXPECT_EQ(d.ChangingLines(), std::vector<int>{6});
  EXPECT_EQ(d.lineCode(1), "544");   // the field as it was
  EXPECT_TRUE(d.IsChangingLine(1));  // and its red text in the window

  Divination read = Read(Saved(d));
  EXPECT_EQ(Saved(read).lineCodes, d.lineCodes());  // saved as typed
  EXPECT_FALSE(read.ShowsLineCodes());
  EXPECT_EQ(read.ChangingLines(), std::vector<int>{6});
  EXPECT_EQ(read.ChangingLineNames(), std::vector<std::string>{"Наверху девятка"});

  read.CastFromCodes();  // ">>": the codes are the figures' again
  EXPECT_TRUE(read.ShowsLineCodes());
  EXPECT_EQ(read.ChangingLines(), std::vector<int>{1});
}

TEST(DateCastingModel, NoCodesToShow) {
  Divination blank;
  EXPECT_FALSE(blank.ShowsLineCodes());
  Divination partial = WithCodes({"", "", "9", "", "", ""});
  EXPECT_TRUE(partial.ShowsLineCodes());  // a field holding anything is shown as it is
  Divination dated;
  dated.SetDate({0, 0, 5, 7});
  dated.CastFromDate();
  EXPECT_FALSE(dated.ShowsLineCodes());
}

// Clock number 1234 at every draw in a freshly started program: the worked
// example of the stalk divisions.
TEST(YarrowModel, PinsTheWholeProcedureWithClock1234) {
  Divination d = WithCodes({"948", "", "", "", "", ""});
  d.EditNote("заметка");
  d.EditComments("старый\nкомментарий");
  d.BeginMilfoil();
  EXPECT_TRUE(d.yarrowActive());
  EXPECT_EQ(d.yarrowLine(), 1);
  EXPECT_EQ(d.yarrowDivision(), 1);
  EXPECT_EQ(d.numbers(), std::nullopt);
  EXPECT_TRUE(d.note().empty());
  EXPECT_TRUE(d.comments().empty());
  EXPECT_TRUE(d.lineCode(1).empty());

  RandomGenerator rng;
  const ClockNumber clock = [] { return 1234; };
  for (int line = 1; line <= 6; ++line) {
    for (int division = 1; division <= 3; ++division) {
      EXPECT_EQ(d.yarrowDivision(), division);
      d.Divide(division, rng, clock);
      if (line < 6 || division < 3) {
        EXPECT_EQ(d.lineCode(line).size(), static_cast<std::size_t>(division));
        EXPECT_FALSE(d.modified());
        EXPECT_FALSE(d.bound());
      }
    }
  }
  EXPECT_EQ(d.lineCodes(), (std::array<std::string, 6>{"588", "588", "544", "544", "984", "948"}));
  EXPECT_FALSE(d.yarrowActive());
  EXPECT_EQ(d.yarrowLine(), 0);
  EXPECT_EQ(d.yarrowDivision(), 0);
  EXPECT_TRUE(d.modified());
  EXPECT_FALSE(d.bound());
  EXPECT_EQ(d.method(), CastMethod::Yarrow);
  EXPECT_TRUE(d.HasFigure(Primary));
  EXPECT_TRUE(d.HasFigure(Changed));
}

// Clock number 0: every draw is 0, left heap 47, digits 5, 4, 4.
TEST(YarrowModel, ClockZeroGivesOldYang) {
  Divination d;
  d.BeginMilfoil();
  RandomGenerator rng;
  const ClockNumber clock = [] { return 0; };
  for (int division = 1; division <= 3; ++division) d.Divide(division, rng, clock);
  EXPECT_EQ(d.lineCode(1), "544");
  EXPECT_EQ(d.yarrowLine(), 2);
}

// Records that are not date castings rebuild their figures from the codes;
// a date-cast record without figures restores six yang lines.
TEST(RecordModel, RestoreRules) {
  Stored codes;
  codes.lineCodes = {"588", "588", "544", "588", "588", "588"};
  codes.primary = {false, false, false, false, false, false};  // ignored for codes
  codes.changingLine = 3;
  const Divination a = Read(codes);
  EXPECT_EQ(a.numbers(), (Numbers{1, 37, 10}));
  EXPECT_FALSE(a.fromDate());
  EXPECT_FALSE(a.modified());
  EXPECT_TRUE(a.bound());

  Stored bare;
  bare.fromDate = true;
  const Divination b = Read(bare);
  EXPECT_EQ(b.numbers(), (Numbers{1, 1, 1}));
  EXPECT_EQ(b.changingLine(), 0);
  EXPECT_EQ(b.CastDateText(), "Гуа на год 1, месяц 1, день 1, час Цзы");

  // Indexes outside the lists leave them without selection.
  Stored outside;
  outside.date = {12, -5, 30, 99};
  const Divination c = Read(outside);
  EXPECT_EQ(c.date(), (DateSelection{-1, -1, -1, -1}));
}

// The needs-saving test: an unnamed blank sheet never asks, whatever was
// typed and deleted; a line code alone makes it count.
TEST(RecordModel, NeedsSaving) {
  Divination d;
  EXPECT_FALSE(d.NeedsSaving());
  d.EditLine(1, "5");
  d.EditLine(1, "");
  EXPECT_TRUE(d.modified());
  EXPECT_FALSE(d.NeedsSaving());
  d.EditLine(6, "588");
  EXPECT_TRUE(d.NeedsSaving());
  d.MarkSaved();
  EXPECT_FALSE(d.NeedsSaving());
  d.EditNote("x");
  EXPECT_TRUE(d.NeedsSaving());
  d.NewSheet();
  EXPECT_FALSE(d.NeedsSaving());
  EXPECT_FALSE(d.bound());
  EXPECT_EQ(d.numbers(), std::nullopt);
}

TEST(RecordModel, CommentsKeepTheirLines) {
  Divination d;
  d.EditComments("один\n\nтри");
  EXPECT_EQ(d.comments(), (std::vector<std::string>{"один", "", "три"}));
  EXPECT_EQ(d.commentsText(), "один\n\nтри");
  d.EditComments("");
  EXPECT_TRUE(d.comments().empty());
}

TEST(LineNames, TraditionalNames) {
  EXPECT_EQ(LineName(1, true), "В начале девятка");
  EXPECT_EQ(LineName(2, false), "Шестёрка вторая");
  EXPECT_EQ(LineName(5, true), "Девятка пятая");
  EXPECT_EQ(LineName(6, false), "Наверху шестёрка");
  EXPECT_EQ(LineName(0, true), "");
  EXPECT_EQ(LineName(7, false), "");
}

}  // namespace
}  // namespace core
