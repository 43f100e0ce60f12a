// The installed tool itself: arguments from the command line, rows on
// standard output, one line on standard error, the exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

// Runs kalynth-calc with the arguments, no shell in between.
Result RunTool(const std::vector<std::string>& args) {
  char outName[] = "/tmp/kalynth-calc-out-XXXXXX";
  char errName[] = "/tmp/kalynth-calc-err-XXXXXX";
  const int outFd = mkstemp(outName), errFd = mkstemp(errName);
  Result r;
  if (outFd < 0 || errFd < 0) return r;
  std::vector<char*> argv{const_cast<char*>(KALYNTH_CALC_PATH)};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(outFd, 1);
    dup2(errFd, 2);
    execv(KALYNTH_CALC_PATH, argv.data());
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
      {{"lunar", "2024-13-01"}, "kalynth-calc: неверная дата «2024-13-01»: нужна дата ГГГГ-ММ-ДД с годом от 0001 до 9999\n"},
      {{"lunar", "0001-01-01"}, "kalynth-calc: команда lunar считает даты от 0001-12-31 до 9999-12-16, а не 0001-01-01\n"},
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
