// The Win32 face's own pieces in this process: the lazily measured row
// heights of the event list, the percentage bar of the reading dialog and the
// calls a worker posts to the interface thread.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <numeric>
#include <thread>
#include <vector>

#include "win/row_heights.h"
#include "win/text_progress_ctrl.h"
#include "win/ui_thread.h"

using logwick::win::RowHeights;

TEST(RowHeights, MeasuresOnlyTheRowsAskedForAndForgetsThemOnANewWidth) {
  RowHeights heights;
  heights.Reset(100000);
  heights.SetWidth(300);
  // Rows of 10 px, every tenth of 30: a view of 100 px.
  const RowHeights::Measure measure = [](std::size_t row) { return row % 10 == 9 ? 30 : 10; };
  EXPECT_EQ(heights.LastTop(100, measure), 99992u);     // 30 + 7 x 10 fill the view exactly
  EXPECT_EQ(heights.RowsInView(0, 100, measure), 10u);  // row 9 begins at 90
  EXPECT_EQ(heights.RowAt(0, 95, measure), 9u);
  EXPECT_EQ(heights.RowAt(0, 1000, measure), 84u);         // 8 x 120 px, then rows 80..83
  EXPECT_EQ(heights.TopShowing(0, 12, 100, measure), 5u);  // rows 5..12: 7 x 10 + 30
  const std::size_t measured = heights.Measurements();
  EXPECT_LT(measured, 200u);
  heights.Height(5, measure);
  EXPECT_EQ(heights.Measurements(), measured);  // known rows are not measured again
  heights.SetWidth(200);
  heights.Height(5, measure);
  EXPECT_EQ(heights.Measurements(), measured + 1);
}

namespace {

class Progress : public ::testing::Test {
 protected:
  void SetUp() override {
    const INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    m_parent = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 900, 700, 200, 40, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    m_bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 172, 20, m_parent, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    logwick::win::TakeOverProgressBar(m_bar);
    Pump();
  }
  void TearDown() override { DestroyWindow(m_parent); }

  static void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  // Pixels of the colour along the bar's top row, which the centred text never reaches.
  int PixelsOnTopRow(COLORREF colour) const {
    UpdateWindow(m_bar);
    const HDC dc = GetDC(m_bar);
    int n = 0;
    for (int x = 0; x < 172; ++x) n += GetPixel(dc, x, 0) == colour;
    ReleaseDC(m_bar, dc);
    return n;
  }
  int PixelsInMiddle(int from, int to, COLORREF colour) const {
    UpdateWindow(m_bar);
    const HDC dc = GetDC(m_bar);
    int n = 0;
    for (int y = 2; y < 18; ++y)
      for (int x = from; x < to; ++x) n += GetPixel(dc, x, y) == colour;
    ReleaseDC(m_bar, dc);
    return n;
  }

  HWND m_parent = nullptr;
  HWND m_bar = nullptr;
};

TEST_F(Progress, FillsItsShareOfTheWidthAndPrintsThePercentageInBothColours) {
  const COLORREF bar = RGB(0, 0, 128), back = RGB(255, 255, 255);
  SendMessageW(m_bar, PBM_SETBARCOLOR, 0, bar);
  SendMessageW(m_bar, PBM_SETBKCOLOR, 0, back);
  SendMessageW(m_bar, PBM_SETRANGE, 0, MAKELPARAM(0, 99));
  EXPECT_EQ(SendMessageW(m_bar, PBM_SETPOS, 49, 0), 0);
  EXPECT_EQ(PixelsOnTopRow(bar), 85);  // 49 / 99 of 172 pixels
  // "49%" straddles the split: back-coloured strokes over the bar, bar-coloured ones beyond it.
  EXPECT_GT(PixelsInMiddle(60, 85, back), 0);
  EXPECT_GT(PixelsInMiddle(85, 110, bar), 0);
  EXPECT_EQ(SendMessageW(m_bar, PBM_GETPOS, 0, 0), 49);
  PBRANGE range{};
  EXPECT_EQ(SendMessageW(m_bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 0);
  EXPECT_EQ(range.iHigh, 99);
  // Without text only the two parts remain.
  SendMessageW(m_bar, logwick::win::kMsgShowText, FALSE, 0);
  EXPECT_EQ(PixelsInMiddle(85, 110, bar), 0);
}

TEST_F(Progress, RepaintsOnlyWhenTheBarMovesAWholePixel) {
  SendMessageW(m_bar, PBM_SETRANGE32, 0, 1000);
  const int before = logwick::win::ProgressPaintCount(m_bar);
  SendMessageW(m_bar, PBM_SETPOS, 500, 0);
  SendMessageW(m_bar, PBM_SETPOS, 500, 0);
  SendMessageW(m_bar, PBM_SETPOS, 501, 0);  // 86.0 -> 86.17 pixels
  EXPECT_EQ(logwick::win::ProgressPaintCount(m_bar), before + 1);
  SendMessageW(m_bar, PBM_SETSTEP, 10, 0);
  EXPECT_EQ(SendMessageW(m_bar, PBM_STEPIT, 0, 0), 501);
  EXPECT_EQ(logwick::win::ProgressPaintCount(m_bar), before + 2);
}

}  // namespace

TEST(InterfaceThread, CallsPostedFromAWorkerRunInOrderOnTheInterfaceThread) {
  logwick::win::StartInterfaceThreadCalls();
  const DWORD ui = GetCurrentThreadId();
  std::vector<int> ran;
  bool allOnUi = true;
  std::thread worker([&] {
    for (int i = 0; i < 100; ++i)
      logwick::win::PostToInterfaceThread([&, i] {
        ran.push_back(i);
        allOnUi = allOnUi && GetCurrentThreadId() == ui;
      });
  });
  worker.join();
  MSG msg;
  while (ran.size() < 100 && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  EXPECT_TRUE(allOnUi);
  std::vector<int> want(100);
  std::iota(want.begin(), want.end(), 0);
  EXPECT_EQ(ran, want);
}
