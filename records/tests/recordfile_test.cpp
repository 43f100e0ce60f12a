// Record files on disk: atomic saving, refusing what cannot be a record.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>

#include "records/record.h"

namespace records {

void PrintTo(const Record& r, std::ostream* os);  // record_test.cpp

namespace {

Record SampleRecord() {
  Record r;
  r.lineCodes = {"588", "588", "544", "588", "588", "588"};
  r.note = QStringLiteral("Заметка");
  r.comments = {QStringLiteral("строка 1"), QStringLiteral("строка 2")};
  return r;
}

class RecordFileTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

  QString Path(const QString& name) const { return dir_.filePath(name); }

  static QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
  }

  static void Put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
  }

  QStringList Entries() const { return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden); }

  static Record Sample() { return SampleRecord(); }

  static std::string SaveError(const QString& path, const Record& r) {
    try {
      WriteRecordFile(path, r);
    } catch (const RecordError& e) {
      return e.text().toStdString();
    }
    return "saved";
  }

  QTemporaryDir dir_;
};

TEST_F(RecordFileTest, WriteThenReadGivesTheSameRecord) {
  const QString path = Path(QStringLiteral("запись.kly"));
  WriteRecordFile(path, Sample());
  EXPECT_EQ(Contents(path), EncodeRecord(Sample()));
  EXPECT_TRUE(IsRecordFile(path));
  EXPECT_EQ(ReadRecordFile(path), Sample());
}

TEST_F(RecordFileTest, SavingReplacesTheWholeFile) {
  const QString path = Path("a.kly");
  Record big = Sample();
  for (int i = 0; i < 100; ++i) big.comments.append(QString(80, u'x'));
  WriteRecordFile(path, big);
  WriteRecordFile(path, Sample());
  EXPECT_EQ(Contents(path), EncodeRecord(Sample()));
  EXPECT_EQ(Entries(), QStringList{"a.kly"});  // nothing left beside it
}

TEST_F(RecordFileTest, FileThatCannotBeCreated) {
  const QString missingDir = Path("no/such/dir/a.kly");
  EXPECT_EQ(SaveError(missingDir, Sample()), "Cannot create file " + missingDir.toStdString());

  const QString folder = Path("folder.kly");
  ASSERT_TRUE(QDir().mkdir(folder));
  EXPECT_EQ(SaveError(folder, Sample()), "Cannot create file " + folder.toStdString());
  EXPECT_TRUE(QFileInfo(folder).isDir());
}

// A write that fails half-way (the disk fills up) leaves the previous record
// byte for byte. The file-size limit makes the write fail for any user, root
// included.
TEST_F(RecordFileTest, FailedWriteLeavesTheOldRecord) {
  const QString path = Path("old.kly");
  WriteRecordFile(path, Sample());
  const QByteArray before = Contents(path);

  Record bigger = Sample();
  for (int i = 0; i < 1000; ++i) bigger.comments.append(QString(100, u'y'));

  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string error = SaveError(path, bigger);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(error, "Cannot create file " + path.toStdString());
  EXPECT_EQ(Contents(path), before);
  EXPECT_EQ(Entries(), QStringList{"old.kly"});
}

TEST_F(RecordFileTest, ReadOnlyFolderKeepsTheOldRecord) {
  if (geteuid() == 0) GTEST_SKIP() << "folder permissions do not bind root";
  const QString sub = Path("ro");
  ASSERT_TRUE(QDir().mkdir(sub));
  const QString path = sub + "/a.kly";
  WriteRecordFile(path, Sample());
  const QByteArray before = Contents(path);
  ASSERT_EQ(chmod(QFile::encodeName(sub).constData(), 0555), 0);
  Record other = Sample();
  other.note = "other";
  EXPECT_EQ(SaveError(path, other), "Cannot create file " + path.toStdString());
  chmod(QFile::encodeName(sub).constData(), 0755);
  EXPECT_EQ(Contents(path), before);
}

TEST_F(RecordFileTest, SavingThroughALinkKeepsTheLink) {
  const QString target = Path("target.kly"), link = Path("link.kly");
  WriteRecordFile(target, Record{});
  ASSERT_TRUE(QFile::link(target, link));
  WriteRecordFile(link, Sample());
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  EXPECT_EQ(ReadRecordFile(target), Sample());
}

TEST_F(RecordFileTest, SavingKeepsThePermissions) {
  const QString path = Path("p.kly");
  WriteRecordFile(path, Record{});
  ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
  WriteRecordFile(path, Sample());
  EXPECT_EQ(QFile::permissions(path) & 0x7777, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
}

TEST_F(RecordFileTest, WhatCannotBeARecordIsNotOpened) {
  const QString fifo = Path("pipe.kly");
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString link = Path("link-to-pipe.kly");
  ASSERT_TRUE(QFile::link(fifo, link));
  const QString folder = Path("folder.kly");
  ASSERT_TRUE(QDir().mkdir(folder));

  // Opening the pipe would wait for a writer: these must return at once.
  for (const QString& path : {fifo, link, folder, QStringLiteral("/dev/null"), QStringLiteral("/dev/zero"),
                              Path("missing.kly")}) {
    EXPECT_EQ(ReadRecordBytes(path), std::nullopt) << path.toStdString();
    EXPECT_FALSE(IsRecordFile(path)) << path.toStdString();
    EXPECT_EQ(ReadRecordFile(path), std::nullopt) << path.toStdString();
  }
}

TEST_F(RecordFileTest, SixteenMebibytesAtMost) {
  // A valid record padded with comment lines to exactly MaxRecordSize bytes.
  QByteArray bytes = EncodeRecord(Sample());
  const QByteArray line = QByteArray(1022, 'c') + "\r\n";
  while (bytes.size() + line.size() <= MaxRecordSize) bytes += line;
  bytes += QByteArray(MaxRecordSize - bytes.size() - 2, 'z') + "\r\n";
  ASSERT_EQ(bytes.size(), MaxRecordSize);

  const QString exact = Path("exact.kly");
  Put(exact, bytes);
  EXPECT_TRUE(IsRecordFile(exact));
  const std::optional<Record> r = ReadRecordFile(exact);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->note, Sample().note);

  const QString larger = Path("larger.kly");
  Put(larger, bytes + "z");
  EXPECT_EQ(ReadRecordBytes(larger), std::nullopt);
  EXPECT_FALSE(IsRecordFile(larger));

  // A sparse file far beyond the limit is refused by its size alone.
  const QString huge = Path("huge.kly");
  {
    QFile f(huge);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(EncodeRecord(Sample()));
    ASSERT_TRUE(f.resize(qint64(1) << 40));
  }
  EXPECT_EQ(ReadRecordFile(huge), std::nullopt);

  QBuffer over;
  QByteArray overBytes = bytes + "z";
  over.setBuffer(&overBytes);
  EXPECT_EQ(ReadRecord(over), std::nullopt);
}

TEST_F(RecordFileTest, BinaryFileIsNotARecord) {
  const QString path = Path("image.kly");
  QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
  png += EncodeRecord(Sample());  // even with a record's text inside
  Put(path, png);
  EXPECT_FALSE(IsRecordFile(path));
  EXPECT_EQ(ReadRecordFile(path), std::nullopt);
  EXPECT_EQ(Contents(path), png);
}

TEST(RecordDevice, ReadsFromMemory) {
  QByteArray bytes = EncodeRecord(SampleRecord());
  QBuffer buffer(&bytes);  // closed: opened read-only for the read
  EXPECT_EQ(ReadRecord(buffer), DecodeRecord(bytes));

  QByteArray notRecord("[TITLE]\r\nTitle=kalynth\r\n");
  QBuffer other(&notRecord);
  EXPECT_EQ(ReadRecord(other), std::nullopt);

  QByteArray bad("[TITLE]\r\nTitle=KALYNTH\r\n[BEGINNER]\r\nday=1O\r\n");
  QBuffer badBuffer(&bad);
  EXPECT_THROW(ReadRecord(badBuffer), RecordError);

  QBuffer writeOnly;
  writeOnly.open(QIODevice::WriteOnly);
  EXPECT_EQ(ReadRecord(writeOnly), std::nullopt);
}

}  // namespace
}  // namespace records
