// The reading dialog (template 103): a pop-up without caption showing a
// reading's steps, the panel's version and clock, the event count, the event
// being read and the percentage bar. Its button, Esc, Enter and Space ask the
// reading to stop; it ends when the reading posts command 107 (completed) or
// 108 (failed or stopped). The reading itself, on its worker, is the desktop
// model's: it reaches this dialog only through calls posted to the interface
// thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string_view>

#include "win/dialog.h"
#include "win/resource_ids.h"

namespace logwick::win {

class FetchlogDlg : public Dialog {
 public:
  // started: the window exists, the reading may begin. stop: the user asked
  // to stop it. Both run on the interface thread.
  FetchlogDlg(std::function<void(FetchlogDlg&)> started, std::function<void()> stop)
      : m_started(std::move(started)), m_stop(std::move(stop)) {}

  // 1 when the reading completed, 2 otherwise.
  INT_PTR Run(HWND owner) { return RunModal(owner, IDD_FETCHLOG); }

  void ShowStatus(std::string_view utf8) const;
  void ShowVersion(std::string_view utf8) const;
  void ShowCount(std::string_view utf8) const;
  void ShowEvent(std::string_view utf8) const;
  // Events arrive: the label "Читается:" shows and the button reads "Остановить".
  void EventsBegin() const;
  void SetRange(int upper) const;
  void SetPos(int pos) const;
  // Ends the dialog: completed gives 1, else 2.
  void End(bool completed) const;

 private:
  void OnInit() override;
  bool OnCommand(WORD id, WORD code) override;

  std::function<void(FetchlogDlg&)> m_started;
  std::function<void()> m_stop;
};

}  // namespace logwick::win
