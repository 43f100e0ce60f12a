// A record file read into the divination model and written back from it.
#include "records/mapping.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace records {
namespace {

// A record written by hand (Windows-1251 bytes): cast from the date, year
// 5, month 3, day 15, hour index 6, primary number 4 (yin, yang, yin, yin,
// yin, yang) with line 6 changing; Russian note and two comment lines.
const QByteArray kDateRecord =
    "[TITLE]\r\nTitle=KALYNTH\r\n[BEGINNER]\r\nEdit1=588\r\nEdit2=\r\nEdit3=\r\nEdit4=\r\nEdit5=\r\nEdit6="
    "\r\n"
    "Edit7=\xE2\xEE\xEF\xF0\xEE\xF1\r\nyah=4\r\nmon=2\r\nday=14\r\nhour=6\r\nBtn2=1\r\n"
    "Gua1=0\r\nGua2=1\r\nGua3=0\r\nGua4=0\r\nGua5=0\r\nGua6=1\r\nJaoNo=6\r\n"
    "[%%%&*(0876&%9]\r\n\xEE\xE4\xE8\xED\r\n\xE4\xE2\xE0\r\n";

TEST(Mapping, DateRecordIntoTheModel) {
  const Record record = DecodeRecord(kDateRecord);
  core::Divination d;
  Restore(d, record);
  EXPECT_EQ(d.note(), "вопрос");
  EXPECT_EQ(d.comments(), (std::vector<std::string>{"один", "два"}));
  EXPECT_EQ(d.date(), (core::DateSelection{4, 2, 14, 6}));
  // Numbers 4, 24 and 7 of the worked date casting "year 5, month 3, day 15, hour У".
  EXPECT_EQ(d.numbers(), (core::Numbers{4, 24, 7}));
  EXPECT_EQ(d.CastDateText(), "Гуа на год 5, месяц 3, день 15, час У");
  EXPECT_EQ(d.ChangingLineNames(), std::vector<std::string>{"Наверху девятка"});
  // Written back from the model: the same record, byte for byte.
  EXPECT_EQ(EncodeRecord(RecordOf(d)), kDateRecord);
}

TEST(Mapping, ReadDivinationFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("date.kly"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(kDateRecord);
  file.close();
  const std::optional<core::Divination> d = ReadDivinationFile(path);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->numbers(), (core::Numbers{4, 24, 7}));
  EXPECT_FALSE(d->modified());
  EXPECT_TRUE(d->bound());
  EXPECT_FALSE(ReadDivinationFile(dir.filePath(QStringLiteral("missing.kly"))));
}

TEST(Mapping, EveryFieldBothWays) {
  Record r;
  r.lineCodes = {"588", "948", "", "5", "988", "12345"};
  r.note = QStringLiteral("заметка");
  r.yah = -1, r.mon = 11, r.day = 29, r.hour = 3;
  r.btn2 = true;
  r.gua = {false, true, true, false, true, false};
  r.jaoNo = 2;
  r.comments = QStringLiteral("а\n\nб");
  EXPECT_EQ(RecordOf(DivinationOf(r)), r);
}

}  // namespace
}  // namespace records
