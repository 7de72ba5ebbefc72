// The desktop program's Windows-only pieces in this process, under Wine: the
// list's row heights, the reading dialog's percentage bar, calls posted to the
// interface thread, the registry, the shell's paths and file sharing.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <ranges>
#include <thread>
#include <vector>

#include "desk/file_type_registration.h"
#include "desk/shell_paths.h"
#include "tests/windows/gui_driver.h"
#include "win/row_heights.h"
#include "win/text_progress_ctrl.h"
#include "win/ui_thread.h"

using namespace logwick;
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

TEST(Progress, FillsItsShareOfTheWidthPrintsThePercentageInBothColoursAndRepaintsOnlyForAPixel) {
  const INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  const HWND parent = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 900, 700, 200, 40, nullptr,
                                      nullptr, nullptr, nullptr);
  const HWND progress = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 172, 20, parent,
                                        nullptr, nullptr, nullptr);
  logwick::win::TakeOverProgressBar(progress);
  for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
  // Pixels of the colour in the bar's columns [from, to) of rows [top, bottom).
  auto pixels = [progress](COLORREF colour, int from, int to, int top = 2, int bottom = 18) {
    UpdateWindow(progress);
    const HDC dc = GetDC(progress);
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = from; x < to; ++x) n += GetPixel(dc, x, y) == colour;
    ReleaseDC(progress, dc);
    return n;
  };
  auto send = [progress](UINT m, WPARAM w, LPARAM l = 0) { return SendMessageW(progress, m, w, l); };
  const COLORREF bar = RGB(0, 0, 128), back = RGB(255, 255, 255);
  send(PBM_SETBARCOLOR, 0, bar);
  send(PBM_SETBKCOLOR, 0, back);
  send(PBM_SETRANGE, 0, MAKELPARAM(0, 99));
  EXPECT_EQ(send(PBM_SETPOS, 49), 0);
  // 49 / 99 of 172 pixels along the top row, which the centred text never reaches.
  EXPECT_EQ(pixels(bar, 0, 172, 0, 1), 85);
  // "49%" straddles the split: back-coloured strokes over the bar, bar-coloured ones beyond it.
  EXPECT_TRUE(pixels(back, 60, 85) > 0 && pixels(bar, 85, 110) > 0);
  EXPECT_EQ(send(PBM_GETPOS, 0), 49);
  PBRANGE range{};
  EXPECT_EQ(send(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 0);
  EXPECT_EQ(range.iHigh, 99);
  // Without text only the two parts remain.
  send(logwick::win::kMsgShowText, FALSE);
  EXPECT_EQ(pixels(bar, 85, 110), 0);

  // It repaints only when the bar moves a whole pixel.
  send(PBM_SETRANGE32, 0, 1000);
  const int before = logwick::win::ProgressPaintCount(progress);
  send(PBM_SETPOS, 500);
  send(PBM_SETPOS, 500);
  send(PBM_SETPOS, 501);  // 86.0 -> 86.17 pixels
  EXPECT_EQ(logwick::win::ProgressPaintCount(progress), before + 1);
  send(PBM_SETSTEP, 10);
  EXPECT_EQ(send(PBM_STEPIT, 0), 501);
  EXPECT_EQ(logwick::win::ProgressPaintCount(progress), before + 2);
  DestroyWindow(parent);
}

TEST(InterfaceThread, CallsPostedFromAWorkerRunInOrderOnTheInterfaceThread) {
  logwick::win::StartInterfaceThreadCalls();
  const DWORD ui = GetCurrentThreadId();
  std::vector<int> ran;  // -1 for a call run on another thread
  std::thread worker([&] {
    for (int i = 0; i < 100; ++i)
      logwick::win::PostToInterfaceThread([&, i] { ran.push_back(GetCurrentThreadId() == ui ? i : -1); });
  });
  worker.join();
  for (MSG msg; ran.size() < 100 && GetMessageW(&msg, nullptr, 0, 0) > 0;) DispatchMessageW(&msg);
  EXPECT_TRUE(std::ranges::equal(ran, std::views::iota(0, 100)));
}

namespace {

constexpr const char* kTestKey = "Software\\Logwick tests";

// Removes the test key; gives a folder whose long name has blanks, so that its short form differs.
class Shell : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(dir); }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, Utf8ToWide(kTestKey).c_str());
    std::filesystem::remove_all(dir);
  }
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "Logwick long folder";
};

}  // namespace

TEST_F(Shell, RegistryStringsShortPathsRegistrationAndFolders) {
  // Default values and overwriting are RegisterEventFileType's below; here a named value.
  auto read = [](HKEY root, const std::string& key, const wchar_t* name = nullptr) {
    return WideToUtf8(wintest::RegValue(root, Utf8ToWide(key), name));
  };
  const HKEY cu = HKEY_CURRENT_USER;
  const std::string key = std::string(kTestKey) + "\\Тип";
  ASSERT_TRUE(SetRegistryString(cu, key.c_str(), "Имя", "Список событий ТАРВЕЛ-7К"));
  EXPECT_EQ(read(cu, key, L"Имя"), "sz Список событий ТАРВЕЛ-7К");

  const std::tuple<HKEY, const char*, const char*, const char*> bad[] = {{nullptr, "Software\\x", "", "t"},
                                                                         {cu, nullptr, "", "t"},
                                                                         {cu, "", "", "t"},
                                                                         {cu, kTestKey, nullptr, "t"},
                                                                         {cu, kTestKey, "n", nullptr}};
  for (const auto& [root, subKey, name, value] : bad) {
    SetLastError(0);
    EXPECT_FALSE(SetRegistryString(root, subKey, name, value));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(E_INVALIDARG));
  }

  const std::string exe = (dir / "logwick program.exe").string();
  std::ofstream(exe) << "MZ";
  const std::string shortPath = ShortPathOf(exe);
  EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
  EXPECT_TRUE(std::filesystem::equivalent(shortPath, exe));
  // No short form (the file is not there): the path itself.
  EXPECT_EQ(ShortPathOf((dir / "no such file.t7kev").string()), (dir / "no such file.t7kev").string());

  // The shell is pointed at the short path, quoted; without a short form (as on a volume without
  // 8.3 names) the long path with its blanks is quoted too. The type is the user's, and is seen
  // in HKEY_CLASSES_ROOT as well.
  const std::string noShortForm = (dir / "not built yet.exe").string();
  for (const auto& [program, path] : {std::pair{exe, shortPath}, {noShortForm, noShortForm}}) {
    ASSERT_TRUE(RegisterEventFileType(program));
    for (const auto& [root, classes] : {std::pair{HKEY_CURRENT_USER, std::string("Software\\Classes\\")},
                                        {HKEY_CLASSES_ROOT, std::string()}}) {
      EXPECT_EQ(read(root, classes + ".t7kev"), "sz Ormet.T7kLogwick");
      EXPECT_EQ(read(root, classes + "Ormet.T7kLogwick"), "sz Список событий ТАРВЕЛ-7К");
      EXPECT_EQ(read(root, classes + "Ormet.T7kLogwick\\shell\\open\\command"), "sz \"" + path + "\" \"%1\"");
      EXPECT_EQ(read(root, classes + "Ormet.T7kLogwick\\DefaultIcon"), "sz " + path + ",1");
    }
  }

  // Only the backslash separates folders here.
  EXPECT_EQ(DirectoryOf("C:\\Logs\\a.t7kev"), "C:\\Logs");
  EXPECT_EQ(DirectoryOf("C:\\a.t7kev"), "C:");
  EXPECT_EQ(DirectoryOf("Logs/a.t7kev"), "");
}

// Refused as a file that cannot be read (the message is tests/reliability's); one only being read opens.
TEST_F(Shell, AnEventFileOpenForWritingElsewhereIsNotRead) {
  const std::string path = WideToUtf8((dir / L"события.t7kev").wstring());
  ASSERT_TRUE(StoreEventFile(path, wintest::SampleList(1)).ok);
  auto readWhileHeld = [&path](DWORD access) {
    const HANDLE other = CreateFileW(Utf8ToWide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(other, INVALID_HANDLE_VALUE);
    CT7KEventList read;
    const LoadOutcome outcome = LoadEventFile(path, read);
    CloseHandle(other);
    return std::pair(outcome.status, read.GetCount());
  };
  EXPECT_EQ(readWhileHeld(GENERIC_WRITE), std::pair(LoadStatus::ReadError, std::size_t{0}));
  EXPECT_EQ(readWhileHeld(GENERIC_READ), std::pair(LoadStatus::Loaded, std::size_t{1}));
}
