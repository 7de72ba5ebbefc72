#include "tests/windows/gui_driver.h"

#include <cstdint>
#include <cstdio>
#include <stdexcept>

#include "events/codec.h"
#include "lists/event_file.h"
#include "sim/event_generator.h"
#include "win/window_tags.h"

namespace logwick::wintest {

namespace {

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return p.substr(0, p.find_last_of(L"\\/") + 1);
}

struct Search {
  DWORD pid;
  int templateId;
  HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND window, LPARAM lParam) {
  auto& s = *reinterpret_cast<Search*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != s.pid) return TRUE;
  // A window of its own that is hidden is one going away (a dialog just
  // ended); a child may be hidden until it is shown (the find bar).
  const bool own = GetAncestor(window, GA_ROOT) == window;
  if (win::TemplateOf(window) == s.templateId && (!own || IsWindowVisible(window))) {
    s.found = window;
    return FALSE;
  }
  EnumChildWindows(window, Visit, lParam);
  return s.found ? FALSE : TRUE;
}

}  // namespace

Program::Program(const std::wstring& args) {
  std::wstring command = L"\"" + ProgramFolder() + L"logwick.exe\" " + args;
  STARTUPINFOW si{sizeof si};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_process))
    throw std::runtime_error("logwick.exe did not start");
  WaitForInputIdle(m_process.hProcess, 10000);
}

Program::~Program() {
  if (WaitForSingleObject(m_process.hProcess, 0) != WAIT_OBJECT_0) {
    TerminateProcess(m_process.hProcess, 1);
    WaitForSingleObject(m_process.hProcess, 5000);
  }
  CloseHandle(m_process.hThread);
  CloseHandle(m_process.hProcess);
}

HWND Program::Window(int templateId, int timeoutMs) const {
  for (int waited = 0;; waited += 20) {
    Search s{Pid(), templateId};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
    if (s.found || waited >= timeoutMs) return s.found;
    Sleep(20);
  }
}

bool Program::Gone(HWND window, int timeoutMs) {
  for (int waited = 0; IsWindow(window) && IsWindowVisible(window); waited += 20) {
    if (waited >= timeoutMs) return false;
    Sleep(20);
  }
  return true;
}

bool Program::Exited(int timeoutMs) const {
  return WaitForSingleObject(m_process.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

DWORD Program::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(m_process.hProcess, &code);
  return code;
}

namespace {

// The first visible top-level window of the process that pick accepts.
HWND FindTopLevel(DWORD pid, int timeoutMs, bool (*pick)(HWND)) {
  struct Find {
    DWORD pid;
    bool (*pick)(HWND);
    HWND found = nullptr;
  };
  for (int waited = 0;; waited += 20) {
    Find f{pid, pick};
    EnumWindows(
        [](HWND w, LPARAM l) -> BOOL {
          auto& f = *reinterpret_cast<Find*>(l);
          DWORD owner = 0;
          GetWindowThreadProcessId(w, &owner);
          if (owner != f.pid || !IsWindowVisible(w) || !f.pick(w)) return TRUE;
          f.found = w;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&f));
    if (f.found || waited >= timeoutMs) return f.found;
    Sleep(20);
  }
}

bool IsSystemDialog(HWND w) { return ClassOf(w) == L"#32770" && win::TemplateOf(w) == 0; }

constexpr int kBoxText = 0xFFFF;      // a message box's text
constexpr int kFileName = 0x47C;      // cmb13: the file name box of the file dialogs
constexpr int kFileNameEdit = 0x480;  // edt1: the same where it is a plain edit
constexpr int kFileTypes = 0x470;     // cmb1: the file type list

}  // namespace

Box MessageBoxOf(DWORD pid, int timeoutMs) {
  const HWND w =
      FindTopLevel(pid, timeoutMs, [](HWND w) { return IsSystemDialog(w) && GetDlgItem(w, kBoxText); });
  if (!w) return {};
  return {w, TextOf(w), TextOf(GetDlgItem(w, kBoxText))};
}

bool AnswerFileDialog(DWORD pid, const std::wstring& name, int type, int timeoutMs) {
  const HWND w = FindTopLevel(pid, timeoutMs, [](HWND w) {
    return IsSystemDialog(w) && (GetDlgItem(w, kFileName) || GetDlgItem(w, kFileNameEdit));
  });
  if (!w) return false;
  Sleep(200);  // the dialog fills its folder view after it shows
  if (type >= 0) {
    const HWND types = GetDlgItem(w, kFileTypes);
    SendMessageW(types, CB_SETCURSEL, static_cast<WPARAM>(type), 0);
    // What a choice in the open list sends its dialog.
    for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
      SendMessageW(w, WM_COMMAND, MAKEWPARAM(kFileTypes, code), reinterpret_cast<LPARAM>(types));
  }
  HWND field = GetDlgItem(w, kFileName);
  if (!field) field = GetDlgItem(w, kFileNameEdit);
  SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
  PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(w, IDOK)));
  return true;
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  for (int waited = 0; !condition(); waited += 20) {
    if (waited >= timeoutMs) return false;
    Sleep(20);
  }
  return true;
}

void Command(HWND window, int id) { PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(id), 0); }

std::wstring TextOf(HWND window) {
  // WM_GETTEXT, not GetWindowText: for another process's window that gives
  // the caption it was created with, not what an edit holds now.
  std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256];
  return std::wstring(name, static_cast<std::size_t>(GetClassNameW(window, name, 256)));
}

std::wstring RowText(HWND list, int row) {
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
  if (length == LB_ERR) return L"<LB_ERR>";
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT got =
      SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == LB_ERR ? 0 : static_cast<std::size_t>(got));
  return text;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
  return children;
}

RECT RectIn(HWND parent, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

RECT DialogUnits::ToPixels(int left, int top, int width, int height) const {
  const int l = MulDiv(left, x, 4), t = MulDiv(top, y, 8);
  return {l, t, l + MulDiv(width, x, 4), t + MulDiv(height, y, 8)};
}

HFONT CreateDialogFont() {
  const HDC screen = GetDC(nullptr);
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = RUSSIAN_CHARSET;
  wcscpy(lf.lfFaceName, L"MS Sans Serif");
  ReleaseDC(nullptr, screen);
  return CreateFontIndirectW(&lf);
}

DialogUnits DialogFontUnits() {
  const HDC dc = CreateCompatibleDC(nullptr);
  const HFONT font = CreateDialogFont();
  const HGDIOBJ old = SelectObject(dc, font);
  static const wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE size;
  GetTextExtentPoint32W(dc, kAlphabet, 52, &size);
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  return {static_cast<int>((size.cx / 26 + 1) / 2), static_cast<int>(tm.tmHeight)};
}

namespace {
constexpr wchar_t kSettingsKey[] = L"Software\\Ormet\\T29 read events\\Init";
}  // namespace

void ClearSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }

void SetSetting(const wchar_t* name, DWORD value) {
  RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &value, sizeof value);
}

std::optional<DWORD> DwordSetting(const wchar_t* name) {
  DWORD value = 0, size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

std::optional<std::wstring> TextSetting(const wchar_t* name) {
  wchar_t text[1024];
  DWORD size = sizeof text;
  if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, text, &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(text);
}

std::wstring DefaultText(HKEY root, const std::wstring& key) {
  wchar_t text[1024];
  DWORD size = sizeof text;
  if (RegGetValueW(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
    return L"<missing>";
  return text;
}

std::string TempPath(const std::string& name) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  return WideToUtf8(folder) + name;
}

void WriteSampleFile(const std::string& path, std::size_t count) {
  CT7KEventList list;
  list.m_nPanelType = 1;
  list.m_nSerNum = 4660;
  list.m_nReadDay = 15, list.m_nReadMonth = 3, list.m_nReadYear = 2024;
  list.m_nReadHour = 10, list.m_nReadMin = 34, list.m_nReadSec = 12;
  list.m_texts = SampleMessageTexts(kSampleMessageCount);
  for (const CT7KEvent& ev : GenerateSampleEvents(count, 7)) list.AddTail(ev);
  if (!StoreEventFile(path, list).ok) throw std::runtime_error("cannot write " + path);
}

Pixels CaptureClient(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
  Pixels p;
  p.width = r.right - r.left;
  p.height = r.bottom - r.top;
  const HDC screen = GetDC(nullptr);
  const HDC dc = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), p.width, -p.height, 1, 32, BI_RGB};
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(dc, bitmap);
  BitBlt(dc, 0, 0, p.width, p.height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const auto* bgrx = static_cast<const std::uint8_t*>(bits);
  p.colours.resize(static_cast<std::size_t>(p.width) * p.height);
  for (std::size_t i = 0; i < p.colours.size(); ++i)
    p.colours[i] = RGB(bgrx[4 * i + 2], bgrx[4 * i + 1], bgrx[4 * i]);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return p;
}

bool SaveWindowPicture(HWND window, const std::wstring& path, HWND popup) {
  RECT r;
  GetWindowRect(window, &r);
  if (popup && IsWindowVisible(popup)) {
    RECT p;
    GetWindowRect(popup, &p);
    UnionRect(&r, &r, &p);
  }
  const int w = r.right - r.left, h = r.bottom - r.top;
  const HDC screen = GetDC(nullptr);
  const HDC dc = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB};
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(dc, bitmap);
  BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const DWORD stride = ((static_cast<DWORD>(w) * 3 + 3) & ~3u);
  const DWORD imageSize = stride * static_cast<DWORD>(h);
  BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader + imageSize), 0, 0,
                      static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader)};
  bool ok = false;
  if (FILE* f = _wfopen(path.c_str(), L"wb")) {
    ok = fwrite(&fh, sizeof fh, 1, f) == 1 && fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
         fwrite(bits, imageSize, 1, f) == 1;
    ok = fclose(f) == 0 && ok;
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return ok;
}

}  // namespace logwick::wintest
