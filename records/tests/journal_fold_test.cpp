// The journal's search folding: file names in ASCII take a short way that
// must fold as the general one does.
#include <gtest/gtest.h>

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
