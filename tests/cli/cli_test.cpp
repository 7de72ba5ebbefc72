// logwick-cli as a user runs it: outputs, files and exit statuses (the bytes of
// each export form are pinned where they are made: tests/lists/reports_test).
#include <gtest/gtest.h>

#include <ctime>

#include "lists/list_digest.h"
#include "lists/report_formats.h"
#include "lists/t7k_ev_filter.h"
#include "tests/cli/cli_runner.h"
#include "tests/lists/list_samples.h"
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

// Read at 2024-03-20 09:00:00; newest first.
CT7KEventList SmallLog() {
  CT7KEventList list = MakeHeaderList();
  list.m_nReadYear = 2024, list.m_nReadMonth = 3, list.m_nReadDay = 20, list.m_nReadHour = 9;
  list.AddTail(MakeEvent(Stamp(2024, 3, 21, 8), 5, {7}));              // 0 future
  list.AddTail(MakeEvent(Stamp(2024, 3, 19, 8), 2, {0, 0, 0, 0, 4}));  // 1 device 4
  list.AddTail(MakeEvent(Stamp(2024, 2, 30, 1), 5, {9}));              // 2 bad date, beam 9
  list.AddTail(MakeEvent(Stamp(2024, 3, 19, 7, 30), 1));               // 3
  list.AddTail(MakeEvent(Stamp(2024, 2, 1, 7), 32766));                // 4 gap from here to row 3
  return list;
}

}  // namespace

TEST_F(Cli, ShowAndExportGiveTheReportAndEachFilterOptionSetsItsField) {
  const std::string path = dir_.File("sample.t7kev");  // newest event 15/03/2024, some days back
  ASSERT_EQ(Run({"sample", "-o", path, "--count", "600", "--seed", "7", "--texts", "20"}).status, 0);
  ASSERT_EQ(LoadEventFile(path, list_).status, FileStatus::Done);
  EXPECT_EQ(list_.GetCount() + list_.m_texts.size(), 620u);
  const std::string all = ExpectedShow({});
  EXPECT_EQ(Out({"show", path}), all);

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

  // Each option against the one field it sets.
  using F = CT7KEvFilter;
  const std::pair<std::vector<std::string>, void (*)(F&)> cases[] = {
      {{"--from", "2024-03-14"}, [](F& f) { f.m_bPeriod = 1, f.m_timeFrom = LocalNoon(14); }},
      {{"--to", "2024-03-14"}, [](F& f) { f.m_bPeriod = 1, f.m_timeTo = LocalNoon(14); }},
      {{"--beams", "3-20"}, [](F& f) { f.m_nFirstBeam = 3, f.m_nLastBeam = 20; }},
      {{"--devices", "7"}, [](F& f) { f.m_nFirstDev = f.m_nLastDev = 7; }},
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
    const std::string out = Out(args);
    EXPECT_EQ(out, ExpectedShow(By(f))) << args[2];
    EXPECT_NE(out, all) << args[2];  // each leaves something out of this sample
  }
}

// A failure names the file, each kind with its own status; wrong arguments
// are usage errors (status 100 and up). Neither writes anything.
TEST_F(Cli, FailuresAndWrongArguments) {
  const std::string path = Store(SmallLog(), "log.t7kev");
  Bytes bytes = ReadBytes(path);
  const std::string cut = dir_.File("cut.t7kev"), refused = dir_.File("refused.t7kev");
  WriteBytes(cut, Bytes(bytes.begin(), bytes.begin() + 20));
  bytes[1] = 'T';  // a tag of another format
  WriteBytes(refused, bytes);
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
      {{"export", path, "-o", x, "--format", "json"}, kUsage, ""},
      {{"export", path, "-o", x, "--format", "jsonl", "--csv-separator", ","}, kUsage, ""},
      {{"export", path, "-o", x, "--format", "csv", "--csv-separator", ";;"}, kUsage, ""},
      {{"export", path, "-o", x, "--format", "csv", "--csv-separator", "a"}, kUsage, ""},
      {{"check", path, "--gap-days", "-1"}, kUsage, ""},
      {{"show", path, "--sha256", "--no-modes"}, kUsage, ""},
      {{"stats", path, "--beams", "x"}, kUsage, ""},
      {{"stats", missing}, 3, "Не могу прочитать файл: " + missing},
      {{"check", missing}, 3, "Не могу прочитать файл: " + missing},
  };
  for (const auto& [args, status, message] : cases) {
    Result r = Run(args);
    EXPECT_TRUE(status == kUsage ? r.status >= kUsage : r.status == status) << r.status << " " << r.err;
    EXPECT_TRUE(!r.err.empty() && r.err.starts_with(message) && r.out.empty())
        << args.back() << ": " << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(x) || std::filesystem::exists(y));
}

TEST_F(Cli, VersionAndShowKeepingControlCharactersOffTheTerminal) {
  const std::string version = Out({"--version"});
  EXPECT_EQ(version, VersionLine("logwick-cli") + "\n");
  EXPECT_TRUE(version.starts_with("logwick-cli " + std::string(kProjectVersion))) << version;

  CT7KEventList l;
  l.m_nPanelType = 1;
  l.SetConfigNameBytes("a\rb", 3);
  l.m_texts = {"\x1b]0;x\x07\n\xC2\x98[2J\x7FЁ"};
  l.AddTail(MakeEvent(0, 4));  // message 0
  const std::string out = Out({"show", Store(l, "controls.t7kev")});
  EXPECT_NE(out.find("\nСистемная конфигурация a?b\n"), std::string::npos) << out;
  EXPECT_NE(out.find(" Сообщение '?]0;x???[2J?Ё' по лучу 0\n"), std::string::npos) << out;
}

TEST_F(Cli, StatsCheckExportAndSha256OfOneLog) {
  const std::string path = Store(SmallLog(), "log.t7kev"), expected = dir_.File("expected"),
                    out = dir_.File("out");
  EXPECT_EQ(Out({"stats", path}),
            "events: 5\nfirst: 2024-02-01T07:00:00\nlast: 2024-03-21T08:00:00\nkinds:\n  режимы: 1\n"
            "  устройства: 1\n  сообщения: 0\n  лучи: 2\n  ПР4545: 0\n  ведомые: 0\n  прочие: 1\ndays:\n"
            "  2024-02-01: 1 (прочие 1)\n  2024-03-19: 2 (режимы 1, устройства 1)\n  2024-03-21: 1 (лучи 1)\n"
            "top beams:\n  7: 1\n  9: 1\ntop devices:\n  4: 1\n");
  const std::string kinds0 = R"({"режимы": 0, "устройства": 0, "сообщения": 0, "лучи": 0, "ПР4545": 0, )"
                             R"("ведомые": 0, "прочие": )";
  EXPECT_EQ(Out({"stats", path, "--json", "--no-modes", "--no-devices"}),
            R"({"events": 3, "first": "2024-02-01T07:00:00", "last": "2024-03-21T08:00:00", "kinds": )"
            R"({"режимы": 0, "устройства": 0, "сообщения": 0, "лучи": 2, "ПР4545": 0, "ведомые": 0, )"
            R"("прочие": 1}, "days": [{"date": "2024-02-01", "kinds": )" +
                kinds0 +
                R"(1}}, {"date": "2024-03-21", "kinds": {"режимы": 0, "устройства": 0, )"
                R"("сообщения": 0, "лучи": 1, "ПР4545": 0, "ведомые": 0, "прочие": 0}}], "top_beams": )"
                R"([{"beam": 7, "events": 1}, {"beam": 9, "events": 1}], "top_devices": []})"
                "\n");
  EXPECT_EQ(Out({"stats", path, "--json", "--no-modes", "--no-devices", "--no-beams", "--no-units", "--from",
                 "2024-03-01"}),
            R"({"events": 0, "first": null, "last": null, "kinds": )" + kinds0 +
                R"(0}, "days": [], "top_beams": [], "top_devices": []})"
                "\n");

  EXPECT_EQ(
      Out({"check", path}),
      "0 2024-03-21T08:00:00 future\n2 2024-02-30T01:00:00 time-backwards\n2 2024-02-30T01:00:00 bad-date\n"
      "3 2024-03-19T07:30:00 gap\n4 2024-02-01T07:00:00 read-error\n");
  EXPECT_EQ(Out({"check", path, "--json", "--gap-days", "48"}),
            R"({"findings": [{"row": 0, "kind": "future", "time": "2024-03-21T08:00:00"}, )"
            R"({"row": 2, "kind": "time-backwards", "time": "2024-02-30T01:00:00"}, )"
            R"({"row": 2, "kind": "bad-date", "time": "2024-02-30T01:00:00"}, )"
            R"({"row": 4, "kind": "read-error", "time": "2024-02-01T07:00:00"}]})"
            "\n");

  for (const ReportFormatName& f : kReportFormats) {
    ASSERT_EQ(Run({"export", path, "-o", out, "--format", std::string(f.name)}).status, 0) << f.name;
    ASSERT_TRUE(WriteReportFile(expected, list_, {}, {f.format}).ok);
    EXPECT_EQ(ReadBytes(out), ReadBytes(expected)) << f.name;
  }
  ASSERT_EQ(Run({"export", path, "-o", out, "--format", "csv", "--csv-separator", "\t"}).status, 0);
  EXPECT_TRUE(ReadText(out).starts_with("\xEF\xBB\xBFВремя\tКод\tВид\tЛуч\tУстройство\tСобытие\tЗапись\r\n"));

  EXPECT_EQ(Out({"show", path, "--sha256"}), HexOf(EventListSha256(list_)) + "\n");

  CT7KEventList clean = SmallLog();
  clean.RemoveAll();
  EXPECT_EQ(Out({"check", Store(clean, "log.t7kev"), "--json"}), "{\"findings\": []}\n");
}
