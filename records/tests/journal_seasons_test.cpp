// The hexagrams by season over a folder of records that keep their moment.
#include "records/journal_seasons.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "calendar/season.h"
#include "records/record.h"

namespace records {
namespace {

void WriteRecord(const QString& path, const std::array<QString, 6>& codes, int term) {
  Record r;
  r.lineCodes = codes;
  if (term >= 0) {
    r.context = core::CastContext{};
    r.context->moment = "2026-12-11T12:00:00+03:00";
    r.context->term = calendar::TermName(term);
  }
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(EncodeRecord(r));
}

TEST(HexagramsBySeason, CountsPerTermMostFrequentFirst) {
  QTemporaryDir dir;
  const std::array<QString, 6> qian{"588", "588", "588", "588", "588", "588"};  // 1
  const std::array<QString, 6> kun{"548", "548", "548", "548", "548", "548"};   // 2
  const std::array<QString, 6> tai{"588", "588", "588", "548", "548", "548"};   // 11
  // Term 18 (the winter solstice): 2 twice, 1 and 11 once; term 3: 11 once;
  // a record without a moment and a file that is no record count nowhere.
  WriteRecord(dir.filePath("a.kly"), kun, 18);
  WriteRecord(dir.filePath("b.kly"), qian, 18);
  WriteRecord(dir.filePath("c.kly"), kun, 18);
  WriteRecord(dir.filePath("d.kly"), tai, 18);
  WriteRecord(dir.filePath("e.kly"), tai, 3);
  WriteRecord(dir.filePath("f.kly"), qian, -1);
  QFile other(dir.filePath("g.kly"));
  ASSERT_TRUE(other.open(QIODevice::WriteOnly));
  other.write("not a record");
  other.close();

  const QList<JournalRow> rows = ScanJournal(dir.path());
  ASSERT_EQ(rows.size(), 7);
  const QList<SeasonRow> table = HexagramsBySeason(rows);
  ASSERT_EQ(table.size(), 24);
  for (int k = 0; k < 24; ++k) {
    EXPECT_EQ(table[k].term, k);
    if (k != 18 && k != 3) {
      EXPECT_EQ(table[k].casts, 0) << k;
      EXPECT_TRUE(table[k].hexagrams.isEmpty()) << k;
    }
  }
  EXPECT_EQ(table[18].casts, 4);
  EXPECT_EQ(table[18].hexagrams, (QList<std::pair<int, int>>{{2, 2}, {1, 1}, {11, 1}}));
  EXPECT_EQ(table[3].casts, 1);
  EXPECT_EQ(table[3].hexagrams, (QList<std::pair<int, int>>{{11, 1}}));
}

}  // namespace
}  // namespace records
