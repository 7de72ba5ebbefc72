// The settings dialog: COM port, the panel's serial number or automatic
// search for it, and the ГАЗ line mode. The caller gives the settings to start
// from and takes the edited ones back on OK.
#pragma once

#include <cstdint>
#include <vector>

#include "app/template_dialog.h"
#include "link/readout.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

class QModelIndex;

namespace logwick {
struct PortListing;
}

class CSettingsDlg : public logwick::TemplateDialog {
 public:
  // Resource ids: the dialog template and its controls (their objectNames).
  enum Id : int {
    kIdDialog = 106,
    kIdSerial = 1031,
    kIdAuto = 1032,
    kIdGaz = 1035,
    kIdPort = 1053,
  };
  // The port number OK gives when no port is chosen (refused when reading).
  static constexpr unsigned kNoPort = 0xFFFFFFFFu;

  // ports: the ports present with what stands behind each (nullptr: ask the
  // device link, as `logwick-cli ports` does).
  explicit CSettingsDlg(const logwick::ReadoutSettings& settings, QWidget* parent = nullptr,
                        const std::vector<logwick::PortListing>* ports = nullptr);
  ~CSettingsDlg() override;

  // The edited settings once the dialog has ended with OK.
  const logwick::ReadoutSettings& Settings() const { return m_settings; }

  int exec() override;
  void accept() override;

  // The entry text of a port: "COM%d", then the device it opens.
  static QString PortText(const logwick::PortListing& port);
  // What the open list shows for an entry of the port list: its text and,
  // beside it, the description `logwick-cli ports` gives.
  static QString ListedText(const QModelIndex& entry);
  // The edit's text read as the standard atoi does, taken as unsigned 32-bit.
  static std::uint32_t AtoiUnsigned(const QString& text);

 private:
  void OnInitDialog();
  void OnAutoClicked();

  logwick::ReadoutSettings m_settings;
  std::vector<logwick::PortListing> m_ports;
  bool m_portsGiven;
  QLineEdit* m_editSerNum;
  QCheckBox* m_checkAuto;
  QComboBox* m_comboPort;
  QCheckBox* m_checkGaz;
};
