#include "win/fetchlog_dlg.h"

#include <commctrl.h>

#include "desk/control_ids.h"
#include "win/text_progress_ctrl.h"

namespace logwick::win {

INT_PTR FetchlogDlg::Run(HWND owner) { return RunModal(owner, IDD_READING); }

void FetchlogDlg::OnInit() {
  TakeOverProgressBar(Item(IDC_READING_PROGRESS));
  Apply();
  SetFocus(Item(IDC_READING_STOP));
  // Shown before the reading starts: its messages are owned by it and centred
  // on it, and one may come before the dialog's loop would show it.
  ShowWindow(m_window, SW_SHOW);
  UpdateWindow(m_window);
  const HWND window = m_window;
  m_session.Start([this] { Apply(); },
                  [window](int result) {
                    PostMessageW(window, WM_COMMAND, result == 1 ? IDC_READING_DONE : IDC_READING_FAILED, 0);
                  });
}

void FetchlogDlg::Apply() const {
  const logwick::ReadingSession::State& s = m_session.GetState();
  // Only what changed: a set text repaints its edit even when it is the same.
  const struct {
    int id;
    const std::string& text;
  } edits[] = {{IDC_READING_STATUS, s.status},
               {IDC_READING_VERSION, s.version},
               {IDC_READING_COUNT, s.count},
               {IDC_READING_EVENT, s.eventLine},
               {IDC_READING_STOP, s.button}};
  for (const auto& e : edits)
    if (Text(e.id) != e.text) SetText(e.id, e.text);
  ShowWindow(Item(IDC_READING_LABEL), s.readingLabel ? SW_SHOWNA : SW_HIDE);
  const HWND bar = Item(IDC_READING_PROGRESS);
  SendMessageW(bar, PBM_SETRANGE32, 0, s.rangeUpper);  // a new range alone repaints nothing
  SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(s.position), 0);
}

bool FetchlogDlg::OnCommand(WORD id, WORD) {
  // The button and Esc (IDCANCEL), Enter (IDOK: the dialog has no default
  // button), Space on the button: ask to stop; the reading ends the dialog.
  if (id == IDOK || id == IDCANCEL) {
    m_session.Cancel();
    return true;
  }
  if (id == IDC_READING_DONE || id == IDC_READING_FAILED) {
    EndDialog(m_window, id == IDC_READING_DONE ? 1 : 2);
    return true;
  }
  return false;
}

}  // namespace logwick::win
