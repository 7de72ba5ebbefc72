// The reports: the text report's header and lines, the bytes of the CSV, JSON Lines and HTML forms, and the
// escaping of every text that comes from a file or a panel. A failed store is the atomic store's
// (EventFileStore.*), the same for every form.
#include <gtest/gtest.h>

#include "lists/html_report.h"
#include "lists/json_text.h"
#include "lists/list_digest.h"
#include "lists/report.h"
#include "lists/report_formats.h"
#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;

namespace {

constexpr std::uint32_t kStamp = 0x3F20E305u;  // 16/12/2015 14:12:05

// The report's bytes; the text report's converted to UTF-8.
std::string Report(const CT7KEventList& list, ReportOptions options = {}, const EventPredicate& admit = {}) {
  TempDir dir;
  EXPECT_TRUE(WriteReportFile(dir.File("r"), list, admit, options).ok);
  const std::string bytes = ReadText(dir.File("r"));
  return options.format == ReportFormat::Text ? Cp1251ToUtf8(bytes) : bytes;
}

// A message text with every character that needs care in one form or another;
// and a configuration named `name`, if given.
CT7KEventList TrickyList(const std::string& name = "") {
  CT7KEventList list = MakeHeaderList();
  if (!name.empty()) list.SetConfigNameBytes(name.data(), name.size());
  list.m_texts = {"a;b,\"c\"\r\nd\te\x1b<i>&'"};
  list.AddTail(MakeEvent(kStamp, 4, {0, 0, 3}));                       // message 0 on beam 3
  list.AddTail(MakeEvent(kStamp, 6, {6, 3, 1, 0, 0, 0, 0, 0, 0, 0}));  // ПР4545 3, button 0
  list.AddTail(MakeEvent(kStamp, 5, {12}));                            // beam 12
  list.AddTail(MakeEvent(kStamp, 11, {9, 0, 0, 0, 40, 7, 5}));         // detector 40 (B6 is no beam)
  list.AddTail(MakeEvent(0xFFFFFFFFu, 0));                             // fields as packed, no date
  return list;
}

void ExpectHolds(const std::string& text, std::initializer_list<std::string> parts) {
  for (const std::string& part : parts) EXPECT_NE(text.find(part), std::string::npos) << part;
}

}  // namespace

TEST(Report, HeaderAndEventLines) {
  const std::string rule(75, '=');
  CT7KEventList list = MakeHeaderList();
  list.AddTail(MakeEvent(kStamp, 4, {7, 0, 12, 0}));
  list.m_texts = {"a", "b"};
  EXPECT_EQ(Report(list),
            "Список событий прибора Тарвел-7К (с/н 123), считанный 16/12/2015 14:12:05\r\n"
            "Прибор версии 2.5 выпущен 01/03/2012\r\n"
            "Системная конфигурация Склад\r\n" +
                rule + "\r\n16/12/2015 14:12:05 Сообщение (7) по лучу 12\r\n");
  EXPECT_EQ(Report(CT7KEventList()),
            "Список событий прибора ??? (с/н 0), считанный 00/00/0000 00:00:00\r\n"
            "Прибор версии 0.0 выпущен 00/00/0000\r\n"
            "Системная конфигурация \r\n" +
                rule + "\r\n");
  list.m_szConfigName.fill('Z');  // no NUL: all 17 bytes
  EXPECT_EQ(ReportHeaderLines(list)[2], "Системная конфигурация " + std::string(17, 'Z'));
}

// Only the admitted events, in list order. Where marks go between them is
// GapRows' rule (GapRows.MarkRows...); the report writes its line there.
TEST(Report, AdmittedEventsAndGapMarkLinesWhereTheRowsPutThem) {
  CT7KEventList list = MakeHeaderList();
  std::vector<std::string> lines;  // event i's line
  for (std::uint16_t code = 0; code < 6; ++code) {
    list.AddTail(MakeEvent(kStamp - code, code));
    AppendEventLine(lines.emplace_back(), list[code], list.m_texts);
  }
  const std::size_t marks[] = {1, 3};
  ReportOptions withMarks;
  withMarks.gaps = marks;
  const std::string mark = "\r\n--- возможен пропуск событий ---\r\n";
  // The first mark lies before the first shown event: no line.
  EXPECT_TRUE(Report(list, withMarks, [](const CT7KEvent& ev) {
                return ev.Code() % 2 == 1;
              }).ends_with("=\r\n" + lines[1] + mark + lines[3] + "\r\n" + lines[5] + "\r\n"));
}

TEST(DataReports, TextEscaping) {
  EXPECT_EQ(Appended(AppendJsonString, "plain Ёж"), "\"plain Ёж\"");
  EXPECT_EQ(Appended(AppendJsonString, "q\"b\\"), "\"q\\\"b\\\\\"");
  EXPECT_EQ(Appended(AppendJsonString, "\r\n\t"), "\"\\r\\n\\t\"");
  EXPECT_EQ(Appended(AppendJsonString, std::string_view("\x00\x08\x0c\x1b\x1f\x7f", 6)),
            "\"\\u0000\\u0008\\u000c\\u001b\\u001f\x7f\"");
  EXPECT_EQ(Appended(AppendHtmlEscaped, "<script>&\"'"), "&lt;script&gt;&amp;&quot;&#39;");
  EXPECT_EQ(Appended(AppendHtmlEscaped, "a\tb\r\nc"), "a\tb\r\nc");
  EXPECT_EQ(Appended(AppendHtmlEscaped, "\x1b[2J\x7f\xC2\x98Ё"), "\xEF\xBF\xBD[2J\xEF\xBF\xBD\xEF\xBF\xBDЁ");
  const std::tuple<std::string, char, std::string> csv[] = {
      {"a,b", ';', "a,b"},           {"a,b", ',', "\"a,b\""},
      {"a;b", ';', "\"a;b\""},       {"say \"hi\"", ';', "\"say \"\"hi\"\"\""},
      {"a\rb", ';', "\"a\rb\""},     {"a\nb", '\t', "\"a\nb\""},
      {"a\tb\x1b", ';', "a\tb\x1b"},
  };
  for (const auto& [in, sep, out] : csv) EXPECT_EQ(Appended(AppendCsvField, in, sep), out);
  for (char c : {';', ',', '\t', '|', ' '}) EXPECT_TRUE(IsUsableCsvSeparator(c)) << int(c);
  for (char c : {'"', '\r', '\n', 'a', '5', '\0', '\xC3'}) EXPECT_FALSE(IsUsableCsvSeparator(c)) << int(c);
}

TEST(DataReports, CsvBytes) {
  const CT7KEventList list = TrickyList();
  const std::string message = "Сообщение 'a;b,\"\"c\"\"\r\nd\te\x1b<i>&'' по лучу 3";
  EXPECT_EQ(Report(list, {ReportFormat::Csv}),
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
  ExpectHolds(Report(list, {ReportFormat::Csv, ','}),
              {"Время,Код,Вид,Луч,Устройство,Событие,Запись\r\n",
               ",\"Дымовой датчик 40, запыленность стала 7%, была 5%\","});
}

TEST(DataReports, JsonLinesBytesAndTheFormsName) {
  const CT7KEventList list = TrickyList("<q\"\\>");
  const auto beams = [](const CT7KEvent& ev) { return ev.Code() == 5 || ev.Code() == 0; };
  EXPECT_EQ(
      Report(list, {ReportFormat::JsonLines}, beams),
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
  ExpectHolds(
      all, {", \"events\": 5}\n", "\"text\": \"Сообщение 'a;b,\\\"c\\\"\\r\\nd\\te\\u001b<i>&'' по лучу 3\"",
            "\"beam\": null, \"device\": 40, "});
  EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 6);
  EXPECT_EQ(all.find('\r'), std::string::npos);
  // A never-filled list still gives a header.
  EXPECT_TRUE(Report(CT7KEventList(), {ReportFormat::JsonLines})
                  .starts_with("{\"panel\": \"???\", \"serial\": 0, \"read\": \"0000-00-00T00:00:00\", "
                               "\"version\": \"0.0\", \"released\": \"0000-00-00\", "));
  EXPECT_EQ(ReportFormatFromName("jsonl"), ReportFormat::JsonLines);
  EXPECT_FALSE(ReportFormatFromName("json"));
}

TEST(DataReports, HtmlEscapesEverythingAndLoadsNothing) {
  CT7KEventList list = TrickyList("<script>");
  list.m_texts[0] += "<img src=x>";
  const std::string html = Report(list, {ReportFormat::Html});
  EXPECT_TRUE(html.starts_with("<!DOCTYPE html>\n<html lang=\"ru\">") && html.ends_with("</html>\n"));
  for (const char* external :
       {"<script", "<img", "<link", "<iframe", "<object", "href", "url(", "@import", "http:", "https:"})
    EXPECT_EQ(html.find(external), std::string::npos) << external;
  EXPECT_EQ(html.find('\x1b'), std::string::npos);
  // The summary: counts per kind, the period of good dates, the busiest, the findings.
  ExpectHolds(html, {"Системная конфигурация &lt;script&gt;", "&lt;i&gt;&amp;&#39;&lt;img src=x&gt;",
                     "thead { display: table-header-group; }",
                     "<thead><tr><th>Время</th><th>Вид</th><th>Событие</th></tr></thead>",
                     HexOf(EventListSha256(list)), "<tr><td>лучи</td><td class=\"n\">1</td></tr>",
                     "Период: с 16/12/2015 14:12:05 по 16/12/2015 14:12:05",
                     "<tr><td class=\"n\">40</td><td class=\"n\">1</td></tr>",
                     "<td class=\"t\">31/15/2063 31:63:63</td><td>неверная дата</td>"});
  // The summary alone: all but the findings' and the events' tables.
  std::vector<Finding> findings;
  const std::string summary = HtmlReportSummary(list, ShownRows(list, {}), findings);
  EXPECT_EQ(summary, html.substr(0, html.find("<table>\n<thead><tr><th>Время</th><th>Замечание</th>")) +
                         "</div>\n</body>\n</html>\n");
  EXPECT_EQ(findings, CheckIntegrity(list));
}
