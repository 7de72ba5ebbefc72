// The settings dialog: COM port, the panel's serial number or automatic
// search for it, and the ГАЗ line mode. The caller sets the four members,
// runs it and takes them back on OK.
#pragma once

#include <cstdint>
#include <vector>

#include "app/template_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace logwick {
struct PortInfo;
}

class CSettingsDlg : public logwick::TemplateDialog {
 public:
  // ports: the ports present, as the enumeration gives them (nullptr: ask
  // the device link).
  explicit CSettingsDlg(QWidget* parent = nullptr, const std::vector<logwick::PortInfo>* ports = nullptr);
  ~CSettingsDlg() override;

  std::uint32_t m_nSerNum = 0;
  std::uint32_t m_nPortNumber = 0;
  int m_bAuto = 0;
  int m_bGazMode = 0;

  int exec() override;
  void accept() override;

  // The entry text of a port: "COM%d", then the device it opens.
  static QString PortText(const logwick::PortInfo& port);
  // The edit's text read as the standard atoi does, taken as unsigned 32-bit.
  static std::uint32_t AtoiUnsigned(const QString& text);

 private:
  void OnInitDialog();
  void OnAutoClicked();

  std::vector<logwick::PortInfo> m_ports;
  bool m_portsGiven;
  QLineEdit* m_editSerNum;  // 1031
  QCheckBox* m_checkAuto;   // 1032
  QComboBox* m_comboPort;   // 1053
  QCheckBox* m_checkGaz;    // 1035
};
