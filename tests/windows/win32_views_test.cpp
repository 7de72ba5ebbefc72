// What logwick.exe draws and does over its list, driven from another process
// under Wine: the find bar marking every place found and counting "N из M",
// selection and copy, the statistics and integrity windows leading to their
// rows, and F1.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "desk/control_ids.h"
#include "events/codec.h"
#include "lists/event_file.h"
#include "lists/event_statistics.h"
#include "lists/integrity_check.h"
#include "lists/report.h"
#include "tests/windows/gui_driver.h"

using namespace logwick::wintest;

namespace {

constexpr std::size_t kEvents = 2000;

class Views : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_file = TempPath("logwick-views.t7kev");
    WriteSampleFile(s_file, kEvents);
    ASSERT_EQ(logwick::LoadEventFile(s_file, s_list).status, logwick::LoadStatus::Loaded);
  }
  void SetUp() override {
    m_program = std::make_unique<Program>(L"\"" + logwick::Utf8ToWide(s_file) + L"\"");
    m_main = m_program->Window(IDD_MAIN);
    ASSERT_TRUE(m_main);
    m_list = GetDlgItem(m_main, IDC_EVENT_LIST);
  }
  LRESULT Current() const { return SendMessageW(m_list, LB_GETCURSEL, 0, 0); }
  // The list's rows from the top as they are drawn: each row's band of pixels.
  std::vector<std::pair<int, RECT>> ShownBands() const {
    std::vector<std::pair<int, RECT>> bands;
    RECT client;
    GetClientRect(m_list, &client);
    int y = 0;
    for (auto row = static_cast<int>(SendMessageW(m_list, LB_GETTOPINDEX, 0, 0)); y < client.bottom; ++row) {
      const auto h = static_cast<int>(SendMessageW(m_list, LB_GETITEMHEIGHT, static_cast<WPARAM>(row), 0));
      if (h <= 0) break;
      bands.push_back({row, RECT{0, y, client.right, std::min<int>(y + h, client.bottom)}});
      y += h;
    }
    return bands;
  }

  static inline std::string s_file;
  static inline CT7KEventList s_list;
  std::unique_ptr<Program> m_program;
  HWND m_main = nullptr, m_list = nullptr;
};

std::wstring Lower(std::wstring text) {
  CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

// Whether the band holds a pixel of either colour that marks found text.
bool Marked(const Pixels& list, const RECT& band) {
  for (int y = band.top; y < band.bottom; ++y)
    for (int x = band.left; x < band.right; ++x) {
      const COLORREF c = list.At(x, y);
      if (c == RGB(255, 226, 90) || c == RGB(255, 150, 40)) return true;
    }
  return false;
}

TEST_F(Views, FindMarksEveryPlaceCountsAndSteps) {
  const std::wstring needle = L"ДАТЧИК";  // letter case aside
  std::vector<LRESULT> found;
  for (std::size_t row = 0; row < kEvents; ++row) {
    std::string text;
    logwick::AppendEventLine(text, s_list[row], s_list.m_texts);
    if (Lower(logwick::Utf8ToWide(text)).find(Lower(needle)) != std::wstring::npos)
      found.push_back(static_cast<LRESULT>(row));
  }
  ASSERT_GT(found.size(), 3u);
  const std::wstring of = L" из " + std::to_wstring(found.size());

  Command(m_main, IDM_FIND);
  const HWND bar = m_program->Window(IDD_FIND_BAR);
  ASSERT_TRUE(bar);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(bar) != FALSE; }));
  const HWND text = GetDlgItem(bar, IDC_FIND_TEXT), count = GetDlgItem(bar, IDC_FIND_COUNT);
  SendMessageW(text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(needle.c_str()));
  ASSERT_TRUE(WaitUntil([&] { return TextOf(count) == L"1" + of; })) << logwick::WideToUtf8(TextOf(count));
  EXPECT_EQ(Current(), found[0]);
  // Every row shown that holds the text is marked, and no other.
  SetForegroundWindow(m_main);
  RedrawWindow(m_list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Sleep(300);
  const Pixels pixels = CaptureClient(m_list);
  int marked = 0;
  for (const auto& [row, band] : ShownBands()) {
    const bool holds = std::binary_search(found.begin(), found.end(), static_cast<LRESULT>(row));
    EXPECT_EQ(Marked(pixels, band), holds) << row;
    marked += holds;
  }
  EXPECT_GT(marked, 0);

  // F3 to the next, Shift+F3 (its command) back, Enter in the bar onwards.
  PostMessageW(m_list, WM_KEYDOWN, VK_F3, 0);
  EXPECT_TRUE(WaitUntil([&] { return TextOf(count) == L"2" + of; }));
  EXPECT_EQ(Current(), found[1]);
  Command(m_main, IDM_FIND_PREVIOUS);
  EXPECT_TRUE(WaitUntil([&] { return TextOf(count) == L"1" + of; }));
  PostMessageW(text, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(WaitUntil([&] { return Current() == found[1]; }));
  EXPECT_TRUE(IsWindow(m_main));  // Enter in the bar never reaches "Выход"
  // Esc closes it; nothing is marked any more.
  PostMessageW(text, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(Program::Gone(bar, 2000));
}

TEST_F(Views, RowsAreSelectedByClicksAndCopiedAsLines) {
  const auto bands = ShownBands();
  ASSERT_GT(bands.size(), 6u);
  auto click = [&](int row, WPARAM keys) {
    const RECT& r = bands[static_cast<std::size_t>(row)].second;
    const LPARAM at = MAKELPARAM(5, (r.top + r.bottom) / 2);
    SendMessageW(m_list, WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
    SendMessageW(m_list, WM_LBUTTONUP, keys, at);
  };
  click(2, 0);
  click(4, MK_SHIFT);    // extends
  click(6, MK_CONTROL);  // toggles one more
  EXPECT_EQ(Current(), 6);
  std::vector<int> selected;
  for (int row = 0; row < 8; ++row)
    if (SendMessageW(m_list, LB_GETSEL, static_cast<WPARAM>(row), 0) > 0) selected.push_back(row);
  EXPECT_EQ(selected, (std::vector<int>{2, 3, 4, 6}));
  Command(m_main, IDM_COPY);
  Sleep(300);  // the program puts it on the clipboard
  std::wstring want;
  for (int row : selected) want += RowText(m_list, row) + L"\r\n";
  ASSERT_TRUE(OpenClipboard(nullptr));
  const HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const std::wstring copied = data ? static_cast<const wchar_t*>(GlobalLock(data)) : L"";
  if (data) GlobalUnlock(data);
  CloseClipboard();
  EXPECT_EQ(copied, want);
}

TEST_F(Views, StatisticsAndIntegrityLeadToTheirRows) {
  const logwick::EventStatistics stats = logwick::ComputeStatistics(s_list);
  Command(m_main, IDM_STATISTICS);
  const HWND statistics = m_program->Window(IDD_STATISTICS);
  ASSERT_TRUE(statistics);
  EXPECT_EQ(TextOf(GetDlgItem(statistics, IDC_STATISTICS_SUMMARY)).substr(0, 14), L"Событий: 2000\n");
  // The chart's last bar is the last day with events; the plot ends 6 pixels
  // before the chart's edge.
  const HWND chart = GetDlgItem(statistics, IDC_STATISTICS_CHART);
  RECT r;
  GetClientRect(chart, &r);
  SendMessageW(chart, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right - 7, r.bottom / 3));
  EXPECT_EQ(Current(), static_cast<LRESULT>(stats.days.back().newestRow));

  const std::vector<logwick::Finding> findings = logwick::CheckIntegrity(s_list);
  ASSERT_GT(findings.size(), 2u);
  Command(m_main, IDM_INTEGRITY);
  const HWND integrity = m_program->Window(IDD_INTEGRITY);
  ASSERT_TRUE(integrity);
  EXPECT_EQ(TextOf(GetDlgItem(integrity, IDC_INTEGRITY_COUNT)),
            L"Замечаний: " + std::to_wstring(findings.size()));
  const HWND table = GetDlgItem(integrity, IDC_INTEGRITY_TABLE);
  EXPECT_EQ(SendMessageW(table, LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(findings.size()));
  // The keys choose a finding as a click does; the list goes to its row.
  PostMessageW(table, WM_KEYDOWN, VK_END, 0);
  EXPECT_TRUE(WaitUntil([&] { return Current() == static_cast<LRESULT>(findings.back().row); }));
}

TEST_F(Views, F1OpensTheHelp) {
  PostMessageW(m_list, WM_KEYDOWN, VK_F1, 0);
  const HWND help = m_program->Window(IDD_HELP);
  ASSERT_TRUE(help);
  EXPECT_EQ(TextOf(help), L"Справка");
  EXPECT_EQ(TextOf(GetDlgItem(help, IDC_HELP_TEXT)).substr(0, 34), L"Просмотр событий прибора ТАРВЕЛ-7К");
  Command(help, IDOK);
  EXPECT_TRUE(Program::Gone(help));
}

}  // namespace
