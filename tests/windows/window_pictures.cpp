// Pictures of every window of logwick.exe under Wine, as BMP files into the
// folder given (scripts/windows/screenshots.sh turns them into PNGs for
// docs/windows/), and the list's figures at the file limit for the bench.
// The reading dialog is pictured reading the simulated panel on COM port PORT.
//   window-pictures.exe pictures FOLDER EVENTFILE PORT
//   window-pictures.exe figures EVENTFILE
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "desk/control_ids.h"
#include "events/codec.h"
#include "tests/windows/gui_driver.h"
#include "win/ev_list_ctrl.h"

#ifdef LOGWICK_WITH_ARCHIVE
#include "history/history_archive.h"
#include "lists/report.h"
#include "sim/event_generator.h"
#endif

using namespace logwick::wintest;

namespace {

// Each window: how it is opened from the main window and its file name.
const struct {
  int templateId;
  int openCommand;  // 0: the main window
  int closeCommand;
  const wchar_t* name;
} kPictures[] = {
    {IDD_MAIN, 0, 0, L"main-window"},
    {IDD_FILTER, IDC_FILTER, IDCANCEL, L"filter-dialog"},
    {IDD_SETTINGS, IDM_SETTINGS, IDCANCEL, L"settings-dialog"},
    {IDD_REPORT_OPTIONS, IDC_WRITE_TEXT, IDCANCEL, L"report-options"},
    {IDD_ABOUT, IDM_ABOUT, IDOK, L"about"},
    {IDD_HELP, IDM_HELP, IDOK, L"help"},
    {IDD_STATISTICS, IDM_STATISTICS, IDCANCEL, L"statistics"},
    {IDD_INTEGRITY, IDM_INTEGRITY, IDCANCEL, L"integrity"},
};

void Settle(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  Sleep(400);
}

#ifdef LOGWICK_WITH_ARCHIVE
// The events [from, to) of 600 sample events (newest first) as one visit of
// a panel, read on the day of March 2024 given.
CT7KEventList Visit(std::size_t from, std::size_t to, std::int32_t serial, const char* config, int readDay) {
  CT7KEventList visit;
  visit.m_nPanelType = 1;
  visit.m_nSerNum = serial;
  visit.m_nReadDay = readDay, visit.m_nReadMonth = 3, visit.m_nReadYear = 2024;
  visit.m_nVerMajor = 3, visit.m_nVerMinor = 12;
  const std::string name = logwick::Utf8ToCp1251(config);
  visit.SetConfigNameBytes(name.data(), name.size());
  visit.m_texts = logwick::SampleMessageTexts(logwick::kSampleMessageCount);
  const std::vector<CT7KEvent> all = logwick::GenerateSampleEvents(600, 3);
  for (std::size_t i = from; i < to; ++i) visit.AddTail(all[i]);
  return visit;
}

// Three panels, one of them visited twice with events lost between the visits.
void MakeArchive(const std::wstring& path) {
  DeleteFileW(path.c_str());
  auto archive = logwick::HistoryArchive::Open(logwick::WideToUtf8(path), true);
  archive->File(Visit(300, 600, 4660, "Склад N2", 2), {"COM1"});
  archive->File(Visit(0, 200, 4660, "Склад N2", 15), {"COM1"});
  archive->File(Visit(100, 400, 1207, "Цех 3", 9), {"COM3"});
  archive->File(Visit(0, 600, 15, "Проходная", 12), {"COM3"});
  SetEnvironmentVariableW(L"LOGWICK_ARCHIVE", path.c_str());
}

// The archive window with the twice visited panel chosen, then its history
// with the gap mark in the main window.
int ArchivePictures(const Program& program, HWND main, const std::wstring& folder) {
  Command(main, IDM_ARCHIVE);
  const HWND dlg = program.Window(IDD_ARCHIVE);
  if (!dlg) return 1;
  const HWND table = GetDlgItem(dlg, IDC_ARCHIVE_TABLE);
  WaitUntil([&] { return SendMessageW(table, LVM_GETITEMCOUNT, 0, 0) == 3; });
  PostMessageW(table, WM_KEYDOWN, VK_END, 0);  // sorted by serial number: 4660 last
  SendMessageW(GetDlgItem(dlg, IDC_ARCHIVE_SERVER), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(L"postgresql://инженер@archive.example/logwick"));
  // The archive's usual place rather than this run's scratch folder.
  SendMessageW(
      GetDlgItem(dlg, IDC_ARCHIVE_PATH), WM_SETTEXT, 0,
      reinterpret_cast<LPARAM>(L"Архив: C:\\users\\инженер\\AppData\\Local\\Ormet\\Logwick\\archive.sqlite"));
  SetFocus(table);
  SetForegroundWindow(dlg);
  Settle(dlg);
  int failures = !SaveWindowPicture(dlg, folder + L"\\archive-window.bmp");
  Command(dlg, IDC_ARCHIVE_OPEN);
  Program::Gone(dlg);
  // The gap mark among the rows shown.
  const HWND list = GetDlgItem(main, IDC_EVENT_LIST);
  WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) > 0; });
  const std::wstring mark = logwick::Utf8ToWide(logwick::kGapMarkLine);
  for (int row = 0; row < SendMessageW(list, LB_GETCOUNT, 0, 0); ++row)
    if (RowText(list, row) == mark) {
      SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(row > 12 ? row - 12 : 0), 0);
      break;
    }
  Settle(main);
  failures += !SaveWindowPicture(main, folder + L"\\main-window-history.bmp");
  return failures;
}
#endif

int Pictures(const std::wstring& folder, const std::wstring& file, DWORD port) {
  ClearSettings();
  SetSetting(L"PortNumber", port);
#ifdef LOGWICK_WITH_ARCHIVE
  MakeArchive(folder + L"\\archive.sqlite");
#endif
  Program program(L"\"" + file + L"\"");
  const HWND main = program.Window(IDD_MAIN);
  if (!main) return 1;
  int failures = 0;
  for (const auto& p : kPictures) {
    if (p.openCommand) Command(main, p.openCommand);
    const HWND window = program.Window(p.templateId);
    if (!window) {
      std::fwprintf(stderr, L"%ls: no window\n", p.name);
      ++failures;
      continue;
    }
    SetForegroundWindow(window);
    // The settings show their port list open, with what stands behind each port.
    const HWND ports = p.templateId == IDD_SETTINGS ? GetDlgItem(window, IDC_SETTINGS_PORT) : nullptr;
    Settle(window);
    if (ports) {
      SendMessageW(ports, CB_SHOWDROPDOWN, TRUE, 0);
      Sleep(300);
    }
    HWND dropped = nullptr;  // the open list: a top-level window of its own
    while (ports && (dropped = FindWindowExW(nullptr, dropped, L"ComboLBox", nullptr))) {
      DWORD pid = 0;
      GetWindowThreadProcessId(dropped, &pid);
      if (pid == program.Pid() && IsWindowVisible(dropped)) break;
    }
    failures += !SaveWindowPicture(window, folder + L"\\" + p.name + L".bmp", dropped);
    if (ports) SendMessageW(ports, CB_SHOWDROPDOWN, FALSE, 0);
    if (p.closeCommand) {
      Command(window, p.closeCommand);
      Program::Gone(window);
    }
  }
  // The find bar open below the list, with what it found marked.
  Command(main, IDM_FIND);
  const HWND bar = program.Window(IDD_FIND_BAR);
  if (bar) SendMessageW(GetDlgItem(bar, IDC_FIND_TEXT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"датчик"));
  Settle(main);
  failures += !SaveWindowPicture(main, folder + L"\\find-bar.bmp");
  Command(main, IDM_FIND);  // the bar's own Esc closes it, as a command Esc does
  Command(main, IDCANCEL);
#ifdef LOGWICK_WITH_ARCHIVE
  failures += ArchivePictures(program, main, folder);
#endif

  // Last, as it puts what it read in the list: a reading among the panel's events.
  Command(main, IDC_READ_FROM_PANEL);
  const HWND reading = program.Window(IDD_READING);
  if (!reading ||
      !WaitUntil([&] { return !TextOf(GetDlgItem(reading, IDC_READING_EVENT)).empty(); }, 30000)) {
    std::fputs("reading-dialog: no reading\n", stderr);
    return failures + 1;
  }
  Sleep(500);
  Settle(reading);
  failures += !SaveWindowPicture(reading, folder + L"\\reading-dialog.bmp");
  Command(reading, IDCANCEL);
  Program::Gone(reading);
  return failures;
}

// The list at the file limit: start to first paint, and a change of width.
struct Run {
  LONGLONG firstPaintMs, entryMs, ownMs, measuredAtOpen, rewrapUs, measuredByRewrap;
};

// One start with the file: its first paint, then a narrower list.
bool MeasureOnce(const std::wstring& file, Run& run) {
  using namespace logwick::win;
  Program program(L"\"" + file + L"\"");
  const HWND main = program.Window(IDD_MAIN);
  if (!main) return false;
  const HWND list = GetDlgItem(main, IDC_EVENT_LIST);
  auto figure = [list](ListFigure f) {
    return static_cast<LONGLONG>(SendMessageW(list, kMsgListFigure, f, 0));
  };
  run.firstPaintMs = -1;
  for (int waited = 0; run.firstPaintMs < 0 && waited < 10000; waited += 10) {
    run.firstPaintMs = figure(kFigureFirstPaintMs);
    if (run.firstPaintMs < 0) Sleep(10);
  }
  run.entryMs = figure(kFigureEntryMs);
  run.ownMs = run.firstPaintMs - run.entryMs;
  run.measuredAtOpen = figure(kFigureMeasurements);
  RECT r = RectIn(main, list);
  SetWindowPos(list, nullptr, 0, 0, (r.right - r.left) * 2 / 3, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Sleep(200);
  run.rewrapUs = figure(kFigureResizeUs);
  run.measuredByRewrap = figure(kFigureMeasurements) - run.measuredAtOpen;
  return run.firstPaintMs >= 0;
}

// The list at the file limit, the median of five starts: start to first
// paint, and a change of width.
int Figures(const std::wstring& file) {
  {
    // Once to warm up: Wine starts its desktop and services with the first window.
    Program warmUp;
    warmUp.Window(IDD_MAIN);
  }
  std::vector<Run> runs(5);
  for (Run& run : runs)
    if (!MeasureOnce(file, run)) return 1;
  auto median = [&runs](LONGLONG Run::*field) {
    std::vector<LONGLONG> v;
    for (const Run& run : runs) v.push_back(run.*field);
    std::sort(v.begin(), v.end());
    return static_cast<long long>(v[v.size() / 2]);
  };
  std::printf("win32_list_first_paint_100k: %lld ms\n", median(&Run::firstPaintMs));
  std::printf("win32_process_start_to_entry: %lld ms\n", median(&Run::entryMs));
  std::printf("win32_list_entry_to_first_paint_100k: %lld ms\n", median(&Run::ownMs));
  std::printf("win32_list_rows_measured_at_open_100k: %lld rows\n", median(&Run::measuredAtOpen));
  std::printf("win32_list_rewrap_100k: %.1f ms\n", static_cast<double>(median(&Run::rewrapUs)) / 1000.0);
  std::printf("win32_list_rows_measured_by_rewrap_100k: %lld rows\n", median(&Run::measuredByRewrap));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring what = argc > 1 ? argv[1] : L"";
  if (what == L"pictures" && argc == 5) return Pictures(argv[2], argv[3], std::wcstoul(argv[4], nullptr, 10));
  if (what == L"figures" && argc == 3) return Figures(argv[2]);
  std::fputs("usage: window-pictures pictures FOLDER EVENTFILE PORT | figures EVENTFILE\n", stderr);
  return 2;
}
