// Has logwick.exe write an event file and its reports through its own
// dialogs, as a user would, for tests/windows/report_files.sh to compare with
// what the Linux build writes for the same list:
//   saved.t7kev                          "Записать в файл ...", a name without extension
//   all.txt, all.csv, all.jsonl, all.html "Записать текст ...", "Все события", each
//                                        file type chosen in the save dialog
//   shown.txt                            the same, "С учетом установленного фильтра",
//                                        after the filter dialog left out messages and
//                                        modes and beams above 3
// Usage: report-files.exe FOLDER EVENTFILE   (exit status 0 when every file came)
#include <windows.h>

#include <cstdio>
#include <string>

#include "desk/control_ids.h"
#include "events/codec.h"
#include "tests/windows/gui_driver.h"

using namespace logwick::wintest;

namespace {

bool Fail(const wchar_t* what) {
  std::fwprintf(stderr, L"report-files: %ls\n", what);
  return false;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Runs a command of the main window that asks for a file name, answers it
// and waits for the file.
bool Write(const Program& program, HWND main, int command, const std::wstring& folder,
           const std::wstring& name, const std::wstring& written, int type, int scope = 0) {
  Command(main, command);
  if (scope) {
    const HWND options = program.Window(IDD_REPORT_OPTIONS);
    if (!options) return Fail(L"no report options");
    SendMessageW(GetDlgItem(options, scope), BM_CLICK, 0, 0);
    Command(options, IDOK);
  }
  if (!AnswerFileDialog(program.Pid(), folder + L"\\" + name, type)) return Fail(L"no file dialog");
  if (!WaitUntil([&] { return Exists(folder + L"\\" + written); }, 10000)) return Fail(written.c_str());
  Sleep(200);  // the program ends its write
  return true;
}

bool WriteAll(const std::wstring& folder, const std::wstring& eventFile) {
  Program program(L"\"" + eventFile + L"\"");
  const HWND main = program.Window(IDD_MAIN);
  if (!main) return Fail(L"no main window");
  if (!Write(program, main, IDC_WRITE_TO_FILE, folder, L"saved", L"saved.t7kev", -1)) return false;
  const wchar_t* const forms[] = {L"all.txt", L"all.csv", L"all.jsonl", L"all.html"};
  for (int type = 0; type < 4; ++type)
    if (!Write(program, main, IDC_WRITE_TEXT, folder, L"all", forms[type], type, IDC_SCOPE_ALL)) return false;

  Command(main, IDC_FILTER);
  const HWND filter = program.Window(IDD_FILTER);
  if (!filter) return Fail(L"no filter dialog");
  SendMessageW(GetDlgItem(filter, IDC_FILTER_MESSAGES), BM_CLICK, 0, 0);
  SendMessageW(GetDlgItem(filter, IDC_FILTER_MODES), BM_CLICK, 0, 0);
  SendMessageW(GetDlgItem(filter, IDC_FILTER_LAST_BEAM), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"3"));
  Command(filter, IDOK);
  if (!Program::Gone(filter)) return Fail(L"the filter dialog stayed");
  std::printf("%s\n", logwick::WideToUtf8(TextOf(GetDlgItem(main, IDC_FILTER_LINE))).c_str());
  return Write(program, main, IDC_WRITE_TEXT, folder, L"shown", L"shown.txt", 0, IDC_SCOPE_FILTERED);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fputs("usage: report-files FOLDER EVENTFILE\n", stderr);
    return 2;
  }
  return WriteAll(argv[1], argv[2]) ? 0 : 1;
}
