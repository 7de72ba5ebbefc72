// The main window (template 102 with menu 131) and the desktop model's face:
// the event list (1006), the six information lines and the command buttons,
// the commands of its own in the menu, the find bar below the list while it
// is open, and the windows beside it. It draws what the model holds and
// forwards every act to it; the model's messages, questions, file dialogs and
// modal dialogs are shown from here.
#pragma once

#include <windows.h>
// The system's headers make FindText a macro for their find dialog; here it
// is the model's act of the find bar.
#undef FindText

#include <array>
#include <memory>
#include <string>

#include "desk/face.h"
#include "desk/main_window_model.h"
#include "win/dialog.h"
#include "win/ev_list_ctrl.h"
#include "win/registry_profile.h"

namespace logwick::win {

class IntegrityWnd;
class StatisticsWnd;

class MainDlg : public Dialog, public logwick::IDeskFace {
 public:
  MainDlg();
  ~MainDlg() override;

  // Makes the window and lets the model start: the settings are read and the
  // file named on the command line (if any) is loaded. false when the window
  // could not be made.
  bool Start(const std::string& fileToOpen);
  logwick::MainWindowModel& Model() { return m_model; }
  EvListCtrl& List() const;

  // Keys the window takes before the dialog manager does: Enter, Shift+Enter
  // and Esc in the find bar, the accelerators. true when msg was used.
  bool PreTranslate(MSG& msg);

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

 private:
  void OnInit() override;
  bool OnCommand(WORD id, WORD code) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

  // The find bar: shown with its text selected for typing over, or hidden.
  void ShowFindBar(bool shown);
  void UpdateWindows();
  void Print();
  // The window a message of the owner belongs to: the dialog running for it.
  HWND OwnerWindow(logwick::MsgOwner owner) const;
  // Runs a modal dialog as the owner of its messages; run returns its result.
  template <class Run>
  auto RunOwned(logwick::MsgOwner owner, const Dialog& dialog, Run run);

  // The bar's commands go to the main window as its own.
  class FindBar : public Dialog {
    bool OnCommand(WORD id, WORD code) override {
      SendMessageW(GetParent(m_window), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(id)));
      return true;
    }
  };

  RegistryProfile m_profile;
  logwick::MainWindowModel m_model;
  HACCEL m_accelerators = nullptr;
  FindBar m_findBar;
  bool m_findShown = false;
  int m_plainHeight = 0;  // the window's height without the find bar
  std::unique_ptr<StatisticsWnd> m_statistics;
  std::unique_ptr<IntegrityWnd> m_integrity;
  std::array<const Dialog*, 6> m_owners{};  // by MsgOwner: the modal dialog running for it
};

}  // namespace logwick::win
