// logwick.exe's archive under Wine, driven from another process: a reading
// from a simulated panel is filed into the archive LOGWICK_ARCHIVE names, and
// the archive window opens a panel's history with a row of its own where
// events may have been lost.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "desk/control_ids.h"
#include "events/codec.h"
#include "history/history_archive.h"
#include "lists/report.h"
#include "tests/lists/list_samples.h"
#include "tests/windows/gui_driver.h"

using namespace logwick::wintest;

namespace {

constexpr DWORD kReadingPort = LOGWICK_WINE_READING_PORT;

// Ten December days of a panel, moved by `shift` days: two visits 15 days
// apart leave a gap between them.
CT7KEventList Visit(std::int32_t serial, int shift) {
  CT7KEventList l = logwick::test::MakeHeaderList();
  l.m_nSerNum = serial;
  l.m_nReadDay = 11 + shift;
  for (int day = 10; day >= 1; --day)
    l.AddTail(logwick::test::MakeEvent(PackTimeStamp(2015, 12, day + shift, 9, 0, 0), 1, {1}));
  return l;
}

class DesktopArchive : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearSettings();
    DeleteFileW(logwick::Utf8ToWide(m_path).c_str());
    SetEnvironmentVariableW(L"LOGWICK_ARCHIVE", logwick::Utf8ToWide(m_path).c_str());
  }
  void TearDown() override { SetEnvironmentVariableW(L"LOGWICK_ARCHIVE", nullptr); }

  // Opens the archive window; its table once the window has filled it.
  static HWND OpenWindow(const Program& program, HWND main, LRESULT rows) {
    Command(main, IDM_ARCHIVE);
    const HWND dlg = program.Window(IDD_ARCHIVE);
    if (dlg)
      WaitUntil(
          [&] { return SendMessageW(GetDlgItem(dlg, IDC_ARCHIVE_TABLE), LVM_GETITEMCOUNT, 0, 0) == rows; });
    return dlg;
  }

  const std::string m_path = TempPath("logwick-gui-archive.sqlite");
};

TEST_F(DesktopArchive, AReadingIsFiledAndItsPanelListed) {
  SetSetting(L"PortNumber", kReadingPort);
  Program program;
  const HWND main = program.Window(IDD_MAIN);
  ASSERT_TRUE(main);
  Command(main, IDC_READ_FROM_PANEL);
  const HWND reading = program.Window(IDD_READING);
  ASSERT_TRUE(reading);
  if (!WaitUntil([&] { return !IsWindow(reading); }, 60000)) {
    std::wstring texts;  // what the reading dialog shows, to tell why
    for (HWND c = GetWindow(reading, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) texts += TextOf(c) + L" | ";
    const Box box = MessageBoxOf(program.Pid(), 100);
    FAIL() << "the reading did not end: " << logwick::WideToUtf8(texts) << " message: " << logwick::WideToUtf8(box.text);
  }
  const HWND dlg = OpenWindow(program, main, 1);
  ASSERT_TRUE(dlg);
  EXPECT_EQ(TextOf(GetDlgItem(dlg, IDC_ARCHIVE_STATUS)), L"Приборов в архиве: 1");
  EXPECT_EQ(TextOf(GetDlgItem(dlg, IDC_ARCHIVE_PATH)), L"Архив: " + logwick::Utf8ToWide(m_path));
  Command(dlg, IDC_ARCHIVE_CLOSE);
  EXPECT_TRUE(Program::Gone(dlg));
  // Filed, the reading is not lost with the window: leaving asks nothing.
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.Exited());
}

TEST_F(DesktopArchive, TheWindowOpensAHistoryWithItsGapRow) {
  {
    auto archive = logwick::HistoryArchive::Open(m_path, true);
    archive->File(Visit(123, 0), {"COM1"});
    archive->File(Visit(123, 15), {"COM1"});
    archive->File(Visit(4567, 0), {"COM2"});
  }
  Program program;
  const HWND main = program.Window(IDD_MAIN);
  ASSERT_TRUE(main);
  const HWND dlg = OpenWindow(program, main, 2);
  ASSERT_TRUE(dlg);
  // Sorted by serial number, the first panel chosen: "Открыть".
  Command(dlg, IDC_ARCHIVE_OPEN);
  EXPECT_TRUE(Program::Gone(dlg));
  const HWND list = GetDlgItem(main, IDC_EVENT_LIST);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 21; }));
  // Newest first: the second visit, the gap, the first visit.
  for (int row = 0; row < 21; ++row)
    EXPECT_EQ(RowText(list, row) == logwick::Utf8ToWide(logwick::kGapMarkLine), row == 10) << row;
  EXPECT_EQ(TextOf(GetDlgItem(main, IDC_COUNT_LINE)), L"В базе 20 событий");
}

}  // namespace
