// logwick.exe: the desktop program for Windows, a face on the desktop model.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "desk/command_line.h"
#include "desk/file_type_registration.h"
#include "events/codec.h"
#include "version/program_version.h"
#include "win/day_chart.h"
#include "win/ev_list_ctrl.h"
#include "win/main_dlg.h"
#include "win/message_box.h"
#include "win/ui_thread.h"

namespace {

// The arguments after the program's name, split as the runtime splits them.
std::vector<std::string> Arguments() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(logwick::WideToUtf8(argv[i]));
  LocalFree(argv);
  return args;
}

// --version and --help: printed to the console the program was started from,
// before any window exists.
bool AnswerInfoRequest(const std::vector<std::string>& args) {
  const logwick::InfoRequest request = logwick::FindInfoRequest(args);
  if (request == logwick::InfoRequest::kNone) return false;
  if (AttachConsole(ATTACH_PARENT_PROCESS)) std::freopen("CONOUT$", "w", stdout);
  const std::string text = request == logwick::InfoRequest::kVersion ? logwick::VersionLine("logwick") + "\n"
                                                                     : logwick::DesktopHelpText();
  std::fputs(text.c_str(), stdout);
  return true;
}

std::string ProgramPath() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return logwick::WideToUtf8(path);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace logwick::win;
  EvListCtrl::NoteProgramEntry();
  const std::vector<std::string> args = Arguments();
  if (AnswerInfoRequest(args)) return 0;
  const INITCOMMONCONTROLSEX controls{sizeof controls,
                                      ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  EvListCtrl::Register(instance);
  DayChart::Register(instance);
  StartInterfaceThreadCalls();

  // Ignored on failure: a user without rights still gets a working program.
  logwick::RegisterEventFileType(ProgramPath());

  CT29CommandLine commandLine;
  for (const std::string& message : commandLine.ParseAll(args))
    ShowMessage(nullptr, {message, logwick::MsgCaption::Error, logwick::MsgIcon::Exclamation,
                          logwick::MsgOwner::None});

  MainDlg main;
  if (!main.Start(commandLine.m_strFileName)) return 1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (main.PreTranslate(msg)) continue;
    const HWND active = GetActiveWindow();
    if (active && IsDialogMessageW(active, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
