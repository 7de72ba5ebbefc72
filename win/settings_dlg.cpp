#include "win/settings_dlg.h"

#include "events/codec.h"
#include "win/dialog.h"
#include "win/resource_ids.h"

namespace logwick::win {

namespace {

class SettingsDlg : public Dialog {
 public:
  SettingsDlg(logwick::ReadoutSettings& s, const std::vector<logwick::PortListing>& ports,
              SerialChecks checks)
      : m_settings(s), m_ports(ports), m_checks(std::move(checks)) {}

 private:
  void OnInit() override {
    Check(IDC_AUTO, m_settings.autoSerial);
    Check(IDC_GAZ, m_settings.gazMode);
    const HWND combo = Item(IDC_PORT);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    // A sorted list: the entries sort as text, COM10 before COM2.
    for (const logwick::PortListing& port : m_ports) {
      const std::wstring text = L"COM" + std::to_wstring(port.number);
      const auto at = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), port.number);
      if (port.number == m_settings.portNumber) SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    }
    SetText(IDC_SERIAL, std::to_string(static_cast<int>(m_settings.selectedSerial)));
    Enable(IDC_SERIAL, !m_settings.autoSerial);
  }

  void ReadChecks() {
    m_settings.autoSerial = Checked(IDC_AUTO);
    m_settings.gazMode = Checked(IDC_GAZ);
  }

  bool OnCommand(WORD id, WORD code) override {
    if (id == IDC_AUTO && code == BN_CLICKED) {
      ReadChecks();
      Enable(IDC_SERIAL, !m_settings.autoSerial);
      if (!m_settings.autoSerial && m_checks.autoCleared)
        SetText(IDC_SERIAL, m_checks.autoCleared(Text(IDC_SERIAL)));
      return true;
    }
    if (id != IDOK) return false;
    ReadChecks();
    const HWND combo = Item(IDC_PORT);
    const auto at = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    m_settings.portNumber =
        at == CB_ERR ? kNoPort
                     : static_cast<unsigned>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(at), 0));
    if (!m_checks.accept || m_checks.accept(m_window, Text(IDC_SERIAL), m_settings))
      EndDialog(m_window, IDOK);
    return true;
  }

  logwick::ReadoutSettings& m_settings;
  const std::vector<logwick::PortListing>& m_ports;
  SerialChecks m_checks;
};

}  // namespace

bool RunSettingsDialog(HWND owner, logwick::ReadoutSettings& settings,
                       const std::vector<logwick::PortListing>& ports, SerialChecks checks) {
  logwick::ReadoutSettings copy = settings;
  SettingsDlg dlg(copy, ports, std::move(checks));
  if (dlg.RunModal(owner, IDD_SETTINGS) != IDOK) return false;
  settings = copy;
  return true;
}

}  // namespace logwick::win
