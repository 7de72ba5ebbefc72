// logwick.exe: the desktop program for Windows, a face on the desktop model.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include "events/codec.h"
#include "win/day_chart.h"
#include "win/ev_list_ctrl.h"
#include "win/main_dlg.h"
#include "win/stub_desk.h"
#include "win/ui_thread.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace logwick::win;
  EvListCtrl::NoteProgramEntry();
  const INITCOMMONCONTROLSEX controls{sizeof controls,
                                      ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  EvListCtrl::Register(instance);
  DayChart::Register(instance);
  StartInterfaceThreadCalls();

  StubDesk desk;  // TEMPORARY: the desk wiring replaces it
  MainDlg main(desk);
  desk.Attach(&main);
  if (!main.Create()) return 1;
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  desk.Start(argc > 1 ? logwick::WideToUtf8(argv[1]) : std::string());
  LocalFree(argv);

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
