// The settings dialog (template 106) over the model's settings dialog: the
// ports present in the model's order with what stands behind each (drawn
// beside the port while the list is open), the serial number or automatic
// search, and the ГАЗ line mode; the model checks them on OK.
#pragma once

#include "desk/settings_dialog.h"
#include "win/dialog.h"

namespace logwick::win {

class SettingsDlg : public Dialog {
 public:
  explicit SettingsDlg(logwick::SettingsDialog& model) : m_model(model) {}
  // true on OK (the model then holds the edited settings).
  bool Run(HWND owner);

 private:
  void OnInit() override;
  bool OnCommand(WORD id, WORD code) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
  void DrawPortEntry(const DRAWITEMSTRUCT& d) const;
  void FitOpenList() const;
  std::optional<std::size_t> ChosenPort() const;

  logwick::SettingsDialog& m_model;
};

}  // namespace logwick::win
