// logwick.exe under Wine driven for what is made of it outside the tests:
//   pictures FOLDER EVENTFILE PORT: every window as a BMP file for scripts/windows/screenshots.sh,
//     the reading dialog reading the simulated panel on COM port PORT;
//   figures EVENTFILE: the list's figures at the file limit for the bench;
//   files FOLDER EVENTFILE: the event file and reports written through the dialogs (a name
//     without extension, each file type, the filter's events) for report_files.sh.
#include <windows.h>

#include <commctrl.h>

#include <array>
#include <cstdio>

#include "tests/windows/gui_driver.h"
#include "win/ev_list_ctrl.h"

using namespace logwick::wintest;

namespace {

// Each window: the commands that open (0: the main window) and close it, its file name.
const std::tuple<int, int, int, const wchar_t*> kPictures[] = {
    {IDD_MAIN, 0, 0, L"main-window"},
    {IDD_FILTER, IDC_FILTER, IDCANCEL, L"filter-dialog"},
    {IDD_SETTINGS, IDM_SETTINGS, IDCANCEL, L"settings-dialog"},
    {IDD_REPORT_OPTIONS, IDC_WRITE_TEXT, IDCANCEL, L"report-options"},
    {IDD_ABOUT, IDM_ABOUT, IDOK, L"about"},
    {IDD_HELP, IDM_HELP, IDOK, L"help"},
    {IDD_STATISTICS, IDM_STATISTICS, IDCANCEL, L"statistics"},
    {IDD_INTEGRITY, IDM_INTEGRITY, IDCANCEL, L"integrity"},
};

void Check(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what);
}

// The window drawn anew and saved with its frame as a BMP file into the folder, with the list of its combo
// box comboId open (a top-level window of its own, which the picture grows to hold) if one is given; 1 on
// failure.
int Picture(HWND window, const std::wstring& folder, const std::wstring& name, int comboId = 0) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  Sleep(400);
  RECT r, p;
  GetWindowRect(window, &r);
  const HWND combo = comboId ? GetDlgItem(window, comboId) : nullptr;
  if (combo) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    const HWND list =
        FindWindowOf(pid, [](HWND w) { return ClassOf(w) == L"ComboLBox" && IsWindowVisible(w); });
    Sleep(300);
    if (list && GetWindowRect(list, &p)) UnionRect(&r, &r, &p);
  }
  const Pixels pixels = CaptureScreen(r);
  if (combo) SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
  // A 32-bit bitmap with its rows from the top (a negative height).
  const auto image = static_cast<DWORD>(pixels.bgrx.size() * sizeof(std::uint32_t));
  const BITMAPINFOHEADER info{sizeof info, pixels.width, -pixels.height, 1, 32, BI_RGB, image};
  constexpr DWORD kHeads = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  const BITMAPFILEHEADER head{0x4D42, kHeads + image, 0, 0, kHeads};
  FILE* f = _wfopen((folder + L"\\" + name + L".bmp").c_str(), L"wb");
  const bool ok = f && fwrite(&head, sizeof head, 1, f) == 1 && fwrite(&info, sizeof info, 1, f) == 1 &&
                  fwrite(pixels.bgrx.data(), image, 1, f) == 1;
  return f && fclose(f) == 0 && ok ? 0 : 1;
}

#ifdef LOGWICK_WITH_ARCHIVE
// The archive window with the twice visited panel chosen, then its history with the gap mark.
int ArchivePictures(const Program& program, HWND main, const std::wstring& folder) {
  const HWND dlg = program.Open(main, IDM_ARCHIVE, IDD_ARCHIVE), table = GetDlgItem(dlg, IDC_ARCHIVE_TABLE);
  WaitUntil([&] { return SendMessageW(table, LVM_GETITEMCOUNT, 0, 0) == 3; });
  PostMessageW(table, WM_KEYDOWN, VK_END, 0);  // sorted by serial number: 4660 last
  SetText(GetDlgItem(dlg, IDC_ARCHIVE_SERVER), L"postgresql://инженер@archive.example/logwick");
  // The archive's usual place rather than this run's scratch folder.
  SetText(GetDlgItem(dlg, IDC_ARCHIVE_PATH),
          L"Архив: C:\\users\\инженер\\AppData\\Local\\Ormet\\Logwick\\archive.sqlite");
  SetFocus(table);
  SetForegroundWindow(dlg);
  int failures = Picture(dlg, folder, L"archive-window");
  Program::Close(dlg, IDC_ARCHIVE_OPEN);
  // The gap mark among the rows shown: it follows the 200 events of the newer visit.
  const HWND list = GetDlgItem(main, IDC_EVENT_LIST);
  WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) > 0; });
  SendMessageW(list, LB_SETTOPINDEX, 200 - 12, 0);
  return failures + Picture(main, folder, L"main-window-history");
}
#endif

int Pictures(const std::wstring& folder, const std::wstring& file, DWORD port) {
  ClearSettings();
  SetSetting(L"PortNumber", port);
#ifdef LOGWICK_WITH_ARCHIVE
  MakeArchive(folder + L"\\archive.sqlite");
#endif
  Program program(L"\"" + file + L"\"");
  const HWND main = program.Main();
  int failures = 0;
  for (const auto& [templateId, open, close, name] : kPictures) {
    const HWND window = open ? program.Open(main, open, templateId) : main;
    SetForegroundWindow(window);
    // The settings show their port list open, with what stands behind each port.
    failures += Picture(window, folder, name, templateId == IDD_SETTINGS ? IDC_SETTINGS_PORT : 0);
    if (close) Program::Close(window, close);
  }
  // The find bar open below the list, with what it found marked.
  const HWND bar = program.Open(main, IDM_FIND, IDD_FIND_BAR);
  SetText(GetDlgItem(bar, IDC_FIND_TEXT), L"датчик");
  failures += Picture(main, folder, L"find-bar");
  Command(main, IDM_FIND);  // the bar's own Esc closes it, as a command Esc does
  Command(main, IDCANCEL);
#ifdef LOGWICK_WITH_ARCHIVE
  failures += ArchivePictures(program, main, folder);
#endif

  // Last, as it puts what it read in the list: a reading among the panel's events.
  const HWND reading = program.Open(main, IDC_READ_FROM_PANEL, IDD_READING);
  Check(WaitUntil([&] { return !TextOf(GetDlgItem(reading, IDC_READING_EVENT)).empty(); }, 30000),
        "reading-dialog: no reading");
  Sleep(500);
  return failures + Picture(reading, folder, L"reading-dialog");
}

// The list at the file limit: start to first paint, and a change of width (each the format of its median).
const char* const kFigures[] = {"win32_list_first_paint_100k: %.0f ms\n",
                                "win32_process_start_to_entry: %.0f ms\n",
                                "win32_list_entry_to_first_paint_100k: %.0f ms\n",
                                "win32_list_rows_measured_at_open_100k: %.0f rows\n",
                                "win32_list_rewrap_100k: %.1f ms\n",
                                "win32_list_rows_measured_by_rewrap_100k: %.0f rows\n"};
using Run = std::array<double, std::size(kFigures)>;

Run MeasureOnce(const std::wstring& file) {
  using namespace logwick::win;
  Program program(L"\"" + file + L"\"");
  const HWND main = program.Main(), list = GetDlgItem(main, IDC_EVENT_LIST);
  auto figure = [list](ListFigure f) { return double(SendMessageW(list, kMsgListFigure, f, 0)); };
  Check(WaitUntil([&] { return figure(kFigureFirstPaintMs) >= 0; }, 10000), "no first paint");
  const double paint = figure(kFigureFirstPaintMs), entry = figure(kFigureEntryMs);
  const double atOpen = figure(kFigureMeasurements);
  const RECT r = RectIn(main, list);
  SetWindowPos(list, nullptr, 0, 0, (r.right - r.left) * 2 / 3, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Sleep(200);
  const double rewrapMs = figure(kFigureResizeUs) / 1000, rewrapRows = figure(kFigureMeasurements) - atOpen;
  return {paint, entry, paint - entry, atOpen, rewrapMs, rewrapRows};
}

// The median of five starts after one to warm up (Wine starts its desktop and services with the first).
int Figures(const std::wstring& file) {
  Program().Main();
  std::vector<Run> runs;
  for (int i = 0; i < 5; ++i) runs.push_back(MeasureOnce(file));
  for (std::size_t i = 0; i < std::size(kFigures); ++i) {
    std::ranges::nth_element(runs, runs.begin() + 2, {}, [i](const Run& run) { return run[i]; });
    std::printf(kFigures[i], runs[2][i]);
  }
  return 0;
}

// A command of the main window that asks for a file name (after the report options' scope, if any),
// answered; waits for the file.
void Write(const Program& program, HWND main, int command, const std::wstring& folder,
           const std::wstring& name, const std::wstring& written, int type, int scope = 0) {
  Command(main, command);
  if (scope) {
    const HWND options = program.Window(IDD_REPORT_OPTIONS);
    SendMessageW(GetDlgItem(options, scope), BM_CLICK, 0, 0);
    Command(options, IDOK);
  }
  Check(AnswerFileDialog(program.Pid(), folder + L"\\" + name, type), "no file dialog");
  const std::wstring path = folder + L"\\" + written;
  Check(WaitUntil([&] { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000),
        logwick::WideToUtf8(written) + " not written");
  Sleep(200);  // the program ends its write
}

int Files(const std::wstring& folder, const std::wstring& eventFile) {
  Program program(L"\"" + eventFile + L"\"");
  const HWND main = program.Main();
  Write(program, main, IDC_WRITE_TO_FILE, folder, L"saved", L"saved.t7kev", -1);
  const wchar_t* const forms[] = {L"all.txt", L"all.csv", L"all.jsonl", L"all.html"};
  for (int type = 0; type < 4; ++type)
    Write(program, main, IDC_WRITE_TEXT, folder, L"all", forms[type], type, IDC_SCOPE_ALL);
  const HWND filter = program.Open(main, IDC_FILTER, IDD_FILTER);
  SendMessageW(GetDlgItem(filter, IDC_FILTER_MESSAGES), BM_CLICK, 0, 0);
  SendMessageW(GetDlgItem(filter, IDC_FILTER_MODES), BM_CLICK, 0, 0);
  SetText(GetDlgItem(filter, IDC_FILTER_LAST_BEAM), L"3");
  Check(Program::Close(filter, IDOK), "the filter dialog stayed");
  std::printf("%s\n", logwick::WideToUtf8(TextOf(GetDlgItem(main, IDC_FILTER_LINE))).c_str());
  Write(program, main, IDC_WRITE_TEXT, folder, L"shown", L"shown.txt", 0, IDC_SCOPE_FILTERED);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) try {
  const std::wstring what = argc > 1 ? argv[1] : L"";
  if (what == L"pictures" && argc == 5) return Pictures(argv[2], argv[3], std::wcstoul(argv[4], nullptr, 10));
  if (what == L"figures" && argc == 3) return Figures(argv[2]);
  if (what == L"files" && argc == 4) return Files(argv[2], argv[3]);
  std::fputs("usage: window-pictures pictures DIR EVENTFILE PORT | figures EVENTFILE | files DIR EVENTFILE\n",
             stderr);
  return 2;
} catch (const std::exception& e) {
  std::fprintf(stderr, "window-pictures: %s\n", e.what());
  return 1;
}
