// logwick-cli as a user runs it: outputs, files and exit statuses.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "events/codec.h"
#include "lists/event_file.h"
#include "lists/report.h"
#include "tests/lists/test_files.h"
#include "view/t7k_ev_filter.h"

using namespace logwick;
using namespace logwick::test;

namespace {

struct Result {
  int status;
  std::string out, err;
};

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

class Cli : public ::testing::Test {
 protected:
  Result Run(const std::vector<std::string>& args) {
    std::string cmd = Quote(std::string(LOGWICK_BIN_DIR) + "/logwick-cli");
    for (const auto& a : args) cmd += " " + Quote(a);
    const std::string out = dir_.File("stdout"), err = dir_.File("stderr");
    cmd += " >" + Quote(out) + " 2>" + Quote(err);
    const int raw = std::system(cmd.c_str());
#ifdef _WIN32
    const int status = raw;
#else
    const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    return {status, ReadText(out), ReadText(err)};
  }

  // A sample file of n events with 20 message texts.
  std::string Sample(std::size_t n = 400) {
    const std::string path = dir_.File("sample.t7kev");
    Result r = Run({"sample", "-o", path, "--count", std::to_string(n), "--seed", "7", "--texts", "20"});
    EXPECT_EQ(r.status, 0) << r.err;
    return path;
  }

  CT7KEventList Load(const std::string& path) {
    CT7KEventList list;
    EXPECT_EQ(LoadEventFile(path, list).status, LoadStatus::Loaded);
    return list;
  }

  // The report as the library writes it, in UTF-8 with LF line ends.
  std::string ExpectedShow(const CT7KEventList& list, const EventPredicate& admit) {
    std::string text;
    ForEachReportLine(list, admit, [&](std::string_view line) {
      text += line;
      text += '\n';
    });
    return text;
  }

  TempDir dir_;
};

std::int64_t LocalNoon(int y, int m, int d) {
  std::tm tm{};
  tm.tm_year = y - 1900;
  tm.tm_mon = m - 1;
  tm.tm_mday = d;
  tm.tm_hour = 12;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

EventPredicate By(const CT7KEvFilter& f) {
  return [f](const CT7KEvent& ev) { return f.Accept(ev); };
}

}  // namespace

TEST_F(Cli, SampleThenShowPrintsTheReportInUtf8) {
  const std::string path = Sample(400);
  const CT7KEventList list = Load(path);
  EXPECT_EQ(list.GetCount(), 400u);
  EXPECT_EQ(list.m_texts.size(), 20u);
  Result r = Run({"show", path});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.err.empty());
  EXPECT_EQ(r.out, ExpectedShow(list, {}));
  EXPECT_EQ(r.out.find('\r'), std::string::npos);
  EXPECT_EQ(r.out.rfind("Список событий прибора Тарвел-7К (с/н ", 0), 0u);
}

TEST_F(Cli, ExportWritesTheReportBytes) {
  const std::string path = Sample(300);
  const CT7KEventList list = Load(path);
  const std::string expectedAll = dir_.File("expected.txt");
  ASSERT_TRUE(WriteReportFile(expectedAll, list, {}).ok);

  const std::string out = dir_.File("all.txt");
  WriteBytes(out, Bytes(5, 'x'));  // an existing report is replaced
  Result r = Run({"export", path, "-o", out});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(out), ReadBytes(expectedAll));

  CT7KEvFilter f;
  f.m_bModes = 0;
  f.m_nFirstBeam = 2;
  f.m_nLastBeam = 9;
  const std::string filtered = dir_.File("filtered.txt");
  r = Run({"export", path, "-o", filtered, "--filtered", "--no-modes", "--beams", "2-9"});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_TRUE(WriteReportFile(expectedAll, list, By(f)).ok);
  EXPECT_EQ(ReadBytes(filtered), ReadBytes(expectedAll));
  EXPECT_LT(ReadBytes(filtered).size(), ReadBytes(out).size());
}

TEST_F(Cli, EachFilterOptionSetsItsField) {
  const std::string path = Sample(600);
  const CT7KEventList list = Load(path);
  // The sample's newest event is 15/03/2024; 600 events reach back some days.
  struct Case {
    std::vector<std::string> args;
    std::function<void(CT7KEvFilter&)> set;
  };
  const Case cases[] = {
      {{"--from", "2024-03-14"},
       [](CT7KEvFilter& f) { f.m_bPeriod = 1, f.m_timeFrom = LocalNoon(2024, 3, 14); }},
      {{"--to", "2024-03-14"},
       [](CT7KEvFilter& f) { f.m_bPeriod = 1, f.m_timeTo = LocalNoon(2024, 3, 14); }},
      {{"--from", "2024-03-13", "--to", "2024-03-14"},
       [](CT7KEvFilter& f) {
         f.m_bPeriod = 1, f.m_timeFrom = LocalNoon(2024, 3, 13), f.m_timeTo = LocalNoon(2024, 3, 14);
       }},
      {{"--beams", "3-20"}, [](CT7KEvFilter& f) { f.m_nFirstBeam = 3, f.m_nLastBeam = 20; }},
      {{"--devices", "7"}, [](CT7KEvFilter& f) { f.m_nFirstDev = 7, f.m_nLastDev = 7; }},
      {{"--no-beams"}, [](CT7KEvFilter& f) { f.m_bBeams = 0; }},
      {{"--no-devices"}, [](CT7KEvFilter& f) { f.m_bDevices = 0; }},
      {{"--no-units"}, [](CT7KEvFilter& f) { f.m_bUnits = 0; }},
      {{"--no-slaves"}, [](CT7KEvFilter& f) { f.m_bSlaves = 0; }},
      {{"--no-messages"}, [](CT7KEvFilter& f) { f.m_bMessages = 0; }},
      {{"--no-modes"}, [](CT7KEvFilter& f) { f.m_bModes = 0; }},
  };
  const std::string all = ExpectedShow(list, {});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.front());
    std::vector<std::string> args = {"show", path};
    args.insert(args.end(), c.args.begin(), c.args.end());
    CT7KEvFilter f;
    c.set(f);
    Result r = Run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, ExpectedShow(list, By(f)));
    EXPECT_NE(r.out, all);  // each option leaves something out of this sample
  }
}

TEST_F(Cli, UnreadableAndRefusedFiles) {
  const std::string path = Sample(10);
  const Bytes whole = ReadBytes(path);

  const std::string shortFile = dir_.File("short.t7kev");
  WriteBytes(shortFile, Bytes(whole.begin(), whole.begin() + 20));
  Bytes wrongTag = whole;
  wrongTag[1] = 'T';
  const std::string refused = dir_.File("refused.t7kev");
  WriteBytes(refused, wrongTag);

  struct Case {
    std::string file;
    int status;
    std::string message;
  };
  const Case cases[] = {
      {shortFile, 2, "Ошибка формата файла: " + shortFile},
      {refused, 2, "Ошибка формата файла: " + refused},
      {dir_.Path().string(), 3, "Не могу прочитать файл: " + dir_.Path().string()},
      {dir_.File("missing.t7kev"), 3, "Не могу прочитать файл: " + dir_.File("missing.t7kev")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    for (std::string cmd : {"show", "export"}) {
      std::vector<std::string> args = {cmd, c.file};
      if (cmd == "export") args.insert(args.end(), {"-o", dir_.File("never.txt")});
      Result r = Run(args);
      EXPECT_EQ(r.status, c.status);
      EXPECT_EQ(r.err.rfind(c.message, 0), 0u) << r.err;
      EXPECT_TRUE(r.out.empty());
    }
  }
  EXPECT_FALSE(std::filesystem::exists(dir_.File("never.txt")));
}

TEST_F(Cli, FileWithoutReadPermission) {
#ifndef _WIN32
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
#endif
  const std::string path = Sample(10);
  std::filesystem::permissions(path, std::filesystem::perms::none);
  Result r = Run({"show", path});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.err.rfind("Не могу прочитать файл: " + path, 0), 0u) << r.err;
}

TEST_F(Cli, UnwritableTargets) {
  const std::string path = Sample(10);
  const std::string report = dir_.File("none/r.txt");
  Result r = Run({"export", path, "-o", report});
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err.rfind("Ошибка записи файла: " + report, 0), 0u) << r.err;

  // A folder where the report should go stays as it is.
  std::filesystem::create_directory(dir_.File("sub"));
  r = Run({"export", path, "-o", dir_.File("sub")});
  EXPECT_EQ(r.status, 4);
  EXPECT_TRUE(std::filesystem::is_empty(dir_.File("sub")));

  const std::string events = dir_.File("none/e.t7kev");
  r = Run({"sample", "-o", events});
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err.rfind("Не могу создать файл: " + events, 0), 0u) << r.err;
}

TEST_F(Cli, WrongArgumentsAreRefused) {
  const std::string path = Sample(10);
  const std::vector<std::vector<std::string>> cases = {
      {"show", path, "--from", "2024-02-30"},
      {"show", path, "--to", "15.03.2024"},
      {"show", path, "--beams", "5-"},
      {"show", path, "--devices", "-3"},
      {"export", path, "-o", dir_.File("x.txt"), "--no-modes"},  // filter without --filtered
      {"export", path},
      {"sample", "-o", dir_.File("y.t7kev"), "--count", "100001"},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(args.back());
    Result r = Run(args);
    EXPECT_GE(r.status, 100);
    EXPECT_FALSE(r.err.empty());
  }
  EXPECT_FALSE(std::filesystem::exists(dir_.File("x.txt")));
  EXPECT_FALSE(std::filesystem::exists(dir_.File("y.t7kev")));
}
