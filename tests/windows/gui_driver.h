// Drives logwick.exe from another process as a user's tools would: finds its
// windows by template number (the "LogwickTemplate" property every dialog
// carries) and its controls by id, sends commands as WM_COMMAND and reads
// texts back. Shared by the window tests, the screenshot tool and the bench.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace logwick::wintest {

// logwick.exe from the folder of the running program, started with args;
// ended when this goes.
class Program {
 public:
  explicit Program(const std::wstring& args = L"");
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  DWORD Pid() const { return m_process.dwProcessId; }
  // The process's exit code once it has ended.
  DWORD ExitCode() const;
  // The program's window with the template number (its top-level windows and
  // their children), waiting up to timeoutMs for it to appear.
  HWND Window(int templateId, int timeoutMs = 10000) const;
  // Whether the window is gone within timeoutMs.
  static bool Gone(HWND window, int timeoutMs = 10000);
  bool Exited(int timeoutMs = 10000) const;

 private:
  PROCESS_INFORMATION m_process{};
};

// A message box of a process (a dialog of the system's own class that shows
// a text and no template of the program's): its window, caption and text.
struct Box {
  HWND window = nullptr;
  std::wstring caption, text;
  explicit operator bool() const { return window != nullptr; }
};
Box MessageBoxOf(DWORD pid, int timeoutMs = 10000);
// The system's file dialog of a process: the name typed into its file name
// field (a full path, or a name in the folder it shows), the file type
// chosen by index (none: as it stands), then OK. false when no dialog came.
bool AnswerFileDialog(DWORD pid, const std::wstring& name, int type = -1, int timeoutMs = 10000);

// Whether condition holds within timeoutMs, asked every 20 ms.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

// Posts a command to a window (as a menu item or a button does).
void Command(HWND window, int id);
std::wstring TextOf(HWND window);
std::wstring ClassOf(HWND window);
// A row's text as LB_GETTEXT gives it.
std::wstring RowText(HWND list, int row);
// The children of a window in their order (the tab order of a dialog).
std::vector<HWND> Children(HWND parent);
// A child's rectangle in its parent's client coordinates.
RECT RectIn(HWND parent, HWND child);

// Pixels of dialog units for the dialogs' font (MS Sans Serif 8, Cyrillic),
// computed as the dialog manager computes them.
struct DialogUnits {
  int x = 0, y = 0;  // base units
  RECT ToPixels(int left, int top, int width, int height) const;
};
DialogUnits DialogFontUnits();
// The dialogs' font, as the dialog manager creates it.
HFONT CreateDialogFont();

// The program's settings (HKEY_CURRENT_USER\Software\Ormet\T29 read events\Init).
void ClearSettings();
void SetSetting(const wchar_t* name, DWORD value);
// A value of the type asked for; none when missing or of another type.
std::optional<DWORD> DwordSetting(const wchar_t* name);
std::optional<std::wstring> TextSetting(const wchar_t* name);
// A key's default text; "<missing>" when there is none.
std::wstring DefaultText(HKEY root, const std::wstring& key);

// UTF-8 path in the temporary folder.
std::string TempPath(const std::string& name);
// An event file of count sample events at path (UTF-8).
void WriteSampleFile(const std::string& path, std::size_t count);

// The client area of a window as the screen shows it.
struct Pixels {
  int width = 0, height = 0;
  std::vector<COLORREF> colours;  // row by row from the top
  COLORREF At(int x, int y) const { return colours[static_cast<std::size_t>(y) * width + x]; }
};
Pixels CaptureClient(HWND window);

// The window with its frame as a 24-bit BMP file, grown to hold also the
// popup given (an open drop-down list); false on failure.
bool SaveWindowPicture(HWND window, const std::wstring& path, HWND popup = nullptr);

}  // namespace logwick::wintest
