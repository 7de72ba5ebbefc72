// Options of the text report: all events, or only those the filter admits.
#pragma once

#include "app/template_dialog.h"

class QRadioButton;

class CTextParamDlg : public logwick::TemplateDialog {
 public:
  explicit CTextParamDlg(QWidget* parent = nullptr);

  // 0: "С учетом установленного фильтра", 1: "Все события", -1: none chosen.
  int m_nScope = -1;

  int exec() override;
  void accept() override;

 private:
  QRadioButton* m_radioFilter;  // 1026
  QRadioButton* m_radioAll;     // 1030
};
