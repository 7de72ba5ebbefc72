// The main window (template 102 with menu 131): the event list (1006), the six
// information lines and the command buttons, with the commands of its own in
// the menu and the find bar below the list while it is open. It draws what the
// desktop model gives it and forwards every command to it.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "win/dialog.h"
#include "win/ev_list_ctrl.h"
#include "win/main_acts.h"
#include "win/resource_ids.h"

namespace logwick::win {

// The information lines in their order on the window: count, read time,
// panel, version, configuration, filter.
using InfoLines = std::array<std::string, 6>;

class MainDlg : public Dialog {
 public:
  explicit MainDlg(IMainActs& acts) : m_acts(acts) {}

  HWND Create() { return Dialog::Create(nullptr, IDD_LOGWICK_DIALOG); }
  EvListCtrl& List() const;
  void SetInfoLines(const InfoLines& lines) const;

  // The find bar: shown with its text selected for typing over, or hidden.
  void ShowFindBar(bool shown);
  bool FindBarShown() const { return m_findShown; }
  void SetFindCount(const std::string& text) const;

  // Keys the window takes before the dialog manager does: Enter, Shift+Enter
  // and Esc in the find bar, the accelerators. true when msg was used.
  bool PreTranslate(MSG& msg);

 private:
  void OnInit() override;
  bool OnCommand(WORD id, WORD code) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

  // The bar's commands go to the main window as its own.
  class FindBar : public Dialog {
    bool OnCommand(WORD id, WORD code) override {
      SendMessageW(GetParent(m_window), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(id)));
      return true;
    }
  };

  IMainActs& m_acts;
  HACCEL m_accelerators = nullptr;
  FindBar m_findBar;
  bool m_findShown = false;
  int m_plainHeight = 0;  // the window's height without the find bar
};

}  // namespace logwick::win
