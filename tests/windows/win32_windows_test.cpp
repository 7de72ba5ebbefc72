// logwick.exe's windows driven from another process under Wine: each dialog's
// template (caption, size, controls with their ids, classes, texts and
// places, in tab order), the menu, and the event list read with a list box's
// messages, with LANG=C.UTF-8 so that the system code page is not Windows-1251.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>

#include "desk/control_ids.h"
#include "events/codec.h"
#include "lists/event_file.h"
#include "lists/event_statistics.h"
#include "lists/report.h"
#include "tests/windows/gui_driver.h"
#include "win/ev_list_ctrl.h"

using namespace logwick::wintest;

namespace {

constexpr int kNoId = -1;  // a static without an id of its own
constexpr DWORD kListedPort = LOGWICK_WINE_LISTED_PORT;

struct ControlSpec {
  int id;
  const wchar_t* cls;
  const wchar_t* text;  // nullptr: not compared
  int x, y, w,
      h;  // dialog units; 0: not compared (a combo box's height is its open list's, an icon's size its own)
};

struct DialogSpec {
  int templateId;
  int openCommand;  // sent to the main window; 0: the main window itself
  int closeCommand;
  const wchar_t* caption;
  int w, h;
  DWORD style;  // bits the window must have
  std::vector<ControlSpec> controls;
};

const std::vector<DialogSpec>& Dialogs() {
  static const std::vector<DialogSpec> dialogs = {
      {IDD_MAIN,
       0,
       0,
       L"Просмотр событий прибора ТАРВЕЛ-7К",
       401,
       272,
       WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
       {{IDC_EVENT_LIST, L"LogwickEventList", nullptr, 7, 7, 273, 258},
        {IDC_COUNT_LINE, L"Static", nullptr, 288, 17, 106, 8},
        {IDC_READ_LINE, L"Static", nullptr, 288, 31, 106, 8},
        {IDC_PANEL_LINE, L"Static", nullptr, 288, 45, 106, 8},
        {IDC_VERSION_LINE, L"Static", nullptr, 288, 59, 106, 8},
        {IDC_CONFIG_LINE, L"Static", nullptr, 288, 73, 106, 8},
        {IDC_FILTER_LINE, L"Static", nullptr, 288, 87, 106, 8},
        {IDC_FILTER, L"Button", L"Фильтр", 311, 100, 57, 20},
        {IDC_READ_FROM_PANEL, L"Button", L"Прочитать из прибора", 287, 132, 107, 21},
        {IDC_READ_FROM_FILE, L"Button", L"Прочитать из файла ...", 287, 161, 107, 21},
        {IDC_WRITE_TO_FILE, L"Button", L"Записать в файл ...", 287, 190, 107, 21},
        {IDC_WRITE_TEXT, L"Button", L"Записать текст ...", 287, 219, 107, 21},
        {IDC_HELP_BUTTON, L"Button", L"&Справка", 287, 251, 50, 14},
        {IDM_EXIT, L"Button", L"Вы&ход", 344, 251, 50, 14}}},
      {IDD_READING,
       IDC_READ_FROM_PANEL,
       IDCANCEL,
       L"",
       186,
       114,
       WS_POPUP,
       {{IDC_READING_STATUS, L"Edit", nullptr, 7, 7, 172, 12},
        {IDC_READING_VERSION, L"Edit", L"", 7, 20, 172, 12},
        {IDC_READING_COUNT, L"Edit", L"", 7, 35, 172, 12},
        {IDC_READING_LABEL, L"Static", L"Читается:", 7, 50, 34, 11},
        {IDC_READING_EVENT, L"Edit", L"", 44, 50, 135, 12},
        {IDC_READING_PROGRESS, L"msctls_progress32", nullptr, 7, 72, 172, 12},
        {IDC_READING_STOP, L"Button", L"Отмена", 68, 93, 50, 14}}},
      {IDD_SETTINGS,
       IDM_SETTINGS,
       IDCANCEL,
       L"Настройка",
       223,
       85,
       WS_CAPTION | WS_SYSMENU,
       {{IDOK, L"Button", L"OK", 51, 64, 50, 14},
        {IDCANCEL, L"Button", L"Отмена", 122, 64, 50, 14},
        {kNoId, L"Static", L"Номер СОМ порта для связи с прибором", 7, 9, 140, 8},
        {IDC_SETTINGS_PORT, L"ComboBox", nullptr, 164, 7, 52, 0},
        {kNoId, L"Static", L"Серийный номер прибора", 7, 25, 86, 8},
        {IDC_SETTINGS_SERIAL, L"Edit", nullptr, 95, 23, 42, 12},
        {IDC_SETTINGS_AUTO, L"Button", L"Авто", 149, 24, 32, 10},
        {IDC_SETTINGS_GAZ, L"Button", L"Работа в формате АСУПЗ ГАЗ", 7, 40, 209, 14}}},
      {IDD_FILTER,
       IDC_FILTER,
       IDCANCEL,
       L"Фильтр",
       213,
       183,
       WS_CAPTION | WS_SYSMENU,
       {{IDOK, L"Button", L"OK", 156, 142, 50, 14},
        {IDCANCEL, L"Button", L"Отмена", 156, 162, 50, 14},
        {kNoId, L"Static", L"Показывать события:", 7, 7, 199, 8},
        {IDC_FILTER_DATE_FROM, L"SysDateTimePick32", nullptr, 75, 19, 47, 11},
        {kNoId, L"Static", L"до", 129, 21, 9, 8},
        {IDC_FILTER_DATE_TO, L"SysDateTimePick32", nullptr, 145, 18, 49, 12},
        {IDC_FILTER_BEAMS, L"Button", L"изменения в лучах с", 15, 42, 83, 10},
        {IDC_FILTER_FIRST_BEAM, L"Edit", L"0", 103, 41, 23, 12},
        {kNoId, L"Static", L"до", 131, 43, 9, 8},
        {IDC_FILTER_LAST_BEAM, L"Edit", L"255", 145, 41, 23, 12},
        {IDC_FILTER_DEVICES, L"Button", L"изменения в устройствах с", 15, 64, 103, 8},
        {IDC_FILTER_MESSAGES, L"Button", L"выданные сообщения", 15, 84, 171, 8},
        {IDC_FILTER_MODES, L"Button", L"изменения в режимах работы ПКП-1", 15, 98, 172, 8},
        {IDC_FILTER_FIRST_DEVICE, L"Edit", L"0", 127, 62, 23, 12},
        {kNoId, L"Static", L"до", 155, 64, 9, 8},
        {IDC_FILTER_LAST_DEVICE, L"Edit", L"255", 169, 62, 23, 12},
        {IDC_FILTER_UNITS, L"Button", L"изменения в ПР4545", 15, 112, 172, 8},
        {IDC_FILTER_SLAVES, L"Button", L"изменения в ведомых Тарвел-7К", 15, 126, 172, 8},
        {IDC_FILTER_PERIOD, L"Button", L"за период с", 15, 19, 55, 10}}},
      {IDD_REPORT_OPTIONS,
       IDC_WRITE_TEXT,
       IDCANCEL,
       L"Параметры",
       187,
       57,
       WS_CAPTION | WS_SYSMENU,
       {{IDOK, L"Button", L"OK", 39, 36, 50, 14},
        {IDCANCEL, L"Button", L"Отмена", 101, 36, 50, 14},
        {IDC_SCOPE_FILTERED, L"Button", L"С учетом установленного фильтра", 7, 7, 173, 8},
        {IDC_SCOPE_ALL, L"Button", L"Все события", 7, 19, 125, 8}}},
      {IDD_ABOUT,
       IDM_ABOUT,
       IDOK,
       L"О программе",
       195,
       97,
       WS_CAPTION,
       {{kNoId, L"Static", nullptr, 7, 7, 0, 0},
        {kNoId, L"Static", L"Программа для чтения и просмотра зарегистрированных событий прибора ТАРВЕЛ-7К",
         40, 7, 148, 26},
        {kNoId, L"Static", nullptr, 40, 36, 148, 8},
        {kNoId, L"Static", nullptr, 40, 48, 148, 8},
        {kNoId, L"Static", L"Версия 1.3", 40, 60, 148, 8},
        {IDOK, L"Button", L"OK", 72, 76, 50, 14}}},
  };
  return dialogs;
}

void ExpectRect(HWND parent, HWND child, const DialogUnits& du, int x, int y, int w, int h,
                const std::string& what) {
  const RECT want = du.ToPixels(x, y, w, h);
  const RECT got = RectIn(parent, child);
  EXPECT_EQ(got.left, want.left) << what;
  EXPECT_EQ(got.top, want.top) << what;
  if (w > 0) {
    EXPECT_EQ(got.right - got.left, want.right - want.left) << what;
  }
  if (h > 0) {
    EXPECT_EQ(got.bottom - got.top, want.bottom - want.top) << what;
  }
}

class Windows : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_bigFile = TempPath("logwick-100000.t7kev");
    WriteSampleFile(s_bigFile, 100000);
  }
  static inline std::string s_bigFile;
};

TEST_F(Windows, EveryTemplateHasItsCaptionSizeAndControlsInTabOrder) {
  // The test only means something when the system's code page is not Cyrillic.
  ASSERT_NE(GetACP(), 1251u);
  // A port for the reading dialog: one the system lists, with no panel behind it.
  ClearSettings();
  SetSetting(L"PortNumber", kListedPort);
  Program program;
  const HWND main = program.Window(IDD_MAIN);
  ASSERT_TRUE(main);
  const DialogUnits du = DialogFontUnits();
  for (const DialogSpec& d : Dialogs()) {
    SCOPED_TRACE(d.templateId);
    if (d.openCommand) Command(main, d.openCommand);
    const HWND dlg = program.Window(d.templateId);
    ASSERT_TRUE(dlg);
    EXPECT_EQ(TextOf(dlg), d.caption);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(dlg, GWL_STYLE)) & d.style, d.style);
    RECT client;
    GetClientRect(dlg, &client);
    const RECT size = du.ToPixels(0, 0, d.w, d.h);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    const std::vector<HWND> children = Children(dlg);
    ASSERT_GE(children.size(), d.controls.size());
    for (std::size_t i = 0; i < d.controls.size(); ++i) {
      const ControlSpec& c = d.controls[i];
      const std::string what = "control " + std::to_string(i) + " (id " + std::to_string(c.id) + ")";
      EXPECT_EQ(GetDlgCtrlID(children[i]), c.id) << what;
      EXPECT_EQ(ClassOf(children[i]), c.cls) << what;
      if (c.text) {
        EXPECT_EQ(TextOf(children[i]), c.text) << what;
      }
      ExpectRect(dlg, children[i], du, c.x, c.y, c.w, c.h, what);
    }
    if (d.closeCommand) {
      Command(dlg, d.closeCommand);
      // The reading ends with its message when the port fails.
      if (d.templateId == IDD_READING)
        if (const Box box = MessageBoxOf(program.Pid(), 3000)) Command(box.window, IDOK);
      EXPECT_TRUE(Program::Gone(dlg));
    }
  }
  // The main window keeps its own: Esc does nothing, the exit command ends the program.
  Command(main, IDCANCEL);
  Sleep(200);
  EXPECT_TRUE(IsWindowVisible(main));
  Command(main, IDM_EXIT);
  EXPECT_TRUE(program.Exited());
}

TEST_F(Windows, MenuHoldsTheCommandsOfTheTemplate) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring path(exe);
  path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"logwick.exe";
  const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(module);
  const HMENU menu = LoadMenuW(module, MAKEINTRESOURCEW(IDR_MAIN_MENU));
  ASSERT_TRUE(menu);
  // Each popup's items as "id text", a separator as "-".
  auto items = [](HMENU m) {
    std::wstring all;
    for (int i = 0; i < GetMenuItemCount(m); ++i) {
      wchar_t text[128] = L"";
      MENUITEMINFOW mi{sizeof mi, MIIM_ID | MIIM_FTYPE | MIIM_STRING};
      mi.dwTypeData = text;
      mi.cch = 128;
      GetMenuItemInfoW(m, static_cast<UINT>(i), TRUE, &mi);
      all += (mi.fType & MFT_SEPARATOR) ? L"-|" : std::to_wstring(mi.wID) + L" " + text + L"|";
    }
    return all;
  };
  const wchar_t* const popups[][2] = {
      {L"&Операции",
       L"1000 &Прочитать из прибора|1001 Про&читать из файла ...|1002 &Записать в файл ...|"
       L"1003 Записать текст ...|-|32781 В&ыход|"},
      {L"Серв&ис", L"32779 Настройка|"},
      {L"&?", L"32777 Справка|-|32780 О программе ...|"},
  };
  ASSERT_EQ(GetMenuItemCount(menu), 3);
  for (int i = 0; i < 3; ++i) {
    wchar_t title[64];
    GetMenuStringW(menu, static_cast<UINT>(i), title, 64, MF_BYPOSITION);
    EXPECT_STREQ(title, popups[i][0]);
    EXPECT_EQ(items(GetSubMenu(menu, i)), popups[i][1]);
  }
  DestroyMenu(menu);
  FreeLibrary(module);
}

TEST_F(Windows, EventListAnswersListBoxMessagesAcrossProcesses) {
  CT7KEventList list;
  ASSERT_EQ(logwick::LoadEventFile(s_bigFile, list).status, logwick::LoadStatus::Loaded);
  Program program(L"\"" + logwick::Utf8ToWide(s_bigFile) + L"\"");
  const HWND main = program.Window(IDD_MAIN);
  ASSERT_TRUE(main);
  const HWND rows = GetDlgItem(main, IDC_EVENT_LIST);
  EXPECT_TRUE(GetWindowLongW(rows, GWL_STYLE) & LBS_HASSTRINGS);
  ASSERT_EQ(SendMessageW(rows, LB_GETCOUNT, 0, 0), 100000);
  for (int row : {0, 1, 50000, 99999}) {
    std::string want;
    logwick::AppendEventLine(want, list[static_cast<std::size_t>(row)], list.m_texts);
    EXPECT_EQ(RowText(rows, row), logwick::Utf8ToWide(want)) << row;
  }
  EXPECT_EQ(SendMessageW(rows, LB_GETTEXTLEN, 100000, 0), LB_ERR);
  EXPECT_EQ(SendMessageW(rows, LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessageW(rows, LB_SETCURSEL, 70000, 0), 70000);
  EXPECT_EQ(SendMessageW(rows, LB_GETCURSEL, 0, 0), 70000);
  EXPECT_EQ(SendMessageW(rows, LB_GETSEL, 70000, 0), 1);
  const LRESULT top = SendMessageW(rows, LB_GETTOPINDEX, 0, 0);
  EXPECT_LE(top, 70000);
  EXPECT_GT(top, 69950);
  // Keys move the current row as in a list box.
  auto key = [rows](WPARAM k) {
    SendMessageW(rows, WM_KEYDOWN, k, 0);
    return SendMessageW(rows, LB_GETCURSEL, 0, 0);
  };
  EXPECT_EQ(key(VK_DOWN), 70001);
  EXPECT_EQ(key(VK_UP), 70000);
  EXPECT_GT(key(VK_NEXT), 70005);
  EXPECT_EQ(key(VK_END), 99999);
  EXPECT_GT(SendMessageW(rows, LB_GETTOPINDEX, 0, 0), 99950);
  EXPECT_EQ(key(VK_HOME), 0);
  EXPECT_EQ(SendMessageW(rows, LB_GETTOPINDEX, 0, 0), 0);
  // The first screens and the last one were measured, not the list.
  Sleep(300);
  const LRESULT measured =
      SendMessageW(rows, logwick::win::kMsgListFigure, logwick::win::kFigureMeasurements, 0);
  EXPECT_GT(measured, 0);
  EXPECT_LT(measured, 1000);
  EXPECT_GE(SendMessageW(rows, logwick::win::kMsgListFigure, logwick::win::kFigureFirstPaintMs, 0), 0);
}

TEST_F(Windows, RowsAreAsTallAsTheirWrappedTextAndRewrapOnResize) {
  CT7KEventList list;
  ASSERT_EQ(logwick::LoadEventFile(s_bigFile, list).status, logwick::LoadStatus::Loaded);
  Program program(L"\"" + logwick::Utf8ToWide(s_bigFile) + L"\"");
  const HWND main = program.Window(IDD_MAIN);
  ASSERT_TRUE(main);
  const HWND rows = GetDlgItem(main, IDC_EVENT_LIST);
  const HFONT font = CreateDialogFont();
  const HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, font);
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  // Height at the list's client width: the wrapped text + font height / 8 + 1.
  auto expected = [&](int row) {
    RECT client;
    GetClientRect(rows, &client);
    std::string text;
    logwick::AppendEventLine(text, list[static_cast<std::size_t>(row)], list.m_texts);
    const std::wstring w = logwick::Utf8ToWide(text);
    RECT r{0, 0, client.right, 0};
    DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return static_cast<int>(r.bottom) + tm.tmHeight / 8 + 1;
  };
  int wrapped = 0;
  for (int row = 0; row < 40; ++row) {
    EXPECT_EQ(SendMessageW(rows, LB_GETITEMHEIGHT, static_cast<WPARAM>(row), 0), expected(row)) << row;
    wrapped += expected(row) > tm.tmHeight * 2;
  }
  EXPECT_GT(wrapped, 0);  // some rows take more than one line

  // Narrower: the rows shown are measured again, not the whole list.
  const LRESULT before =
      SendMessageW(rows, logwick::win::kMsgListFigure, logwick::win::kFigureMeasurements, 0);
  RECT r = RectIn(main, rows);
  SetWindowPos(rows, nullptr, 0, 0, (r.right - r.left) / 2, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
  RedrawWindow(rows, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  for (int row = 0; row < 10; ++row)
    EXPECT_EQ(SendMessageW(rows, LB_GETITEMHEIGHT, static_cast<WPARAM>(row), 0), expected(row)) << row;
  const LRESULT after =
      SendMessageW(rows, logwick::win::kMsgListFigure, logwick::win::kFigureMeasurements, 0);
  EXPECT_LT(after - before, 1000);
  DeleteDC(dc);
  DeleteObject(font);
}

}  // namespace
