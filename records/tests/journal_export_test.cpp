// The journal written out as CSV and JSON: hostile notes, comments and
// names come back whole through a CSV reader and a JSON reader.
#include "records/journal_export.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <fstream>

#include "records/journal.h"
#include "records/record.h"

namespace records {
namespace {

// RFC 4180 as a reader of the format knows it: records end in CR LF, a
// field in double quotes may hold anything, "" in it is one quote.
QList<QStringList> ParseCsv(const QByteArray& bytes) {
  QList<QStringList> rows;
  QStringList row;
  QByteArray field;
  qsizetype i = 0;
  while (i < bytes.size()) {
    if (bytes[i] == '"') {
      ++i;
      for (;; ++i) {
        if (i >= bytes.size()) ADD_FAILURE() << "unterminated quoted field";
        if (i >= bytes.size()) return rows;
        if (bytes[i] == '"') {
          if (i + 1 < bytes.size() && bytes[i + 1] == '"') {
            field += '"';
            ++i;
          } else {
            ++i;
            break;
          }
        } else {
          field += bytes[i];
        }
      }
    } else {
      while (i < bytes.size() && bytes[i] != ',' && bytes[i] != '\r' && bytes[i] != '\n') {
        EXPECT_NE(bytes[i], '"') << "quote in an unquoted field";
        field += bytes[i++];
      }
    }
    row.append(QString::fromUtf8(field));
    field.clear();
    if (i < bytes.size() && bytes[i] == ',') {
      ++i;
      continue;
    }
    // The end of a record: CR LF exactly.
    EXPECT_TRUE(i + 1 < bytes.size() && bytes[i] == '\r' && bytes[i + 1] == '\n')
        << "record not ended by CR LF";
    i += 2;
    rows.append(row);
    row.clear();
  }
  return rows;
}

class JournalExport : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    hostile_.lineCodes = {"588", "548", "544", "988", "544", "548"};
    hostile_.note = QString::fromUtf8("вопрос, \"в кавычках\"\tтаб \x01\x1b[31m; конец");
    QStringList lines;
    for (int n = 0; n < 200; ++n)  // far more than the row keeps
      lines.append(QString::fromUtf8("строка %1, «\"цитата\"», \t таб; \"\",\x02").arg(n));
    hostile_.comments = lines.join(u'\n');
    ASSERT_GT(hostile_.comments.size(), CommentsHeadLength);
    WriteRecordFile(dir_.filePath(QString::fromUtf8("a,\"b\".kly")), hostile_);

    plain_.lineCodes = {"588", "588", "588", "588", "588", "588"};
    plain_.note = "plain";
    plain_.comments = "one line";
    // A folder named in Windows-1251 by an old system ("Гадания").
    old_ = QFile::encodeName(dir_.path()) + "/\xc3\xe0\xe4\xe0\xed\xe8\xff";
    const QByteArray& old = old_;
    ASSERT_EQ(::mkdir(old.constData(), 0755), 0);
    std::ofstream(std::string(old.constData()) + "/x.kly", std::ios::binary)
        << EncodeRecord(plain_).toStdString();
    std::ofstream(dir_.filePath("broken.kly").toStdString(), std::ios::binary) << "not a record\r\n";
    rows_ = ScanJournal(dir_.path());
    ASSERT_EQ(rows_.size(), 3);
  }

  qsizetype IndexNamed(const QString& name) const {
    for (qsizetype i = 0; i < rows_.size(); ++i)
      if (rows_[i].fileName == name) return i;
    ADD_FAILURE() << "no row " << name.toStdString();
    return 0;
  }

  // Qt cannot remove a name that is not UTF-8: the old folder goes first.
  void TearDown() override {
    ::unlink((old_ + "/x.kly").constData());
    ::rmdir(old_.constData());
  }

  QTemporaryDir dir_;
  QByteArray old_;
  Record hostile_, plain_;
  QList<JournalRow> rows_;
};

TEST_F(JournalExport, CsvGivesEveryCellBackWhole) {
  const QList<QStringList> table = ParseCsv(JournalCsv(rows_));
  ASSERT_EQ(table.size(), rows_.size() + 1);
  QStringList header;
  for (int c = 0; c < JournalColumnCount; ++c) header.append(JournalColumnKey(c));
  EXPECT_EQ(table[0], header);
  for (qsizetype i = 0; i < rows_.size(); ++i) {
    const JournalRow& row = rows_[i];
    const QStringList& cells = table[i + 1];
    ASSERT_EQ(cells.size(), JournalColumnCount) << row.fileName.toStdString();
    for (int c = 0; c < JournalColumnCount; ++c) {
      QString expected = JournalCell(row, c);
      if (c == ColFile) expected = row.fileName;
      if (c == ColFolder) expected = row.folder;
      if (c == ColNote) expected = row.note;
      if (c == ColProblem) expected = row.problem;
      if (c == ColLunarDate) expected = row.lunarDate;
      if (c == ColComments) continue;
      EXPECT_EQ(cells[c], expected) << row.fileName.toStdString() << " " << JournalColumnKey(c);
    }
  }
  const qsizetype hostile = IndexNamed(QString::fromUtf8("a,\"b\".kly"));
  EXPECT_EQ(rows_[hostile].note, hostile_.note);
  EXPECT_EQ(table[hostile + 1][ColComments], hostile_.comments);
  EXPECT_EQ(table[IndexNamed("x.kly") + 1][ColFolder], QString::fromUtf8("Гадания"));
  EXPECT_EQ(table[IndexNamed("broken.kly") + 1][ColComments], "");
}

TEST_F(JournalExport, JsonHasTypedFieldsAndWholeTexts) {
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(JournalJson(rows_), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
  ASSERT_TRUE(doc.isArray());
  const QJsonArray array = doc.array();
  ASSERT_EQ(array.size(), rows_.size());
  for (qsizetype i = 0; i < rows_.size(); ++i) {
    const JournalRow& row = rows_[i];
    const QJsonObject o = array[i].toObject();
    EXPECT_EQ(o["file"].toString(), row.fileName);
    EXPECT_EQ(o["folder"].toString(), row.folder);
    EXPECT_EQ(o["path"].toString(), row.path);
    EXPECT_EQ(QDateTime::fromString(o["saved"].toString(), Qt::ISODate).toSecsSinceEpoch(),
              row.saved.toSecsSinceEpoch());
    EXPECT_TRUE(o["saved"].toString().contains('T'));
    EXPECT_TRUE(o["cast"].isNull());  // these records keep no moment
    EXPECT_FALSE(o["is_folder"].toBool());
  }
  const QJsonObject hostile = array[IndexNamed(QString::fromUtf8("a,\"b\".kly"))].toObject();
  EXPECT_EQ(hostile["note"].toString(), hostile_.note);
  EXPECT_EQ(hostile["comments"].toString(), hostile_.comments);
  EXPECT_EQ(hostile["primary"].toInt(-1), 63);
  EXPECT_EQ(hostile["nuclear"].toInt(-1), 64);
  EXPECT_EQ(hostile["changed"].toInt(-1), 51);
  EXPECT_EQ(hostile["changing_lines"].toArray(), (QJsonArray{3, 4, 5}));
  EXPECT_TRUE(hostile["problem"].isNull());
  EXPECT_TRUE(hostile["lunar_date"].isNull());

  const QJsonObject old = array[IndexNamed("x.kly")].toObject();
  EXPECT_EQ(old["folder"].toString(), QString::fromUtf8("Гадания"));
  EXPECT_EQ(old["changing_lines"].toArray(), QJsonArray{});
  EXPECT_EQ(old["primary"].toInt(-1), 1);

  const QJsonObject broken = array[IndexNamed("broken.kly")].toObject();
  EXPECT_TRUE(broken["primary"].isNull());
  EXPECT_TRUE(broken["changed"].isNull());
  EXPECT_FALSE(broken["problem"].toString().isEmpty());
}

// The moment of the cast goes out with the offset it was cast in.
TEST_F(JournalExport, TheMomentOfTheCastKeepsItsOffset) {
  Record r = plain_;
  r.context = core::CastContext{};
  r.context->moment = "2026-12-11T22:57:05+03:00";
  r.context->method = core::CastMethod::Codes;
  WriteRecordFile(dir_.filePath("moment.kly"), r);
  const QList<JournalRow> rows{ReadJournalRow(dir_.filePath("moment.kly"), dir_.path())};
  const QJsonObject o = QJsonDocument::fromJson(JournalJson(rows)).array()[0].toObject();
  EXPECT_EQ(o["cast"].toString(), "2026-12-11T22:57:05+03:00");
  EXPECT_FALSE(o["context"].toString().isEmpty());
}

TEST(CsvField, QuotesOnlyWhatMustBeQuoted) {
  const struct {
    const char* text;
    const char* field;
  } cases[] = {
      {"", ""},
      {"plain", "plain"},
      {"tab\there", "tab\there"},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"cr\rlf\n", "\"cr\rlf\n\""},
      {"ж", "ж"},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvField(QString::fromUtf8(c.text)), QByteArray(c.field)) << c.text;
}

}  // namespace
}  // namespace records
