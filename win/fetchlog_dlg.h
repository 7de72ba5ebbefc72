// The reading dialog (template 103): a pop-up without caption showing a
// reading's step, the panel's version and clock, the event count, the event
// being read and the percentage bar, all from the reading session's state.
// Its button, Esc, Enter and Space ask the reading to stop; the dialog ends
// when the session has finished (commands 107 and 108, results 1 and 2). The
// reading itself runs on the session's worker and reaches this dialog only
// through calls posted to the interface thread.
#pragma once

#include <windows.h>

#include "desk/reading_session.h"
#include "win/dialog.h"

namespace logwick::win {

class FetchlogDlg : public Dialog {
 public:
  explicit FetchlogDlg(logwick::ReadingSession& session) : m_session(session) {}

  // Runs until the reading has finished: 1 when it completed, 2 otherwise.
  // The session starts once the window exists.
  INT_PTR Run(HWND owner);

 private:
  void OnInit() override;
  bool OnCommand(WORD id, WORD code) override;
  void Apply() const;

  logwick::ReadingSession& m_session;
};

}  // namespace logwick::win
