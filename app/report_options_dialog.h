// Options of the text report: all events, or only those the filter admits.
#pragma once

#include "app/template_dialog.h"

class QRadioButton;

class CTextParamDlg : public logwick::TemplateDialog {
 public:
  // Resource ids: the dialog template and its controls (their objectNames).
  enum Id : int {
    kIdDialog = 138,
    kIdScopeFiltered = 1026,
    kIdScopeAll = 1030,
  };

  explicit CTextParamDlg(QWidget* parent = nullptr);

  // 0: "С учетом установленного фильтра", 1: "Все события", -1: none chosen.
  int m_nScope = -1;

  int exec() override;
  void accept() override;

 private:
  QRadioButton* m_radioFilter;
  QRadioButton* m_radioAll;
};
