// The filter dialog (template 130) over the model's working copy of the
// filter: the controls are loaded from its form and handed back to it, which
// checks them, shows its messages and says where the focus goes.
#pragma once

#include "desk/filter_dialog.h"
#include "win/dialog.h"

namespace logwick::win {

class FilterDlg : public Dialog {
 public:
  explicit FilterDlg(logwick::FilterDialog& model) : m_model(model) {}
  // true on OK (the model then holds the edited filter).
  bool Run(HWND owner);

 private:
  void OnInit() override;
  bool OnCommand(WORD id, WORD code) override;
  logwick::FilterForm Form() const;
  void FocusEdit(int id) const;
  void UpdateBeamEdits() const;
  void UpdateDatePickers() const;

  logwick::FilterDialog& m_model;
};

}  // namespace logwick::win
