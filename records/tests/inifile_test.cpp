// The INI reader and writer of record files.
#include "records/inifile.h"

#include <gtest/gtest.h>

#include "records/record.h"

namespace records {
namespace {

QStringList Lines(QByteArrayView text) {
  QStringList out;
  for (QByteArrayView line : SplitLines(text)) out.append(QString::fromLatin1(line));
  return out;
}

TEST(SplitLines, CrLfLfAndCrEndLines) {
  struct Case {
    const char* text;
    QStringList lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR: two line ends
      {"\r\n", {""}},
      {"a\r\n\r\n", {"a", ""}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"x\ry\nz\r\nw", {"x", "y", "z", "w"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Lines(c.text), c.lines) << QByteArray(c.text).toPercentEncoding().data();
}

TEST(ParseIniInteger, AcceptsDecimalAndHexOnly) {
  struct Case {
    const char* text;
    std::optional<int> value;
  };
  const Case cases[] = {
      {"0", 0},
      {"12", 12},
      {"-1", -1},
      {"+7", 7},
      {"007", 7},
      {"0x1F", 31},
      {"0X1f", 31},
      {"-0x10", -16},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"0x7FFFFFFF", 2147483647},
      {"", std::nullopt},
      {" 1", std::nullopt},
      {"1 ", std::nullopt},
      {"abc", std::nullopt},
      {"1.5", std::nullopt},
      {"0x", std::nullopt},
      {"0xG", std::nullopt},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"0x80000000", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"1e3", std::nullopt},
      {"$10", std::nullopt},
      {"--1", std::nullopt},
      {"+", std::nullopt},
      {"-", std::nullopt},
      {"１", std::nullopt},  // a fullwidth digit
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseIniInteger(QString::fromUtf8(c.text)), c.value) << '"' << c.text << '"';
}

TEST(IniFile, NamesMatchWithoutRegardToCase) {
  const IniFile ini("[title]\r\ntItLe=KALYNTH\r\n[\xD0\xE0\xE7\xE4\xE5\xEB]\r\n\xCA\xEB\xFE\xF7=1\r\n",
                    {{"TITLE", {"Title"}}, {QStringLiteral("Раздел"), {QStringLiteral("Ключ")}}});
  EXPECT_EQ(ini.readString("TITLE", "Title", "-"), "KALYNTH");
  // Cyrillic names fold too ("Раздел" / "раздел", "Ключ" / "КЛЮЧ").
  EXPECT_EQ(ini.readString(QStringLiteral("раздел"), QStringLiteral("КЛЮЧ"), "-"), "1");
}

TEST(IniFile, FirstSectionOfANameAndFirstKeyWin) {
  const IniFile ini(
      "[A]\nk=first\nk=second\n"
      "[B]\nx=1\n"
      "[a]\nk=third\nonly=later\n",
      {{"A", {"k", "only"}}, {"B", {"x"}}});
  EXPECT_EQ(ini.readString("A", "k", "-"), "first");
  EXPECT_EQ(ini.readString("A", "only", "-"), "-");  // a later [A] adds nothing
  EXPECT_EQ(ini.readString("B", "x", "-"), "1");
}

// Names wanted twice in spellings that fold alike are one name: asked
// with either spelling, or another, the first of them answers.
TEST(IniFile, NamesWantedTwiceAreOneName) {
  const IniFile sections("[a]\nk=1\n", {{"A", {"k"}}, {"a", {"k"}}});
  for (const char* name : {"A", "a"}) EXPECT_EQ(sections.readString(name, "k", "-"), "1") << name;
  const IniFile keys("[s]\nk=2\n", {{"S", {"K", "k"}}});
  for (const char* key : {"K", "k"}) EXPECT_EQ(keys.readString("s", key, "-"), "2") << key;
  EXPECT_EQ(keys.readString("S", "k", "-"), "2");
  EXPECT_EQ(keys.readString("S", "other", "-"), "-");
  EXPECT_EQ(keys.readString("T", "k", "-"), "-");
}

TEST(IniFile, ValueIsTheTrimmedTextAfterTheFirstEquals) {
  const IniFile ini(
      "outside=1\n"
      "  [ S ]  trailing\n"
      "\t key \t=  a = b \t\n"
      "empty=\n"
      "blank=   \n"
      "no equals sign\n"
      "=nameless\n"
      "quoted=\"q\"\n",
      {{"S", {"key", "empty", "blank", "quoted", "no equals sign", "missing"}},
       {"", {"outside"}},
       {"Missing", {"key"}}});
  EXPECT_EQ(ini.value("S", "key"), QString("a = b"));
  EXPECT_EQ(ini.value("S", "empty"), QString(""));
  EXPECT_EQ(ini.value("S", "blank"), QString(""));
  EXPECT_EQ(ini.value("S", "quoted"), QString("\"q\""));  // no quote stripping
  EXPECT_EQ(ini.value("S", "no equals sign"), std::nullopt);
  EXPECT_EQ(ini.value("", "outside"), std::nullopt);  // keys before any section belong to none
  EXPECT_EQ(ini.readString("S", "missing", "def"), "def");
  EXPECT_EQ(ini.readString("Missing", "key", "def"), "def");
}

TEST(IniFile, ValuesAreCutTo2047Characters) {
  for (int length : {2046, 2047, 2048, 3000}) {
    const QByteArray text = "[S]\nv=" + QByteArray(length, 'x') + "\n";
    EXPECT_EQ(IniFile(text, {{"S", {"v"}}}).value("S", "v")->size(), std::min(length, 2047)) << length;
  }
  // A blank where the cut falls does not stay at the end of the value.
  const QByteArray text = "[S]\nv=" + QByteArray(2045, 'x') + "  yy\n";
  EXPECT_EQ(IniFile(text, {{"S", {"v"}}}).value("S", "v"), QString(2045, u'x'));
}

TEST(IniFile, IntegersAreStrict) {
  const IniFile ini("[S]\nhex=0x10\nneg=-1\nbad=12a\nempty=\n",
                    {{"S", {"hex", "neg", "bad", "empty", "missing"}}});
  EXPECT_EQ(ini.readInteger("S", "hex", 0), 16);
  EXPECT_EQ(ini.readInteger("S", "neg", 0), -1);
  EXPECT_EQ(ini.readInteger("S", "missing", 5), 5);
  for (const auto& [key, text] : {std::pair{"bad", "'12a' is not a valid integer value"},
                                  std::pair{"empty", "'' is not a valid integer value"}}) {
    try {
      ini.readInteger("S", key, 0);
      ADD_FAILURE() << key << " converted";
    } catch (const RecordError& e) {
      EXPECT_EQ(e.text(), text);
    }
  }
}

TEST(IniFile, BooleansFallBackToTheDefault) {
  const IniFile ini("[S]\none=1\nzero=0\nhexzero=0x0\nhex=0X10\nminus=-1\nword=yes\nempty=\n",
                    {{"S", {"one", "zero", "hexzero", "hex", "minus", "word", "empty", "missing"}}});
  struct Case {
    const char* key;
    bool ifDefaultFalse, ifDefaultTrue;
  };
  const Case cases[] = {{"one", true, true},    {"zero", false, false},  {"hexzero", false, false},
                        {"hex", true, true},    {"minus", true, true},   {"word", false, true},
                        {"empty", false, true}, {"missing", false, true}};
  for (const Case& c : cases) {
    EXPECT_EQ(ini.readBool("S", c.key, false), c.ifDefaultFalse) << c.key;
    EXPECT_EQ(ini.readBool("S", c.key, true), c.ifDefaultTrue) << c.key;
  }
}

// Only what was asked for is kept; the rest of the file is read past.
TEST(IniFile, KeepsOnlyTheWantedKeys) {
  const QByteArray text =
      "[TITLE]\nTitle=KALYNTH\nOther=1\n"
      "[1a2b]\nk=\n[1a2c]\nk=\n"
      "[BEGINNER]\nEdit1=588\nunknown=x\nEdit1=999\n"
      "[beginner]\nyah=5\n";
  const IniFile ini(text, {{"TITLE", {"Title"}}, {"BEGINNER", {"Edit1", "yah"}}});
  EXPECT_EQ(ini.value("TITLE", "Title"), QString("KALYNTH"));
  EXPECT_EQ(ini.value("beginner", "EDIT1"), QString("588"));
  EXPECT_EQ(ini.value("BEGINNER", "yah"), std::nullopt);  // only in a later section of the name
  EXPECT_EQ(ini.value("TITLE", "Other"), std::nullopt);   // present, not asked for
  EXPECT_EQ(ini.value("1a2b", "k"), std::nullopt);
  EXPECT_EQ(ini.value("BEGINNER", "unknown"), std::nullopt);
}

// A hostile file: a million sections, then the wanted one; or the wanted
// section with two million keys. The answer is as for a small file.
TEST(IniFile, HostileFilesGiveTheSameAnswer) {
  QByteArray manySections = "[TITLE]\r\nTitle=KALYNTH\r\n";
  for (int i = 0; i < 1000000; ++i) manySections += "[" + QByteArray::number(i, 16) + "]\r\nk=\r\n";
  manySections += "[BEGINNER]\r\nEdit1=588\r\n";
  const IniFile a(manySections, {{"BEGINNER", {"Edit1"}}, {"TITLE", {"Title"}}});
  EXPECT_EQ(a.value("BEGINNER", "Edit1"), QString("588"));
  EXPECT_EQ(a.value("TITLE", "Title"), QString("KALYNTH"));

  QByteArray manyKeys = "[BEGINNER]\r\n";
  for (int i = 0; i < 2000000; ++i) manyKeys += QByteArray::number(i, 16) + "=\r\n";
  manyKeys += "JaoNo=3\r\n";
  const IniFile b(manyKeys, {{"BEGINNER", {"JaoNo"}}});
  EXPECT_EQ(b.readInteger("BEGINNER", "JaoNo", 0), 3);
}

TEST(IniWriter, KeepsFirstWriteOrderAndReplacesInPlace) {
  IniWriter w;
  w.writeString("TITLE", "Title", "x");
  w.writeString("BEGINNER", "a", "1");
  w.writeString("BEGINNER", "b", "2");
  w.writeString("title", "TITLE", "KALYNTH");
  w.writeString("BEGINNER", "A", "3");
  EXPECT_EQ(w.lines(), (QStringList{"[TITLE]", "Title=KALYNTH", "[BEGINNER]", "a=3", "b=2"}));
}

}  // namespace
}  // namespace records
