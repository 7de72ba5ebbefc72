#include "win/fetchlog_dlg.h"

#include <commctrl.h>

#include "win/resource_ids.h"
#include "win/text_progress_ctrl.h"

namespace logwick::win {

void FetchlogDlg::OnInit() {
  TakeOverProgressBar(Item(IDC_FETCH_PROGRESS));
  SetRange(116);
  SetFocus(Item(IDC_FETCH_STOP));
  if (m_started) m_started(*this);
}

bool FetchlogDlg::OnCommand(WORD id, WORD) {
  // The button and Esc (IDCANCEL), Enter (IDOK: the dialog has no default
  // button), Space on the button: ask to stop; the reading ends the dialog.
  if (id == IDOK || id == IDCANCEL) {
    if (m_stop) m_stop();
    return true;
  }
  if (id == ID_FETCH_DONE || id == ID_FETCH_FAILED) {
    EndDialog(m_window, id == ID_FETCH_DONE ? 1 : 2);
    return true;
  }
  return false;
}

void FetchlogDlg::ShowStatus(std::string_view utf8) const { SetText(IDC_FETCH_STATUS, utf8); }
void FetchlogDlg::ShowVersion(std::string_view utf8) const { SetText(IDC_FETCH_VERSION, utf8); }
void FetchlogDlg::ShowCount(std::string_view utf8) const { SetText(IDC_FETCH_COUNT, utf8); }
void FetchlogDlg::ShowEvent(std::string_view utf8) const { SetText(IDC_FETCH_EVENT, utf8); }

void FetchlogDlg::EventsBegin() const {
  ShowWindow(Item(IDC_FETCH_LABEL), SW_SHOW);
  SetText(IDC_FETCH_STOP, "Остановить");
}

void FetchlogDlg::SetRange(int upper) const {
  SendMessageW(Item(IDC_FETCH_PROGRESS), PBM_SETRANGE, 0, MAKELPARAM(0, upper));
}

void FetchlogDlg::SetPos(int pos) const {
  SendMessageW(Item(IDC_FETCH_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(pos), 0);
}

void FetchlogDlg::End(bool completed) const {
  PostMessageW(m_window, WM_COMMAND, completed ? ID_FETCH_DONE : ID_FETCH_FAILED, 0);
}

}  // namespace logwick::win
