// logwick.exe driven from another process under Wine as a user works with it:
// its start (the file type, the command line, the settings read), the
// settings dialog writing the registry, event files opened through the
// system's file dialog with their messages, and readings from simulated
// panels behind Wine's COM ports. The reports' files are compared with the
// Linux build's in report_files.cpp.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <set>

#include "desk/control_ids.h"
#include "events/codec.h"
#include "tests/windows/gui_driver.h"

using namespace logwick::wintest;

namespace {

constexpr DWORD kListedPort = LOGWICK_WINE_LISTED_PORT;
constexpr DWORD kReadingPort = LOGWICK_WINE_READING_PORT;
constexpr DWORD kSilentPort = LOGWICK_WINE_QUIET_PORT;

std::wstring Quoted(const std::string& path) { return L"\"" + logwick::Utf8ToWide(path) + L"\""; }

std::wstring Line(HWND main, int id) { return TextOf(GetDlgItem(main, id)); }

LRESULT Rows(HWND main) { return SendMessageW(GetDlgItem(main, IDC_EVENT_LIST), LB_GETCOUNT, 0, 0); }

std::wstring CountLine(std::size_t events) { return L"В базе " + std::to_wstring(events) + L" событий"; }

// Presses OK on the box; true when it was owned by owner.
bool Dismiss(const Box& box, HWND owner) {
  const bool owned = GetWindow(box.window, GW_OWNER) == owner;
  Command(box.window, IDOK);
  Program::Gone(box.window);
  return owned;
}

class Session : public ::testing::Test {
 protected:
  void SetUp() override { ClearSettings(); }
};

TEST_F(Session, StartRegistersTheFileTypeAndReportsItsCommandLine) {
  const std::string good = TempPath("logwick-start-a.t7kev"), other = TempPath("logwick-start-b.t7kev");
  const std::string missing = TempPath("logwick-no such file.t7kev");
  WriteSampleFile(good, 30);
  WriteSampleFile(other, 40);
  DeleteFileW(logwick::Utf8ToWide(missing).c_str());
  const struct {
    std::wstring args;
    std::wstring message;  // shown before the main window, captioned "Ошибка"
    std::wstring count;    // the count line then
  } cases[] = {
      {L"/x", L"Неизвестный ключ x", L"База сообщений пуста"},
      {L"-k " + Quoted(good), L"Неизвестный ключ k", CountLine(30)},
      {Quoted(good) + L" " + Quoted(other), L"Указано больше одного файла", CountLine(30)},
      {Quoted(missing), L"", L"База сообщений пуста"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(logwick::WideToUtf8(c.args));
    Program program(c.args);
    if (!c.message.empty()) {
      const Box box = MessageBoxOf(program.Pid());
      ASSERT_TRUE(box);
      EXPECT_EQ(box.caption, L"Ошибка");
      EXPECT_EQ(box.text, c.message);
      EXPECT_TRUE(Dismiss(box, nullptr));  // before any window of its own
    } else {
      // The file named is loaded as "Прочитать из файла ..." loads one.
      const Box box = MessageBoxOf(program.Pid());
      ASSERT_TRUE(box);
      EXPECT_EQ(box.caption, L"Ошибка");
      EXPECT_EQ(box.text, L"Не могу прочитать файл\r\n" + logwick::Utf8ToWide(missing));
      EXPECT_TRUE(Dismiss(box, program.Window(IDD_MAIN)));
    }
    const HWND main = program.Window(IDD_MAIN);
    ASSERT_TRUE(main);
    EXPECT_EQ(Line(main, IDC_COUNT_LINE), c.count);
  }
  // Every start registers the type, for the user and where the shell looks.
  wchar_t exe[MAX_PATH], shortExe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring program(exe);
  program = program.substr(0, program.find_last_of(L"\\/") + 1) + L"logwick.exe";
  GetShortPathNameW(program.c_str(), shortExe, MAX_PATH);
  for (const auto& [root, classes] : {std::pair{HKEY_CURRENT_USER, std::wstring(L"Software\\Classes\\")},
                                      {HKEY_CLASSES_ROOT, std::wstring()}}) {
    EXPECT_EQ(DefaultText(root, classes + L".t7kev"), L"Ormet.T7kLogwick");
    EXPECT_EQ(DefaultText(root, classes + L"Ormet.T7kLogwick\\shell\\open\\command"),
              L"\"" + std::wstring(shortExe) + L"\" \"%1\"");
  }
}

TEST_F(Session, SettingsAreReadAtStartAndWrittenOnOK) {
  SetSetting(L"PortNumber", kListedPort);
  SetSetting(L"SelectedSerNum", 12345);
  SetSetting(L"AutoSN", 0);
  SetSetting(L"GazMode", 1);
  Program program;
  const HWND main = program.Window(IDD_MAIN);
  ASSERT_TRUE(main);
  auto open = [&] {
    Command(main, IDM_SETTINGS);
    return program.Window(IDD_SETTINGS);
  };
  HWND dlg = open();
  ASSERT_TRUE(dlg);
  // The ports the system lists, the stored one chosen.
  const HWND ports = GetDlgItem(dlg, IDC_SETTINGS_PORT);
  EXPECT_EQ(TextOf(ports), L"COM" + std::to_wstring(kListedPort));
  EXPECT_EQ(TextOf(GetDlgItem(dlg, IDC_SETTINGS_SERIAL)), L"12345");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_SETTINGS_SERIAL)));
  EXPECT_EQ(SendMessageW(GetDlgItem(dlg, IDC_SETTINGS_GAZ), BM_GETCHECK, 0, 0), BST_CHECKED);
  // Cancel writes nothing.
  SetSetting(L"AutoSN", 7);
  Command(dlg, IDCANCEL);
  ASSERT_TRUE(Program::Gone(dlg));
  EXPECT_EQ(DwordSetting(L"AutoSN"), 7u);

  // A serial number out of range: refused in a message owned by the dialog.
  dlg = open();
  ASSERT_TRUE(dlg);
  SendMessageW(GetDlgItem(dlg, IDC_SETTINGS_SERIAL), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1"));
  Command(dlg, IDOK);
  const Box refusal = MessageBoxOf(program.Pid());
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal.text, L"Не допустимый серийный номер");
  EXPECT_TRUE(Dismiss(refusal, dlg));
  // "Авто" and ГАЗ turned round, then OK: all four values, as double words.
  SendMessageW(GetDlgItem(dlg, IDC_SETTINGS_AUTO), BM_CLICK, 0, 0);
  SendMessageW(GetDlgItem(dlg, IDC_SETTINGS_GAZ), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_SETTINGS_SERIAL)));
  Command(dlg, IDOK);
  ASSERT_TRUE(Program::Gone(dlg));
  EXPECT_TRUE(WaitUntil([] { return DwordSetting(L"GazMode") == 0u; }));  // written last
  EXPECT_EQ(DwordSetting(L"PortNumber"), kListedPort);
  EXPECT_EQ(DwordSetting(L"SelectedSerNum"), 1u);
  EXPECT_EQ(DwordSetting(L"AutoSN"), 1u);
  EXPECT_EQ(DwordSetting(L"GazMode"), 0u);
}

TEST_F(Session, EventFilesOpenFromTheDocumentsFolderAndBadOnesKeepTheList) {
  wchar_t documents[MAX_PATH];
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents), S_OK);
  const std::string inDocuments = logwick::WideToUtf8(documents) + "\\logwick-documents.t7kev";
  WriteSampleFile(inDocuments, 25);
  Program program;
  const HWND main = program.Window(IDD_MAIN);
  ASSERT_TRUE(main);
  // No folder remembered: the dialog starts in the documents folder.
  Command(main, IDC_READ_FROM_FILE);
  ASSERT_TRUE(AnswerFileDialog(program.Pid(), L"logwick-documents.t7kev"));
  for (int waited = 0; Rows(main) != 25 && waited < 5000; waited += 50) Sleep(50);
  EXPECT_EQ(Line(main, IDC_COUNT_LINE), CountLine(25));
  EXPECT_EQ(TextSetting(L"EventsFilesDir"), std::wstring(documents));

  const std::string broken = TempPath("logwick-broken.t7kev"), empty = TempPath("logwick-empty.t7kev");
  const std::string held = TempPath("logwick-held.t7kev"), missing = TempPath("logwick-missing.t7kev");
  WriteSampleFile(broken, 10);
  HANDLE f =
      CreateFileW(logwick::Utf8ToWide(broken).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  SetFilePointer(f, 40, nullptr, FILE_BEGIN);  // cut within the header
  SetEndOfFile(f);
  CloseHandle(f);
  CloseHandle(
      CreateFileW(logwick::Utf8ToWide(empty).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  WriteSampleFile(held, 10);
  // Another program writing it: the program reads only files no one writes.
  const HANDLE writer = CreateFileW(logwick::Utf8ToWide(held).c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  DeleteFileW(logwick::Utf8ToWide(missing).c_str());
  const struct {
    const std::string& path;
    const wchar_t* message;
  } bad[] = {{broken, L"Ошибка формата файла\r\n"},
             {empty, L"Ошибка формата файла\r\n"},
             {held, L"Не могу прочитать файл\r\n"},
             {missing, L"Не могу прочитать файл\r\n"}};
  for (const auto& b : bad) {
    SCOPED_TRACE(b.path);
    Command(main, IDC_READ_FROM_FILE);
    ASSERT_TRUE(AnswerFileDialog(program.Pid(), logwick::Utf8ToWide(b.path)));
    const Box box = MessageBoxOf(program.Pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(box.caption, L"Ошибка");
    EXPECT_EQ(box.text, b.message + logwick::Utf8ToWide(b.path));
    EXPECT_TRUE(Dismiss(box, main));
    EXPECT_EQ(Rows(main), 25);
    EXPECT_EQ(Line(main, IDC_COUNT_LINE), CountLine(25));
  }
  CloseHandle(writer);
  // A failed load remembers no folder.
  EXPECT_EQ(TextSetting(L"EventsFilesDir"), std::wstring(documents));
  DeleteFileW(logwick::Utf8ToWide(inDocuments).c_str());
}

// What the reading dialog showed while it ran, until it closed.
struct Watched {
  std::set<std::wstring> statuses, versions, counts, buttons;
  LRESULT mostProgress = 0;
  bool labelShown = false;
};

Watched Watch(HWND dlg, const std::function<bool(const Watched&)>& stopWhen = {},
              HWND* stopButton = nullptr) {
  Watched w;
  for (int waited = 0; IsWindow(dlg) && waited < 60000; waited += 10) {
    w.statuses.insert(TextOf(GetDlgItem(dlg, IDC_READING_STATUS)));
    w.versions.insert(TextOf(GetDlgItem(dlg, IDC_READING_VERSION)));
    w.counts.insert(TextOf(GetDlgItem(dlg, IDC_READING_COUNT)));
    w.buttons.insert(TextOf(GetDlgItem(dlg, IDC_READING_STOP)));
    w.labelShown |= IsWindowVisible(GetDlgItem(dlg, IDC_READING_LABEL)) != FALSE;
    w.mostProgress =
        std::max(w.mostProgress, SendMessageW(GetDlgItem(dlg, IDC_READING_PROGRESS), PBM_GETPOS, 0, 0));
    if (stopWhen && stopButton && *stopButton == nullptr && stopWhen(w))
      *stopButton = GetDlgItem(dlg, IDC_READING_STOP);
    if (stopButton && *stopButton) {
      // Enter, as the keyboard gives it to the dialog.
      PostMessageW(*stopButton, WM_KEYDOWN, VK_RETURN, 0);
      PostMessageW(*stopButton, WM_KEYUP, VK_RETURN, 0);
      stopButton = nullptr;
    }
    Sleep(10);
  }
  return w;
}

TEST_F(Session, ReadsAPanelThroughItsComPortAndStopsTheNextOneOnEnter) {
  SetSetting(L"PortNumber", kReadingPort);  // "Авто": the panel is searched for
  SetSetting(L"ArchiveReadings", 0);        // the readings stay in the window only
  Program program;
  const HWND main = program.Window(IDD_MAIN);
  ASSERT_TRUE(main);
  Command(main, IDC_READ_FROM_PANEL);
  HWND dlg = program.Window(IDD_READING);
  ASSERT_TRUE(dlg);
  const Watched first = Watch(dlg);
  ASSERT_FALSE(IsWindow(dlg));
  for (const wchar_t* step : {L"Поиск прибора", L"Чтение текстов сообщений", L"Чтение событий"})
    EXPECT_TRUE(first.statuses.count(step)) << logwick::WideToUtf8(step);
  EXPECT_TRUE(first.counts.count(L"В приборе 300 событий"));
  EXPECT_TRUE(first.buttons.count(L"Остановить"));
  EXPECT_TRUE(first.labelShown);
  EXPECT_GT(first.mostProgress, 200);
  // The list is the reading's once the dialog has closed: every block but
  // the one at the ring position.
  EXPECT_EQ(Rows(main), 296);
  EXPECT_EQ(Line(main, IDC_COUNT_LINE), CountLine(296));
  EXPECT_EQ(Line(main, IDC_VERSION_LINE), L"Версия v3.12 выпущен 14/06/2021");
  EXPECT_EQ(Line(main, IDC_CONFIG_LINE), L"Конфигурация Склад N2");

  Command(main, IDC_READ_FROM_PANEL);
  dlg = program.Window(IDD_READING);
  ASSERT_TRUE(dlg);
  HWND stop = nullptr;
  const Watched second = Watch(
      dlg, [](const Watched& w) { return w.buttons.count(L"Остановить") > 0; }, &stop);
  EXPECT_FALSE(IsWindow(dlg));
  // Stopped among the events: the list holds those read until then.
  EXPECT_LT(Rows(main), 296);
  EXPECT_LT(second.mostProgress, 200);

  // Only the window holds the reading: the close box asks, Нет keeps it.
  for (const int answer : {IDNO, IDYES}) {
    PostMessageW(main, WM_CLOSE, 0, 0);
    const Box question = MessageBoxOf(program.Pid());
    ASSERT_TRUE(question);
    EXPECT_EQ(question.text, L"Считанные события не сохранены. Выйти из программы?");
    Command(question.window, answer);
    Program::Gone(question.window);
  }
  EXPECT_TRUE(program.Exited());
}

TEST_F(Session, AReadingFromASilentPanelEndsWithItsMessage) {
  SetSetting(L"PortNumber", kSilentPort);
  SetSetting(L"AutoSN", 0);
  SetSetting(L"SelectedSerNum", 4660);
  const std::string file = TempPath("logwick-silent.t7kev");
  WriteSampleFile(file, 12);
  Program program(Quoted(file));
  const HWND main = program.Window(IDD_MAIN);
  ASSERT_TRUE(main);
  Command(main, IDC_READ_FROM_PANEL);
  const HWND dlg = program.Window(IDD_READING);
  ASSERT_TRUE(dlg);
  const Box box = MessageBoxOf(program.Pid(), 30000);
  ASSERT_TRUE(box);
  EXPECT_EQ(box.caption, L"logwick");
  EXPECT_EQ(box.text, L"Не удается установить\nадрес");
  EXPECT_TRUE(Dismiss(box, dlg));  // owned by the reading dialog
  EXPECT_TRUE(Program::Gone(dlg));
  EXPECT_EQ(Rows(main), 12);  // nothing was read: the list stays
}

}  // namespace
