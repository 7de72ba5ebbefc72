// The desktop program's main window as a model: its lines, file and report
// commands, reading from the panel, the filter and settings commands,
// selection, find, statistics and integrity, and leaving.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "desk/help_text.h"
#include "desk/main_window_model.h"
#include "desk/window_texts.h"
#include "events/codec.h"
#include "lists/event_file.h"
#include "lists/user_folders.h"
#include "tests/desk/desk_samples.h"
#include "tests/desk/scripted_face.h"

#ifdef LOGWICK_WITH_ARCHIVE
#include "history/history_archive.h"
#endif

namespace logwick {
namespace {

namespace fs = std::filesystem;
using test::FileText;
using test::MakeEvent;
using test::MemoryProfile;
using test::Scratch;
using test::ScriptedFace;
using test::TenEvents;

// The system's own separator, which is the one that separates folders in
// the paths the model remembers.
const std::string kSep(1, static_cast<char>(fs::path::preferred_separator));

std::string WriteList(const std::string& path, const CT7KEventList& list = TenEvents()) {
  EXPECT_TRUE(StoreEventFile(path, list).ok);
  return path;
}

// A reading job that returns `list` as a completed reading.
ReadingSession::Job ReadingOf(CT7KEventList list, ReadoutStatus status = ReadoutStatus::Ok) {
  return [list, status](const ReadoutSettings&, IReadoutView&, const std::atomic<bool>&) {
    return ReadoutResult{.status = status, .list = list};
  };
}

struct MainWindow : ::testing::Test {
  ScriptedFace face;
  MemoryProfile profile;
  DeskServices services;
  std::unique_ptr<MainWindowModel> model;

  void SetUp() override {
    services.archivePath = [] { return Scratch("archive.sqlite"); };
    services.ports = [] { return std::vector<PortListing>{{3, "/dev/ttyS2", ""}, {5, "/dev/ttyS4", ""}}; };
  }
  MainWindowModel& Start(const std::string& file = {}) {
    model = std::make_unique<MainWindowModel>(face, profile, services);
    model->OnInitDialog(file);
    return *model;
  }
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (std::size_t r = 0; r < model->RowCount(); ++r) rows.push_back(model->RowText(r));
    return rows;
  }
};

TEST_F(MainWindow, StartsEmptyWithDefaultSettingsOrWithTheFileNamed) {
  MainWindowModel& m = Start();
  EXPECT_EQ(m.Line(InfoLine::Count), "База сообщений пуста");
  for (InfoLine l : {InfoLine::Read, InfoLine::Panel, InfoLine::Version, InfoLine::Config, InfoLine::Filter})
    EXPECT_EQ(m.Line(l), "");
  EXPECT_EQ(std::tuple(m.m_nPortNumber, g_nSelectedSerNum, g_bAutoSN, g_bGazMode),
            std::tuple(65535, 0u, 1, 0));

  MainWindowModel& n = Start(WriteList(Scratch("start/ten.t7kev")));
  const std::pair<InfoLine, const char*> lines[] = {
      {InfoLine::Count, "В базе 10 событий"},
      {InfoLine::Filter, "Показываются все события"},
      {InfoLine::Read, "Считано 16/12/2015 14:12:05"},
      {InfoLine::Panel, "Прибор Тарвел-7К (с/н 123)"},
      {InfoLine::Version, "Версия v2.5 выпущен 01/03/2012"},
      {InfoLine::Config, "Конфигурация Склад"},
  };
  for (auto [line, text] : lines) EXPECT_EQ(n.Line(line), text);
  EXPECT_EQ(n.RowText(0), "10/12/2015 14:12:05 включение питания");
  n.Filter().m_bModes = 0;
  n.FillList();
  EXPECT_EQ(n.Line(InfoLine::Filter), "Показывается 3 событий");
  EXPECT_EQ(n.RowCount(), 3u);
}

TEST_F(MainWindow, FailedLoadsKeepTheRowsAndTheFolder) {
  MainWindowModel& m = Start(WriteList(Scratch("load/ten.t7kev")));
  profile.strings.erase(kSettingEventsFilesDir);
  const std::vector<std::string> before = Rows();
  const std::string cut = WriteList(Scratch("load/cut.t7kev"));
  fs::resize_file(cut, 20);
  const std::string missing = Scratch("load/none.t7kev");
  face.files = {cut, missing};
  m.OnReadFromFile();
  m.OnReadFromFile();
  ASSERT_EQ(face.messages.size(), 2u);
  EXPECT_EQ(face.messages[0], (Message{"Ошибка формата файла\r\n" + cut, MsgCaption::Error}));
  EXPECT_EQ(face.messages[1].text, "Не могу прочитать файл\r\n" + missing);
  EXPECT_EQ(Rows(), before);
  EXPECT_FALSE(profile.strings.count(kSettingEventsFilesDir));  // remembered only after a load
  EXPECT_EQ(face.fileRequests[0].folder, DocumentsFolder());
  EXPECT_EQ(face.fileRequests[0].defaultExt, "dat");

  // A tag the list refuses: the list's own message, then a normal end.
  EXPECT_EQ(m.ReadEventFile(WriteList(Scratch("load/refused.t7kev"), CT7KEventList())), 1);
  EXPECT_EQ(face.messages.back(),
            (Message{"Ошибка формата файла", MsgCaption::Error, MsgIcon::Exclamation, MsgOwner::None}));
  EXPECT_EQ(profile.strings[kSettingEventsFilesDir], fs::path(Scratch("load/x")).parent_path().string());
}

TEST_F(MainWindow, SavesRememberTheFolderEvenWhenTheyFail) {
  MainWindowModel& m = Start(WriteList(Scratch("save/ten.t7kev")));
  face.files = {Scratch("save/copy.t7kev"), Scratch("save") + kSep + "nowhere" + kSep + "x.t7kev"};
  m.OnWriteToFile();
  m.OnWriteToFile();
  EXPECT_EQ(FileText(Scratch("save/copy.t7kev")), FileText(Scratch("save/ten.t7kev")));
  EXPECT_EQ(face.Texts(), std::vector<std::string>{"Не могу создать файл"});
  EXPECT_EQ(face.messages[0].caption, MsgCaption::Title);
  EXPECT_EQ(profile.strings[kSettingEventsFilesDir], Scratch("save") + kSep + "nowhere");
}

TEST_F(MainWindow, AHistoryLongerThanAFileWritesItsNewest) {
  MainWindowModel& m = Start();
  CT7KEventList& big = m.EventList();
  big = test::MakeHeaderList();
  for (std::uint32_t i = 0; i < CT7KEventList::kMaxEvents + 5; ++i) big.AddTail(MakeEvent(i, 1, {}));
  face.files = {Scratch("big/newest.t7kev")};
  m.OnWriteToFile();
  CT7KEventList back;
  ASSERT_EQ(LoadEventFile(Scratch("big/newest.t7kev"), back).status, LoadStatus::Loaded);
  EXPECT_EQ(back.GetCount(), CT7KEventList::kMaxEvents);
  EXPECT_EQ(back[0].TimeStamp(), 0u);
  EXPECT_EQ(face.messages.at(0).icon, MsgIcon::Information);
}

TEST_F(MainWindow, ReportsTakeTheScopeAndTheFormOfTheFileType) {
  MainWindowModel& m = Start(WriteList(Scratch("report/ten.t7kev")));
  m.Filter().m_bModes = 0;
  m.FillList();
  struct Case {
    const char* name;
    int scope;  // -2: the options dialog cancelled
    std::size_t lines;
  };
  const Case cases[] = {{"all.txt", 1, 14},  {"shown.txt", 0, 7}, {"shown.csv", 0, 4},  {"all.JSONL", 1, 11},
                        {"other.log", 0, 7}, {"shown.htm", 0, 0}, {"cancel.txt", -2, 0}};
  for (const Case& c : cases) {
    face.reportOptions = [&](ReportScope& s) {
      EXPECT_EQ(s.m_nScope, 1);  // "Все события" every time
      s.m_nScope = c.scope;
      return c.scope != -2;
    };
    face.files = {Scratch(std::string("report/") + c.name)};
    m.OnWriteText();
    face.files.clear();
    const std::string text = FileText(Scratch(std::string("report/") + c.name));
    if (c.lines) {
      EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')), c.lines) << c.name;
    }
  }
  EXPECT_EQ(FileText(Scratch("report/shown.htm")).rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_FALSE(fs::exists(Scratch("report/cancel.txt")));
  EXPECT_EQ(FileText(Scratch("report/shown.csv")).substr(0, 3), "\xEF\xBB\xBF");
  face.reportOptions = [](ReportScope&) { return true; };
  face.files = {Scratch("report") + kSep + "nowhere" + kSep + "x.txt"};  // the cancelled one took none
  m.OnWriteText();
  EXPECT_EQ(face.Texts(), std::vector<std::string>{"Ошибка записи файла"});
}

TEST_F(MainWindow, PrintingHandsTheShownEventsReportToTheViewer) {
  MainWindowModel& m = Start(WriteList(Scratch("print/ten.t7kev")));
  m.Filter().m_bModes = 0;
  m.FillList();
  struct Case {
    std::string path;
    bool opens;
    const char* message;  // "" for none
  };
  const Case cases[] = {
      {Scratch("print/report.html"), true, ""},
      {Scratch("print/report.html"), false, "Не удалось открыть отчёт для печати:\n"},
      {Scratch("print") + kSep + "nowhere" + kSep + "report.html", true, "Ошибка записи файла"}};
  for (const Case& c : cases) {
    face.messages.clear();
    std::vector<std::string> opened;
    m.PrintThrough(c.path, [&](const std::string& path) {
      opened.push_back(path);
      return c.opens;
    });
    EXPECT_EQ(face.Texts(), *c.message ? std::vector<std::string>{c.message + (c.opens ? "" : c.path)}
                                       : std::vector<std::string>{})
        << c.path;
    EXPECT_EQ(opened.size(), fs::exists(c.path) ? 1u : 0u);
  }
  // The three messages of the shown rows, not the modes the filter hides.
  const std::string html = FileText(Scratch("print/report.html"));
  EXPECT_NE(html.find(m.RowText(2).substr(20)), std::string::npos);
  EXPECT_EQ(html.find("включение питания"), std::string::npos);
}

TEST_F(MainWindow, ReadingNeedsAPortAndPutsItsListInPlaceAfterTheDialog) {
  std::size_t rowsDuring = 99;
  services.readout = [&](const ReadoutSettings& s, IReadoutView& view, const std::atomic<bool>&) {
    EXPECT_EQ(s.portNumber, 3u);
    view.Warning(ReadoutStatus::EventsNotRead);
    return ReadoutResult{.status = ReadoutStatus::EventsNotRead, .list = TenEvents()};
  };
  MainWindowModel& m = Start();
  for (int port : {65535, -1, 256}) {
    m.m_nPortNumber = port;
    m.OnReadFromPanel();
  }
  EXPECT_EQ(face.Texts(), std::vector<std::string>(3, "Не указан номер порта для связи"));
  face.messages.clear();
  face.during = [&](ReadingSession&) { rowsDuring = m.RowCount(); };
  m.m_nPortNumber = 3;
  m.OnReadFromPanel();
  EXPECT_EQ(rowsDuring, 0u);  // the list changes only once the dialog has ended
  EXPECT_EQ(m.RowCount(), 10u);
  ASSERT_FALSE(face.messages.empty());
  EXPECT_EQ(face.messages[0],
            (Message{"Ошибка при чтении\nсобытий", MsgCaption::Title, MsgIcon::Warning, MsgOwner::Reading}));
}

TEST_F(MainWindow, AReadingCancelledBeforeItsEventsLeavesTheListAndRefills) {
  services.readout = [](const ReadoutSettings&, IReadoutView&, const std::atomic<bool>& cancel) {
    while (!cancel) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return ReadoutResult{.status = ReadoutStatus::Cancelled};
  };
  face.during = [](ReadingSession& s) { s.Cancel(); };
  MainWindowModel& m = Start(WriteList(Scratch("cancel/ten.t7kev")));
  m.m_nPortNumber = 1;
  face.changes = 0;
  m.OnReadFromPanel();
  EXPECT_EQ(m.RowCount(), 10u);
  EXPECT_TRUE(face.changes & kChangedLines);
  EXPECT_TRUE(face.messages.empty());
}

TEST_F(MainWindow, LeavingAsksOnlyForAReadingNothingElseHolds) {
  services.readout = ReadingOf(TenEvents());
  profile.ints[kSettingArchiveReadings] = 0;
  MainWindowModel& m = Start();
  EXPECT_TRUE(m.OnExit());
  EXPECT_TRUE(face.questions.empty());
  m.m_nPortNumber = 1;
  m.OnReadFromPanel();
  face.closed = false;
  face.answers = {false, true};
  EXPECT_FALSE(m.OnExit());
  EXPECT_FALSE(face.closed);
  EXPECT_TRUE(m.OnExit());
  EXPECT_TRUE(face.closed);
  EXPECT_EQ(face.questions.at(0).text, "Считанные события не сохранены. Выйти из программы?");
  // Written to a file, it is no longer at risk.
  face.files = {Scratch("exit/kept.t7kev")};
  m.OnWriteToFile();
  face.questions.clear();
  EXPECT_TRUE(m.OnExit());
  EXPECT_TRUE(face.questions.empty());
#ifndef LOGWICK_WITH_ARCHIVE
  // A program without an archive files no reading, whatever the setting says.
  profile.ints.erase(kSettingArchiveReadings);
  m.OnReadFromPanel();
  EXPECT_TRUE(m.ReadingUnsaved());
#endif
}

#ifdef LOGWICK_WITH_ARCHIVE
TEST_F(MainWindow, EachReadingIsFiledUnlessTurnedOffAndAFailedFilingSaysWhy) {
  services.readout = ReadingOf(TenEvents());
  fs::remove(Scratch("archive.sqlite"));
  MainWindowModel& m = Start();
  m.m_nPortNumber = 4;
  m.OnReadFromPanel();
  EXPECT_FALSE(m.ReadingUnsaved());
  CT7KEventList longer = TenEvents();
  longer.AddTail(MakeEvent(PackTimeStamp(2015, 11, 30, 0, 0, 0), 1, {}));
  services.readout = ReadingOf(longer, ReadoutStatus::Cancelled);  // stopped in its event blocks
  Start().m_nPortNumber = 3;
  model->OnReadFromPanel();
  const auto filed = HistoryArchive::Open(Scratch("archive.sqlite"), false)->Readouts({1, 123});
  ASSERT_EQ(filed.size(), 2u);
  EXPECT_EQ(std::pair(filed[0].origin, filed[0].partial), std::pair(std::string("COM4"), false));
  EXPECT_EQ(std::pair(filed[1].origin, filed[1].partial), std::pair(std::string("COM3"), true));

  const std::string no = Scratch("no");
  services.archivePath = [no] { return no + "/such/archive.sqlite"; };
  services.readout = ReadingOf(TenEvents());
  Start().m_nPortNumber = 4;
  fs::create_directories(no);
  std::ofstream(no + "/such") << "a file where the folder should be";
  model->OnReadFromPanel();
  ASSERT_EQ(face.messages.size(), 1u);
  EXPECT_EQ(face.messages[0].text.rfind("Чтение не сохранено в архиве:\n", 0), 0u);
  EXPECT_EQ(model->RowCount(), 10u);  // shown all the same
  EXPECT_TRUE(model->ReadingUnsaved());
}
#endif

TEST_F(MainWindow, FilterLimitsOnlyTheBeamsAndRefillsAlsoOnCancel) {
  MainWindowModel& m = Start(WriteList(Scratch("filter/ten.t7kev")));
  face.filterDialog = [](FilterDialog& d) {
    FilterForm f = d.Form();
    f.lastBeam = "300";
    f.lastDev = "300";
    return d.OnOK(f);
  };
  m.OnFilter();
  EXPECT_EQ(std::pair(m.Filter().m_nLastBeam, m.Filter().m_nLastDev), std::pair(255u, 300u));
  face.changes = 0;
  face.filterDialog = [](FilterDialog&) { return false; };
  m.OnFilter();
  EXPECT_EQ(m.Filter().m_nLastDev, 300u);
  EXPECT_TRUE(face.changes & kChangedRows);
}

TEST_F(MainWindow, SettingsAreWrittenAllFourInOrderOnOKOnly) {
  MainWindowModel& m = Start();
  m.OnSettings();
  EXPECT_TRUE(profile.writes.empty());
  face.settingsDialog = [](SettingsDialog& d) { return d.OnOK(1, false, true, "4660"); };
  m.OnSettings();
  EXPECT_EQ(profile.writes, (std::vector<std::string>{"PortNumber", "SelectedSerNum", "AutoSN", "GazMode"}));
  EXPECT_EQ(std::tuple(m.m_nPortNumber, g_nSelectedSerNum, g_bAutoSN, g_bGazMode),
            std::tuple(5, 4660u, 0, 1));
  Start();  // a new window reads them back
  EXPECT_EQ(model->m_nPortNumber, 5);
}

TEST_F(MainWindow, RowsAreSelectedAndCopiedAsLines) {
  MainWindowModel& m = Start(WriteList(Scratch("select/ten.t7kev")));
  m.Select(2, IEventRows::SelectAct::Only);
  m.Select(4, IEventRows::SelectAct::Extend);
  m.Select(3, IEventRows::SelectAct::Toggle);
  m.CopySelection();
  EXPECT_EQ(face.clipboard, m.RowText(2) + "\n" + m.RowText(4) + "\n");
  EXPECT_EQ(m.CurrentRow(), 3u);
  m.SelectAll();
  EXPECT_EQ(m.Selection().SelectedCount(), 10u);
  m.FillList();  // new rows: nothing selected
  EXPECT_EQ(m.Selection().SelectedCount(), 0u);
}

TEST_F(MainWindow, FindStartsAtTheTopRowStepsRoundAndCloses) {
  MainWindowModel& m = Start(WriteList(Scratch("find/ten.t7kev")));
  face.topRow = 5;
  m.OnFind();
  EXPECT_EQ(face.opened, std::vector<DeskWindow>{DeskWindow::FindBar});
  m.FindText("СООБЩЕНИЕ");  // rows 3, 6 and 9, letter case aside
  EXPECT_EQ(m.Find().CountText(), "2 из 3");
  EXPECT_EQ(m.CurrentRow(), 6u);
  m.FindNext();
  m.FindNext();
  EXPECT_EQ(std::pair(m.CurrentRow(), m.Find().CountText()),
            std::pair(std::size_t{3}, std::string("1 из 3")));
  m.FindPrevious();
  EXPECT_EQ(m.CurrentRow(), 9u);
  EXPECT_FALSE(m.FoundSpans(9).empty());
  EXPECT_TRUE(m.FoundSpans(8).empty());
  m.CloseFind();
  EXPECT_TRUE(m.FoundSpans(9).empty());
  m.FindNext();  // F3 with the bar closed opens it
  EXPECT_TRUE(m.Find().IsOpen());
}

TEST_F(MainWindow, StatisticsAndIntegrityFollowTheRowsAndLeadToThem) {
  CT7KEventList list = TenEvents();
  list.AddTail(MakeEvent(PackTimeStamp(2015, 13, 1, 0, 0, 0), 1, {}));  // a bad date
  MainWindowModel& m = Start(WriteList(Scratch("insight/eleven.t7kev"), list));
  EXPECT_EQ(m.Statistics().events, 11u);
  m.Filter().m_bModes = 0;
  m.FillList();
  EXPECT_EQ(m.Statistics().events, 3u);
  m.GoToDay(0);  // the oldest day with a shown event: 01/12, row 2 of 3, at the top
  EXPECT_EQ(m.CurrentRow(), 2u);
  EXPECT_EQ(face.shownRows.back(), std::pair(std::size_t{2}, ScrollTo::Top));
  ASSERT_FALSE(m.Findings().empty());
  m.GoToFinding(m.Findings().size() - 1);  // the bad date's row is hidden: the next shown row
  EXPECT_EQ(m.CurrentRow(), 2u);
}

// The help names every command of the window and every key.
TEST(Help, CoversTheCommandsAndTheirKeys) {
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

// The chart's date axis by days, weeks, quarters and every other year as the
// span needs: spans of 5, 195 and 1000 days, and 41 years of one day each.
TEST(ChartLabels, TheFinestPeriodThatFits) {
  auto days = [](std::vector<std::uint32_t> dates) {
    std::vector<DayCounts> d;
    for (std::uint32_t date : dates) d.push_back({date});
    return ChartDaysOf(d);
  };
  auto date = [](int y, int m, int d) { return PackTimeStamp(y, m, d, 0, 0, 0); };
  std::vector<std::uint32_t> years;
  for (int y = 2000; y <= 2040; ++y) years.push_back(date(y, 6, 15));
  const struct {
    std::vector<ChartDay> chart;
    std::size_t count;
    ChartLabel first, second;
  } cases[] = {
      {days({date(2015, 12, 2), date(2015, 12, 6)}), 5, {0, "02/12/2015"}, {1, "03/12/2015"}},
      {days({date(2024, 1, 1), date(2024, 7, 13)}), 28, {0, "01/01/2024"}, {7, "08/01/2024"}},
      {days({date(2020, 1, 1), date(2022, 9, 26)}), 11, {0, "01/2020"}, {91, "04/2020"}},
      {days(years), 20, {1, "2001"}, {3, "2003"}},
  };
  for (const auto& c : cases) {
    const std::vector<ChartLabel> labels = ChartLabelsOf(c.chart);
    ASSERT_EQ(labels.size(), c.count) << c.chart.size();
    EXPECT_EQ(labels[0], c.first);
    EXPECT_EQ(labels[1], c.second);
  }
}

#ifdef LOGWICK_WITH_ARCHIVE
TEST_F(MainWindow, AHistoryShowsItsGapMarksAsRowsOfTheirOwn) {
  MainWindowModel& m = Start();
  PanelHistory h;
  h.list = TenEvents();
  h.gapMarks = {4};
  m.PutHistoryInPlace(std::move(h));
  m.FillList();
  ASSERT_EQ(m.RowCount(), 11u);
  EXPECT_TRUE(m.IsGapMarkRow(4));
  EXPECT_EQ(m.RowText(4), "--- возможен пропуск событий ---");
  EXPECT_EQ(m.EventOfRow(5), 4u);
  face.topRow = 0;
  m.OnFind();
  m.FindText("пропуск");
  EXPECT_EQ(m.CurrentRow(), 4u);
}
#endif

}  // namespace
}  // namespace logwick
