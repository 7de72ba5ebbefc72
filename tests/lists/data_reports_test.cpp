// CSV, JSON Lines and HTML reports: the bytes of each form and the escaping of
// every text that comes from a file or a panel.
#include <gtest/gtest.h>

#include "lists/html_report.h"
#include "lists/json_text.h"
#include "lists/list_digest.h"
#include "lists/report_formats.h"
#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;

namespace {

constexpr std::uint32_t kStamp = 0x3F20E305u;  // 16/12/2015 14:12:05

std::string Report(const CT7KEventList& list, ReportOptions options, const EventPredicate& admit = {}) {
  TempDir dir;
  EXPECT_TRUE(WriteReportFile(dir.File("r"), list, admit, options).ok);
  return ReadText(dir.File("r"));
}

// A message text with every character that needs care in one form or another.
CT7KEventList TrickyList() {
  CT7KEventList list = MakeHeaderList();
  list.m_texts = {"a;b,\"c\"\r\nd\te\x1b<i>&'"};
  list.AddTail(MakeEvent(kStamp, 4, {0, 0, 3}));                       // message 0 on beam 3
  list.AddTail(MakeEvent(kStamp, 6, {6, 3, 1, 0, 0, 0, 0, 0, 0, 0}));  // ПР4545 3, button 0
  list.AddTail(MakeEvent(kStamp, 5, {12}));                            // beam 12
  list.AddTail(MakeEvent(kStamp, 11, {9, 0, 0, 0, 40, 7, 5}));         // detector 40 (B6 is no beam)
  list.AddTail(MakeEvent(0xFFFFFFFFu, 0));                             // fields as packed, no date
  return list;
}

}  // namespace

TEST(DataReports, TextEscapingTables) {
  const std::pair<std::string, std::string> json[] = {
      {"plain Ёж", "\"plain Ёж\""},
      {"q\"b\\", "\"q\\\"b\\\\\""},
      {"\r\n\t", "\"\\r\\n\\t\""},
      {std::string("\x00\x08\x0c\x1b\x1f\x7f", 6), "\"\\u0000\\u0008\\u000c\\u001b\\u001f\x7f\""},
  };
  for (const auto& [in, out] : json) {
    std::string s;
    AppendJsonString(s, in);
    EXPECT_EQ(s, out);
  }
  const std::pair<std::string, std::string> html[] = {
      {"<script>&\"'", "&lt;script&gt;&amp;&quot;&#39;"},
      {"a\tb\r\nc", "a\tb\r\nc"},
      {"\x1b[2J\x7f\xC2\x98Ё", "\xEF\xBF\xBD[2J\xEF\xBF\xBD\xEF\xBF\xBDЁ"},
  };
  for (const auto& [in, out] : html) {
    std::string s;
    AppendHtmlEscaped(s, in);
    EXPECT_EQ(s, out);
  }
  const std::tuple<std::string, char, std::string> csv[] = {
      {"a,b", ';', "a,b"},           {"a,b", ',', "\"a,b\""},
      {"a;b", ';', "\"a;b\""},       {"say \"hi\"", ';', "\"say \"\"hi\"\"\""},
      {"a\rb", ';', "\"a\rb\""},     {"a\nb", '\t', "\"a\nb\""},
      {"a\tb\x1b", ';', "a\tb\x1b"},
  };
  for (const auto& [in, sep, out] : csv) {
    std::string s;
    AppendCsvField(s, in, sep);
    EXPECT_EQ(s, out);
  }
  for (char c : {';', ',', '\t', '|', ' '}) EXPECT_TRUE(IsUsableCsvSeparator(c)) << int(c);
  for (char c : {'"', '\r', '\n', 'a', '5', '\0', '\xC3'}) EXPECT_FALSE(IsUsableCsvSeparator(c)) << int(c);
}

TEST(DataReports, CsvBytes) {
  const CT7KEventList list = TrickyList();
  const std::string message = "Сообщение 'a;b,\"\"c\"\"\r\nd\te\x1b<i>&'' по лучу 3";
  const std::string semicolon = Report(list, {ReportFormat::Csv});
  EXPECT_EQ(semicolon,
            "\xEF\xBB\xBF"
            "Время;Код;Вид;Луч;Устройство;Событие;Запись\r\n"
            "2015-12-16 14:12:05;4;сообщения;;;\"" +
                message +
                "\";05e3203f040000000300000000000000\r\n"
                "2015-12-16 14:12:05;6;ПР4545;;;ПР4545 номер 3  нажата кнопка "
                "0;05e3203f060006030100000000000000\r\n"
                "2015-12-16 14:12:05;5;лучи;12;;Блокировка луча 12;05e3203f05000c000000000000000000\r\n"
                "2015-12-16 14:12:05;11;устройства;;40;Дымовой датчик 40, запыленность стала 7%, была 5%;"
                "05e3203f0b0009000000280705000000\r\n"
                "2063-15-31 31:63:63;0;прочие;;;?? ошибка ??;ffffffff000000000000000000000000\r\n");
  const std::string comma = Report(list, {ReportFormat::Csv, ','});
  EXPECT_NE(comma.find("Время,Код,Вид,Луч,Устройство,Событие,Запись\r\n"), std::string::npos);
  EXPECT_NE(comma.find(",\"Дымовой датчик 40, запыленность стала 7%, была 5%\","), std::string::npos);
}

TEST(DataReports, JsonLinesBytes) {
  CT7KEventList list = TrickyList();
  const std::string name = "<q\"\\>";
  list.SetConfigNameBytes(name.data(), name.size());
  const auto beams = [](const CT7KEvent& ev) { return ev.Code() == 5 || ev.Code() == 0; };
  const std::string text = Report(list, {ReportFormat::JsonLines}, beams);
  EXPECT_EQ(
      text,
      "{\"panel\": \"Тарвел-7К\", \"serial\": 123, \"read\": \"2015-12-16T14:12:05\", \"version\": \"2.5\", "
      "\"released\": \"2012-03-01\", \"config\": \"<q\\\"\\\\>\", \"sha256\": \"" +
          HexOf(EventListSha256(list)) +
          "\", \"events\": 2}\n"
          "{\"time\": \"2015-12-16T14:12:05\", \"code\": 5, \"kind\": \"лучи\", \"beam\": 12, \"device\": "
          "null, "
          "\"text\": \"Блокировка луча 12\", \"raw\": \"05e3203f05000c000000000000000000\"}\n"
          "{\"time\": \"2063-15-31T31:63:63\", \"code\": 0, \"kind\": \"прочие\", \"beam\": null, "
          "\"device\": null, \"text\": \"?? ошибка ??\", \"raw\": \"ffffffff000000000000000000000000\"}\n");
  const std::string all = Report(list, {ReportFormat::JsonLines});
  EXPECT_NE(all.find(", \"events\": 5}\n"), std::string::npos);
  EXPECT_NE(all.find("\"text\": \"Сообщение 'a;b,\\\"c\\\"\\r\\nd\\te\\u001b<i>&'' по лучу 3\""),
            std::string::npos);
  EXPECT_NE(all.find("\"beam\": null, \"device\": 40, "), std::string::npos);
  EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 6);
  EXPECT_EQ(all.find('\r'), std::string::npos);
  // A never-filled list still gives a header.
  EXPECT_TRUE(Report(CT7KEventList(), {ReportFormat::JsonLines})
                  .starts_with("{\"panel\": \"???\", \"serial\": 0, \"read\": \"0000-00-00T00:00:00\", "
                               "\"version\": \"0.0\", \"released\": \"0000-00-00\", "));
}

TEST(DataReports, HtmlEscapesEverythingAndLoadsNothing) {
  CT7KEventList list = TrickyList();
  const std::string name = "<script>";
  list.SetConfigNameBytes(name.data(), name.size());
  list.m_texts[0] += "<img src=x>";
  const std::string html = Report(list, {ReportFormat::Html});
  EXPECT_TRUE(html.starts_with("<!DOCTYPE html>\n<html lang=\"ru\">"));
  EXPECT_TRUE(html.ends_with("</html>\n"));
  EXPECT_NE(html.find("Системная конфигурация &lt;script&gt;"), std::string::npos);
  EXPECT_NE(html.find("&lt;i&gt;&amp;&#39;&lt;img src=x&gt;"), std::string::npos);
  for (const char* external :
       {"<script", "<img", "<link", "<iframe", "<object", "href", "url(", "@import", "http:", "https:"})
    EXPECT_EQ(html.find(external), std::string::npos) << external;
  EXPECT_EQ(html.find('\x1b'), std::string::npos);
  EXPECT_NE(html.find("thead { display: table-header-group; }"), std::string::npos);
  EXPECT_NE(html.find("<thead><tr><th>Время</th><th>Вид</th><th>Событие</th></tr></thead>"),
            std::string::npos);
  EXPECT_NE(html.find(HexOf(EventListSha256(list))), std::string::npos);
  // The summary: counts per kind, the period of good dates, the busiest, the findings.
  EXPECT_NE(html.find("<tr><td>лучи</td><td class=\"n\">1</td></tr>"), std::string::npos);
  EXPECT_NE(html.find("Период: с 16/12/2015 14:12:05 по 16/12/2015 14:12:05"), std::string::npos);
  EXPECT_NE(html.find("<tr><td class=\"n\">40</td><td class=\"n\">1</td></tr>"), std::string::npos);
  EXPECT_NE(html.find("<td class=\"t\">31/15/2063 31:63:63</td><td>неверная дата</td>"), std::string::npos);
  // The summary alone: all but the findings' and the events' tables.
  std::vector<Finding> findings;
  const std::string summary = HtmlReportSummary(list, ShownRows(list, {}), findings);
  EXPECT_EQ(summary, html.substr(0, html.find("<table>\n<thead><tr><th>Время</th><th>Замечание</th>")) +
                         "</div>\n</body>\n</html>\n");
  EXPECT_EQ(findings, CheckIntegrity(list));
}

// A failed store is the atomic store's (EventFileStore.*), the same for every form.
TEST(DataReports, FormsByName) {
  EXPECT_EQ(ReportFormatFromName("jsonl"), ReportFormat::JsonLines);
  EXPECT_FALSE(ReportFormatFromName("json"));
}
