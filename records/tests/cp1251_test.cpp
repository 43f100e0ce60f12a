// The Windows-1251 table.
#include "records/cp1251.h"

#include <gtest/gtest.h>

#include <QStringDecoder>

namespace records {
namespace {

TEST(Windows1251, EveryByteDecodesAndEncodesBack) {
  QByteArray all(256, '\0');
  for (int b = 0; b < 256; ++b) all[b] = static_cast<char>(b);
  const QString text = DecodeWindows1251(all);
  ASSERT_EQ(text.size(), 256);
  bool complete = false;
  EXPECT_EQ(EncodeWindows1251(text, &complete), all);
  EXPECT_TRUE(complete);
  EXPECT_TRUE(IsWindows1251(text));
}

// The table against the platform's ICU converter, byte by byte.
TEST(Windows1251, AgreesWithTheSystemConverter) {
  QStringDecoder icu("windows-1251");
  if (!icu.isValid()) GTEST_SKIP() << "this Qt has no windows-1251 converter";
  for (int b = 0; b < 256; ++b) {
    QStringDecoder fresh("windows-1251");
    const char byte = static_cast<char>(b);
    const QString want = fresh.decode(QByteArrayView(&byte, 1));
    EXPECT_EQ(DecodeWindows1251(QByteArrayView(&byte, 1)), want) << "byte " << b;
  }
}

TEST(Windows1251, ExactlyTheTwoHundredFiftySixCharactersAreEncodable) {
  int encodable = 0;
  for (char32_t c = 0; c <= 0xFFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const QChar ch(static_cast<char16_t>(c));
    const bool ok = IsWindows1251(QStringView(&ch, 1));
    encodable += ok;
    if (ok) {
      EXPECT_EQ(DecodeWindows1251(EncodeWindows1251(QStringView(&ch, 1))), QString(ch)) << int(c);
    }
  }
  EXPECT_EQ(encodable, 256);
}

TEST(Windows1251, KnownCharacters) {
  // Bytes of the code page chart: А..я at C0..FF, Ё A8, ё B8, « AB, » BB, № B9, € 88.
  EXPECT_EQ(EncodeWindows1251(u"Ая"), QByteArray("\xC0\xFF"));
  EXPECT_EQ(EncodeWindows1251(u"Ёё«»№€"), QByteArray("\xA8\xB8\xAB\xBB\xB9\x88"));
}

TEST(Windows1251, EachUnencodableCharacterBecomesOneQuestionMark) {
  struct Case {
    QString text;
    QByteArray bytes;
  };
  const Case cases[] = {
      {QStringLiteral("a甲b"), "a?b"},
      {QStringLiteral("x😀y"), "x?y"},                           // a surrogate pair is one character
      {QString(QChar(0xD800)) + QLatin1String("z"), "?z"},      // a lone surrogate
      {QString(QChar(0xDC00)) + QString(QChar(0xD800)), "??"},  // pieces in the wrong order
      {QStringLiteral("Ǆ"), "?"},
  };
  for (const Case& c : cases) {
    bool complete = true;
    EXPECT_EQ(EncodeWindows1251(c.text, &complete), c.bytes) << c.text.toStdString();
    EXPECT_FALSE(complete);
    EXPECT_FALSE(IsWindows1251(c.text));
  }
}

}  // namespace
}  // namespace records
