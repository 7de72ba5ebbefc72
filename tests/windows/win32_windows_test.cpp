// logwick.exe's windows driven from another process under Wine, whose system
// code page (LANG=C.UTF-8) is not Windows-1251: the templates, the menu, the
// event list as a list box, and one path through each window and command to
// the model (tests/desk holds what the model makes of each).
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <array>
#include <set>
#include <span>

#include "lists/event_statistics.h"
#include "lists/integrity_check.h"
#include "lists/report.h"
#include "tests/windows/gui_driver.h"
#include "win/ev_list_ctrl.h"

using namespace logwick::wintest;

namespace {

constexpr int kNoId = -1;  // a static without an id of its own

// A control in tab order; its place and size in dialog units, 0 where the
// size is not compared (a combo box's height is its open list's, an icon's
// size its own).
struct Control {
  int id;
  const wchar_t *cls, *text;  // text nullptr: not compared
  int x, y, w, h;
};

const Control kMain[] = {{IDC_EVENT_LIST, L"LogwickEventList", nullptr, 7, 7, 273, 258},
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
                         {IDM_EXIT, L"Button", L"Вы&ход", 344, 251, 50, 14}};
const Control kReading[] = {{IDC_READING_STATUS, L"Edit", nullptr, 7, 7, 172, 12},
                            {IDC_READING_VERSION, L"Edit", L"", 7, 20, 172, 12},
                            {IDC_READING_COUNT, L"Edit", L"", 7, 35, 172, 12},
                            {IDC_READING_LABEL, L"Static", L"Читается:", 7, 50, 34, 11},
                            {IDC_READING_EVENT, L"Edit", L"", 44, 50, 135, 12},
                            {IDC_READING_PROGRESS, L"msctls_progress32", nullptr, 7, 72, 172, 12},
                            {IDC_READING_STOP, L"Button", L"Отмена", 68, 93, 50, 14}};
const Control kSettings[] = {{IDOK, L"Button", L"OK", 51, 64, 50, 14},
                             {IDCANCEL, L"Button", L"Отмена", 122, 64, 50, 14},
                             {kNoId, L"Static", L"Номер СОМ порта для связи с прибором", 7, 9, 140, 8},
                             {IDC_SETTINGS_PORT, L"ComboBox", nullptr, 164, 7, 52, 0},
                             {kNoId, L"Static", L"Серийный номер прибора", 7, 25, 86, 8},
                             {IDC_SETTINGS_SERIAL, L"Edit", nullptr, 95, 23, 42, 12},
                             {IDC_SETTINGS_AUTO, L"Button", L"Авто", 149, 24, 32, 10},
                             {IDC_SETTINGS_GAZ, L"Button", L"Работа в формате АСУПЗ ГАЗ", 7, 40, 209, 14}};
const Control kFilter[] = {{IDOK, L"Button", L"OK", 156, 142, 50, 14},
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
                           {IDC_FILTER_PERIOD, L"Button", L"за период с", 15, 19, 55, 10}};
const Control kReportOptions[] = {
    {IDOK, L"Button", L"OK", 39, 36, 50, 14},
    {IDCANCEL, L"Button", L"Отмена", 101, 36, 50, 14},
    {IDC_SCOPE_FILTERED, L"Button", L"С учетом установленного фильтра", 7, 7, 173, 8},
    {IDC_SCOPE_ALL, L"Button", L"Все события", 7, 19, 125, 8}};
const Control kAbout[] = {
    {kNoId, L"Static", nullptr, 7, 7, 0, 0},
    {kNoId, L"Static", L"Программа для чтения и просмотра зарегистрированных событий прибора ТАРВЕЛ-7К", 40,
     7, 148, 26},
    {kNoId, L"Static", nullptr, 40, 36, 148, 8},
    {kNoId, L"Static", nullptr, 40, 48, 148, 8},
    {kNoId, L"Static", L"Версия 1.3", 40, 60, 148, 8},
    {IDOK, L"Button", L"OK", 72, 76, 50, 14}};

struct Dialog {
  int templateId, open, close;  // commands: open sent to the main window (0: the main window itself)
  const wchar_t* caption;
  int w, h;
  DWORD style;  // bits the window must have
  std::span<const Control> controls;
};
const Dialog kDialogs[] = {
    {IDD_MAIN, 0, 0, L"Просмотр событий прибора ТАРВЕЛ-7К", 401, 272,
     WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, kMain},
    {IDD_READING, IDC_READ_FROM_PANEL, IDCANCEL, L"", 186, 114, WS_POPUP, kReading},
    {IDD_SETTINGS, IDM_SETTINGS, IDCANCEL, L"Настройка", 223, 85, WS_CAPTION | WS_SYSMENU, kSettings},
    {IDD_FILTER, IDC_FILTER, IDCANCEL, L"Фильтр", 213, 183, WS_CAPTION | WS_SYSMENU, kFilter},
    {IDD_REPORT_OPTIONS, IDC_WRITE_TEXT, IDCANCEL, L"Параметры", 187, 57, WS_CAPTION | WS_SYSMENU,
     kReportOptions},
    {IDD_ABOUT, IDM_ABOUT, IDOK, L"О программе", 195, 97, WS_CAPTION, kAbout},
};

// A memory DC holding the dialogs' font (MS Sans Serif 8, Cyrillic) as the dialog manager creates it.
HDC DialogFontDc() {
  static const HDC dc = CreateCompatibleDC(nullptr);
  [[maybe_unused]] static const HGDIOBJ old =
      SelectObject(dc, CreateFontW(-MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                   RUSSIAN_CHARSET, 0, 0, 0, 0, L"MS Sans Serif"));
  return dc;
}

int FontHeight() {
  TEXTMETRICW tm;
  return GetTextMetricsW(DialogFontDc(), &tm), tm.tmHeight;
}

// Pixels of dialog units for that font, computed as the dialog manager computes them.
RECT ToPixels(int left, int top, int width, int height) {
  SIZE size;
  GetTextExtentPoint32W(DialogFontDc(), L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &size);
  const int cx = (size.cx / 26 + 1) / 2, cy = FontHeight();
  const int l = MulDiv(left, cx, 4), t = MulDiv(top, cy, 8);
  return {l, t, l + MulDiv(width, cx, 4), t + MulDiv(height, cy, 8)};
}

class Windows : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(logwick::StoreEventFile(s_file, SampleList(2000)).ok); }
  void SetUp() override { ClearSettings(); }
  void Start(const std::wstring& args = L"") {
    m_program = std::make_unique<Program>(args);
    m_main = m_program->Main();
    m_list = GetDlgItem(m_main, IDC_EVENT_LIST);
  }
  LRESULT Send(UINT message, WPARAM w = 0, LPARAM l = 0) const { return SendMessageW(m_list, message, w, l); }
  LRESULT Current() const { return Send(LB_GETCURSEL); }
  // The list's rows from the top as they are drawn: each row's band of pixels.
  std::vector<std::pair<int, RECT>> ShownBands() const {
    std::vector<std::pair<int, RECT>> bands;
    RECT client;
    GetClientRect(m_list, &client);
    for (auto row = static_cast<int>(Send(LB_GETTOPINDEX)), y = 0; y < client.bottom; ++row) {
      const auto h = static_cast<int>(Send(LB_GETITEMHEIGHT, static_cast<WPARAM>(row)));
      if (h <= 0) break;
      bands.push_back({row, RECT{0, y, client.right, std::min<int>(y + h, client.bottom)}});
      y += h;
    }
    return bands;
  }

  static inline const std::string s_file = TempPath("logwick-views.t7kev");
  std::unique_ptr<Program> m_program;
  HWND m_main = nullptr, m_list = nullptr;
};

TEST_F(Windows, EveryTemplateHasItsCaptionSizeAndControlsInTabOrder) {
  ASSERT_NE(GetACP(), 1251u);  // the texts must come out right on a code page that is not Cyrillic
  SetSetting(L"PortNumber", LOGWICK_WINE_LISTED_PORT);  // listed, with no panel behind it
  Start();
  for (const Dialog& d : kDialogs) {
    SCOPED_TRACE(d.templateId);
    const HWND dlg = d.open ? m_program->Open(m_main, d.open, d.templateId) : m_main;
    RECT client;
    GetClientRect(dlg, &client);
    const RECT size = ToPixels(0, 0, d.w, d.h);
    EXPECT_EQ(std::tuple(TextOf(dlg), GetWindowLongW(dlg, GWL_STYLE) & d.style, client.right, client.bottom),
              std::tuple(std::wstring(d.caption), d.style, size.right, size.bottom));
    const std::vector<HWND> children = Children(dlg);
    ASSERT_GE(children.size(), d.controls.size());
    for (std::size_t i = 0; i < d.controls.size(); ++i) {
      const Control& c = d.controls[i];
      SCOPED_TRACE("control " + std::to_string(i) + " (id " + std::to_string(c.id) + ")");
      auto place = [&c](const RECT& r) {
        return std::array{r.left, r.top, c.w ? r.right - r.left : 0, c.h ? r.bottom - r.top : 0};
      };
      EXPECT_EQ(std::tuple(GetDlgCtrlID(children[i]), ClassOf(children[i]),
                           c.text ? TextOf(children[i]) : L"", place(RectIn(dlg, children[i]))),
                std::tuple(c.id, std::wstring(c.cls), std::wstring(c.text ? c.text : L""),
                           place(ToPixels(c.x, c.y, c.w, c.h))));
    }
    if (d.templateId == IDD_READING) {
      // The port is no serial line: the reading fails in a message of its dialog's.
      const Box box = MessageBoxOf(m_program->Pid());
      EXPECT_EQ(std::tuple(box.caption, box.text, box.owner),
                std::tuple(L"logwick", L"Не могу открыть порт", dlg));
      box.Answer();
    }
    EXPECT_TRUE(!d.close || Program::Close(dlg, d.close));
  }
  // The main window keeps its own: Esc does nothing, the exit command ends the program.
  Command(m_main, IDCANCEL);
  Sleep(200);
  EXPECT_TRUE(IsWindowVisible(m_main));
  Command(m_main, IDM_EXIT);
  EXPECT_TRUE(m_program->Exited());
}

TEST_F(Windows, MenuHoldsTheCommandsOfTheTemplate) {
  const HMODULE module = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  const HMENU menu = LoadMenuW(module, MAKEINTRESOURCEW(IDR_MAIN_MENU));
  // The items as "id text|", a popup as "text(its items)", a separator (id 0) as "-|".
  std::function<std::wstring(HMENU)> items = [&items](HMENU m) {
    std::wstring all;
    for (int i = 0; i < GetMenuItemCount(m); ++i) {
      wchar_t text[128] = L"";
      GetMenuStringW(m, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
      const auto id = static_cast<int>(GetMenuItemID(m, i));
      all += id == 0  ? L"-|"
             : id < 0 ? text + (L"(" + items(GetSubMenu(m, i)) + L")")
                      : std::to_wstring(id) + L" " + text + L"|";
    }
    return all;
  };
  EXPECT_EQ(items(menu),
            L"&Операции(1000 &Прочитать из прибора|1001 Про&читать из файла ...|1002 &Записать в файл ...|"
            L"1003 Записать текст ...|-|32781 В&ыход|)Серв&ис(32779 Настройка|)"
            L"&?(32777 Справка|-|32780 О программе ...|)");
  DestroyMenu(menu);
  FreeLibrary(module);
}

TEST_F(Windows, StartShowsTheCommandLinesMessagesAndRegistersTheFileType) {
  Program program(L"/x " + Quoted(s_file) + L" second.t7kev");
  // Before any window of its own; the file named is loaded all the same.
  for (const wchar_t* message : {L"Неизвестный ключ x", L"Указано больше одного файла"}) {
    const Box box = MessageBoxOf(program.Pid());
    EXPECT_EQ(std::tuple(box.caption, box.text, box.owner), std::tuple(L"Ошибка", message, nullptr));
    box.Answer();
  }
  EXPECT_EQ(TextOf(GetDlgItem(program.Main(), IDC_COUNT_LINE)), L"В базе 2000 событий");
  EXPECT_EQ(RegValue(HKEY_CLASSES_ROOT, L".t7kev"), L"sz Ormet.T7kLogwick");
}

TEST_F(Windows, SettingsAndTheEventFilesFolderGoThroughTheRegistry) {
  SetSetting(L"PortNumber", LOGWICK_WINE_LISTED_PORT);
  SetSetting(L"SelectedSerNum", 12345);
  SetSetting(L"AutoSN", 0);
  SetSetting(L"GazMode", 1);
  wchar_t documents[MAX_PATH];
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents), S_OK);
  const std::string inDocuments = logwick::WideToUtf8(documents) + "\\logwick-documents.t7kev";
  ASSERT_TRUE(logwick::StoreEventFile(inDocuments, SampleList(25)).ok);
  Start();
  const HWND dlg = m_program->Open(m_main, IDM_SETTINGS, IDD_SETTINGS);
  const std::wstring port = std::to_wstring(LOGWICK_WINE_LISTED_PORT);
  EXPECT_EQ(TextOf(GetDlgItem(dlg, IDC_SETTINGS_PORT)), L"COM" + port);
  EXPECT_EQ(TextOf(GetDlgItem(dlg, IDC_SETTINGS_SERIAL)), L"12345");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_SETTINGS_SERIAL)));
  EXPECT_EQ(SendMessageW(GetDlgItem(dlg, IDC_SETTINGS_GAZ), BM_GETCHECK, 0, 0), BST_CHECKED);
  // "Авто" and ГАЗ turned round, then OK: all four values, as double words.
  SendMessageW(GetDlgItem(dlg, IDC_SETTINGS_AUTO), BM_CLICK, 0, 0);
  SendMessageW(GetDlgItem(dlg, IDC_SETTINGS_GAZ), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_SETTINGS_SERIAL)));
  ASSERT_TRUE(Program::Close(dlg, IDOK));
  auto setting = [](const wchar_t* name) { return RegValue(HKEY_CURRENT_USER, kSettingsKey, name); };
  EXPECT_TRUE(WaitUntil([&] { return setting(L"GazMode") == L"dword 0"; }));  // written last
  EXPECT_EQ(setting(L"PortNumber") + L", " + setting(L"SelectedSerNum") + L", " + setting(L"AutoSN"),
            L"dword " + port + L", dword 12345, dword 1");

  // No folder remembered yet: the file dialog starts in the documents folder.
  Command(m_main, IDC_READ_FROM_FILE);
  ASSERT_TRUE(AnswerFileDialog(m_program->Pid(), L"logwick-documents.t7kev"));
  EXPECT_TRUE(WaitUntil([&] { return Send(LB_GETCOUNT) == 25; }));
  EXPECT_EQ(setting(L"EventsFilesDir"), L"sz " + std::wstring(documents));
  DeleteFileW(logwick::Utf8ToWide(inDocuments).c_str());
}

TEST_F(Windows, EventListAnswersListBoxMessagesAndWrapsItsRows) {
  using namespace logwick::win;
  const std::string file = TempPath("logwick-100000.t7kev");
  const CT7KEventList list = SampleList(100000);
  ASSERT_TRUE(logwick::StoreEventFile(file, list).ok);
  Start(Quoted(file));
  auto line = [&list](int row) {
    std::string text;
    logwick::AppendEventLine(text, list[static_cast<std::size_t>(row)], list.m_texts);
    return logwick::Utf8ToWide(text);
  };
  EXPECT_TRUE(GetWindowLongW(m_list, GWL_STYLE) & LBS_HASSTRINGS);
  ASSERT_EQ(Send(LB_GETCOUNT), 100000);
  for (int row : {0, 1, 50000, 99999}) EXPECT_EQ(RowText(m_list, row), line(row)) << row;
  EXPECT_EQ(
      (std::array{Send(LB_GETTEXTLEN, 100000), Current(), Send(LB_SETCURSEL, 70000), Send(LB_GETSEL, 70000)}),
      (std::array<LRESULT, 4>{LB_ERR, LB_ERR, 70000, 1}));
  EXPECT_TRUE(Send(LB_GETTOPINDEX) <= 70000 && Send(LB_GETTOPINDEX) > 69950) << Send(LB_GETTOPINDEX);
  auto key = [this](WPARAM k) { return Send(WM_KEYDOWN, k), Current(); };
  EXPECT_EQ((std::array{key(VK_DOWN), key(VK_UP)}), (std::array<LRESULT, 2>{70001, 70000}));
  EXPECT_GT(key(VK_NEXT), 70005);
  EXPECT_EQ(key(VK_END), 99999);
  EXPECT_GT(Send(LB_GETTOPINDEX), 99950);
  EXPECT_EQ((std::array{key(VK_HOME), Send(LB_GETTOPINDEX)}), (std::array<LRESULT, 2>{0, 0}));
  // The first screens and the last one were measured, not the list.
  Sleep(300);
  const LRESULT measured = Send(kMsgListFigure, kFigureMeasurements);
  EXPECT_TRUE(measured > 0 && measured < 1000) << measured;
  EXPECT_GE(Send(kMsgListFigure, kFigureFirstPaintMs), 0);

  // A row is as tall as its text wrapped at the list's width + font height / 8 + 1.
  auto expected = [&](int row) {
    RECT r;
    GetClientRect(m_list, &r);
    r.bottom = 0;
    const std::wstring w = line(row);
    DrawTextW(DialogFontDc(), w.c_str(), static_cast<int>(w.size()), &r,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return static_cast<int>(r.bottom) + FontHeight() / 8 + 1;
  };
  int wrapped = 0;
  for (int row = 0; row < 40; ++row) {
    EXPECT_EQ(Send(LB_GETITEMHEIGHT, static_cast<WPARAM>(row)), expected(row)) << row;
    wrapped += expected(row) > FontHeight() * 2;
  }
  EXPECT_GT(wrapped, 0);  // some rows take more than one line
  // Narrower: the rows shown are measured again, not the whole list.
  const RECT r = RectIn(m_main, m_list);
  SetWindowPos(m_list, nullptr, 0, 0, (r.right - r.left) / 2, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
  RedrawWindow(m_list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  for (int row = 0; row < 10; ++row)
    EXPECT_EQ(Send(LB_GETITEMHEIGHT, static_cast<WPARAM>(row)), expected(row)) << row;
  EXPECT_LT(Send(kMsgListFigure, kFigureMeasurements) - measured, 1000);
}

TEST_F(Windows, FindMarksAndStepsClicksSelectRowsAndStatisticsIntegrityAndF1LeadOn) {
  Start(Quoted(s_file));
  auto holds = [this](LRESULT row) {  // letter case aside
    std::wstring text = RowText(m_list, static_cast<int>(row));
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text.find(L"датчик") != std::wstring::npos;
  };
  const HWND bar = m_program->Open(m_main, IDM_FIND, IDD_FIND_BAR);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(bar) != FALSE; }));
  const HWND text = GetDlgItem(bar, IDC_FIND_TEXT), count = GetDlgItem(bar, IDC_FIND_COUNT);
  SetText(text, L"ДАТЧИК");
  ASSERT_TRUE(WaitUntil([&] { return TextOf(count).starts_with(L"1 из "); }));
  const std::wstring of = TextOf(count).substr(1);
  const LRESULT first = Current();
  for (LRESULT row = 0; row <= first; ++row) EXPECT_EQ(holds(row), row == first) << row;
  // Every row shown that holds the text is marked, and no other.
  SetForegroundWindow(m_main);
  RedrawWindow(m_list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Sleep(300);
  RECT client;
  GetClientRect(m_list, &client);
  MapWindowPoints(m_list, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const Pixels pixels = CaptureScreen(client);
  // The marks' colours, RGB(255, 226, 90) and RGB(255, 150, 40), as the screen holds them.
  auto isMark = [](std::uint32_t v) { return (v & 0xFFFFFF) == 0xFFE25A || (v & 0xFFFFFF) == 0xFF9628; };
  int marked = 0;
  for (const auto& [row, band] : ShownBands()) {
    const auto top = pixels.bgrx.begin() + band.top * pixels.width;
    EXPECT_EQ(std::any_of(top, top + (band.bottom - band.top) * pixels.width, isMark), holds(row)) << row;
    marked += holds(row);
  }
  EXPECT_GT(marked, 0);
  // F3 to the next, Shift+F3 (its command) back, Enter in the bar onwards.
  PostMessageW(m_list, WM_KEYDOWN, VK_F3, 0);
  EXPECT_TRUE(WaitUntil([&] { return TextOf(count) == L"2" + of; }));
  const LRESULT second = Current();
  EXPECT_TRUE(second > first && holds(second)) << second;
  Command(m_main, IDM_FIND_PREVIOUS);
  EXPECT_TRUE(WaitUntil([&] { return TextOf(count) == L"1" + of; }));
  PostMessageW(text, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(WaitUntil([&] { return Current() == second; }));
  EXPECT_TRUE(IsWindow(m_main));  // Enter in the bar never reaches "Выход"
  PostMessageW(text, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(Program::Gone(bar, 2000));

  // A click, one with Shift, one with Ctrl; the copy command copies the rows chosen.
  Send(LB_SETTOPINDEX, 0);
  const auto bands = ShownBands();
  ASSERT_GT(bands.size(), 6u);
  auto click = [&](int row, WPARAM keys) {
    const RECT& r = bands[static_cast<std::size_t>(row)].second;
    const LPARAM at = MAKELPARAM(5, (r.top + r.bottom) / 2);
    Send(WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
    Send(WM_LBUTTONUP, keys, at);
  };
  click(2, 0);
  click(4, MK_SHIFT);    // extends
  click(6, MK_CONTROL);  // toggles one more
  std::vector<int> selected;
  for (int row = 0; row < 8; ++row)
    if (Send(LB_GETSEL, static_cast<WPARAM>(row)) > 0) selected.push_back(row);
  EXPECT_EQ(std::pair(Current(), selected), std::pair(LRESULT{6}, std::vector<int>{2, 3, 4, 6}));
  std::wstring want;
  for (int row : selected) want += RowText(m_list, row) + L"\r\n";
  Command(m_main, IDM_COPY);
  Sleep(300);  // the program puts it on the clipboard
  ASSERT_TRUE(OpenClipboard(nullptr));
  const HANDLE data = GetClipboardData(CF_UNICODETEXT);
  EXPECT_EQ(data ? static_cast<const wchar_t*>(GlobalLock(data)) : L"", want);
  if (data) GlobalUnlock(data);
  CloseClipboard();

  const CT7KEventList list = SampleList(2000);  // s_file's
  const HWND statistics = m_program->Open(m_main, IDM_STATISTICS, IDD_STATISTICS);
  EXPECT_EQ(TextOf(GetDlgItem(statistics, IDC_STATISTICS_SUMMARY)).substr(0, 14), L"Событий: 2000\n");
  // The chart's last bar (the plot ends 6 pixels before the chart's edge) is the last day with events.
  const HWND chart = GetDlgItem(statistics, IDC_STATISTICS_CHART);
  RECT r;
  GetClientRect(chart, &r);
  SendMessageW(chart, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right - 7, r.bottom / 3));
  EXPECT_EQ(Current(), static_cast<LRESULT>(logwick::ComputeStatistics(list).days.back().newestRow));

  const std::vector<logwick::Finding> findings = logwick::CheckIntegrity(list);
  ASSERT_GT(findings.size(), 2u);
  const HWND integrity = m_program->Open(m_main, IDM_INTEGRITY, IDD_INTEGRITY);
  const HWND table = GetDlgItem(integrity, IDC_INTEGRITY_TABLE);
  EXPECT_EQ(TextOf(GetDlgItem(integrity, IDC_INTEGRITY_COUNT)) + L", " +
                std::to_wstring(SendMessageW(table, LVM_GETITEMCOUNT, 0, 0)),
            L"Замечаний: " + std::to_wstring(findings.size()) + L", " + std::to_wstring(findings.size()));
  // The keys choose a finding as a click does; the list goes to its row.
  PostMessageW(table, WM_KEYDOWN, VK_END, 0);
  EXPECT_TRUE(WaitUntil([&] { return Current() == static_cast<LRESULT>(findings.back().row); }));
  PostMessageW(m_list, WM_KEYDOWN, VK_F1, 0);
  const HWND help = m_program->Window(IDD_HELP);
  EXPECT_EQ(TextOf(help) + L": " + TextOf(GetDlgItem(help, IDC_HELP_TEXT)).substr(0, 34),
            L"Справка: Просмотр событий прибора ТАРВЕЛ-7К");
  EXPECT_TRUE(Program::Close(help, IDOK));
}

#ifdef LOGWICK_WITH_ARCHIVE
TEST_F(Windows, TheArchiveWindowListsThePanelsAndOpensAHistoryWithItsGapRow) {
  MakeArchive(logwick::Utf8ToWide(TempPath("logwick-gui-archive.sqlite")));
  Start(Quoted(s_file));
  const HWND dlg = m_program->Open(m_main, IDM_ARCHIVE, IDD_ARCHIVE);
  const HWND table = GetDlgItem(dlg, IDC_ARCHIVE_TABLE);
  EXPECT_TRUE(WaitUntil([&] { return SendMessageW(table, LVM_GETITEMCOUNT, 0, 0) == 3; }));
  EXPECT_EQ(TextOf(GetDlgItem(dlg, IDC_ARCHIVE_STATUS)), L"Приборов в архиве: 3");
  // The twice visited panel (by serial number the last) chosen: "Открыть".
  PostMessageW(table, WM_KEYDOWN, VK_END, 0);
  EXPECT_TRUE(Program::Close(dlg, IDC_ARCHIVE_OPEN));
  // Newest first: the 200 events of the second visit, the gap, the 300 of the first.
  ASSERT_TRUE(WaitUntil([&] { return Send(LB_GETCOUNT) == 501; }));
  for (int row = 0; row < 501; ++row)
    EXPECT_EQ(RowText(m_list, row) == logwick::Utf8ToWide(logwick::kGapMarkLine), row == 200) << row;
}
#endif

// What the reading dialog showed until it closed: every text of its controls while shown, the most progress.
std::pair<std::set<std::wstring>, LRESULT> Watch(HWND dlg) {
  std::pair<std::set<std::wstring>, LRESULT> seen;
  for (int waited = 0; IsWindow(dlg) && waited < 60000; waited += 10) {
    for (HWND c : Children(dlg))
      if (IsWindowVisible(c)) seen.first.insert(TextOf(c));
    seen.second =
        std::max(seen.second, SendMessageW(GetDlgItem(dlg, IDC_READING_PROGRESS), PBM_GETPOS, 0, 0));
    Sleep(10);
  }
  return seen;
}

using Reading = Windows;

TEST_F(Reading, APanelThroughItsComPortAndTheNextOneStoppedOnEnter) {
  SetSetting(L"PortNumber", LOGWICK_WINE_READING_PORT);  // "Авто": the panel is searched for
  SetSetting(L"ArchiveReadings", 0);                     // the readings stay in the window only
  Start();
  HWND dlg = m_program->Open(m_main, IDC_READ_FROM_PANEL, IDD_READING);
  const auto [texts, mostProgress] = Watch(dlg);
  ASSERT_FALSE(IsWindow(dlg));
  for (const wchar_t* text : {L"Поиск прибора", L"Чтение текстов сообщений", L"Чтение событий",
                              L"В приборе 300 событий", L"Читается:", L"Остановить"})
    EXPECT_TRUE(texts.count(text)) << logwick::WideToUtf8(text);
  EXPECT_GT(mostProgress, 200);
  // Once the dialog has closed the list is the reading's: every block but the one at the ring position.
  EXPECT_EQ(std::to_wstring(Send(LB_GETCOUNT)) + L": " + TextOf(GetDlgItem(m_main, IDC_COUNT_LINE)),
            L"296: В базе 296 событий");

  dlg = m_program->Open(m_main, IDC_READ_FROM_PANEL, IDD_READING);
  const HWND stop = GetDlgItem(dlg, IDC_READING_STOP);
  ASSERT_TRUE(WaitUntil([&] { return TextOf(stop) == L"Остановить"; }, 30000));
  // Enter, as the keyboard gives it to the dialog.
  PostMessageW(stop, WM_KEYDOWN, VK_RETURN, 0);
  PostMessageW(stop, WM_KEYUP, VK_RETURN, 0);
  const LRESULT stoppedProgress = Watch(dlg).second;
  EXPECT_FALSE(IsWindow(dlg));
  // Stopped among the events: the list holds those read until then.
  EXPECT_LT(Send(LB_GETCOUNT), 296);
  EXPECT_LT(stoppedProgress, 200);

  // Only the window holds the reading: the close box asks, Нет keeps it.
  for (const int answer : {IDNO, IDYES}) {
    PostMessageW(m_main, WM_CLOSE, 0, 0);
    const Box question = MessageBoxOf(m_program->Pid());
    EXPECT_EQ(std::pair(question.text, question.owner),
              std::pair(std::wstring(L"Считанные события не сохранены. Выйти из программы?"), m_main));
    question.Answer(answer);
  }
  EXPECT_TRUE(m_program->Exited());
}

}  // namespace
