// logwick-cli as a user runs it: outputs, files and exit statuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <functional>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "lists/event_file.h"
#include "lists/report.h"
#include "lists/t7k_ev_filter.h"
#include "tests/lists/test_files.h"
#include "version/program_version.h"

using namespace logwick;
using namespace logwick::test;

namespace {

struct Result {
  int status;
  std::string out, err;
};

// Double quotes serve both shells: the arguments here hold no '$', '`' or '"'.
// cmd.exe drops the first and the last quote of a line that starts with one,
// and its console streams end lines in CR LF.
std::string Quote(const std::string& s) { return "\"" + s + "\""; }
#ifdef _WIN32
const std::string kOpen = "\"", kClose = "\"", kProgram = [] {
  std::string p = std::string(LOGWICK_BIN_DIR) + "/logwick-cli.exe";
  std::replace(p.begin(), p.end(), '/', '\\');
  return Quote(p);
}();
int Status(int raw) { return raw; }
std::string Captured(const std::string& path) {
  std::string t = ReadText(path);
  return std::erase(t, '\r'), t;
}
#else
const std::string kProgram = Quote(std::string(LOGWICK_BIN_DIR) + "/logwick-cli"), kOpen, kClose;
int Status(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1; }
std::string Captured(const std::string& path) { return ReadText(path); }
#endif

std::int64_t LocalNoon(int d) {  // of a day in March 2024
  std::tm tm{.tm_hour = 12, .tm_mday = d, .tm_mon = 2, .tm_year = 124, .tm_isdst = -1};
  return std::mktime(&tm);
}
EventPredicate By(const CT7KEvFilter& f) {
  return [f](const CT7KEvent& ev) { return f.Accept(ev); };
}

class Cli : public ::testing::Test {
 protected:
  Result Run(const std::vector<std::string>& args) {
    std::string cmd = kOpen + kProgram;
    for (const auto& a : args) cmd += " " + Quote(a);
    const std::string out = dir_.File("stdout"), err = dir_.File("stderr");
    const int raw = std::system((cmd + " >" + Quote(out) + " 2>" + Quote(err) + kClose).c_str());
    return {Status(raw), Captured(out), Captured(err)};
  }

  std::string Sample(std::size_t n) {
    const std::string path = dir_.File("sample.t7kev");
    EXPECT_EQ(
        Run({"sample", "-o", path, "--count", std::to_string(n), "--seed", "7", "--texts", "20"}).status, 0);
    EXPECT_EQ(LoadEventFile(path, list_).status, LoadStatus::Loaded);
    EXPECT_EQ(list_.GetCount() + list_.m_texts.size(), n + 20);
    return path;
  }

  std::string ExpectedShow(const EventPredicate& admit) {  // UTF-8, LF line ends
    std::string text;
    ForEachReportLine(list_, admit, [&](std::string_view line) { (text += line) += '\n'; });
    return text;
  }

  TempDir dir_;
  CT7KEventList list_;
};

}  // namespace

TEST_F(Cli, ShowAndExportGiveTheReportAndEachFilterOptionSetsItsField) {
  const std::string path = Sample(600);  // newest event 15/03/2024, some days back
  const std::string all = ExpectedShow({});
  Result r = Run({"show", path});
  EXPECT_EQ(std::make_pair(r.status, r.out), std::make_pair(0, all)) << r.err;

  const std::string expected = dir_.File("expected.txt"), out = dir_.File("out.txt");
  WriteBytes(out, Bytes(5, 'x'));  // an existing report is replaced
  ASSERT_TRUE(WriteReportFile(expected, list_, {}).ok);
  ASSERT_EQ(Run({"export", path, "-o", out}).status, 0);
  EXPECT_EQ(ReadBytes(out), ReadBytes(expected));
  CT7KEvFilter filtered;
  filtered.m_bModes = 0, filtered.m_nFirstBeam = 2, filtered.m_nLastBeam = 9;
  ASSERT_EQ(Run({"export", path, "-o", out, "--filtered", "--no-modes", "--beams", "2-9"}).status, 0);
  ASSERT_TRUE(WriteReportFile(expected, list_, By(filtered)).ok);
  EXPECT_EQ(ReadBytes(out), ReadBytes(expected));

  using F = CT7KEvFilter;
  const std::pair<std::vector<std::string>, std::function<void(F&)>> cases[] = {
      {{"--from", "2024-03-14"}, [](F& f) { f.m_bPeriod = 1, f.m_timeFrom = LocalNoon(14); }},
      {{"--to", "2024-03-14"}, [](F& f) { f.m_bPeriod = 1, f.m_timeTo = LocalNoon(14); }},
      {{"--beams", "3-20"}, [](F& f) { f.m_nFirstBeam = 3, f.m_nLastBeam = 20; }},
      {{"--devices", "7"}, [](F& f) { f.m_nFirstDev = 7, f.m_nLastDev = 7; }},
      {{"--no-beams"}, [](F& f) { f.m_bBeams = 0; }},
      {{"--no-devices"}, [](F& f) { f.m_bDevices = 0; }},
      {{"--no-units"}, [](F& f) { f.m_bUnits = 0; }},
      {{"--no-slaves"}, [](F& f) { f.m_bSlaves = 0; }},
      {{"--no-messages"}, [](F& f) { f.m_bMessages = 0; }},
      {{"--no-modes"}, [](F& f) { f.m_bModes = 0; }},
  };
  for (auto [args, set] : cases) {
    args.insert(args.begin(), {"show", path});
    F f;
    set(f);
    r = Run(args);
    EXPECT_EQ(std::make_pair(r.status, r.out), std::make_pair(0, ExpectedShow(By(f))))
        << args[2] << ": " << r.err;
    EXPECT_NE(r.out, all) << args[2];  // each leaves something out of this sample
  }
}

// A failure names the file, each kind with its own status; wrong arguments
// are usage errors (status 100 and up). Neither writes anything.
TEST_F(Cli, FailuresAndWrongArguments) {
  const std::string path = Sample(10);
  const Bytes whole = ReadBytes(path);
  const std::string cut = dir_.File("cut.t7kev"), refused = dir_.File("refused.t7kev");
  WriteBytes(cut, Bytes(whole.begin(), whole.begin() + 20));
  Bytes wrongTag = whole;
  wrongTag[1] = 'T';
  WriteBytes(refused, wrongTag);
  const std::string folder = dir_.Path().string(), missing = dir_.File("missing.t7kev");
  const std::string noFolder = dir_.File("none/x"), x = dir_.File("x.txt"), y = dir_.File("y.t7kev");
  constexpr int kUsage = 100;
  const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
      {{"show", cut}, 2, "Ошибка формата файла: " + cut},
      {{"export", refused, "-o", noFolder}, 2, "Ошибка формата файла: " + refused},
      {{"show", folder}, 3, "Не могу прочитать файл: " + folder},
      {{"export", missing, "-o", noFolder}, 3, "Не могу прочитать файл: " + missing},
      {{"export", path, "-o", noFolder}, 4, "Ошибка записи файла: " + noFolder},
      {{"sample", "-o", noFolder}, 4, "Не могу создать файл: " + noFolder},
      {{"show", path, "--from", "2024-02-30"}, kUsage, ""},
      {{"show", path, "--beams", "5-"}, kUsage, ""},
      {{"export", path}, kUsage, ""},
      {{"sample", "-o", y, "--count", "100001"}, kUsage, ""},
      {{"export", path, "-o", x, "--no-modes"}, kUsage, ""},  // filter without --filtered
  };
  for (const auto& [args, status, message] : cases) {
    Result r = Run(args);
    EXPECT_TRUE(status == kUsage ? r.status >= kUsage : r.status == status) << r.status << " " << r.err;
    EXPECT_TRUE(!r.err.empty() && r.err.starts_with(message) && r.out.empty())
        << args.back() << ": " << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(x) || std::filesystem::exists(y));
}

TEST_F(Cli, VersionNamesTheProgramAndTheProjectVersion) {
  const Result r = Run({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, VersionLine("logwick-cli") + "\n");
  EXPECT_TRUE(r.out.starts_with("logwick-cli " + std::string(kProjectVersion))) << r.out;
}

TEST_F(Cli, ShowKeepsControlCharactersOffTheTerminal) {
  list_.m_nPanelType = 1;
  list_.SetConfigNameBytes("a\rb", 3);
  list_.m_texts = {
      "\x1b]0;x\x07\n\xC2\x98"
      "2J\x7F"
      "Ё"};
  list_.AddTail([] {
    CT7KEvent ev;
    ev.SetCode(4);
    return ev;
  }());  // message 0
  const std::string path = dir_.File("controls.t7kev");
  ASSERT_TRUE(StoreEventFile(path, list_).ok);
  Result r = Run({"show", path});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\nСистемная конфигурация a?b\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(" Сообщение '?]0;x???2J?Ё' по лучу 0\n"), std::string::npos) << r.out;
}
