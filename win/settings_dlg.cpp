#include "win/settings_dlg.h"

#include <algorithm>

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
    FitOpenList();
    SetText(IDC_SERIAL, std::to_string(static_cast<int>(m_settings.selectedSerial)));
    Enable(IDC_SERIAL, !m_settings.autoSerial);
  }

  // The open list shows "COM7  description"; the closed box the entry alone.
  bool OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) override {
    if (message == WM_MEASUREITEM && reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlID == IDC_PORT) {
      TEXTMETRICW tm;
      const HDC dc = GetDC(m_window);
      const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(m_window, WM_GETFONT, 0, 0)));
      GetTextMetricsW(dc, &tm);
      SelectObject(dc, old);
      ReleaseDC(m_window, dc);
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(tm.tmHeight + 2);
      result = TRUE;
      return true;
    }
    if (message != WM_DRAWITEM || reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->CtlID != IDC_PORT) return false;
    DrawPortEntry(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    result = TRUE;
    return true;
  }

  void DrawPortEntry(const DRAWITEMSTRUCT& d) const {
    const bool selected = (d.itemState & ODS_SELECTED) != 0;
    FillRect(d.hDC, &d.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (d.itemID == static_cast<UINT>(-1)) return;
    std::wstring text(static_cast<std::size_t>(SendMessageW(d.hwndItem, CB_GETLBTEXTLEN, d.itemID, 0)) + 1,
                      L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(d.hwndItem, CB_GETLBTEXT, d.itemID, reinterpret_cast<LPARAM>(text.data()))));
    if (!(d.itemState & ODS_COMBOBOXEDIT))
      for (const logwick::PortListing& port : m_ports)
        if (port.number == d.itemData && !port.description.empty())
          text += L"  " + logwick::Utf8ToWide(port.description);
    SetBkMode(d.hDC, TRANSPARENT);
    SetTextColor(d.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT r = d.rcItem;
    r.left += 2;
    DrawTextW(d.hDC, text.c_str(), static_cast<int>(text.size()), &r,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (d.itemState & ODS_FOCUS) DrawFocusRect(d.hDC, &d.rcItem);
  }

  // The open list is as wide as its longest entry with its description.
  void FitOpenList() const {
    const HWND combo = Item(IDC_PORT);
    const HDC dc = GetDC(combo);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(combo, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (const logwick::PortListing& port : m_ports) {
      const std::wstring text =
          L"COM" + std::to_wstring(port.number) + L"  " + logwick::Utf8ToWide(port.description);
      SIZE size{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
      widest = std::max<int>(widest, size.cx);
    }
    SelectObject(dc, old);
    ReleaseDC(combo, dc);
    SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + GetSystemMetrics(SM_CXVSCROLL) + 8),
                 0);
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
