#include "win/main_dlg.h"

#include "events/codec.h"
#include "win/resource_ids.h"

namespace logwick::win {

namespace {

const struct {
  WORD id;
  MainCommand command;
} kCommands[] = {
    {IDC_READ_FROM_PANEL, MainCommand::ReadFromPanel},
    {IDC_READ_FROM_FILE, MainCommand::ReadFromFile},
    {IDC_WRITE_TO_FILE, MainCommand::WriteToFile},
    {IDC_WRITE_TEXT, MainCommand::WriteText},
    {IDC_FILTER, MainCommand::Filter},
    {ID_SETTINGS, MainCommand::Settings},
    {ID_APP_ABOUT, MainCommand::About},
    {ID_HELP_FINDER, MainCommand::Help},
    {IDC_HELP_BUTTON, MainCommand::Help},
    {ID_APP_EXIT, MainCommand::Exit},
    {ID_ARCHIVE, MainCommand::Archive},
    {ID_FIND, MainCommand::Find},
    {ID_FIND_NEXT, MainCommand::FindNext},
    {ID_FIND_PREVIOUS, MainCommand::FindPrevious},
    {ID_FIND_CLOSE, MainCommand::FindClose},
    {IDC_FIND_NEXT, MainCommand::FindNext},
    {IDC_FIND_PREVIOUS, MainCommand::FindPrevious},
    {IDC_FIND_CLOSE, MainCommand::FindClose},
    {ID_PRINT, MainCommand::Print},
    {ID_STATISTICS, MainCommand::Statistics},
    {ID_INTEGRITY, MainCommand::Integrity},
};

// The commands of its own in "Операции", after "Записать текст ..." (0 for a
// separator).
const struct {
  UINT id;
  const char* text;
} kExtraItems[] = {
    {ID_ARCHIVE, "&Архив ..."},        {0, nullptr},
    {ID_FIND, "Найти ...\tCtrl+F"},    {ID_PRINT, "Печать ...\tCtrl+P"},
    {ID_STATISTICS, "Статистика ..."}, {ID_INTEGRITY, "Проверка журнала ..."},
};
constexpr int kExtrasAt = 4;  // menu position after "Записать текст ..."

constexpr int kLineIds[] = {IDC_COUNT_LINE,   IDC_READ_LINE,   IDC_PANEL_LINE,
                            IDC_VERSION_LINE, IDC_CONFIG_LINE, IDC_FILTER_LINE};

}  // namespace

void MainDlg::OnInit() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const auto icon = [instance](int size) {
    return reinterpret_cast<LPARAM>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size, size, 0));
  };
  SendMessageW(m_window, WM_SETICON, ICON_BIG, icon(GetSystemMetrics(SM_CXICON)));
  SendMessageW(m_window, WM_SETICON, ICON_SMALL, icon(GetSystemMetrics(SM_CXSMICON)));
  const HMENU operations = GetSubMenu(GetMenu(m_window), 0);
  int at = kExtrasAt;
  for (const auto& item : kExtraItems) {
    const std::wstring text = item.text ? logwick::Utf8ToWide(item.text) : std::wstring();
    InsertMenuW(operations, static_cast<UINT>(at++), MF_BYPOSITION | (item.id ? MF_STRING : MF_SEPARATOR),
                item.id, item.text ? text.c_str() : nullptr);
  }
  m_accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
  RECT window;
  GetWindowRect(m_window, &window);
  m_plainHeight = window.bottom - window.top;
  m_findBar.Create(m_window, IDD_FIND_BAR);
}

EvListCtrl& MainDlg::List() const { return *EvListCtrl::From(Item(IDC_EVENT_LIST)); }

void MainDlg::SetInfoLines(const InfoLines& lines) const {
  for (std::size_t i = 0; i < lines.size(); ++i) SetText(kLineIds[i], lines[i]);
}

void MainDlg::ShowFindBar(bool shown) {
  const HWND bar = m_findBar.Window();
  if (shown && !m_findShown) {
    // Below the list, the window growing by the bar's height and a margin.
    RECT list, units{0, 3, 0, 4};
    GetWindowRect(Item(IDC_EVENT_LIST), &list);
    MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&list), 2);
    MapDialogRect(m_window, &units);
    RECT barRect;
    GetWindowRect(bar, &barRect);
    const int barHeight = barRect.bottom - barRect.top;
    SetWindowPos(bar, nullptr, list.left, list.bottom + units.top, list.right - list.left, barHeight,
                 SWP_NOZORDER);
    RECT window;
    GetWindowRect(m_window, &window);
    SetWindowPos(m_window, nullptr, 0, 0, window.right - window.left,
                 m_plainHeight + units.top + barHeight + units.bottom, SWP_NOMOVE | SWP_NOZORDER);
    ShowWindow(bar, SW_SHOW);
  } else if (!shown && m_findShown) {
    ShowWindow(bar, SW_HIDE);
    RECT window;
    GetWindowRect(m_window, &window);
    SetWindowPos(m_window, nullptr, 0, 0, window.right - window.left, m_plainHeight,
                 SWP_NOMOVE | SWP_NOZORDER);
    SetFocus(Item(IDC_EVENT_LIST));
  }
  m_findShown = shown;
  if (shown) {
    SetFocus(m_findBar.Item(IDC_FIND_TEXT));
    SendMessageW(m_findBar.Item(IDC_FIND_TEXT), EM_SETSEL, 0, -1);
  }
}

void MainDlg::SetFindCount(const std::string& text) const { m_findBar.SetText(IDC_FIND_COUNT, text); }

bool MainDlg::PreTranslate(MSG& msg) {
  if (msg.message == WM_KEYDOWN && msg.hwnd == m_findBar.Item(IDC_FIND_TEXT)) {
    // Enter steps through the rows found; it must not reach the default button.
    if (msg.wParam == VK_RETURN) {
      m_acts.Command(GetKeyState(VK_SHIFT) < 0 ? MainCommand::FindPrevious : MainCommand::FindNext);
      return true;
    }
    if (msg.wParam == VK_ESCAPE) {
      m_acts.Command(MainCommand::FindClose);
      return true;
    }
  }
  return m_accelerators && GetAncestor(msg.hwnd, GA_ROOT) == m_window &&
         TranslateAcceleratorW(m_window, m_accelerators, &msg);
}

bool MainDlg::OnCommand(WORD id, WORD code) {
  if (id == IDC_FIND_TEXT && code == EN_CHANGE) {
    m_acts.FindTextChanged(m_findBar.Text(IDC_FIND_TEXT));
    return true;
  }
  if (id == IDCANCEL || id == IDOK) return true;  // Esc never closes the window
  for (const auto& c : kCommands)
    if (c.id == id) {
      m_acts.Command(c.command);
      return true;
    }
  return false;
}

bool MainDlg::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
  if ((message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) || message == WM_CLOSE) {
    m_acts.Command(MainCommand::Exit);
    result = 0;
    return true;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return false;
}

}  // namespace logwick::win
