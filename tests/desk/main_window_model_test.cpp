// The desktop program's main window as a model, driven by the scripted face.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "desk/filter_dialog.h"
#include "desk/help_text.h"
#include "desk/main_window_model.h"
#include "desk/settings_dialog.h"
#include "desk/window_texts.h"
#include "events/codec.h"
#include "lists/event_file.h"
#include "lists/user_folders.h"
#include "tests/desk/desk_samples.h"
#include "tests/desk/scripted_face.h"

#ifdef LOGWICK_WITH_ARCHIVE
#include "desk/archive_window_model.h"
#include "history/history_archive.h"
#endif

namespace logwick {
namespace {

namespace fs = std::filesystem;
using namespace test;
using Strings = std::vector<std::string>;

std::string WriteList(const std::string& path, const CT7KEventList& list = TenEvents()) {
  EXPECT_TRUE(StoreEventFile(path, list).ok);
  return path;
}

// name in a folder that does not exist, in the system's own separators as the model keeps paths.
std::string Unmade(const std::string& name) { return (fs::path(Scratch("unmade")) / name).string(); }

struct MainWindow : ::testing::Test {
  ScriptedFace face;
  MemoryProfile profile;
  std::unique_ptr<MainWindowModel> model;
  std::string archive = Scratch("archive.sqlite");
  DeskServices services{.ports =
                            [] {
                              return std::vector<PortListing>{{3, "", ""}, {5, "", ""}};
                            },
                        .archivePath = [this] { return archive; }};

  MainWindowModel& Start(const std::string& file = {}) {
    model = std::make_unique<MainWindowModel>(face, profile, services);
    model->OnInitDialog(file);
    return *model;
  }
  Strings Lines() const {  // in InfoLine's order
    Strings lines;
    for (std::size_t l = 0; l < kInfoLineCount; ++l) lines.push_back(model->Line(static_cast<InfoLine>(l)));
    return lines;
  }
};

TEST_F(MainWindow, StartsTakesTheDialogsAnswersAndSelectsFindsSumsUpAndReportsTheRowsOfItsFile) {
  MainWindowModel& m = Start();
  EXPECT_EQ(Lines(), (Strings{"База сообщений пуста", "", "", "", "", ""}));
  EXPECT_EQ(std::tuple(m.m_nPortNumber, g_nSelectedSerNum, g_bAutoSN, g_bGazMode),
            std::tuple(65535, 0u, 1, 0));
  // The filter limits only the beams and refills also on Cancel; settings are written on OK only.
  m.OnSettings();
  EXPECT_TRUE(profile.writes.empty());
  face.settingsDialog = [](SettingsDialog& d) { return d.OnOK(1, false, true, "4660"); };
  face.filterDialog = [](FilterDialog& d) {
    FilterForm f = d.Form();
    f.lastBeam = "300";
    f.lastDev = "300";
    return d.OnOK(f);
  };
  m.OnSettings();
  m.OnFilter();
  EXPECT_EQ(profile.writes, (Strings{"PortNumber", "SelectedSerNum", "AutoSN", "GazMode"}));
  EXPECT_EQ(std::tuple(m.m_nPortNumber, g_nSelectedSerNum, g_bAutoSN, g_bGazMode),
            std::tuple(5, 4660u, 0, 1));
  EXPECT_EQ(std::pair(m.Filter().m_nLastBeam, m.Filter().m_nLastDev), std::pair(255u, 300u));
  face.changes = 0;
  face.filterDialog = [](FilterDialog&) { return false; };
  m.OnFilter();
  EXPECT_EQ(std::pair(m.Filter().m_nLastDev, face.changes & kChangedRows),
            std::pair(300u, unsigned{kChangedRows}));

  CT7KEventList list = TenEvents();
  list.AddTail(MakeEvent(PackTimeStamp(2015, 13, 1, 0, 0, 0), 1, {}));  // a bad date
  MainWindowModel& n = Start(WriteList(Scratch("start/eleven.t7kev"), list));
  EXPECT_EQ(n.m_nPortNumber, 5);  // a new window reads the settings back
  EXPECT_EQ(Lines(),
            (Strings{"В базе 11 событий", "Считано 16/12/2015 14:12:05", "Прибор Тарвел-7К (с/н 123)",
                     "Версия v2.5 выпущен 01/03/2012", "Конфигурация Склад", "Показываются все события"}));
  EXPECT_EQ(std::pair(n.RowText(0), n.Statistics().events),
            std::pair(std::string("10/12/2015 14:12:05 включение питания"), std::size_t{11}));
  n.Select(2, IEventRows::SelectAct::Only);
  n.Select(4, IEventRows::SelectAct::Extend);
  n.Select(3, IEventRows::SelectAct::Toggle);
  n.CopySelection();
  EXPECT_EQ(face.clipboard, n.RowText(2) + "\n" + n.RowText(4) + "\n");
  n.SelectAll();
  EXPECT_EQ(n.Selection().SelectedCount(), 11u);
  n.FillList();  // new rows: nothing selected
  EXPECT_EQ(n.Selection().SelectedCount(), 0u);

  // Find: rows 3, 6 and 9 hold "сообщение"; the search starts at the top row.
  face.topRow = 5;
  n.OnFind();
  EXPECT_EQ(face.opened, std::vector<DeskWindow>{DeskWindow::FindBar});
  auto found = [&] { return std::to_string(n.CurrentRow()) + ": " + n.Find().CountText(); };
  n.FindText("СООБЩЕНИЕ");
  EXPECT_EQ(found(), "6: 2 из 3");
  n.FindNext();
  n.FindNext();
  EXPECT_EQ(found(), "3: 1 из 3");
  n.FindPrevious();
  EXPECT_EQ(found(), "9: 3 из 3");
  EXPECT_TRUE(!n.FoundSpans(9).empty() && n.FoundSpans(8).empty());
  n.CloseFind();
  EXPECT_TRUE(n.FoundSpans(9).empty());
  n.FindNext();  // F3 with the bar closed opens it
  EXPECT_TRUE(n.Find().IsOpen());

  // Shown rows from here: the three messages.
  n.Filter().m_bModes = 0;
  n.FillList();
  EXPECT_EQ(std::pair(n.Line(InfoLine::Filter), n.RowCount()),
            std::pair(std::string("Показывается 3 событий"), std::size_t{3}));
  // A day leads to its newest row, a finding whose row is hidden to the next shown one.
  EXPECT_EQ(StatisticsSummary(n.Statistics()),
            "Событий: 3\nс 01/12/2015 14:12:05 по 07/12/2015 14:12:05\nрежимы: 0\nустройства: 0\n"
            "сообщения: 3\nлучи: 0\nПР4545: 0\nведомые: 0\nпрочие: 0");
  ASSERT_EQ(std::pair(FindingsCountText(n.Findings().size()), FindingsCountText(0)),
            std::pair(std::string("Замечаний: 2"), std::string("Замечаний нет")));
  EXPECT_EQ(FindingCells(n.Findings().back()),
            (std::vector<std::string>{"11", "01/13/2015 00:00:00", "неверная дата"}));
  n.GoToDay(0);  // 01/12: row 2 of 3
  EXPECT_EQ(face.shownRows.back(), std::pair(std::size_t{2}, ScrollTo::Top));
  face.shownRows.clear();
  n.GoToFinding(n.Findings().size() - 1);  // the bad date's
  EXPECT_EQ(face.shownRows.back(), std::pair(std::size_t{2}, ScrollTo::TopIfHidden));

  const std::tuple<const char*, int, long> cases[] = {
      // file ("": in a folder that does not exist), scope (-2: cancelled), lines
      {"all.txt", 1, 15},  {"shown.txt", 0, 7},  {"shown.csv", 0, 4},   {"all.JSONL", 1, 12},
      {"other.log", 0, 7}, {"shown.htm", 0, 63}, {"cancel.txt", -2, 0}, {"", 1, 0}};
  for (auto [name, scope, lines] : cases) {
    face.reportOptions = [scope = scope](ReportScope& s) {
      EXPECT_EQ(s.m_nScope, 1);  // "Все события" every time
      s.m_nScope = scope;
      return scope != -2;
    };
    const std::string path = *name ? Scratch(std::string("report/") + name) : Unmade("x.txt");
    face.files = {path};
    n.OnWriteText();
    const std::string text = FileText(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), lines) << name;
  }
  EXPECT_EQ(face.Texts(), Strings{"Ошибка записи файла"});

  const std::string html = Scratch("report/print.html");
  const std::tuple<std::string, bool, Strings> prints[] = {
      // path, viewer opens, messages
      {html, true, {}},
      {html, false, {"Не удалось открыть отчёт для печати:\n" + html}},
      {Unmade("p.html"), true, {"Ошибка записи файла"}}};
  for (const auto& [path, opens, messages] : prints) {
    face.messages.clear();
    int opened = 0;
    n.PrintThrough(path, [&opened, opens = opens](const std::string&) { return ++opened, opens; });
    EXPECT_EQ(std::pair(face.Texts(), opened), std::pair(messages, fs::exists(path) ? 1 : 0)) << path;
  }
  const std::string printed = FileText(html);
  EXPECT_NE(printed.find(n.RowText(2).substr(20)), std::string::npos);
  EXPECT_EQ(printed.find("включение питания"), std::string::npos);
}

// A failed load keeps the rows and leaves the folder unremembered, a save remembers it even when it fails.
TEST_F(MainWindow, LoadsAndSavesKeepTheRowsAndRememberTheFolder) {
  MainWindowModel& m = Start(WriteList(Scratch("load/ten.t7kev")));
  profile.strings.erase(kSettingEventsFilesDir);
  m.SelectAll();
  const std::string before = m.SelectedText();
  const std::string cut = WriteList(Scratch("load/cut.t7kev")), missing = Scratch("load/none.t7kev");
  fs::resize_file(cut, 20);
  face.files = {cut, missing, Scratch("save/copy.t7kev"), Unmade("x.t7kev")};
  m.OnReadFromFile();
  m.OnReadFromFile();
  m.SelectAll();
  EXPECT_EQ(m.SelectedText(), before);
  EXPECT_FALSE(profile.strings.count(kSettingEventsFilesDir));
  EXPECT_EQ(std::pair(face.fileRequests[0].folder, face.fileRequests[0].defaultExt),
            std::pair(DocumentsFolder(), std::string("dat")));
  m.OnWriteToFile();
  m.OnWriteToFile();
  EXPECT_EQ(FileText(Scratch("save/copy.t7kev")), FileText(Scratch("load/ten.t7kev")));
  EXPECT_EQ(face.messages, (std::vector<Message>{{"Ошибка формата файла\r\n" + cut, MsgCaption::Error},
                                                 {"Не могу прочитать файл\r\n" + missing, MsgCaption::Error},
                                                 {"Не могу создать файл", MsgCaption::Title}}));
  EXPECT_EQ(profile.strings[kSettingEventsFilesDir], Scratch("unmade"));

  // A tag the list refuses: the list's own message, then a normal end.
  EXPECT_EQ(m.ReadEventFile(WriteList(Scratch("load/refused.t7kev"), CT7KEventList())), 1);
  EXPECT_EQ(face.messages.back(),
            (Message{"Ошибка формата файла", MsgCaption::Error, MsgIcon::Exclamation, MsgOwner::None}));
  EXPECT_EQ(profile.strings[kSettingEventsFilesDir], fs::path(Scratch("load/x")).parent_path().string());

  // A history longer than a file writes its newest events and says so.
  m.EventList() = MakeFullList(CT7KEventList::kMaxEvents + 5);
  face.files = {Scratch("save/newest.t7kev")};
  m.OnWriteToFile();
  CT7KEventList back;
  EXPECT_EQ(LoadEventFile(Scratch("save/newest.t7kev"), back).status, LoadStatus::Loaded);
  EXPECT_TRUE(back == FileableHead(m.EventList()) && face.messages.back().icon == MsgIcon::Information);
}

// A reading cancelled before its events leaves the list as it was.
TEST_F(MainWindow, ReadingNeedsAPortAndPutsItsListInPlaceAfterTheDialogAndLeavingAsksOnlyForIt) {
  services.readout = [](const ReadoutSettings& s, IReadoutView& view, const std::atomic<bool>& cancel) {
    if (s.portNumber == 1) {  // cancelled before its events
      while (!cancel) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      return ReadoutResult{.status = ReadoutStatus::Cancelled};
    }
    view.Warning(ReadoutStatus::EventsNotRead);
    return ReadoutResult{.status = ReadoutStatus::EventsNotRead, .list = TenEvents()};
  };
  profile.ints[kSettingArchiveReadings] = 0;
  MainWindowModel& m = Start();
  EXPECT_TRUE(m.OnExit() && face.questions.empty());
  for (int port : {65535, -1, 256}) {
    m.m_nPortNumber = port;
    m.OnReadFromPanel();
  }
  EXPECT_EQ(face.Texts(), Strings(3, "Не указан номер порта для связи"));
  std::size_t rowsDuring = 99;
  face.during = [&](ReadingSession&) { rowsDuring = m.RowCount(); };
  m.m_nPortNumber = 3;
  m.OnReadFromPanel();
  EXPECT_EQ(std::pair(rowsDuring, m.RowCount()), std::pair(std::size_t{0}, std::size_t{10}));
  EXPECT_EQ(face.messages.at(3),
            (Message{"Ошибка при чтении\nсобытий", MsgCaption::Title, MsgIcon::Warning, MsgOwner::Reading}));
  face.during = [](ReadingSession& s) { s.Cancel(); };
  face.changes = 0;
  m.m_nPortNumber = 1;
  m.OnReadFromPanel();
  EXPECT_EQ(std::tuple(m.RowCount(), face.changes & kChangedLines, face.messages.size()),
            std::tuple(10u, unsigned{kChangedLines}, 4u));

  face.closed = false;
  face.answers = {false, true};
  EXPECT_FALSE(m.OnExit() || face.closed);
  EXPECT_TRUE(m.OnExit() && face.closed);
  EXPECT_EQ(face.questions.at(0).text, "Считанные события не сохранены. Выйти из программы?");
  face.files = {Scratch("exit/kept.t7kev")};  // written to a file, it is no longer at risk
  m.OnWriteToFile();
  face.questions.clear();
  EXPECT_TRUE(m.OnExit() && face.questions.empty());
#ifndef LOGWICK_WITH_ARCHIVE
  // A program without an archive files no reading, whatever the setting says.
  profile.ints.erase(kSettingArchiveReadings);
  m.m_nPortNumber = 3;
  m.OnReadFromPanel();
  EXPECT_TRUE(m.ReadingUnsaved());
#endif
}

#ifdef LOGWICK_WITH_ARCHIVE
TEST_F(MainWindow, AHistoryFromTheArchiveGoesInPlaceAndEachReadingIsFiledWithItsPortOrSaysWhyNot) {
  FillArchive(archive);
  face.archiveWindow = [](ArchiveWindowModel& a) {
    a.Refresh();
    return a.SelectPanel({1, 123}) && a.OnOpen();
  };
  services.readout = [](const ReadoutSettings& s, IReadoutView&, const std::atomic<bool>&) {
    CT7KEventList list = TenEvents();
    if (s.portNumber == 4) return ReadoutResult{.list = list};
    list.AddTail(MakeEvent(PackTimeStamp(2015, 11, 30, 0, 0, 0), 1, {}));
    return ReadoutResult{.status = ReadoutStatus::Cancelled, .list = list};
  };
  MainWindowModel& m = Start();
  m.OnArchive();
  ASSERT_EQ(m.RowCount(), 21u);
  EXPECT_TRUE(m.IsGapMarkRow(10));
  EXPECT_EQ(m.RowText(10), "--- возможен пропуск событий ---");
  EXPECT_EQ(m.EventOfRow(11), 10u);
  m.OnFind();
  m.FindText("пропуск");
  EXPECT_EQ(m.CurrentRow(), 10u);

  fs::remove(archive);  // one stopped in its event blocks is filed as partial
  for (int port : {4, 3}) {
    m.m_nPortNumber = port;
    m.OnReadFromPanel();
    EXPECT_FALSE(m.ReadingUnsaved());
  }
  const auto filed = HistoryArchive::Open(archive, false)->Readouts({1, 123});
  ASSERT_EQ(filed.size(), 2u);
  EXPECT_EQ(std::tuple(filed[0].origin, filed[0].partial, filed[1].origin, filed[1].partial),
            std::tuple("COM4", false, "COM3", true));

  std::ofstream(Scratch("no")) << "a file where the folder should be";
  archive = (fs::path(Scratch("no")) / "such" / "archive.sqlite").string();
  m.OnReadFromPanel();  // shown all the same
  EXPECT_EQ(std::tuple(face.messages.size(), m.RowCount(), m.ReadingUnsaved()), std::tuple(1u, 11u, true));
  EXPECT_EQ(face.messages.at(0).text.rfind("Чтение не сохранено в архиве:\n", 0), 0u);
}
#endif

TEST(Help, NamesEveryCommandOfTheWindowAndEveryKey) {
  std::string text;
  for (const HelpSection& s : HelpSections()) {
    text += s.heading + '\n';
    for (const std::string& p : s.paragraphs) text += p + '\n';
  }
  for (const char* needed :
       {"Прочитать из прибора", "Фильтр", "Записать текст", "CSV", "HTML", "Архив", "Синхронизировать",
        "Ctrl+F", "F3", "Shift+F3", "Ctrl+A", "Ctrl+C", "Ctrl+P", "Статистика", "Проверка журнала", "F1"})
    EXPECT_NE(text.find(needed), std::string::npos) << needed;
}

// By days, weeks, quarters and every other year: spans of 5, 195 and 1000 days, 41 years of one day each.
TEST(ChartLabels, TheFinestPeriodThatFits) {
  auto date = [](int y, int m, int d) { return DayCounts{PackTimeStamp(y, m, d, 0, 0, 0)}; };
  std::vector<DayCounts> years;
  for (int y = 2000; y <= 2040; ++y) years.push_back(date(y, 6, 15));
  // The chart, its labels' count, the first two labels.
  const std::tuple<std::vector<ChartDay>, std::size_t, ChartLabel, ChartLabel> cases[] = {
      {ChartDaysOf({date(2015, 12, 2), date(2015, 12, 6)}), 5, {0, "02/12/2015"}, {1, "03/12/2015"}},
      {ChartDaysOf({date(2024, 1, 1), date(2024, 7, 13)}), 28, {0, "01/01/2024"}, {7, "08/01/2024"}},
      {ChartDaysOf({date(2020, 1, 1), date(2022, 9, 26)}), 11, {0, "01/2020"}, {91, "04/2020"}},
      {ChartDaysOf(years), 20, {1, "2001"}, {3, "2003"}},
  };
  for (const auto& [chart, count, first, second] : cases) {
    const std::vector<ChartLabel> labels = ChartLabelsOf(chart);
    ASSERT_EQ(labels.size(), count) << chart.size();
    EXPECT_EQ(std::pair(labels[0], labels[1]), std::pair(first, second));
  }
}

}  // namespace
}  // namespace logwick
