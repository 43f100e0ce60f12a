// Record bytes: layout, identification, decoding and the comments block.
#include "records/record.h"

#include <gtest/gtest.h>

#include "records/cp1251.h"
#include "records/inifile.h"

namespace records {

void PrintTo(const Record& r, std::ostream* os) {
  *os << "{codes";
  for (const QString& c : r.lineCodes) *os << " '" << c.toStdString() << "'";
  *os << " note '" << r.note.toStdString() << "' yah " << r.yah << " mon " << r.mon << " day " << r.day
      << " hour " << r.hour << " btn2 " << r.btn2 << " gua";
  for (bool g : r.gua) *os << g;
  *os << " jao " << r.jaoNo << " comments [" << QString(r.comments).replace(u'\n', u'|').toStdString()
      << "]}";
}

namespace {

// The lines of a comments text (none for an empty one).
QStringList Lines(const QString& text) {
  return text.isEmpty() ? QStringList() : text.split(u'\n');
}

// A record cast from the date: year 5, month 3, day 15, Chas 6; primary
// number 4 with line 6 changing; a Cyrillic note and comments.
Record DateCastRecord() {
  Record r;
  r.lineCodes = {"588", "548", "", "54", "988", "944"};
  r.note = QStringLiteral("Ответ ясен");
  r.yah = 4;
  r.mon = 2;
  r.day = 14;
  r.hour = 6;
  r.btn2 = true;
  r.gua = {false, true, false, false, false, true};
  r.jaoNo = 6;
  r.comments = QStringLiteral("Первая строка\n\nЁлка «ё» №5");
  return r;
}

// The exact bytes of DateCastRecord(): the layout of a record file, Cyrillic
// in Windows-1251, every line ended by CR LF.
const QByteArray kDateCastBytes(
    "[TITLE]\r\n"
    "Title=KALYNTH\r\n"
    "[BEGINNER]\r\n"
    "Edit1=588\r\n"
    "Edit2=548\r\n"
    "Edit3=\r\n"
    "Edit4=54\r\n"
    "Edit5=988\r\n"
    "Edit6=944\r\n"
    "Edit7=\xCE\xF2\xE2\xE5\xF2\x20\xFF\xF1\xE5\xED\r\n"
    "yah=4\r\n"
    "mon=2\r\n"
    "day=14\r\n"
    "hour=6\r\n"
    "Btn2=1\r\n"
    "Gua1=0\r\n"
    "Gua2=1\r\n"
    "Gua3=0\r\n"
    "Gua4=0\r\n"
    "Gua5=0\r\n"
    "Gua6=1\r\n"
    "JaoNo=6\r\n"
    "[%%%&*(0876&%9]\r\n"
    "\xCF\xE5\xF0\xE2\xE0\xFF\x20\xF1\xF2\xF0\xEE\xEA\xE0\r\n"
    "\r\n"
    "\xA8\xEB\xEA\xE0\x20\xAB\xB8\xBB\x20\xB9\x35\r\n");

const QByteArray kHeader("[TITLE]\r\nTitle=KALYNTH\r\n[BEGINNER]\r\n");

std::string ErrorOf(const QByteArray& bytes) {
  try {
    DecodeRecord(bytes);
  } catch (const RecordError& e) {
    return e.text().toStdString();
  }
  return "no error";
}

TEST(RecordLayout, ExactBytes) {
  EXPECT_EQ(EncodeRecord(DateCastRecord()), kDateCastBytes);
  EXPECT_EQ(DecodeRecord(kDateCastBytes), DateCastRecord());
}

TEST(RecordLayout, EmptyRecordEndsWithTheMarker) {
  const QByteArray bytes = EncodeRecord(Record{});
  for (int n = 1; n <= 6; ++n) EXPECT_TRUE(bytes.contains("\r\nEdit" + QByteArray::number(n) + "=\r\n")) << n;
  EXPECT_TRUE(bytes.endsWith("\r\nJaoNo=0\r\n[%%%&*(0876&%9]\r\n"));
  EXPECT_TRUE(bytes.contains("\r\nyah=0\r\n"));
  EXPECT_TRUE(bytes.contains("\r\nBtn2=0\r\nGua1=1\r\n"));
}

// Records whose every field must come back exactly as written.
TEST(RecordLayout, RoundTrips) {
  std::vector<std::pair<const char*, Record>> cases;
  cases.push_back({"empty", Record{}});
  cases.push_back({"date cast", DateCastRecord()});
  Record none;
  none.yah = none.mon = none.day = none.hour = -1;  // nothing selected in the lists
  none.jaoNo = 0;
  cases.push_back({"no selection", none});
  Record codes;
  codes.lineCodes = {"588", "588", "544", "588", "588", "588"};
  codes.gua = {true, false, true, false, true, false};  // kept although Btn2 is off
  codes.jaoNo = 3;
  codes.comments = QStringLiteral("\n\n  indented  \n[TITLE]\nTitle=other\n[BEGINNER]\nEdit1=999");
  cases.push_back({"codes with tricky comments", codes});
  Record longNote;
  longNote.note = QString(2047, QChar(u'ж'));
  longNote.lineCodes[0] = QStringLiteral("a=b");
  cases.push_back({"2047-character note", longNote});
  Record everyChar;
  QString all;
  for (int b = 0; b < 256; ++b)
    if (b != 0 && b != '\r' && b != '\n') all += DecodeWindows1251(QByteArray(1, char(b)));
  everyChar.comments = all;
  everyChar.note = QStringLiteral("x") + all.remove(u'\t').remove(u' ') + QStringLiteral("y");
  cases.push_back({"every character of the code page", everyChar});

  for (const auto& [name, record] : cases) {
    EXPECT_TRUE(UnencodableFields(record).isEmpty()) << name;
    const QByteArray bytes = EncodeRecord(record);
    ASSERT_TRUE(IsRecord(bytes)) << name;
    EXPECT_EQ(DecodeRecord(bytes), record) << name;
    EXPECT_EQ(EncodeRecord(DecodeRecord(bytes)), bytes) << name;
  }
}

TEST(RecordLayout, NoteLongerThan2047ReadsBackCut) {
  Record r;
  r.note = QString(3000, QChar(u'я'));
  EXPECT_EQ(DecodeRecord(EncodeRecord(r)).note, QString(2047, QChar(u'я')));
}

TEST(Identification, TitleMustBeExactlyKalynth) {
  struct Case {
    const char* name;
    QByteArray bytes;
    bool record;
  };
  const Case cases[] = {
      {"written record", EncodeRecord(Record{}), true},
      {"blanks and case of the names", " [ title ] \n  TITLE =  KALYNTH \t\n", true},
      {"CR line ends", "[TITLE]\rTitle=KALYNTH\r", true},
      {"title differs in case", "[TITLE]\r\nTitle=Kalynth\r\n[BEGINNER]\r\n", false},
      {"title with more", "[TITLE]\r\nTitle=KALYNTH2\r\n", false},
      {"no TITLE section", "[BEGINNER]\r\nTitle=KALYNTH\r\n", false},
      {"empty file", "", false},
      {"only the key", "Title=KALYNTH\r\n", false},
      {"title only in a second TITLE section", "[TITLE]\r\nx=1\r\n[TITLE]\r\nTitle=KALYNTH\r\n", false},
      {"title in the comments", "[%%%&*(0876&%9]\r\n[TITLE]\r\nTitle=KALYNTH\r\n", true},
      {"UTF-8 byte order mark", "\xEF\xBB\xBF[TITLE]\r\nTitle=KALYNTH\r\n", false},
      {"binary with a NUL", QByteArray("[TITLE]\r\nTitle=KALYNTH\r\n\0\x89PNG", 29), false},
      {"text beside the default", "[TITLE]\r\nTitle=\xCD\xE5 \xF2\xEE\xF2 \xF4\xE0\xE9\xEB\r\n", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsRecord(c.bytes), c.record) << c.name;
}

TEST(Decoding, MissingKeysTakeTheirDefaults) {
  // Written by hand: no date keys, Btn2 on, no figure keys.
  const Record r = DecodeRecord(kHeader + "Edit1=588\r\nBtn2=1\r\n");
  EXPECT_EQ(r.lineCodes[0], "588");
  EXPECT_EQ(r.lineCodes[5], "");
  EXPECT_EQ(r.note, "");
  EXPECT_EQ(r.yah, 0);
  EXPECT_EQ(r.mon, 0);
  EXPECT_EQ(r.day, 0);
  EXPECT_EQ(r.hour, 0);
  EXPECT_TRUE(r.btn2);
  EXPECT_EQ(r.gua, (std::array<bool, 6>{true, true, true, true, true, true}));
  EXPECT_EQ(r.jaoNo, 0);
  EXPECT_TRUE(r.comments.isEmpty());
  EXPECT_EQ(DecodeRecord("[TITLE]\r\nTitle=KALYNTH\r\n"), Record{});
}

TEST(Decoding, BooleansNeverFail) {
  const Record r =
      DecodeRecord(kHeader + "Btn2=0x1\r\nGua1=yes\r\nGua2=0\r\nGua3=0x0\r\nGua4=\r\nGua5=-3\r\n");
  EXPECT_TRUE(r.btn2);
  EXPECT_EQ(r.gua, (std::array<bool, 6>{true, false, false, true, true, true}));
}

TEST(Decoding, FirstBadIntegerStopsTheReading) {
  EXPECT_EQ(ErrorOf(kHeader + "yah=abc\r\n"), "'abc' is not a valid integer value");
  EXPECT_EQ(ErrorOf(kHeader + "yah=1\r\nday=x\r\nmon=1.5\r\n"), "'1.5' is not a valid integer value");
  EXPECT_EQ(ErrorOf(kHeader + "hour=\r\n"), "'' is not a valid integer value");
  EXPECT_EQ(ErrorOf(kHeader + "Btn2=1\r\nJaoNo=\xEF\xFF\xF2\xFC\r\n"), "'пять' is not a valid integer value");
  EXPECT_EQ(ErrorOf(kHeader + "yah=0x0B\r\nmon=+3\r\nJaoNo=7\r\n"), "no error");
  // The changing line of a record cast from line codes is not read by the window: no error.
  const Record r = DecodeRecord(kHeader + "Btn2=0\r\nJaoNo=bad\r\n");
  EXPECT_EQ(r.jaoNo, 0);
}

TEST(Decoding, OnlyTheFirstBeginnerSectionCounts) {
  const Record r =
      DecodeRecord(kHeader + "Edit1=588\r\n[%%%&*(0876&%9]\r\n[BEGINNER]\r\nEdit1=988\r\nyah=bad\r\n");
  EXPECT_EQ(r.lineCodes[0], "588");
  EXPECT_EQ(r.yah, 0);
  EXPECT_EQ(Lines(r.comments), (QStringList{"[BEGINNER]", "Edit1=988", "yah=bad"}));
}

TEST(Decoding, LineEndsOfEveryKind) {
  QByteArray lf = kDateCastBytes, cr = kDateCastBytes;
  lf.replace("\r\n", "\n");
  cr.replace("\r\n", "\r");
  EXPECT_EQ(DecodeRecord(lf), DateCastRecord());
  EXPECT_EQ(DecodeRecord(cr), DateCastRecord());
  // The last comment line without a line end still counts.
  EXPECT_EQ(DecodeRecord(kDateCastBytes.chopped(2)), DateCastRecord());
}

TEST(Comments, MarkerRule) {
  const QByteArray m("[%%%&*(0876&%9]");
  struct Case {
    const char* name;
    QByteArray bytes;
    QStringList box;
  };
  const Case cases[] = {
      {"no marker", kHeader, {}},
      {"marker alone", kHeader + m + "\r\n", {}},
      {"three lines", kHeader + m + "\r\na\r\nb\r\nc\r\n", {"a", "b", "c"}},
      {"empty lines kept", kHeader + m + "\r\n\r\nx\r\n\r\n", {"", "x", ""}},
      // A comment line equal to the marker: what follows it appears at the top and in its place.
      {"marker inside the comments",
       kHeader + m + "\r\na\r\n" + m + "\r\nb\r\nc\r\n",
       {"b", "c", "a", QString::fromLatin1(m), "b", "c"}},
      {"three markers",
       m + "\nx\n" + m + "\ny\n" + m + "\nz",
       {"z", "y", QString::fromLatin1(m), "z", "x", QString::fromLatin1(m), "y", QString::fromLatin1(m),
        "z"}},
      {"marker must be the whole line", kHeader + m + " \r\n a\r\n" + m.toLower() + "x\r\n", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Lines(CommentsRead(c.bytes)), c.box) << c.name;
}

TEST(Comments, SavingAgainWritesOneMarker) {
  Record r;
  r.comments = "one\ntwo\nthree";
  const Record back = DecodeRecord(EncodeRecord(r));
  EXPECT_EQ(back.comments, r.comments);
  EXPECT_EQ(EncodeRecord(back).count(CommentsMarker), 1);
}

// A file made of markers would repeat its text quadratically; the repeats
// stop at MaxRepeatedComments while the comments themselves stay whole.
TEST(Comments, RepeatsAreBounded) {
  const QByteArray m("[%%%&*(0876&%9]\r\n");
  QByteArray bytes = kHeader + m + "first\r\n";
  for (int i = 0; i < 20000; ++i) bytes += m;  // 20000 markers: about 3.4e9 characters unbounded
  bytes += "last\r\n";
  const QStringList box = Lines(CommentsRead(bytes));
  qsizetype repeated = 0;
  for (qsizetype i = 0; i < box.size() - 20002; ++i) repeated += box[i].size() + 1;
  EXPECT_LE(repeated, MaxRepeatedComments);
  EXPECT_GT(repeated, MaxRepeatedComments - 16 * 20000);
  ASSERT_GE(box.size(), 20002);
  // The bottom of the box is every line after the first marker, in file order.
  EXPECT_EQ(box[box.size() - 20002], "first");
  EXPECT_EQ(box.back(), "last");
  // The walk stopped after a few markers: the top is a repeated block, which starts with a marker.
  EXPECT_EQ(box.first(), QString::fromLatin1(CommentsMarker));
}

TEST(Unencodable, FieldsAreReportedAndNothingIsReplacedSilently) {
  Record r;
  r.lineCodes[2] = QStringLiteral("5\n4");  // a line break would end the value's line
  r.lineCodes[4] = QString(QChar(0));
  r.note = QStringLiteral("甲 note");
  r.comments = QStringLiteral("fine\nsmile 😀");
  EXPECT_EQ(UnencodableFields(r), (QStringList{"Edit3", "Edit5", "Edit7", "Comments"}));
  // After the window's warning the writer stores each such character as '?'.
  const QByteArray bytes = EncodeRecord(r);
  EXPECT_FALSE(bytes.contains('\x1A'));
  EXPECT_TRUE(IsRecord(bytes));
  const Record back = DecodeRecord(bytes);
  EXPECT_EQ(back.lineCodes[2], "5?4");
  EXPECT_EQ(back.lineCodes[4], "?");
  EXPECT_EQ(back.note, "? note");
  EXPECT_EQ(back.comments, "fine\nsmile ?");
  EXPECT_TRUE(UnencodableFields(DateCastRecord()).isEmpty());
  Record tabs;
  tabs.comments = QStringLiteral("a\tb");
  EXPECT_TRUE(UnencodableFields(tabs).isEmpty());
}

}  // namespace
}  // namespace records
