// Drives logwick.exe from another process as a user's tools would: finds its
// windows by template number (the "LogwickTemplate" property every dialog
// carries) and its controls by id, sends commands as WM_COMMAND and reads
// texts back. Shared by the window tests, the screenshot tool and the bench.
#pragma once

#include <windows.h>

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
  // The program's window with the template number (its top-level windows and
  // their children), waiting up to timeoutMs for it to appear.
  HWND Window(int templateId, int timeoutMs = 10000) const;
  // Whether the window is gone within timeoutMs.
  static bool Gone(HWND window, int timeoutMs = 10000);
  bool Exited(int timeoutMs = 10000) const;

 private:
  PROCESS_INFORMATION m_process{};
};

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

// UTF-8 path in the temporary folder.
std::string TempPath(const std::string& name);
// An event file of count sample events at path (UTF-8).
void WriteSampleFile(const std::string& path, std::size_t count);

// The window with its frame as a 24-bit BMP file, grown to hold also the
// popup given (an open drop-down list); false on failure.
bool SaveWindowPicture(HWND window, const std::wstring& path, HWND popup = nullptr);

}  // namespace logwick::wintest
