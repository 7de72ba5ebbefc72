// Drives logwick.exe from another process as a user's tools would: its windows
// by template number (the "LogwickTemplate" property each carries), controls
// by id, commands as WM_COMMAND. Shared by the window tests and window-pictures.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "desk/control_ids.h"
#include "events/codec.h"
#include "lists/event_file.h"
#include "sim/event_generator.h"
#include "win/window_tags.h"

#ifdef LOGWICK_WITH_ARCHIVE
#include "history/history_archive.h"
#endif

namespace logwick::wintest {

inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
  for (int waited = 0; !condition(); waited += 20, Sleep(20))
    if (waited >= timeoutMs) return false;
  return true;
}

inline void Command(HWND window, int id) { PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(id), 0); }

inline void SetText(HWND window, const std::wstring& text) {
  SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

inline std::wstring TextOf(HWND window) {
  // WM_GETTEXT, not GetWindowText: for another process's window that gives
  // the caption it was created with, not what an edit holds now.
  std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

inline std::wstring ClassOf(HWND window) {
  wchar_t name[256];
  return std::wstring(name, static_cast<std::size_t>(GetClassNameW(window, name, 256)));
}

inline std::wstring RowText(HWND list, int row) {
  std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, row, 0)) + 1, L'\0');
  const LRESULT got = SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
  return got == LB_ERR ? L"<LB_ERR>" : text.substr(0, static_cast<std::size_t>(got));
}

// In tab order.
inline std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
  return children;
}

// In the parent's client coordinates.
inline RECT RectIn(HWND parent, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

inline bool IsTopLevel(HWND w) { return GetAncestor(w, GA_ROOT) == w; }

inline BOOL CALLBACK Collect(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

constexpr int kBoxText = 0xFFFF;      // a message box's text
constexpr int kFileName = 0x47C;      // cmb13: the file name box of the file dialogs
constexpr int kFileNameEdit = 0x480;  // edt1: the same where it is a plain edit
constexpr int kFileTypes = 0x470;     // cmb1: the file type list

// A dialog of the system's own showing: a message box or a file dialog.
inline bool IsSystemDialog(HWND w) {
  return IsTopLevel(w) && IsWindowVisible(w) && ClassOf(w) == L"#32770" && win::TemplateOf(w) == 0;
}

inline HWND FileNameField(HWND dialog) {
  const HWND box = GetDlgItem(dialog, kFileName);
  return box ? box : GetDlgItem(dialog, kFileNameEdit);
}

// The first window of the process (top-level, or a child) that pick accepts within timeoutMs, or nullptr.
inline HWND FindWindowOf(DWORD pid, const std::function<bool(HWND)>& pick, int timeoutMs = 10000) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        std::vector<HWND> top, all;  // each top-level window followed by its descendants
        EnumWindows(Collect, reinterpret_cast<LPARAM>(&top));
        for (HWND w : top) {
          DWORD owner = 0;
          GetWindowThreadProcessId(w, &owner);
          if (owner != pid) continue;
          all.push_back(w);
          EnumChildWindows(w, Collect, reinterpret_cast<LPARAM>(&all));
        }
        const auto it = std::ranges::find_if(all, pick);
        return (found = it == all.end() ? nullptr : *it) != nullptr;
      },
      timeoutMs);
  return found;
}

inline std::wstring ProgramPath() {
  wchar_t path[MAX_PATH];
  const std::wstring self(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return self.substr(0, self.find_last_of(L"\\/") + 1) + L"logwick.exe";
}

inline std::wstring Quoted(const std::string& path) { return L"\"" + Utf8ToWide(path) + L"\""; }

// logwick.exe started with args; ended when this goes.
class Program {
 public:
  explicit Program(const std::wstring& args = L"") {
    std::wstring command = L"\"" + ProgramPath() + L"\" " + args;
    STARTUPINFOW si{sizeof si};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &m_process))
      throw std::runtime_error("logwick.exe did not start");
    WaitForInputIdle(m_process.hProcess, 10000);
  }
  ~Program() {
    if (!Exited(0) && TerminateProcess(m_process.hProcess, 1)) Exited(5000);
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
  }

  DWORD Pid() const { return m_process.dwProcessId; }
  // The program's window with the template number, waited for, else throws. A hidden top-level
  // window is one going away (a dialog just ended); a child may be hidden until shown (the find bar).
  HWND Window(int templateId) const {
    const HWND window = FindWindowOf(Pid(), [templateId](HWND w) {
      return win::TemplateOf(w) == templateId && (!IsTopLevel(w) || IsWindowVisible(w));
    });
    if (!window) throw std::runtime_error("no window of template " + std::to_string(templateId));
    return window;
  }
  HWND Main() const { return Window(IDD_MAIN); }
  HWND Open(HWND from, int command, int id) const { return Command(from, command), Window(id); }
  static bool Close(HWND window, int command) { return Command(window, command), Gone(window); }
  static bool Gone(HWND window, int timeoutMs = 10000) {
    return WaitUntil([window] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
  }
  bool Exited(int timeoutMs = 10000) const {
    return WaitForSingleObject(m_process.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
  }

 private:
  PROCESS_INFORMATION m_process{};
};

struct Box {
  HWND window = nullptr, owner = nullptr;
  std::wstring caption, text;
  void Answer(int button = IDOK) const { Program::Close(window, button); }
};

inline Box MessageBoxOf(DWORD pid) {
  const HWND w = FindWindowOf(pid, [](HWND w) { return IsSystemDialog(w) && GetDlgItem(w, kBoxText); });
  return w ? Box{w, GetWindow(w, GW_OWNER), TextOf(w), TextOf(GetDlgItem(w, kBoxText))} : Box{};
}

// The system's file dialog of a process: the name typed into its file name field (a full path, or a name in
// the folder it shows), the file type chosen by index (none: as it stands), then OK. false when none came.
inline bool AnswerFileDialog(DWORD pid, const std::wstring& name, int type = -1) {
  const HWND w = FindWindowOf(pid, [](HWND w) { return IsSystemDialog(w) && FileNameField(w); });
  if (!w) return false;
  Sleep(200);  // the dialog fills its folder view after it shows
  if (type >= 0) {
    const HWND types = GetDlgItem(w, kFileTypes);
    SendMessageW(types, CB_SETCURSEL, static_cast<WPARAM>(type), 0);
    // What a choice in the open list sends its dialog.
    for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
      SendMessageW(w, WM_COMMAND, MAKEWPARAM(kFileTypes, code), reinterpret_cast<LPARAM>(types));
  }
  SetText(FileNameField(w), name);
  PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(w, IDOK)));
  return true;
}

inline constexpr wchar_t kSettingsKey[] = L"Software\\Ormet\\T29 read events\\Init";

inline void ClearSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }

inline void SetSetting(const wchar_t* name, DWORD value) {
  RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &value, sizeof value);
}

// A value of a key (its default with no name) as its type and text, "dword 7"
// or "sz text"; "<missing>" when there is none of these types.
inline std::wstring RegValue(HKEY root, const std::wstring& key, const wchar_t* name = nullptr) {
  union {
    DWORD number;
    wchar_t text[1024];
  } value{};
  DWORD type = 0, size = sizeof value;
  if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_DWORD | RRF_RT_REG_SZ, &type, &value, &size))
    return L"<missing>";
  return type == REG_DWORD ? L"dword " + std::to_wstring(value.number) : L"sz " + std::wstring(value.text);
}

inline std::string TempPath(const std::string& name) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  return WideToUtf8(folder) + name;
}

// count sample events of panel 4660, read 15/03/2024 10:34:12, with the sample texts.
inline CT7KEventList SampleList(std::size_t count) {
  CT7KEventList list;
  list.m_nPanelType = 1, list.m_nSerNum = 4660;
  list.m_nReadDay = 15, list.m_nReadMonth = 3, list.m_nReadYear = 2024;
  list.m_nReadHour = 10, list.m_nReadMin = 34, list.m_nReadSec = 12;
  list.m_texts = SampleMessageTexts(kSampleMessageCount);
  for (const CT7KEvent& ev : GenerateSampleEvents(count, 7)) list.AddTail(ev);
  return list;
}

#ifdef LOGWICK_WITH_ARCHIVE
// Three panels, 4660 visited twice with events lost between the visits, as
// the archive of logwick.exe started after this. A visit: the events [from, to)
// of 600 sample events (newest first), read on the day of March 2024 given.
inline void MakeArchive(const std::wstring& path) {
  DeleteFileW(path.c_str());
  auto archive = HistoryArchive::Open(WideToUtf8(path), true);
  const std::vector<CT7KEvent> all = GenerateSampleEvents(600, 3);
  auto Visit = [&all](std::size_t from, std::size_t to, std::int32_t serial, const char* config, int day) {
    CT7KEventList visit = SampleList(0);
    visit.m_nSerNum = serial, visit.m_nReadDay = day, visit.m_nVerMajor = 3, visit.m_nVerMinor = 12;
    const std::string name = Utf8ToCp1251(config);
    visit.SetConfigNameBytes(name.data(), name.size());
    for (std::size_t i = from; i < to; ++i) visit.AddTail(all[i]);
    return visit;
  };
  archive->File(Visit(300, 600, 4660, "Склад N2", 2), {"COM1"});
  archive->File(Visit(0, 200, 4660, "Склад N2", 15), {"COM1"});
  archive->File(Visit(100, 400, 1207, "Цех 3", 9), {"COM3"});
  archive->File(Visit(0, 600, 15, "Проходная", 12), {"COM3"});
  SetEnvironmentVariableW(L"LOGWICK_ARCHIVE", path.c_str());
}
#endif

// The screen's pixels in a rectangle of screen coordinates as a 32-bit bitmap holds them, row by row
// from the top.
struct Pixels {
  int width = 0, height = 0;
  std::vector<std::uint32_t> bgrx;
};

inline Pixels CaptureScreen(const RECT& r) {
  Pixels p{r.right - r.left, r.bottom - r.top};
  p.bgrx.resize(static_cast<std::size_t>(p.width) * p.height);
  const HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, p.width, p.height);
  const HGDIOBJ old = SelectObject(dc, bitmap);
  BitBlt(dc, 0, 0, p.width, p.height, screen, r.left, r.top, SRCCOPY);
  SelectObject(dc, old);
  BITMAPINFO bi{{sizeof(BITMAPINFOHEADER), p.width, -p.height, 1, 32, BI_RGB}};
  GetDIBits(dc, bitmap, 0, static_cast<UINT>(p.height), p.bgrx.data(), &bi, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return p;
}

}  // namespace logwick::wintest
