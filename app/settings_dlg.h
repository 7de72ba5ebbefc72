// The settings dialog: draws the settings dialog's model (COM port, the
// panel's serial number or automatic search for it, and the ГАЗ line mode)
// from its template and hands the controls' values to it.
#pragma once

#include "app/template_dialog.h"
#include "desk/control_ids.h"
#include "desk/settings_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QModelIndex;

class CSettingsDlg : public logwick::TemplateDialog {
 public:
  // Resource ids: the dialog template and its controls (their objectNames).
  enum Id : int {
    kIdDialog = IDD_SETTINGS,
    kIdSerial = IDC_SETTINGS_SERIAL,
    kIdAuto = IDC_SETTINGS_AUTO,
    kIdGaz = IDC_SETTINGS_GAZ,
    kIdPort = IDC_SETTINGS_PORT,
  };

  CSettingsDlg(logwick::SettingsDialog& model, QWidget* parent = nullptr);
  ~CSettingsDlg() override;

  int exec() override;
  void accept() override;

  // What the open list shows for an entry of the port list: its text and,
  // beside it, the description `logwick-cli ports` gives.
  static QString ListedText(const QModelIndex& entry);

 private:
  void OnInitDialog();
  void OnAutoClicked();
  std::optional<std::size_t> ChosenPort() const;

  logwick::SettingsDialog& m_model;
  QLineEdit* m_editSerNum;
  QCheckBox* m_checkAuto;
  QComboBox* m_comboPort;
  QCheckBox* m_checkGaz;
};
