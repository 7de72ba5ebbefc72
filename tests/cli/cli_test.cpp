// logwick-cli as a user runs it: outputs, files and exit statuses.
#include <gtest/gtest.h>

#include <ctime>
#include <functional>

#include "lists/t7k_ev_filter.h"
#include "tests/cli/cli_runner.h"
#include "version/program_version.h"

using namespace logwick;
using namespace logwick::test;

namespace {

std::int64_t LocalNoon(int d) {  // of a day in March 2024
  std::tm tm{.tm_hour = 12, .tm_mday = d, .tm_mon = 2, .tm_year = 124, .tm_isdst = -1};
  return std::mktime(&tm);
}
EventPredicate By(const CT7KEvFilter& f) {
  return [f](const CT7KEvent& ev) { return f.Accept(ev); };
}

// Filters that differ from the defaults in one option each.
using F = CT7KEvFilter;
F Period(std::int64_t F::*end) {
  F f;
  f.m_bPeriod = 1;
  f.*end = LocalNoon(14);
  return f;
}
F Range(std::uint32_t F::*first, std::uint32_t F::*last, std::uint32_t from, std::uint32_t to) {
  F f;
  f.*first = from;
  f.*last = to;
  return f;
}
F Without(std::int32_t F::*kind) {
  F f;
  f.*kind = 0;
  return f;
}

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
  filtered.m_bModes = 0;
  filtered.m_nFirstBeam = 2;
  filtered.m_nLastBeam = 9;
  ASSERT_EQ(Run({"export", path, "-o", out, "--filtered", "--no-modes", "--beams", "2-9"}).status, 0);
  ASSERT_TRUE(WriteReportFile(expected, list_, By(filtered)).ok);
  EXPECT_EQ(ReadBytes(out), ReadBytes(expected));

  const std::pair<std::vector<std::string>, CT7KEvFilter> cases[] = {
      {{"--from", "2024-03-14"}, Period(&F::m_timeFrom)},
      {{"--to", "2024-03-14"}, Period(&F::m_timeTo)},
      {{"--beams", "3-20"}, Range(&F::m_nFirstBeam, &F::m_nLastBeam, 3, 20)},
      {{"--devices", "7"}, Range(&F::m_nFirstDev, &F::m_nLastDev, 7, 7)},
      {{"--no-beams"}, Without(&F::m_bBeams)},
      {{"--no-devices"}, Without(&F::m_bDevices)},
      {{"--no-units"}, Without(&F::m_bUnits)},
      {{"--no-slaves"}, Without(&F::m_bSlaves)},
      {{"--no-messages"}, Without(&F::m_bMessages)},
      {{"--no-modes"}, Without(&F::m_bModes)},
  };
  for (auto [args, f] : cases) {
    args.insert(args.begin(), {"show", path});
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
