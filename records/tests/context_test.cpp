// The record's [CONTEXT] section: its bytes, a round trip that leaves the
// other sections as they were, older readers, and a hostile section read
// field by field.
#include "records/context.h"

#include <gtest/gtest.h>

#include "records/cp1251.h"
#include "records/mapping.h"
#include "records/record.h"

namespace records {
namespace {

core::CastContext DateCastContext() {
  core::CastContext c;
  c.moment = "2026-12-11T22:57:05+03:00";
  c.method = core::CastMethod::Date;
  c.zoneHours = 3;
  c.correctionHours = 0;
  c.yearInCycle = 43;
  c.month = 11;
  c.leapMonth = false;
  c.day = 2;
  c.doubleHour = 11;
  c.pillars = {core::Pillar{3, 7}, core::Pillar{7, 1}, core::Pillar{6, 8}, core::Pillar{4, 12}};
  c.term = "Большие снега";
  c.season = "Середина зимы";
  c.boundary = "До 23:00 осталось 3 мин";
  return c;
}

Record CodesRecord() {
  Record r;
  r.lineCodes = {"588", "548", "544", "588", "988", "548"};
  r.note = QStringLiteral("Вопрос");
  r.comments = QStringLiteral("Строка\nещё одна");
  return r;
}

const QByteArray kContextLines(
    "[CONTEXT]\r\n"
    "Moment=2026-12-11T22:57:05+03:00\r\n"
    "Method=date\r\n"
    "Zone=3\r\n"
    "Correction=0\r\n"
    "LunarYear=43\r\n"
    "LunarMonth=11\r\n"
    "LeapMonth=0\r\n"
    "LunarDay=2\r\n"
    "DoubleHour=11\r\n"
    "YearPillar=3,7\r\n"
    "MonthPillar=7,1\r\n"
    "DayPillar=6,8\r\n"
    "HourPillar=4,12\r\n"
    "Term=\xC1\xEE\xEB\xFC\xF8\xE8\xE5\x20\xF1\xED\xE5\xE3\xE0\r\n"
    "Season=\xD1\xE5\xF0\xE5\xE4\xE8\xED\xE0\x20\xE7\xE8\xEC\xFB\r\n"
    "Boundary="
    "\xC4\xEE\x20\x32\x33\x3A\x30\x30\x20\xEE\xF1\xF2\xE0\xEB\xEE\xF1\xFC\x20\x33\x20\xEC\xE8\xED\r\n");

// The section stands between the BEGINNER keys and the marker, in
// Windows-1251, and the bytes around it are those of the record without it.
TEST(ContextSection, StandsBeforeTheMarkerAndLeavesTheRestAlone) {
  Record with = CodesRecord();
  with.context = DateCastContext();
  const QByteArray bytes = EncodeRecord(with);
  const QByteArray without = EncodeRecord(CodesRecord());
  const qsizetype marker = without.indexOf("[%%%&*(0876&%9]\r\n");
  ASSERT_GT(marker, 0);
  EXPECT_EQ(bytes, without.first(marker) + kContextLines + without.sliced(marker));
  EXPECT_EQ(DecodeRecord(bytes), with);
}

// A reader that knows only TITLE and BEGINNER (and the comments after the
// marker) reads the same values from a record with the section.
TEST(ContextSection, OlderReadersSeeTheSameRecord) {
  Record with = CodesRecord();
  with.context = DateCastContext();
  Record read = DecodeRecord(EncodeRecord(with));
  read.context.reset();
  EXPECT_EQ(read, CodesRecord());
  EXPECT_FALSE(DecodeRecord(EncodeRecord(CodesRecord())).context.has_value());
}

// Opened and saved again, a record keeps its moment; a new cast drops it
// (the caster sets the new one).
TEST(ContextSection, ReSaveKeepsTheMomentRecastDropsIt) {
  Record r = CodesRecord();
  r.context = DateCastContext();
  core::Divination d = DivinationOf(DecodeRecord(EncodeRecord(r)));
  ASSERT_TRUE(d.context().has_value());
  EXPECT_EQ(*d.context(), DateCastContext());
  d.EditNote("другая заметка");
  EXPECT_EQ(RecordOf(d).context, r.context);
  d.CastFromCodes();
  EXPECT_FALSE(d.context().has_value());
  EXPECT_FALSE(RecordOf(d).context.has_value());
}

QByteArray RecordWith(const QByteArray& contextLines, const QByteArray& comments = "") {
  return "[TITLE]\r\nTitle=KALYNTH\r\n[BEGINNER]\r\nEdit1=588\r\n" + contextLines + "[%%%&*(0876&%9]\r\n" +
         comments;
}

struct HostileCase {
  const char* name;
  QByteArray lines;
  std::optional<core::CastContext> expected;
};

core::CastContext With(void (*edit)(core::CastContext&)) {
  core::CastContext c;
  edit(c);
  return c;
}

// Anything in the section is read safely: each key is checked alone, the
// first line of a key counts, text after the marker is comments.
TEST(ContextSection, HostileSectionIsReadFieldByField) {
  const QByteArray huge(100000, '9');
  const HostileCase cases[] = {
      {"no section", "", std::nullopt},
      {"empty section", "[CONTEXT]\r\n", std::nullopt},
      {"nothing usable", "[CONTEXT]\r\nMoment=yesterday\r\nLunarYear=abc\r\nMethod=dice\r\nTerm=Зима\r\n",
       std::nullopt},
      {"huge values",
       "[CONTEXT]\r\nMoment=" + huge + "\r\nLunarYear=" + huge + "\r\nBoundary=" + huge + "\r\n",
       With([](core::CastContext& c) { c.boundary = std::string(2047, '9'); })},
      {"out of range",
       "[CONTEXT]\r\nLunarYear=61\r\nLunarMonth=0\r\nLunarDay=31\r\nDoubleHour=12\r\nZone=14\r\n"
       "LunarMonth=5\r\n",
       std::nullopt},
      {"first line of a key counts", "[CONTEXT]\r\nLunarDay=7\r\nLunarDay=8\r\n",
       With([](core::CastContext& c) { c.day = 7; })},
      {"bad pillars, good one kept",
       "[CONTEXT]\r\nYearPillar=11,1\r\nMonthPillar=1,2,3\r\nDayPillar=x,1\r\n"
       "HourPillar= 10 , 12 \r\n",
       With([](core::CastContext& c) {
         c.pillars[3] = {10, 12};
       })},
      {"moment without offset", "[CONTEXT]\r\nMoment=2026-12-11T22:57:05\r\nMethod=yarrow\r\n",
       With([](core::CastContext& c) { c.method = core::CastMethod::Yarrow; })},
      {"moment with offset", "[CONTEXT]\r\nmoment=2026-12-11T22:57:05Z\r\n",
       With([](core::CastContext& c) { c.moment = "2026-12-11T22:57:05Z"; })},
      {"no zone", "[CONTEXT]\r\nZone=\r\nCorrection=-1\r\n",
       With([](core::CastContext& c) { c.correctionHours = -1; })},
      {"control character", "[CONTEXT]\r\nBoundary=a\x01z\r\nLeapMonth=1\r\nLunarMonth=4\r\n",
       With([](core::CastContext& c) {
         c.leapMonth = true;
         c.month = 4;
       })},
  };
  for (const HostileCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DecodeRecord(RecordWith(c.lines)).context, c.expected);
  }
}

// The comments never carry the section: not alone, not after a real one.
TEST(ContextSection, CommentsNeverCarryIt) {
  const QByteArray fake("[CONTEXT]\r\nLunarDay=9\r\nMethod=date\r\n");
  EXPECT_FALSE(DecodeRecord(RecordWith("", fake)).context.has_value());
  const std::optional<core::CastContext> real =
      DecodeRecord(RecordWith("[CONTEXT]\r\nLunarDay=3\r\n", fake)).context;
  ASSERT_TRUE(real.has_value());
  EXPECT_EQ(real->day, 3);
  EXPECT_EQ(real->method, core::CastMethod::None);
  // And the comment lines stay comments.
  EXPECT_EQ(DecodeRecord(RecordWith("", fake)).comments,
            QStringLiteral("[CONTEXT]\nLunarDay=9\nMethod=date"));
}

}  // namespace
}  // namespace records
