// logwick-cli stats, check, export in every form and show --sha256: outputs
// to the byte where the form is a contract (the bytes of each export form are
// pinned where they are made: tests/lists/data_reports_test).
#include <gtest/gtest.h>

#include "lists/list_digest.h"
#include "lists/report_formats.h"
#include "tests/cli/cli_runner.h"
#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;

namespace {

class CliReports : public Cli {
 protected:
  std::string Store(const CT7KEventList& list) {
    list_ = list;
    const std::string path = dir_.File("log.t7kev");
    EXPECT_TRUE(StoreEventFile(path, list).ok);
    return path;
  }
};

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

TEST_F(CliReports, StatsAsTextAndJson) {
  const std::string path = Store(SmallLog());
  Result r = Run({"stats", path});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "events: 5\nfirst: 2024-02-01T07:00:00\nlast: 2024-03-21T08:00:00\nkinds:\n  режимы: 1\n"
            "  устройства: 1\n  сообщения: 0\n  лучи: 2\n  ПР4545: 0\n  ведомые: 0\n  прочие: 1\ndays:\n"
            "  2024-02-01: 1 (прочие 1)\n  2024-03-19: 2 (режимы 1, устройства 1)\n  2024-03-21: 1 (лучи 1)\n"
            "top beams:\n  7: 1\n  9: 1\ntop devices:\n  4: 1\n");
  const std::string kinds0 =
      "{\"режимы\": 0, \"устройства\": 0, \"сообщения\": 0, \"лучи\": 0, \"ПР4545\": 0, \"ведомые\": 0, "
      "\"прочие\": ";
  r = Run({"stats", path, "--json", "--no-modes", "--no-devices"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "{\"events\": 3, \"first\": \"2024-02-01T07:00:00\", \"last\": \"2024-03-21T08:00:00\", "
            "\"kinds\": {\"режимы\": 0, \"устройства\": 0, \"сообщения\": 0, \"лучи\": 2, \"ПР4545\": 0, "
            "\"ведомые\": 0, \"прочие\": 1}, \"days\": [{\"date\": \"2024-02-01\", \"kinds\": " +
                kinds0 +
                "1}}, {\"date\": \"2024-03-21\", \"kinds\": {\"режимы\": 0, \"устройства\": 0, "
                "\"сообщения\": 0, \"лучи\": 1, \"ПР4545\": 0, \"ведомые\": 0, \"прочие\": 0}}], "
                "\"top_beams\": [{\"beam\": 7, \"events\": 1}, {\"beam\": 9, \"events\": 1}], "
                "\"top_devices\": []}\n");
  r = Run({"stats", path, "--json", "--no-modes", "--no-devices", "--no-beams", "--no-units", "--from",
           "2024-03-01"});
  EXPECT_EQ(r.out, "{\"events\": 0, \"first\": null, \"last\": null, \"kinds\": " + kinds0 +
                       "0}, \"days\": [], \"top_beams\": [], \"top_devices\": []}\n");
}

TEST_F(CliReports, CheckAsTextAndJsonWithItsGapOption) {
  const std::string path = Store(SmallLog());
  Result r = Run({"check", path});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(
      r.out,
      "0 2024-03-21T08:00:00 future\n2 2024-02-30T01:00:00 time-backwards\n2 2024-02-30T01:00:00 bad-date\n"
      "3 2024-03-19T07:30:00 gap\n4 2024-02-01T07:00:00 read-error\n");
  r = Run({"check", path, "--json", "--gap-days", "48"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "{\"findings\": [{\"row\": 0, \"kind\": \"future\", \"time\": \"2024-03-21T08:00:00\"}, "
            "{\"row\": 2, \"kind\": \"time-backwards\", \"time\": \"2024-02-30T01:00:00\"}, "
            "{\"row\": 2, \"kind\": \"bad-date\", \"time\": \"2024-02-30T01:00:00\"}, "
            "{\"row\": 4, \"kind\": \"read-error\", \"time\": \"2024-02-01T07:00:00\"}]}\n");
  CT7KEventList clean = SmallLog();
  clean.RemoveAll();
  r = Run({"check", Store(clean), "--json"});
  EXPECT_EQ(std::make_pair(r.status, r.out), std::make_pair(0, std::string("{\"findings\": []}\n")));
}

TEST_F(CliReports, ExportFormsShowSha256AndWrongUse) {
  const std::string path = Store(SmallLog()), expected = dir_.File("expected"), out = dir_.File("out");
  for (const ReportFormatName& f : kReportFormats) {
    ASSERT_EQ(Run({"export", path, "-o", out, "--format", std::string(f.name)}).status, 0) << f.name;
    ASSERT_TRUE(WriteReportFile(expected, list_, {}, {f.format}).ok);
    EXPECT_EQ(ReadBytes(out), ReadBytes(expected)) << f.name;
  }
  ASSERT_EQ(Run({"export", path, "-o", out}).status, 0);  // txt is the default
  ASSERT_TRUE(WriteReportFile(expected, list_, {}).ok);
  EXPECT_EQ(ReadBytes(out), ReadBytes(expected));
  ASSERT_EQ(Run({"export", path, "-o", out, "--format", "csv", "--csv-separator", "\t"}).status, 0);
  EXPECT_TRUE(ReadText(out).starts_with("\xEF\xBB\xBFВремя\tКод\tВид\tЛуч\tУстройство\tСобытие\tЗапись\r\n"));

  Result r = Run({"show", path, "--sha256"});
  EXPECT_EQ(std::make_pair(r.status, r.out), std::make_pair(0, HexOf(EventListSha256(list_)) + "\n"));

  constexpr int kUsage = 100;
  const std::string none = dir_.File("none.csv"), noFolder = dir_.File("no/x.csv");
  const std::pair<std::vector<std::string>, int> wrong[] = {
      {{"export", path, "-o", none, "--format", "json"}, kUsage},
      {{"export", path, "-o", none, "--format", "jsonl", "--csv-separator", ","}, kUsage},
      {{"export", path, "-o", none, "--format", "csv", "--csv-separator", ";;"}, kUsage},
      {{"export", path, "-o", none, "--format", "csv", "--csv-separator", "a"}, kUsage},
      {{"check", path, "--gap-days", "-1"}, kUsage},
      {{"show", path, "--sha256", "--no-modes"}, kUsage},
      {{"stats", path, "--beams", "x"}, kUsage},
      {{"export", path, "-o", noFolder, "--format", "html"}, 4},
      {{"stats", dir_.File("missing.t7kev")}, 3},
      {{"check", dir_.File("missing.t7kev")}, 3},
  };
  for (const auto& [args, status] : wrong) {
    r = Run(args);
    EXPECT_TRUE(status == kUsage ? r.status >= kUsage : r.status == status) << r.status << " " << args[3];
    EXPECT_TRUE(r.out.empty() && !r.err.empty()) << args[3];
  }
  EXPECT_FALSE(std::filesystem::exists(none));
}
