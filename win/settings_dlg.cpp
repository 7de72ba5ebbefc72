#include "win/settings_dlg.h"

#include <algorithm>

#include "desk/control_ids.h"
#include "events/codec.h"

namespace logwick::win {

namespace {

std::wstring Listed(const logwick::SettingsDialog::PortEntry& port) {
  std::wstring text = logwick::Utf8ToWide(port.text);
  if (!port.description.empty()) text += L"  " + logwick::Utf8ToWide(port.description);
  return text;
}

}  // namespace

bool SettingsDlg::Run(HWND owner) { return RunModal(owner, IDD_SETTINGS) == IDOK; }

void SettingsDlg::OnInit() {
  const logwick::ReadoutSettings& settings = m_model.Settings();
  Check(IDC_SETTINGS_AUTO, settings.autoSerial);
  Check(IDC_SETTINGS_GAZ, settings.gazMode);
  const HWND combo = Item(IDC_SETTINGS_PORT);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  // The list sorts its entries as text as the model does; each keeps the
  // model's index of its entry.
  const auto& ports = m_model.Ports();
  for (std::size_t i = 0; i < ports.size(); ++i) {
    const std::wstring text = logwick::Utf8ToWide(ports[i].text);
    const LRESULT at = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(i));
    if (m_model.SelectedPort() == i) SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
  }
  FitOpenList();
  SetText(IDC_SETTINGS_SERIAL, m_model.SerialText());
  Enable(IDC_SETTINGS_SERIAL, m_model.SerialEnabled());
}

std::optional<std::size_t> SettingsDlg::ChosenPort() const {
  const HWND combo = Item(IDC_SETTINGS_PORT);
  const LRESULT at = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (at == CB_ERR) return std::nullopt;
  return static_cast<std::size_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(at), 0));
}

bool SettingsDlg::OnCommand(WORD id, WORD code) {
  if (id == IDC_SETTINGS_AUTO && code == BN_CLICKED) {
    if (const std::optional<std::string> text = m_model.OnAutoClicked(
            Checked(IDC_SETTINGS_AUTO), Checked(IDC_SETTINGS_GAZ), Text(IDC_SETTINGS_SERIAL)))
      SetText(IDC_SETTINGS_SERIAL, *text);
    Enable(IDC_SETTINGS_SERIAL, m_model.SerialEnabled());
    return true;
  }
  if (id != IDOK) return false;
  if (m_model.OnOK(ChosenPort(), Checked(IDC_SETTINGS_AUTO), Checked(IDC_SETTINGS_GAZ),
                   Text(IDC_SETTINGS_SERIAL)))
    EndDialog(m_window, IDOK);
  return true;
}

// The open list shows "COM7  description"; the closed box the entry alone.
bool SettingsDlg::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) {
  if (message == WM_MEASUREITEM && reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlID == IDC_SETTINGS_PORT) {
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
  if (message != WM_DRAWITEM || reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->CtlID != IDC_SETTINGS_PORT)
    return false;
  DrawPortEntry(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
  result = TRUE;
  return true;
}

void SettingsDlg::DrawPortEntry(const DRAWITEMSTRUCT& d) const {
  const bool selected = (d.itemState & ODS_SELECTED) != 0;
  FillRect(d.hDC, &d.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const auto& ports = m_model.Ports();
  if (d.itemID == static_cast<UINT>(-1) || d.itemData >= ports.size()) return;
  const auto& port = ports[d.itemData];
  const std::wstring text = (d.itemState & ODS_COMBOBOXEDIT) ? logwick::Utf8ToWide(port.text) : Listed(port);
  SetBkMode(d.hDC, TRANSPARENT);
  SetTextColor(d.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  RECT r = d.rcItem;
  r.left += 2;
  DrawTextW(d.hDC, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (d.itemState & ODS_FOCUS) DrawFocusRect(d.hDC, &d.rcItem);
}

// The open list is as wide as its longest entry with its description.
void SettingsDlg::FitOpenList() const {
  const HWND combo = Item(IDC_SETTINGS_PORT);
  const HDC dc = GetDC(combo);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(combo, WM_GETFONT, 0, 0)));
  int widest = 0;
  for (const auto& port : m_model.Ports()) {
    const std::wstring text = Listed(port);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    widest = std::max<int>(widest, size.cx);
  }
  SelectObject(dc, old);
  ReleaseDC(combo, dc);
  SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + GetSystemMetrics(SM_CXVSCROLL) + 8),
               0);
}

}  // namespace logwick::win
