// Record files on disk: atomic saving, refusing what cannot be a record.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "fuzz/worst_cases.h"
#include "records/inifile.h"
#include "records/record.h"

namespace records {

void PrintTo(const Record& r, std::ostream* os);  // record_test.cpp

namespace {

Record SampleRecord() {
  Record r;
  r.lineCodes = {"588", "588", "544", "588", "588", "588"};
  r.note = QStringLiteral("Заметка");
  r.comments = QStringLiteral("строка 1\nстрока 2");
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

  QStringList Entries() const {
    return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
  }

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
  for (int i = 0; i < 100; ++i) big.comments.append(u'\n' + QString(80, u'x'));
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

// A record whose file is exactly `size` bytes (comment lines fill it up).
Record RecordOfSize(qsizetype size) {
  Record r = SampleRecord();
  const qsizetype base = EncodeRecord(r).size();
  EXPECT_GE(size, base + 3);
  qsizetype left = size - base;
  while (left > 0) {
    const qsizetype line = left <= 1000 ? left : left - 1000 < 3 ? 500 : 1000;  // with its CR LF
    r.comments.append(u'\n' + QString(line - 2, u'y'));
    left -= line;
  }
  EXPECT_EQ(EncodeRecord(r).size(), size);
  return r;
}

// Sizes around Qt's 16 KB write buffer: a record smaller than the buffer
// was written only when the file was closed, where a failure went unseen.
struct SaveSize {
  const char* name;
  qsizetype size;
};
const SaveSize kSaveSizes[] = {
    {"small record", 1500}, {"exactly 16384 bytes", 16384}, {"large record", 300000}};

// A write that fails half-way (the disk fills up) leaves the previous record
// byte for byte. The file-size limit makes the write fail for any user, root
// included, the way a full disk does: the limit is lowered below each new
// record's size, so the write is cut short wherever it happens.
TEST_F(RecordFileTest, FailedWriteLeavesTheOldRecord) {
  const QString path = Path("old.kly");
  WriteRecordFile(path, Sample());
  const QByteArray before = Contents(path);

  for (const SaveSize& c : kSaveSizes) {
    const Record bigger = RecordOfSize(c.size);
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = rlim_t(c.size / 2);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string error = SaveError(path, bigger);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(error, "Cannot create file " + path.toStdString()) << c.name;
    EXPECT_EQ(Contents(path), before) << c.name;
    EXPECT_EQ(Entries(), QStringList{"old.kly"}) << c.name;
    // With the limit back, the same record is saved.
    WriteRecordFile(path, bigger);
    EXPECT_EQ(Contents(path), EncodeRecord(bigger)) << c.name;
    WriteRecordFile(path, Sample());
  }
}

// The same on a real full file system: a 64 KiB tmpfs (needs root for the
// mount).
TEST_F(RecordFileTest, FullDiskLeavesTheOldRecord) {
  if (geteuid() != 0)
    GTEST_SKIP() << "mounting a small tmpfs needs root; the file-size limit test covers the rest";
  const QString mountPoint = Path("disk");
  ASSERT_TRUE(QDir().mkdir(mountPoint));
  const QByteArray where = QFile::encodeName(mountPoint);
  if (::mount("tmpfs", where.constData(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "mount -t tmpfs is not permitted here: " << std::strerror(errno);
  struct Unmount {
    QByteArray at;
    ~Unmount() { ::umount2(at.constData(), MNT_DETACH); }
  } unmount{where};

  const QString path = mountPoint + "/old.kly";
  WriteRecordFile(path, Sample());
  const QByteArray before = Contents(path);
  // Fill every free block.
  {
    QFile filler(mountPoint + "/filler");
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size()) {
    }
  }
  const auto entries = [&] {
    return QDir(mountPoint).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
  };
  for (const SaveSize& c : kSaveSizes) {
    EXPECT_EQ(SaveError(path, RecordOfSize(c.size)), "Cannot create file " + path.toStdString()) << c.name;
    EXPECT_EQ(Contents(path), before) << c.name;
    EXPECT_EQ(entries(), (QStringList{"filler", "old.kly"})) << c.name;
  }
  // Some room, not enough for the record.
  ASSERT_TRUE(QFile::resize(mountPoint + "/filler", QFileInfo(mountPoint + "/filler").size() - 8192));
  EXPECT_EQ(SaveError(path, RecordOfSize(16384)), "Cannot create file " + path.toStdString());
  EXPECT_EQ(Contents(path), before);
  // Room enough.
  ASSERT_TRUE(QFile::remove(mountPoint + "/filler"));
  const Record fits = RecordOfSize(16384);
  WriteRecordFile(path, fits);
  EXPECT_EQ(Contents(path), EncodeRecord(fits));
  EXPECT_EQ(entries(), QStringList{"old.kly"});
}

// Root saving another user's record leaves it that user's, with its mode.
TEST_F(RecordFileTest, SavingKeepsOwnerAndGroup) {
  if (geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
  const QString path = Path("theirs.kly");
  WriteRecordFile(path, Record{});
  const QByteArray name = QFile::encodeName(path);
  constexpr uid_t kNobody = 65534;
  constexpr gid_t kNogroup = 65534;
  ASSERT_EQ(::chown(name.constData(), kNobody, kNogroup), 0);
  ASSERT_EQ(::chmod(name.constData(), 0640), 0);
  WriteRecordFile(path, Sample());
  struct stat st {};
  ASSERT_EQ(::stat(name.constData(), &st), 0);
  EXPECT_EQ(st.st_uid, kNobody);
  EXPECT_EQ(st.st_gid, kNogroup);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Contents(path), EncodeRecord(Sample()));
}

// What a save does to names that are not a plain file of their own: the
// saved name gets a new file of its own.
TEST_F(RecordFileTest, HardLinkAndPipeGetAFileOfTheirOwn) {
  const QString path = Path("a.kly"), other = Path("other-name.kly");
  WriteRecordFile(path, Record{});
  ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
  WriteRecordFile(path, Sample());
  EXPECT_EQ(Contents(path), EncodeRecord(Sample()));
  EXPECT_EQ(Contents(other), EncodeRecord(Record{}));  // the other name keeps the old record

  const QString fifo = Path("pipe.kly");
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  WriteRecordFile(fifo, Sample());  // returns at once: the pipe is never opened
  EXPECT_TRUE(QFileInfo(fifo).isFile());
  EXPECT_EQ(Contents(fifo), EncodeRecord(Sample()));
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
  EXPECT_EQ(QFile::permissions(path) & 0x7777,
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
}

TEST_F(RecordFileTest, WhatCannotBeARecordIsNotOpened) {
  const QString fifo = Path("pipe.kly");
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString link = Path("link-to-pipe.kly");
  ASSERT_TRUE(QFile::link(fifo, link));
  const QString folder = Path("folder.kly");
  ASSERT_TRUE(QDir().mkdir(folder));

  // Opening the pipe would wait for a writer: these must return at once.
  for (const QString& path :
       {fifo, link, folder, QStringLiteral("/dev/null"), QStringLiteral("/dev/zero"), Path("missing.kly")}) {
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

// The worst files of the size limit read as the records they are, or, with
// millions of comment lines, are refused as such. Expected values come from
// how each file was made: the BEGINNER section "Edit1=588", "JaoNo=3" and
// what follows it.
TEST(WorstCases, ReadAsTheRecordsTheyAre) {
  for (const worst::Case& c : worst::Cases()) {
    SCOPED_TRACE(c.name);
    ASSERT_LE(c.bytes.size(), MaxRecordSize);
    ASSERT_GT(c.bytes.size(), MaxRecordSize - 64);
    QByteArray copy = c.bytes;
    QBuffer device(&copy);
    const qsizetype head = (worst::kTitle + worst::kBeginner).size();
    if (c.name == "empty-comments" || c.name == "short-comments" || c.name == "markers") {
      // Lines after the first marker: every byte or two of the rest is one.
      const qsizetype rest = c.bytes.size() - head - worst::kMarker.size();
      const qsizetype lines = c.name == "empty-comments" ? rest : c.name == "short-comments" ? rest / 2 : -1;
      try {
        ReadRecord(device);
        ADD_FAILURE() << "read";
      } catch (const RecordError& e) {
        if (lines >= 0) {
          EXPECT_EQ(e.text(), CommentLinesText(lines));
        }
        EXPECT_TRUE(e.text().startsWith(QStringLiteral("В комментариях "))) << e.text().toStdString();
      }
      continue;
    }
    const std::optional<Record> r = ReadRecord(device);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->lineCodes[0], "588");
    EXPECT_EQ(r->jaoNo, 3);
    EXPECT_FALSE(r->btn2);
    if (c.name == "long-line") {
      EXPECT_EQ(r->note, QString(MaxIniValueLength, u'x'));
    }
    EXPECT_TRUE(r->comments.isEmpty());
    // Saved again, it reads back the same.
    EXPECT_EQ(DecodeRecord(EncodeRecord(*r)), *r);
  }
}

// The comments text of the limit (100000 lines) is read; one line more is
// refused. Building and saving such comments stays linear.
TEST(CommentLines, LimitOfTheCommentsBox) {
  Record r;
  r.comments = QString(MaxCommentLines - 1, u'\n');  // 100000 empty lines
  EXPECT_EQ(CommentLineCount(r.comments), MaxCommentLines);
  EXPECT_EQ(DecodeRecord(EncodeRecord(r)).comments, r.comments);
  r.comments += QStringLiteral("\nx");
  try {
    DecodeRecord(EncodeRecord(r));
    ADD_FAILURE() << "read";
  } catch (const RecordError& e) {
    EXPECT_EQ(
        e.text(),
        QStringLiteral("В комментариях 100001 строк, а программа показывает и сохраняет не больше 100000"));
  }
  EXPECT_EQ(CommentLineCount(QString()), 0);
  EXPECT_EQ(CommentLineCount(QStringLiteral("a")), 1);
  EXPECT_EQ(CommentLineCount(QStringLiteral("\n")), 2);
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
