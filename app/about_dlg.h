// The About box and the short built-in help page (no help file ships).
#pragma once

#include "app/template_dialog.h"

class CAboutDlg : public logwick::TemplateDialog {
 public:
  enum Id : int { kIdDialog = 100 };

  explicit CAboutDlg(QWidget* parent = nullptr);
};

class CHelpDlg : public QDialog {
 public:
  explicit CHelpDlg(QWidget* parent = nullptr);
  static QString HelpText();
};
