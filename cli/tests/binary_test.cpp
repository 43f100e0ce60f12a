// The installed tool itself: arguments from the command line, rows on
// standard output, one line on standard error, the exit status.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "records/record.h"

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

// Runs kalynth-calc with the arguments, no shell in between; `asNobody`:
// as the user nobody (setpriv, for a test run as root).
Result RunTool(const std::vector<std::string>& args, bool asNobody = false) {
  char outName[] = "/tmp/kalynth-calc-out-XXXXXX";
  char errName[] = "/tmp/kalynth-calc-err-XXXXXX";
  const int outFd = mkstemp(outName), errFd = mkstemp(errName);
  Result r;
  if (outFd < 0 || errFd < 0) return r;
  std::vector<std::string> words;
  if (asNobody) words = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
  words.push_back(KALYNTH_CALC_PATH);
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : words) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(outFd, 1);
    dup2(errFd, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  close(outFd);
  close(errFd);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = Slurp(outName);
  r.err = Slurp(errName);
  std::remove(outName);
  std::remove(errName);
  return r;
}

TEST(KalynthCalcTool, PrintsRowsAndExitsWithZero) {
  const Result r = RunTool({"lunar", "2023-04-01", "12:00"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "moment\tyear_count\tyear_in_cycle\tyear_branch\tmonth\tleap_month\tleap_year\tday\tdouble_hour\n"
            "2023-04-01T12:00:00\t4660\t40\t4\t2\t1\t1\t11\t6\n");
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

namespace {

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
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 9) << line;
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

  Result result = RunTool({"journal", dir.path}, true);
  ASSERT_EQ(result.status, 0) << result.err;
  const std::vector<std::string> lines = Lines(result.out);
  ASSERT_EQ(lines.size(), 3u) << result.out;
  EXPECT_NE(result.out.find("\tоткрытая.kly\t"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("\tзакрытая\t\t\t\t\t\t\t\tПапка не читается: нет прав на чтение"),
            std::string::npos)
      << result.out;

  result = RunTool({"journal", closed}, true);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "kalynth-calc: Папка не читается (нет прав на чтение): " + closed + "\n");

  result = RunTool({"journal", dir.path + "/нет такой"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "kalynth-calc: Папка не найдена: " + dir.path + "/нет такой\n");
}
