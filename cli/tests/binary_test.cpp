// The installed tool itself: arguments from the command line, rows on
// standard output, one line on standard error, the exit status.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/hextexts.h"
#include "records/record.h"
#include "sheet/sheet.h"

namespace {

struct Result {
  int status = -1;
  std::string out, err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A settings folder of its own for the tool (XDG_CONFIG_HOME), empty unless
// a test writes a settings file into it: the user's own settings never
// reach these tests.
const std::string& EmptyConfigHome() {
  static const std::string dir = [] {
    char name[] = "/tmp/kalynth-calc-config-XXXXXX";
    return std::string(mkdtemp(name) ? name : "/nonexistent");
  }();
  return dir;
}

// Runs kalynth-calc with the arguments, no shell in between, with
// XDG_CONFIG_HOME at `configHome`. `inChild` runs in the child process
// just before the tool starts (limits, signals, another user).
Result RunTool(const std::vector<std::string>& args, const std::string& configHome = EmptyConfigHome(),
               const std::function<void()>& inChild = {}) {
  char outName[] = "/tmp/kalynth-calc-out-XXXXXX";
  char errName[] = "/tmp/kalynth-calc-err-XXXXXX";
  const int outFd = mkstemp(outName), errFd = mkstemp(errName);
  Result r;
  if (outFd < 0 || errFd < 0) return r;
  std::vector<std::string> words{KALYNTH_CALC_PATH};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : words) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
    dup2(outFd, 1);
    dup2(errFd, 2);
    if (inChild) inChild();
    execv(KALYNTH_CALC_PATH, argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  close(outFd);
  close(errFd);
  // Ended by a signal: minus the signal's number.
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? -WTERMSIG(status) : -1000;
  r.out = Slurp(outName);
  r.err = Slurp(errName);
  std::remove(outName);
  std::remove(errName);
  return r;
}

Result RunTool(const std::vector<std::string>& args, const std::function<void()>& inChild) {
  return RunTool(args, EmptyConfigHome(), inChild);
}

// For a test run as root: the tool runs as the user nobody.
void AsNobody() {
  if (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 ||
      setresuid(65534, 65534, 65534) != 0)
    _exit(126);
}

TEST(KalynthCalcTool, PrintsRowsAndExitsWithZero) {
  const Result r = RunTool({"lunar", "2023-04-01", "12:00"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "moment\tyear_count\tyear_in_cycle\tyear_branch\tmonth\tleap_month\tleap_year\tday\tdouble_hour\t"
            "double_hour_caption\n"
            "2023-04-01T12:00:00\t4660\t40\t4\t2\t1\t1\t11\t6\tУ | 11-13\n");
}

TEST(KalynthCalcTool, TheMomentNowIsTheLocalClock) {
  // No fixed clock here: the row is for today, whatever it is.
  const Result r = RunTool({"pillars", "--zone", "12"});
  EXPECT_EQ(r.status, 0);
  ASSERT_NE(r.out.find('\n'), std::string::npos);
  const std::string row = r.out.substr(r.out.find('\n') + 1);
  EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), 11);
}

TEST(KalynthCalcTool, FailuresExitWithTwo) {
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{}, "kalynth-calc: не указана команда; справка: kalynth-calc --help\n"},
      {{"lunar", "2024-13-01"},
       "kalynth-calc: неверная дата «2024-13-01»: нужна дата ГГГГ-ММ-ДД с годом от 0001 до 9999\n"},
      {{"lunar", "0001-01-01"},
       "kalynth-calc: команда lunar считает даты от 0001-12-31 до 9999-12-16, а не 0001-01-01\n"},
      {{"record", "/nonexistent/x.kly"}, "kalynth-calc: файл /nonexistent/x.kly не существует\n"},
  };
  for (const auto& c : cases) {
    const Result r = RunTool(c.args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
  }
}

TEST(KalynthCalcTool, HelpIsRussianAndComplete) {
  const Result r = RunTool({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Команды календаря"), std::string::npos);
  EXPECT_NE(r.out.find("Команды гадания"), std::string::npos);
}

}  // namespace

// ---- sheet: the printed sheet as a PDF, without a window -------------------

namespace {

std::string PdfText(const std::string& pdf) {
  char name[] = "/tmp/kalynth-calc-pdftext-XXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0) return {};
  close(fd);
  const std::string command = "pdftotext -enc UTF-8 '" + pdf + "' '" + name + "' 2>/dev/null";
  const int rc = std::system(command.c_str());
  std::string text = rc == 0 ? Slurp(name) : std::string();
  std::remove(name);
  // One space for every run of white space, so wrapped lines read as one.
  std::string flat;
  for (char c : text) {
    const bool space = c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f';
    if (space && (flat.empty() || flat.back() == ' ')) continue;
    flat += space ? ' ' : c;
  }
  return flat;
}

struct TempFolder {
  std::string path;
  TempFolder() {
    char name[] = "/tmp/kalynth-calc-sheet-XXXXXX";
    path = mkdtemp(name) ? name : "";
  }
  ~TempFolder() { std::system(("rm -rf '" + path + "'").c_str()); }
};

bool Exists(const std::string& path) {
  return std::ifstream(path).good();
}

}  // namespace

// A record cast from the date, written as the program writes it: primary
// figure yang, yin, yang, yin, yang, yin (63) with line 1 changing, so the
// nuclear figure is 64 and the changed one 39 (worked from the King Wen
// table by hand).
TEST(KalynthCalcTool, SheetWritesThePdfOfARecord) {
  TempFolder dir;
  records::Record r;
  r.note = QStringLiteral("Сделка осенью");
  r.btn2 = true;
  r.gua = {true, false, true, false, true, false};
  r.jaoNo = 1;
  r.yah = 0, r.mon = 4, r.day = 11, r.hour = 6;
  r.comments = QStringLiteral("Ждать до весны.");
  const std::string record = dir.path + "/сделка.kly", pdf = dir.path + "/сделка.pdf";
  records::WriteRecordFile(QString::fromStdString(record), r);

  const Result result = RunTool({"sheet", record, pdf});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, "file\tpages\n" + pdf + "\t1\n");
  EXPECT_EQ(Slurp(pdf).substr(0, 5), "%PDF-");
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext is not installed";
  const std::string text = PdfText(pdf);
  for (const char* expected : {"Сделка осенью", "63. Цзи-цзи", "64. Вэй-цзи", "39. Цзянь", "В начале девятка",
                               "Гуа на год 1, месяц 5, день 12, час У", "Ждать до весны.", "сделка.kly"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << " not in: " << text;
  // The reading: the changing line's heading, our wording and the classical text.
  const core::HexagramTexts& texts = core::TextsOfHexagram(63);
  for (const std::string_view expected :
       {std::string_view("63. Цзи-цзи «Уже конец» — В начале девятка"), texts.lines[0], texts.lines_zh[0]})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << " not in: " << text;
}

TEST(KalynthCalcTool, SheetRefusesAnEmptyRecordAndWritesNothing) {
  TempFolder dir;
  records::Record r;
  r.lineCodes = {"588", "588", "", "588", "588", "588"};  // one code missing: no hexagram
  const std::string record = dir.path + "/пусто.kly", pdf = dir.path + "/пусто.pdf";
  records::WriteRecordFile(QString::fromStdString(record), r);
  const Result result = RunTool({"sheet", record, pdf});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(
      result.err,
      "kalynth-calc: Лист пуст: гуа ещё не получена, печатать нечего. Получите гуа и повторите печать.\n");
  EXPECT_FALSE(Exists(pdf));
}

TEST(KalynthCalcTool, SheetFailuresSayWhy) {
  TempFolder dir;
  records::Record r;
  r.lineCodes = {"588", "588", "544", "588", "588", "588"};
  const std::string record = dir.path + "/запись.kly";
  records::WriteRecordFile(QString::fromStdString(record), r);
  const std::string nowhere = dir.path + "/нет папки/лист.pdf";
  Result result = RunTool({"sheet", record, nowhere});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "kalynth-calc: Cannot create file " + nowhere + "\n");
  EXPECT_FALSE(Exists(nowhere));

  const std::string notRecord = dir.path + "/текст.kly";
  std::ofstream(notRecord) << "просто текст\n";
  result = RunTool({"sheet", notRecord, dir.path + "/x.pdf"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "kalynth-calc: File " + notRecord + " Этот файл не является файлом KALYNTH\n");

  result = RunTool({"sheet", record});
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("sheet"), std::string::npos);
}

// ---- the sheet's file in folders others can write in -----------------------

namespace {

records::Record CastRecord() {
  records::Record r;
  r.lineCodes = {"588", "588", "544", "588", "588", "588"};
  r.note = QStringLiteral("Вопрос");
  return r;
}

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const QString& n :
       QDir(QString::fromStdString(folder))
           .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
    names.push_back(n.toStdString());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Message(const QString& text) {
  return "kalynth-calc: " + text.toStdString() + "\n";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A record in the file's own bytes (Windows-1251): note and comments as given.
std::string RecordBytes(const std::string& note, const std::string& comments) {
  return "[TITLE]\r\nTitle=KALYNTH\r\n[BEGINNER]\r\nEdit1=588\r\nEdit2=948\r\nEdit3=984\r\nEdit4=588\r\n"
         "Edit5=588\r\nEdit6=588\r\nEdit7=" +
         note + "\r\nBtn2=0\r\n[%%%&*(0876&%9]\r\n" + comments + "\r\n";
}

}  // namespace

// The record itself (by its name, another name, a link) and any ".kly" file
// are never the sheet's place: refused with exit status 2, nothing changed.
TEST(KalynthCalcTool, SheetNeverReplacesARecord) {
  TempFolder dir;
  const std::string record = dir.path + "/запись.kly";
  records::WriteRecordFile(QString::fromStdString(record), CastRecord());
  const std::string bytes = Slurp(record);
  ASSERT_EQ(symlink("запись.kly", (dir.path + "/ссылка.pdf").c_str()), 0);
  ASSERT_EQ(link(record.c_str(), (dir.path + "/второе имя.pdf").c_str()), 0);
  records::Record other = CastRecord();
  other.note = QStringLiteral("другая");
  records::WriteRecordFile(QString::fromStdString(dir.path + "/другая.KLY"), other);
  const std::string otherBytes = Slurp(dir.path + "/другая.KLY");

  const struct {
    std::string output;
    QString message;
  } cases[] = {
      {record, ui::RecordOutputText(QString::fromStdString(record))},
      {dir.path + "/ссылка.pdf", ui::SameAsRecordText(QString::fromStdString(dir.path + "/ссылка.pdf"))},
      {dir.path + "/второе имя.pdf",
       ui::SameAsRecordText(QString::fromStdString(dir.path + "/второе имя.pdf"))},
      {dir.path + "/другая.KLY", ui::RecordOutputText(QString::fromStdString(dir.path + "/другая.KLY"))},
      {dir.path + "/новая.Kly", ui::RecordOutputText(QString::fromStdString(dir.path + "/новая.Kly"))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.output);
    const Result r = RunTool({"sheet", record, c.output});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, Message(c.message));
    EXPECT_TRUE(Slurp(record) == bytes) << "the record was changed";
  }
  EXPECT_TRUE(Slurp(dir.path + "/другая.KLY") == otherBytes) << "the other record was changed";
  EXPECT_EQ(Entries(dir.path),
            (std::vector<std::string>{"второе имя.pdf", "другая.KLY", "запись.kly", "ссылка.pdf"}));
}

// Under a lowered file-size limit, started with the signal's default action
// (as from a shell with ulimit -f 8): the tool says it cannot create the
// file and exits with 2; the old PDF stays and no temporary file is left.
TEST(KalynthCalcTool, SheetOverTheFileSizeLimitFailsAndLeavesNothing) {
  TempFolder dir;
  const std::string record = dir.path + "/запись.kly", pdf = dir.path + "/лист.pdf";
  records::WriteRecordFile(QString::fromStdString(record), CastRecord());
  std::ofstream(pdf) << "old\n";
  const Result r = RunTool({"sheet", record, pdf}, [] {
    std::signal(SIGXFSZ, SIG_DFL);
    struct rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = 8 * 1024;
    setrlimit(RLIMIT_FSIZE, &limit);
  });
  EXPECT_EQ(r.status, 2) << "(minus a signal's number when the tool was ended by it)";
  EXPECT_EQ(r.err, "kalynth-calc: Cannot create file " + pdf + "\n");
  EXPECT_EQ(Slurp(pdf), "old\n");
  EXPECT_EQ(Entries(dir.path), (std::vector<std::string>{"запись.kly", "лист.pdf"}));
}

// The PDF goes nowhere through another user's symbolic link, which that user
// may point at any file of ours.
TEST(KalynthCalcTool, SheetNeverWritesThroughAnotherUsersLink) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to make a link of another user (nobody)";
  TempFolder shared, home;
  ASSERT_EQ(chmod(shared.path.c_str(), 01777), 0);
  const std::string record = home.path + "/запись.kly", important = home.path + "/important.txt";
  records::WriteRecordFile(QString::fromStdString(record), CastRecord());
  std::ofstream(important) << "important\n";
  const std::string pdf = shared.path + "/x.pdf";
  const pid_t pid = fork();
  if (pid == 0) {
    if (setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0) _exit(3);
    _exit(symlink(important.c_str(), pdf.c_str()) == 0 ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const Result r = RunTool({"sheet", record, pdf});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, Message(records::ForeignLinkText(QString::fromStdString(pdf))));
  EXPECT_EQ(Slurp(important), "important\n");
}

// Another user swaps a record for a pipe and back as fast as they can: no
// run of journal, sheet or record waits for the pipe. (Each run has an
// alarm of 10 s; a run ended by it counts as hung.)
TEST(KalynthCalcTool, ANameSwappedForAPipeNeverHangs) {
  TempFolder dir;
  const std::string regular = dir.path + "/regular", fifo = dir.path + "/fifo", name = dir.path + "/x.kly";
  records::WriteRecordFile(QString::fromStdString(regular), CastRecord());
  ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
  records::WriteRecordFile(QString::fromStdString(name), CastRecord());
  std::atomic_bool stop{false};
  std::thread swapper([&] {
    const std::string t1 = dir.path + "/t1", t2 = dir.path + "/t2";
    while (!stop) {
      link(regular.c_str(), t1.c_str());
      rename(t1.c_str(), name.c_str());
      link(fifo.c_str(), t2.c_str());
      rename(t2.c_str(), name.c_str());
    }
  });
  int hung = 0, runs = 0;
  const std::vector<std::vector<std::string>> commands = {
      {"journal", dir.path}, {"sheet", name, dir.path + "/x.pdf"}, {"record", name}};
  for (int i = 0; i < 15; ++i)
    for (const auto& command : commands) {
      const Result r = RunTool(command, [] { alarm(10); });
      ++runs;
      if (r.status == -SIGALRM) ++hung;
      EXPECT_TRUE(r.status == 0 || r.status == 2 || r.status == -SIGALRM) << r.status << r.err;
    }
  stop = true;
  swapper.join();
  EXPECT_EQ(hung, 0) << "of " << runs << " runs";
}

namespace {

// The time settings: by default those the program stored in the user's
// settings file ($XDG_CONFIG_HOME/KALYNTH/KALYNTH.ini, "Calendar",
// "LetneeTime" and "GMT", names in any letter case), --correction and
// --zone override them; a value that is no integer gives the default, one
// outside the list shifts nothing, as in the window.
class StoredSettings : public testing::Test {
 protected:
  void Store(const std::string& ini) {
    std::system(("mkdir -p '" + home.path + "/KALYNTH'").c_str());
    std::ofstream(home.path + "/KALYNTH/KALYNTH.ini") << ini;
  }
  Result Run(const std::vector<std::string>& args) { return RunTool(args, home.path); }
  TempFolder home;
};

// 23:30 on 2024-02-09: without correction the Zi hour of lunar New Year's
// day, with "+1" the Hai hour of the last day of month 12.
const char* const ZiOfNewYear = "2024-02-09T23:30:00\t4661\t41\t5\t1\t0\t0\t1\t0\tЦзы | 23-1\n";
const char* const HaiOfTheOldYear = "2024-02-09T23:30:00\t4660\t40\t4\t12\t0\t0\t30\t11\tХай | 22-0\n";

std::string LunarRow(const Result& r) {
  const std::size_t end = r.out.find('\n');
  return end == std::string::npos ? r.out : r.out.substr(end + 1);
}

TEST_F(StoredSettings, TheCorrectionComesFromTheSettingsFile) {
  const std::vector<std::string> lunar{"lunar", "2024-02-09", "23:30"};
  EXPECT_EQ(LunarRow(Run(lunar)), ZiOfNewYear);  // no file: the default
  struct Case {
    const char* ini;
    const char* row;
  };
  const Case cases[] = {
      {"[Calendar]\nLetneeTime=4\nGMT=15\n", HaiOfTheOldYear},
      {"[calendar]\nletneetime=4\n", HaiOfTheOldYear},  // names in any case, as the window reads them
      {"[Calendar]\nLetneeTime=abc\n", ZiOfNewYear},    // no integer: the default
      {"[Calendar]\nLetneeTime=9\n", ZiOfNewYear},      // outside the list: no shift
      {"[Form]\nLetneeTime=4\n", ZiOfNewYear},          // another group
  };
  for (const Case& c : cases) {
    Store(c.ini);
    const Result r = Run(lunar);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(LunarRow(r), c.row) << c.ini;
  }
  Store("[Calendar]\nLetneeTime=4\n");
  EXPECT_EQ(LunarRow(Run({"lunar", "2024-02-09", "23:30", "--correction", "3"})), ZiOfNewYear);
  // cast --now answers the same double hour as the lists of the window.
  EXPECT_EQ(Run({"cast", "--now", "--correction", "4"}).out, Run({"cast", "--now"}).out);
}

TEST_F(StoredSettings, TheZoneComesFromTheSettingsFile) {
  // 2024-02-04 12:00 local: spring begins at 08:27 universal time. At
  // "GMT +3" that is after it (year Jia-Chen, stem 1, branch 5); at
  // "GMT +13" it is 23:00 of the day before (year Gui-Mao, 10, 4).
  auto yearPillar = [](const Result& r) {
    const std::string row = LunarRow(r);
    const std::size_t a = row.find('\t'), b = row.find('\t', a + 1), c = row.find('\t', b + 1);
    return row.substr(a + 1, c - a - 1);
  };
  const std::vector<std::string> pillars{"pillars", "2024-02-04", "12:00"};
  EXPECT_EQ(yearPillar(Run(pillars)), "1\t5");
  Store("[Calendar]\nGMT=25\n");
  EXPECT_EQ(yearPillar(Run(pillars)), "10\t4");
  std::vector<std::string> overridden = pillars;
  overridden.insert(overridden.end(), {"--zone", "15"});
  EXPECT_EQ(yearPillar(Run(overridden)), "1\t5");
  Store("[Calendar]\nGMT=99\n");  // outside the list: universal time is the clock's
  EXPECT_EQ(Run(pillars).out, Run({"pillars", "2024-02-04", "12:00", "--zone", "12"}).out);
}

// The sheet names the double hour of a date casting in clock time, under
// the stored correction or --correction, as the window's list does.
TEST_F(StoredSettings, TheSheetsDoubleHourFollowsTheCorrection) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext is not installed";
  TempFolder dir;
  records::Record r;
  r.lineCodes = {"544", "948", "984", "588", "984", "948"};  // left over from an earlier casting
  r.btn2 = true;
  r.gua = {true, false, true, false, true, false};
  r.jaoNo = 1;
  r.yah = 0, r.mon = 4, r.day = 11, r.hour = 3;
  const std::string record = dir.path + "/мао.kly", pdf = dir.path + "/мао.pdf";
  records::WriteRecordFile(QString::fromStdString(record), r);
  Store("[Calendar]\nLetneeTime=4\n");
  ASSERT_EQ(Run({"sheet", record, pdf}).status, 0);
  std::string text = PdfText(pdf);
  EXPECT_NE(text.find("час Мао (06:00–08:00)"), std::string::npos) << text;
  for (const char* stale : {"Числа черт", "меняется", "544"})
    EXPECT_EQ(text.find(stale), std::string::npos) << stale << " in: " << text;
  ASSERT_EQ(Run({"sheet", record, pdf, "--correction", "3"}).status, 0);
  text = PdfText(pdf);
  EXPECT_NE(text.find("час Мао (05:00–07:00)"), std::string::npos) << text;
}

}  // namespace
// Names and notes written to harm: escape sequences, vertical tab, form
// feed, separators, NEL, U+2028 and U+2029 in file names, and a folder
// named in Windows-1251 bytes ("Гадания 2003") by an old system.
TEST(KalynthCalcTool, JournalOfAHostileTreeIsOneRowPerFile) {
  TempFolder dir;
  const std::string old = dir.path + "/\xc3\xe0\xe4\xe0\xed\xe8\xff 2003";  // "Гадания 2003"
  ASSERT_EQ(mkdir(old.c_str(), 0755), 0);
  WriteFile(old + "/\xe2\xee\xef\xf0\xee\xf1.kly",
            RecordBytes("\xd1\xf2\xe0\xf0\xe0\xff", "x"));  // вопрос.kly, "Старая"
  WriteFile(dir.path + "/\x1b[2J.kly",
            RecordBytes("\x1b]0;hijack\x07\x1b[2J\x0b\x0c\x1c\x1d\x1e", "\x1b[31m"));
  WriteFile(dir.path + "/nel\xc2\x85ls\xe2\x80\xa8ps\xe2\x80\xa9.kly", RecordBytes("n", "c"));
  const Result result = RunTool({"journal", dir.path});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::vector<std::string> lines = Lines(result.out);
  ASSERT_EQ(lines.size(), 4u) << result.out;
  for (const std::string& line : lines) {
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 10) << line;  // eleven columns
    for (const char c : line) EXPECT_TRUE(c == '\t' || static_cast<unsigned char>(c) >= 0x20) << line;
    for (const char* separator : {"\xc2\x85", "\xe2\x80\xa8", "\xe2\x80\xa9", "\x7f"})
      EXPECT_EQ(line.find(separator), std::string::npos) << line;
  }
  EXPECT_NE(result.out.find("\tвопрос.kly\tГадания 2003\tСтарая\t1 Творчество\t"), std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("\t [2J.kly\t\t ]0;hijack  [2J     \t"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("\tnel ls ps .kly\t"), std::string::npos) << result.out;
}

// A subfolder the user cannot list is a row that says so; a folder given
// that cannot be listed is an error. Run as nobody: root reads any folder.
TEST(KalynthCalcTool, JournalSaysWhichFoldersItCannotRead) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root, to run kalynth-calc as the user nobody";
  TempFolder dir;
  ASSERT_EQ(chmod(dir.path.c_str(), 0755), 0);
  const std::string closed = dir.path + "/закрытая";
  ASSERT_EQ(mkdir(closed.c_str(), 0755), 0);
  WriteFile(closed + "/скрытая.kly", RecordBytes("n", "c"));
  WriteFile(dir.path + "/открытая.kly", RecordBytes("n", "c"));
  ASSERT_EQ(chmod((dir.path + "/открытая.kly").c_str(), 0644), 0);
  ASSERT_EQ(chmod(closed.c_str(), 0700), 0);  // root's own: nobody cannot list it

  Result result = RunTool({"journal", dir.path}, AsNobody);
  ASSERT_EQ(result.status, 0) << result.err;
  const std::vector<std::string> lines = Lines(result.out);
  ASSERT_EQ(lines.size(), 3u) << result.out;
  EXPECT_NE(result.out.find("\tоткрытая.kly\t"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("\tзакрытая\t\t\t\t\t\t\t\tПапка не читается: нет прав на чтение"),
            std::string::npos)
      << result.out;

  result = RunTool({"journal", closed}, AsNobody);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "kalynth-calc: Папка не читается (нет прав на чтение): " + closed + "\n");

  result = RunTool({"journal", dir.path + "/нет такой"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "kalynth-calc: Папка не найдена: " + dir.path + "/нет такой\n");
}
