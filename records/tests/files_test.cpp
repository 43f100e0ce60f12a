// Files in folders others can write in: one open decides what a file is,
// saves follow only the saving user's or root's links and check the file a
// record came from, and nothing is left behind.
#include "records/files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <csignal>
#include <functional>
#include <thread>

#include "records/record.h"

namespace records {
namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

Record Sample(const char* note = "Заметка") {
  Record r;
  r.lineCodes = {"588", "588", "544", "588", "588", "588"};
  r.note = QString::fromUtf8(note);
  return r;
}

QByteArray Name(const QString& path) {
  return QFile::encodeName(path);
}

// Runs `what` in a child process as the user nobody; true when it returned
// true there.
bool AsNobody(const std::function<bool()>& what) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::setresgid(kNogroup, kNogroup, kNogroup) != 0 || ::setresuid(kNobody, kNobody, kNobody) != 0)
      _exit(3);
    _exit(what() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class FilesTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    // A folder everyone may write in, as a shared folder is.
    ASSERT_EQ(::chmod(Name(dir_.path()).constData(), 01777), 0);
  }
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
    QStringList e =
        QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    e.sort();
    return e;
  }
  static std::string SaveError(const QString& path, const Record& r, const FileIdentity& expected = {}) {
    try {
      WriteRecordFile(path, r, expected);
    } catch (const RecordError& e) {
      return e.text().toStdString();
    }
    return "saved";
  }
  static void RequireRoot() {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user (nobody)";
  }

  QTemporaryDir dir_;
};

// Every kind of name, looked at once: the problem, the journal's reason,
// and that nothing but a regular file is read.
TEST_F(FilesTest, OneLookTellsWhatAFileIs) {
  Put(Path("record.kly"), EncodeRecord(Sample()));
  ASSERT_EQ(::mkfifo(Name(Path("pipe.kly")).constData(), 0666), 0);
  ASSERT_TRUE(QFile::link(Path("pipe.kly"), Path("to-pipe.kly")));
  ASSERT_TRUE(QFile::link(Path("record.kly"), Path("to-record.kly")));
  ASSERT_TRUE(QFile::link(Path("gone.kly"), Path("dangling.kly")));
  ASSERT_TRUE(QDir().mkdir(Path("folder.kly")));
  {
    QFile huge(Path("huge.kly"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(MaxRecordSize + 1));
  }
  const QString notRegular = QStringLiteral("Не обычный файл (папка, канал или устройство)");
  const struct {
    QString path;
    CandidateProblem problem;
    QString reason;
  } cases[] = {
      {Path("record.kly"), CandidateProblem::None, {}},
      {Path("to-record.kly"), CandidateProblem::None, {}},
      {Path("pipe.kly"), CandidateProblem::NotRegular, notRegular},
      {Path("to-pipe.kly"), CandidateProblem::NotRegular, notRegular},
      {Path("folder.kly"), CandidateProblem::NotRegular, notRegular},
      {QStringLiteral("/dev/null"), CandidateProblem::NotRegular, notRegular},
      {QStringLiteral("/dev/tty"), CandidateProblem::NotRegular, notRegular},
      {Path("missing.kly"), CandidateProblem::Missing, QStringLiteral("Файл не найден")},
      {Path("record.kly/x.kly"), CandidateProblem::Missing, QStringLiteral("Файл не найден")},
      {Path("dangling.kly"), CandidateProblem::DanglingLink,
       QStringLiteral("Ссылка ведёт на файл, которого нет")},
      {Path("huge.kly"), CandidateProblem::TooLarge, QStringLiteral("Файл больше 16 МБ: это не запись")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    const CandidateFile f = ReadCandidateFile(c.path, MaxRecordSize);
    EXPECT_EQ(f.problem, c.problem);
    EXPECT_EQ(f.reason, c.reason);
    EXPECT_EQ(f.bytes.has_value(), c.problem == CandidateProblem::None);
    if (c.problem == CandidateProblem::None) {
      EXPECT_EQ(*f.bytes, EncodeRecord(Sample()));
      EXPECT_EQ(f.size, EncodeRecord(Sample()).size());
      EXPECT_EQ(f.identity, IdentityOf(Path("record.kly")));
      EXPECT_TRUE(f.modified.isValid());
    }
  }
  EXPECT_EQ(ReadCandidateFile(Path("huge.kly"), MaxRecordSize).size, MaxRecordSize + 1);
}

TEST_F(FilesTest, AFileNobodyMayReadIsUnreadable) {
  RequireRoot();
  Put(Path("secret.kly"), EncodeRecord(Sample()));
  ASSERT_EQ(::chmod(Name(Path("secret.kly")).constData(), 0600), 0);
  const QString path = Path("secret.kly");
  EXPECT_TRUE(AsNobody([&] {
    const CandidateFile f = ReadCandidateFile(path, MaxRecordSize);
    return f.problem == CandidateProblem::Unreadable &&
           f.reason.startsWith(QStringLiteral("Файл не читается: "));
  }));
}

// Another user swaps the name between a record and a pipe as fast as they
// can: every read returns at once, with the record or with its refusal.
// (Before, a read that found a file and then opened the pipe waited for a
// writer forever; the alarm ends the test if that comes back.)
TEST_F(FilesTest, AFileSwappedForAPipeNeverBlocks) {
  Put(Path("regular"), EncodeRecord(Sample()));
  ASSERT_EQ(::mkfifo(Name(Path("fifo")).constData(), 0666), 0);
  const QByteArray regular = Name(Path("regular")), fifo = Name(Path("fifo")), t1 = Name(Path("t1")),
                   t2 = Name(Path("t2")), name = Name(Path("x.kly"));
  std::atomic_bool stop{false};
  std::thread swapper([&] {
    while (!stop) {
      ::link(regular.constData(), t1.constData());
      ::rename(t1.constData(), name.constData());
      ::link(fifo.constData(), t2.constData());
      ::rename(t2.constData(), name.constData());
    }
  });
  ::alarm(60);
  int records = 0, refused = 0;
  for (int i = 0; i < 5000; ++i) {
    const CandidateFile f = ReadCandidateFile(Path("x.kly"), MaxRecordSize);
    if (f.bytes) {
      EXPECT_EQ(*f.bytes, EncodeRecord(Sample()));
      ++records;
    } else {
      EXPECT_TRUE(f.problem == CandidateProblem::NotRegular || f.problem == CandidateProblem::Missing)
          << f.reason.toStdString();
      ++refused;
    }
  }
  ::alarm(0);
  stop = true;
  swapper.join();
  EXPECT_EQ(records + refused, 5000);
}

// The names a save may go through, and where the record lands.
TEST_F(FilesTest, SavesFollowOnlyTheUsersOwnOrRootsLinks) {
  RequireRoot();
  // The victim's file elsewhere, and a record the victim opened.
  QTemporaryDir home;
  const QString important = home.filePath(QStringLiteral("important.txt"));
  Put(important, "important\n");
  Put(Path("a-target.kly"), EncodeRecord(Sample("old")));
  const QString a = Path("a.kly"), target = Path("a-target.kly");

  struct Case {
    const char* name;
    uid_t linkOwner;  // of the link a.kly
    uid_t saver;      // who saves
    bool saved;
  };
  const Case cases[] = {
      {"root saves through root's link", 0, 0, true},
      {"root saves through nobody's link", kNobody, 0, false},
      {"nobody saves through their own link", kNobody, kNobody, true},
      {"nobody saves through root's link", 0, kNobody, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QFile::remove(a);
    Put(target, EncodeRecord(Sample("old")));
    ASSERT_EQ(::chown(Name(target).constData(), c.saver, c.saver == 0 ? 0 : kNogroup), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("a-target.kly"), a));
    ASSERT_EQ(::lchown(Name(a).constData(), c.linkOwner, c.linkOwner == 0 ? 0 : kNogroup), 0);
    const auto save = [&] { return SaveError(a, Sample("new")); };
    std::string error;
    if (c.saver == 0) {
      error = save();
    } else {
      error = AsNobody([&] { return save() == "saved"; }) ? "saved" : "refused";
    }
    if (c.saved) {
      EXPECT_EQ(error, "saved");
      EXPECT_EQ(Contents(target), EncodeRecord(Sample("new")));
      EXPECT_TRUE(QFileInfo(a).isSymLink());  // the link stays a link
    } else {
      EXPECT_EQ(error, ForeignLinkText(a).toStdString());
      EXPECT_EQ(Contents(target), EncodeRecord(Sample("old")));
    }
    EXPECT_EQ(Entries(), (QStringList{"a-target.kly", "a.kly"}));
  }
  EXPECT_EQ(Contents(important), "important\n");
}

// The attack itself: the victim opened shared/a.kly, another user's link to
// a record; that user re-points it at the victim's file; the victim saves.
TEST_F(FilesTest, ARePointedLinkOfAnotherUserIsNotFollowed) {
  RequireRoot();
  QTemporaryDir home;
  const QString important = home.filePath(QStringLiteral("important.txt"));
  Put(important, "important\n");
  Put(Path("record"), EncodeRecord(Sample("old")));
  ASSERT_EQ(::chmod(Name(Path("record")).constData(), 0666), 0);
  const QString a = Path("a.kly");
  ASSERT_TRUE(AsNobody([&] { return QFile::link(QStringLiteral("record"), a); }));
  FileIdentity opened;
  ASSERT_TRUE(ReadRecordFile(a, &opened));
  ASSERT_TRUE(opened.known);
  ASSERT_TRUE(AsNobody([&] { return QFile::remove(a) && QFile::link(important, a); }));

  for (const FileIdentity& expected : {opened, FileIdentity{}}) {
    try {
      WriteRecordFile(a, Sample("new"), expected);
      ADD_FAILURE() << "saved";
    } catch (const UnsafeSaveError& e) {
      EXPECT_EQ(e.kind(), UnsafeSaveError::Kind::ForeignLink);
      EXPECT_EQ(e.text(), ForeignLinkText(a));
    }
  }
  EXPECT_EQ(Contents(important), "important\n");
  EXPECT_EQ(Contents(Path("record")), EncodeRecord(Sample("old")));
  EXPECT_EQ(Entries(), (QStringList{"a.kly", "record"}));
}

// A link of our own in the middle of the chain leads to another user's
// link: refused as well, naming that link.
TEST_F(FilesTest, AForeignLinkFurtherOnTheWayIsNotFollowed) {
  RequireRoot();
  Put(Path("record"), EncodeRecord(Sample("old")));
  ASSERT_TRUE(QFile::link(QStringLiteral("record"), Path("theirs")));
  ASSERT_EQ(::lchown(Name(Path("theirs")).constData(), kNobody, kNogroup), 0);
  ASSERT_TRUE(QFile::link(QStringLiteral("theirs"), Path("mine.kly")));
  EXPECT_EQ(SaveError(Path("mine.kly"), Sample("new")), ForeignLinkText(Path("theirs")).toStdString());
  EXPECT_EQ(Contents(Path("record")), EncodeRecord(Sample("old")));
}

// The next save checks the file the record came from: a re-pointed link of
// our own, a file replaced by another one and a deleted file are not
// written; the unchanged name is, through our link, and the new file is the
// one the save reports.
TEST_F(FilesTest, TheNextSaveChecksTheFileTheRecordCameFrom) {
  Put(Path("one.kly"), EncodeRecord(Sample("one")));
  Put(Path("two.kly"), EncodeRecord(Sample("two")));
  const QString link = Path("link.kly");
  struct Case {
    const char* name;
    std::function<void()> change;
    bool saved;
  };
  const Case cases[] = {
      {"unchanged", [] {}, true},
      {"link re-pointed",
       [&] {
         QFile::remove(link);
         QFile::link(QStringLiteral("two.kly"), link);
       },
       false},
      {"file replaced", [&] { ::rename(Name(Path("copy")).constData(), Name(Path("one.kly")).constData()); },
       false},
      {"file deleted", [&] { QFile::remove(Path("one.kly")); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Put(Path("one.kly"), EncodeRecord(Sample("one")));
    Put(Path("copy"), EncodeRecord(Sample("one")));
    QFile::remove(link);
    ASSERT_TRUE(QFile::link(QStringLiteral("one.kly"), link));
    FileIdentity opened;
    ASSERT_TRUE(ReadRecordFile(link, &opened));
    c.change();
    const QByteArray two = Contents(Path("two.kly"));
    if (c.saved) {
      const FileIdentity written = WriteRecordFile(link, Sample("new"), opened);
      EXPECT_EQ(written, IdentityOf(link));
      EXPECT_EQ(Contents(Path("one.kly")), EncodeRecord(Sample("new")));
      // The following save finds the file of this one.
      EXPECT_EQ(SaveError(link, Sample("newer"), written), "saved");
      // Another file's identity (as if the name had been re-pointed there).
      EXPECT_EQ(SaveError(link, Sample("newest"), IdentityOf(Path("two.kly"))),
                OtherFileText(link).toStdString());
    } else {
      try {
        WriteRecordFile(link, Sample("new"), opened);
        ADD_FAILURE() << "saved";
      } catch (const UnsafeSaveError& e) {
        EXPECT_EQ(e.kind(), UnsafeSaveError::Kind::OtherFile);
        EXPECT_EQ(e.text(), OtherFileText(link));
      }
      EXPECT_EQ(Contents(Path("two.kly")), two);
    }
    QFile::remove(Path("copy"));
    for (const QString& e : Entries())
      EXPECT_FALSE(e.startsWith(QStringLiteral(".kalynth-"))) << e.toStdString();
  }
}

// A sheet's place: never the record it is made from, by whatever name.
TEST_F(FilesTest, TheForbiddenFileIsNotReplaced) {
  Put(Path("rec.kly"), EncodeRecord(Sample()));
  ASSERT_TRUE(QFile::link(QStringLiteral("rec.kly"), Path("alias.pdf")));
  ASSERT_EQ(::link(Name(Path("rec.kly")).constData(), Name(Path("hard.pdf")).constData()), 0);
  const FileIdentity record = IdentityOf(Path("rec.kly"));
  for (const char* name : {"rec.kly", "alias.pdf", "hard.pdf"}) {
    ReplacingFile out(Path(QString::fromLatin1(name)), {.expected = {}, .forbidden = record});
    EXPECT_EQ(out.status(), ReplacingFile::Status::Forbidden) << name;
  }
  ReplacingFile other(Path("new.pdf"), {.expected = {}, .forbidden = record});
  ASSERT_EQ(other.status(), ReplacingFile::Status::Open);
  ASSERT_EQ(::write(other.fd(), "pdf", 3), 3);
  EXPECT_TRUE(other.commit());
  EXPECT_EQ(Contents(Path("new.pdf")), "pdf");
  EXPECT_EQ(Contents(Path("rec.kly")), EncodeRecord(Sample()));
}

// A file never committed (an error, an exception) is removed with its
// object.
TEST_F(FilesTest, AnUncommittedFileLeavesNothing) {
  Put(Path("old.pdf"), "old");
  {
    ReplacingFile out(Path("old.pdf"), {});
    ASSERT_EQ(out.status(), ReplacingFile::Status::Open);
    ASSERT_EQ(::write(out.fd(), "new", 3), 3);
    EXPECT_EQ(Entries().size(), 2);  // the new file beside the old one
  }
  EXPECT_EQ(Entries(), QStringList{"old.pdf"});
  EXPECT_EQ(Contents(Path("old.pdf")), "old");
}

// Over the file-size limit, with the program's handler and the signal's
// default action otherwise, a save fails and the process lives on. Run in
// a child, which has the default action as the program has at start.
TEST(FileSizeLimit, ASaveOverTheLimitFailsInsteadOfEndingTheProcess) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("big.kly"));
  Record big = Sample();
  big.comments = QString(60000, u'x');
  WriteRecordFile(path, Sample());
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::signal(SIGXFSZ, SIG_DFL);
    CatchFileSizeSignal();
    struct rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = 40 * 1024;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    bool failed = false;
    try {
      WriteRecordFile(path, big);
    } catch (const RecordError& e) {
      failed = e.text() == QStringLiteral("Cannot create file ") + path;
    }
    _exit(failed ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadRecordFile(path), Sample());
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{"big.kly"});
}

// The one rule of a record's name, which the window's open and the
// journal's listing share.
TEST(RecordFileName, OnlyThreeLetterCases) {
  for (const char* name : {"a.kly", "a.KLY", "a.Kly", "/x/y/.kly", "/home/a.b/record.Kly"})
    EXPECT_TRUE(IsRecordFileName(QString::fromLatin1(name))) << name;
  for (const char* name : {"a.kLy", "a.KLy", "a.klY", "a.kly.", "/home/a.kly/record", "a.pdf", "kly"})
    EXPECT_FALSE(IsRecordFileName(QString::fromLatin1(name))) << name;
}

TEST(RecordFileExtension, AnyLetterCase) {
  for (const char* name : {"a.kly", "a.KLY", "a.Kly", "a.kLy", "/x/y/.kly"})
    EXPECT_TRUE(HasRecordFileExtension(QString::fromLatin1(name))) << name;
  for (const char* name : {"a.pdf", "a.kly.pdf", "kly", "a.kl"})
    EXPECT_FALSE(HasRecordFileExtension(QString::fromLatin1(name))) << name;
}

}  // namespace
}  // namespace records
