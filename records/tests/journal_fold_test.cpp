// The journal's search folding: file names in ASCII take a short way that
// must fold as the general one does.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "records/journal.h"

namespace records {
namespace {

TEST(FoldForSearch, AsciiAndOtherTexts) {
  const struct {
    const char* text;
    const char* folded;
  } cases[] = {
      {"", ""},
      {"Untitle9999.KLY", "untitle9999.kly"},
      {"AZaz@[`{~ 09", "azaz@[`{~ 09"},
      {"Запись ЁЛКА.kly", "запись елка.kly"},  // not ASCII: folded, ё as е
      {"ÀÉ Ω", "àé ω"},
  };
  for (const auto& c : cases) {
    const QString text = QString::fromUtf8(c.text);
    EXPECT_EQ(FoldForSearch(text), QString::fromUtf8(c.folded)) << c.text;
    QString general = text.toCaseFolded();
    general.replace(u'ё', u'е');
    EXPECT_EQ(FoldForSearch(text), general) << c.text;
  }
}

}  // namespace
}  // namespace records

// The journal lists exactly the names the window opens: a name it would
// refuse (a.kLy) is not listed.
TEST(JournalCandidate, TheWindowsRecordNames) {
  for (const char* name : {"a.kly", "a.KLY", "a.Kly"})
    EXPECT_TRUE(records::IsJournalCandidate(QString::fromLatin1(name))) << name;
  for (const char* name : {"a.kLy", "a.KLy", "a.klY", "a.kly.pdf"})
    EXPECT_FALSE(records::IsJournalCandidate(QString::fromLatin1(name))) << name;
  // The folder walk, which reads the names' bytes, keeps the same rule.
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const char* name : {"a.kly", "b.KLY", "c.Kly", "d.kLy", "e.klY"}) {
    QFile file(dir.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  QStringList listed;
  for (const records::JournalEntry& entry : records::ListJournalTree(dir.path()).files)
    listed << QFileInfo(entry.path).fileName();
  EXPECT_EQ(listed, (QStringList{"a.kly", "b.KLY", "c.Kly"}));
}
