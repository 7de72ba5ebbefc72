// The main window of the Qt face: draws the desktop model (the event list,
// the six information lines, the find bar) from its dialog template and
// forwards the user's acts to it. It is the model's face: message boxes, file
// dialogs, the modal dialogs and the windows beside it are shown from here.
#pragma once

#include <QString>
#include <array>
#include <functional>
#include <memory>

#include "app/qt_profile.h"
#include "app/template_dialog.h"
#include "desk/control_ids.h"
#include "desk/face.h"
#include "desk/main_window_model.h"

class CEvListBox;
class CFindBar;
class CIntegrityWnd;
class CStatisticsWnd;
class QLabel;
class QMenuBar;

class CLogwickDlg : public logwick::TemplateDialog, public logwick::IDeskFace {
 public:
  // Resource ids: the dialog template, its menu, controls and commands (the
  // objectNames of the controls and menu items).
  enum Id : int {
    kIdDialog = IDD_MAIN,
    kIdMenu = IDR_MAIN_MENU,
    kIdReadFromPanel = IDC_READ_FROM_PANEL,
    kIdReadFromFile = IDC_READ_FROM_FILE,
    kIdWriteToFile = IDC_WRITE_TO_FILE,
    kIdWriteText = IDC_WRITE_TEXT,
    kIdEventList = IDC_EVENT_LIST,
    kIdCountLine = IDC_COUNT_LINE,
    kIdReadLine = IDC_READ_LINE,
    kIdPanelLine = IDC_PANEL_LINE,
    kIdFilter = IDC_FILTER,
    kIdFilterLine = IDC_FILTER_LINE,
    kIdConfigLine = IDC_CONFIG_LINE,
    kIdVersionLine = IDC_VERSION_LINE,
    kIdHelpButton = IDC_HELP_BUTTON,
    kIdHelp = IDM_HELP,
    kIdSettings = IDM_SETTINGS,
    kIdAbout = IDM_ABOUT,
    kIdExit = IDM_EXIT,
    kIdArchive = IDM_ARCHIVE,
  };

  // services: what the model reads from and runs (tests put stand-ins there).
  explicit CLogwickDlg(QWidget* parent = nullptr, logwick::DeskServices services = {});
  ~CLogwickDlg() override;

  QString m_strFileToOpen;

  int exec() override;
  // Esc does nothing: the window ends only through its exit commands.
  void reject() override {}

  logwick::MainWindowModel& Model() { return m_model; }
  CEvListBox* ListBox() const { return m_list; }
  QMenuBar* MenuBar() const { return m_menu; }
  CFindBar* FindBar() const { return m_findBar; }
  CStatisticsWnd* StatisticsWnd() const { return m_statistics; }
  CIntegrityWnd* IntegrityWnd() const { return m_integrity; }
  QLabel* Line(logwick::InfoLine line) const { return m_lines[static_cast<std::size_t>(line)]; }

  // IDeskFace.
  void ShowMessage(const logwick::Message& message) override;
  bool AskYesNo(const logwick::Message& message) override;
  std::optional<std::string> ChooseFile(const logwick::FileRequest& request) override;
  bool RunFilterDialog(logwick::FilterDialog& dialog) override;
  bool RunSettingsDialog(logwick::SettingsDialog& dialog) override;
  bool RunReportOptions(logwick::ReportScope& scope) override;
  void RunReadingDialog(logwick::ReadingSession& session) override;
  bool RunArchiveWindow(logwick::ArchiveWindowModel& archive) override;
  void OpenWindow(logwick::DeskWindow window) override;
  void Changed(unsigned what) override;
  void ShowRow(std::size_t row, logwick::ScrollTo how) override;
  std::size_t TopRow() const override;
  void CopyText(const std::string& text) override;
  void CloseMainWindow() override;
  void Post(std::function<void()> call) override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenu();
  void BuildControls();
  void BuildFindBar();
  // The window grows by a strip for the find bar while it is shown.
  void FitFindBar(bool shown);
  void UpdateWindows();
  // The window a message box of the owner belongs to.
  QWidget* OwnerWidget(logwick::MsgOwner owner) const;
  // Runs a modal dialog with it as the owner of its messages.
  int RunOwned(logwick::MsgOwner owner, QDialog& dialog);

  logwick::QtProfile m_profile;
  logwick::MainWindowModel m_model;
  std::array<QLabel*, logwick::kInfoLineCount> m_lines{};
  CEvListBox* m_list = nullptr;
  QMenuBar* m_menu = nullptr;
  CFindBar* m_findBar = nullptr;
  CStatisticsWnd* m_statistics = nullptr;
  CIntegrityWnd* m_integrity = nullptr;
  std::array<QWidget*, 6> m_owners{};  // by MsgOwner: the modal dialog running for it
  int m_templateHeight = 0;            // the window's height without the find bar
  bool m_initialised = false;
  bool m_closing = false;
};
