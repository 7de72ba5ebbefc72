// The text report: header, event lines, scope and the bytes on disk.
#include "lists/report.h"

#include <gtest/gtest.h>

#include "lists/report_formats.h"
#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;

static std::string ReportOf(const CT7KEventList& list, const EventPredicate& admit = {}) {
  TempDir dir;
  EXPECT_TRUE(WriteReportFile(dir.File("r.txt"), list, admit).ok);
  return Cp1251ToUtf8(ReadText(dir.File("r.txt")));
}

static const std::string kRule(75, '=');

TEST(Report, HeaderAndEventLines) {
  CT7KEventList list = MakeHeaderList();
  list.AddTail(MakeEvent(0x3F20E305u, 4, {7, 0, 12, 0}));
  list.m_texts = {"a", "b"};
  EXPECT_EQ(ReportOf(list),
            "Список событий прибора Тарвел-7К (с/н 123), считанный 16/12/2015 14:12:05\r\n"
            "Прибор версии 2.5 выпущен 01/03/2012\r\n"
            "Системная конфигурация Склад\r\n" +
                kRule + "\r\n16/12/2015 14:12:05 Сообщение (7) по лучу 12\r\n");
  EXPECT_EQ(ReportOf(CT7KEventList()),
            "Список событий прибора ??? (с/н 0), считанный 00/00/0000 00:00:00\r\n"
            "Прибор версии 0.0 выпущен 00/00/0000\r\n"
            "Системная конфигурация \r\n" +
                kRule + "\r\n");
  list.m_szConfigName.fill('Z');  // no NUL: all 17 bytes
  EXPECT_EQ(ReportHeaderLines(list)[2], "Системная конфигурация " + std::string(17, 'Z'));
}

TEST(Report, ScopeKeepsListOrderAndTheSameLines) {
  CT7KEventList list = MakeHeaderList();
  for (std::uint16_t code = 0; code < 14; ++code)
    list.AddTail(MakeEvent(0x3F20E305u - code, code, {static_cast<std::uint8_t>(code)}));
  const auto admit = [](const CT7KEvent& ev) { return ev.Code() % 3 == 0; };
  std::string expectedAll, expectedSome;
  for (const CT7KEvent& ev : list) {
    const std::string line = ev.GetTimeText() + " " + ev.GetText(list.m_texts) + "\r\n";
    expectedAll += line;
    if (admit(ev)) expectedSome += line;
  }
  const std::string all = ReportOf(list), some = ReportOf(list, admit);
  EXPECT_TRUE(all.ends_with(expectedAll) && some.ends_with(expectedSome));
  EXPECT_EQ(all.size() - expectedAll.size(), some.size() - expectedSome.size());  // same header
}

// Where marks go between shown events is GapRows' rule (GapRows.MarkRows...);
// the report writes its line there.
TEST(Report, GapMarkLinesStandWhereTheRowsPutThem) {
  CT7KEventList list = MakeHeaderList();
  std::vector<std::string> lines;  // event i's line
  for (std::uint16_t code = 0; code < 6; ++code) {
    list.AddTail(MakeEvent(0x3F20E305u - code, code));
    AppendEventLine(lines.emplace_back(), list[code], list.m_texts);
  }
  const std::size_t marks[] = {1, 3};
  TempDir dir;
  ReportOptions withMarks;
  withMarks.gaps = marks;
  const EventPredicate odd = [](const CT7KEvent& ev) { return ev.Code() % 2 == 1; };
  ASSERT_TRUE(WriteReportFile(dir.File("r.txt"), list, odd, withMarks).ok);
  const std::string mark = "\r\n--- возможен пропуск событий ---\r\n";
  // The first mark lies before the first shown event: no line.
  EXPECT_TRUE(Cp1251ToUtf8(ReadText(dir.File("r.txt")))
                  .ends_with("=\r\n" + lines[1] + mark + lines[3] + "\r\n" + lines[5] + "\r\n"));
}
