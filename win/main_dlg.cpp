#include "win/main_dlg.h"

#include <shellapi.h>

#include "desk/control_ids.h"
#include "events/codec.h"
#include "win/archive_dlg.h"
#include "win/clipboard.h"
#include "win/fetchlog_dlg.h"
#include "win/file_dialogs.h"
#include "win/filter_dlg.h"
#include "win/integrity_wnd.h"
#include "win/message_box.h"
#include "win/settings_dlg.h"
#include "win/small_dialogs.h"
#include "win/statistics_wnd.h"
#include "win/ui_thread.h"

namespace logwick::win {

namespace {

using logwick::MainWindowModel;

// The window's commands: buttons, menu items, accelerators and the find bar's
// buttons, each the model's act.
const struct {
  WORD id;
  void (*act)(MainWindowModel&);
} kCommands[] = {
    {IDC_READ_FROM_PANEL, [](MainWindowModel& m) { m.OnReadFromPanel(); }},
    {IDC_READ_FROM_FILE, [](MainWindowModel& m) { m.OnReadFromFile(); }},
    {IDC_WRITE_TO_FILE, [](MainWindowModel& m) { m.OnWriteToFile(); }},
    {IDC_WRITE_TEXT, [](MainWindowModel& m) { m.OnWriteText(); }},
    {IDC_FILTER, [](MainWindowModel& m) { m.OnFilter(); }},
    {IDM_SETTINGS, [](MainWindowModel& m) { m.OnSettings(); }},
    {IDM_ABOUT, [](MainWindowModel& m) { m.OnAbout(); }},
    {IDM_HELP, [](MainWindowModel& m) { m.OnHelp(); }},
    {IDC_HELP_BUTTON, [](MainWindowModel& m) { m.OnHelp(); }},
    {IDM_EXIT, [](MainWindowModel& m) { m.OnExit(); }},
    {IDM_ARCHIVE, [](MainWindowModel& m) { m.OnArchive(); }},
    {IDM_FIND, [](MainWindowModel& m) { m.OnFind(); }},
    {IDM_FIND_NEXT, [](MainWindowModel& m) { m.FindNext(); }},
    {IDM_FIND_PREVIOUS, [](MainWindowModel& m) { m.FindPrevious(); }},
    {IDM_PRINT, [](MainWindowModel& m) { m.OnPrint(); }},
    {IDM_STATISTICS, [](MainWindowModel& m) { m.OnStatistics(); }},
    {IDM_INTEGRITY, [](MainWindowModel& m) { m.OnIntegrity(); }},
    {IDM_SELECT_ALL, [](MainWindowModel& m) { m.SelectAll(); }},
    {IDM_COPY, [](MainWindowModel& m) { m.CopySelection(); }},
    {IDC_FIND_NEXT, [](MainWindowModel& m) { m.FindNext(); }},
    {IDC_FIND_PREVIOUS, [](MainWindowModel& m) { m.FindPrevious(); }},
    {IDC_FIND_CLOSE, [](MainWindowModel& m) { m.CloseFind(); }},
    // Esc closes the find bar; it never closes the window.
    {IDCANCEL, [](MainWindowModel& m) { m.CloseFind(); }},
};

// The commands of its own in "Операции", after "Записать текст ..." (0 for a
// separator).
const struct {
  UINT id;
  const char* text;
} kExtraItems[] = {
#ifdef LOGWICK_WITH_ARCHIVE
    {IDM_ARCHIVE, "&Архив ..."},
#endif
    {0, nullptr},
    {IDM_FIND, "Найти ...\tCtrl+F"},
    {IDM_PRINT, "Печать ...\tCtrl+P"},
    {IDM_STATISTICS, "Статистика ..."},
    {IDM_INTEGRITY, "Проверка журнала ..."},
};
constexpr int kExtrasAt = 4;  // menu position after "Записать текст ..."

// The information lines' controls, by InfoLine.
constexpr int kLineIds[logwick::kInfoLineCount] = {IDC_COUNT_LINE,   IDC_READ_LINE,   IDC_PANEL_LINE,
                                                   IDC_VERSION_LINE, IDC_CONFIG_LINE, IDC_FILTER_LINE};

}  // namespace

MainDlg::MainDlg() : m_model(*this, m_profile) {}

MainDlg::~MainDlg() = default;

bool MainDlg::Start(const std::string& fileToOpen) {
  if (!Create(nullptr, IDD_MAIN)) return false;
  m_owners[static_cast<std::size_t>(logwick::MsgOwner::Main)] = this;
  List().SetRows(&m_model);
  m_model.OnInitDialog(fileToOpen);
  return true;
}

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

bool MainDlg::PreTranslate(MSG& msg) {
  if (msg.message == WM_KEYDOWN && msg.hwnd == m_findBar.Item(IDC_FIND_TEXT)) {
    // Enter steps through the rows found; it must not reach the default button.
    if (msg.wParam == VK_RETURN) {
      if (GetKeyState(VK_SHIFT) < 0)
        m_model.FindPrevious();
      else
        m_model.FindNext();
      return true;
    }
    if (msg.wParam == VK_ESCAPE) {
      m_model.CloseFind();
      return true;
    }
  }
  return m_accelerators && GetAncestor(msg.hwnd, GA_ROOT) == m_window &&
         TranslateAcceleratorW(m_window, m_accelerators, &msg);
}

bool MainDlg::OnCommand(WORD id, WORD code) {
  if (id == IDC_FIND_TEXT) {
    if (code == EN_CHANGE) m_model.FindText(m_findBar.Text(IDC_FIND_TEXT));
    return true;
  }
  for (const auto& c : kCommands)
    if (c.id == id) {
      c.act(m_model);
      return true;
    }
  return id == IDOK;  // Enter on no button: the default button's command comes instead
}

bool MainDlg::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
  // The close box asks the model, which may keep the window for a reading
  // that nothing else holds.
  if ((message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) || message == WM_CLOSE) {
    m_model.OnExit();
    result = 0;
    return true;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return false;
}

// --- IDeskFace ---

HWND MainDlg::OwnerWindow(logwick::MsgOwner owner) const {
  if (owner == logwick::MsgOwner::None) return nullptr;
  const Dialog* dialog = m_owners[static_cast<std::size_t>(owner)];
  return dialog && dialog->Window() ? dialog->Window() : m_window;
}

template <class Run>
auto MainDlg::RunOwned(logwick::MsgOwner owner, const Dialog& dialog, Run run) {
  const Dialog*& slot = m_owners[static_cast<std::size_t>(owner)];
  const Dialog* const before = slot;
  slot = &dialog;
  const auto result = run();
  slot = before;
  return result;
}

void MainDlg::ShowMessage(const logwick::Message& message) {
  win::ShowMessage(OwnerWindow(message.owner), message);
}

bool MainDlg::AskYesNo(const logwick::Message& message) {
  return win::AskYesNo(OwnerWindow(message.owner), message);
}

std::optional<std::string> MainDlg::ChooseFile(const logwick::FileRequest& request) {
  return AskFileName(m_window, request);
}

bool MainDlg::RunFilterDialog(logwick::FilterDialog& model) {
  FilterDlg dlg(model);
  return RunOwned(logwick::MsgOwner::Filter, dlg, [&] { return dlg.Run(m_window); });
}

bool MainDlg::RunSettingsDialog(logwick::SettingsDialog& model) {
  SettingsDlg dlg(model);
  return RunOwned(logwick::MsgOwner::Settings, dlg, [&] { return dlg.Run(m_window); });
}

bool MainDlg::RunReportOptions(logwick::ReportScope& scope) { return win::RunReportOptions(m_window, scope); }

void MainDlg::RunReadingDialog(logwick::ReadingSession& session) {
  FetchlogDlg dlg(session);
  RunOwned(logwick::MsgOwner::Reading, dlg, [&] { return dlg.Run(m_window); });
}

bool MainDlg::RunArchiveWindow(logwick::ArchiveWindowModel& archive) {
#ifdef LOGWICK_WITH_ARCHIVE
  ArchiveDlg dlg(archive);
  return RunOwned(logwick::MsgOwner::Archive, dlg, [&] { return dlg.Run(m_window); });
#else
  (void)archive;
  return false;
#endif
}

void MainDlg::Print() {
  wchar_t folder[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, folder);
  const std::string path = logwick::WideToUtf8(std::wstring(folder, n)) + "logwick-report.html";
  m_model.PrintThrough(path, [this](const std::string& file) {
    // The default browser prints it; its own print dialog takes over.
    const auto opened = reinterpret_cast<INT_PTR>(
        ShellExecuteW(m_window, L"open", logwick::Utf8ToWide(file).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return opened > 32;
  });
}

void MainDlg::OpenWindow(logwick::DeskWindow window) {
  switch (window) {
    case logwick::DeskWindow::About:
      RunAboutBox(m_window);
      return;
    case logwick::DeskWindow::Help:
      RunHelp(m_window);
      return;
    case logwick::DeskWindow::PrintPreview:
      Print();
      return;
    case logwick::DeskWindow::FindBar:
      ShowFindBar(true);
      return;
    case logwick::DeskWindow::Statistics:
      if (!m_statistics) {
        m_statistics = std::make_unique<StatisticsWnd>([this](std::size_t day) { m_model.GoToDay(day); });
        m_statistics->Create(m_window, IDD_STATISTICS);
      }
      ShowWindow(m_statistics->Window(), SW_SHOW);
      SetForegroundWindow(m_statistics->Window());
      break;
    case logwick::DeskWindow::Integrity:
      if (!m_integrity) {
        m_integrity =
            std::make_unique<IntegrityWnd>([this](std::size_t finding) { m_model.GoToFinding(finding); });
        m_integrity->Create(m_window, IDD_INTEGRITY);
      }
      ShowWindow(m_integrity->Window(), SW_SHOW);
      SetForegroundWindow(m_integrity->Window());
      break;
  }
  UpdateWindows();
}

void MainDlg::UpdateWindows() {
  if (m_statistics && IsWindowVisible(m_statistics->Window()))
    m_statistics->SetStatistics(m_model.Statistics());
  if (m_integrity && IsWindowVisible(m_integrity->Window())) m_integrity->SetFindings(m_model.Findings());
}

void MainDlg::Changed(unsigned what) {
  if (!m_window) return;
  if (what & logwick::kChangedRows) List().RowsChanged();
  if (what & (logwick::kChangedSelection | logwick::kChangedFound)) List().Redraw();
  if (what & logwick::kChangedLines)
    for (std::size_t i = 0; i < logwick::kInfoLineCount; ++i)
      SetText(kLineIds[i], m_model.Line(static_cast<logwick::InfoLine>(i)));
  if (what & logwick::kChangedFound) {
    m_findBar.SetText(IDC_FIND_COUNT, m_model.Find().CountText());
    if (!m_model.Find().IsOpen()) ShowFindBar(false);
  }
  if (what & logwick::kChangedWindows) UpdateWindows();
}

void MainDlg::ShowRow(std::size_t row, logwick::ScrollTo how) { List().ShowRow(row, how); }

std::size_t MainDlg::TopRow() const { return List().TopRow(); }

void MainDlg::CopyText(const std::string& text) { win::CopyText(m_window, text); }

void MainDlg::CloseMainWindow() { DestroyWindow(m_window); }

void MainDlg::Post(std::function<void()> call) { PostToInterfaceThread(std::move(call)); }

}  // namespace logwick::win
