// What the read-out shows while it runs. The desktop dialog forwards each call
// to its controls on the interface thread, the command line draws a progress
// line on the terminal, tests record the calls. Texts are UTF-8; "\n" in a
// status text is a line break.
#pragma once

#include <string>

namespace logwick {

class IReadoutView {
 public:
  virtual ~IReadoutView() = default;
  virtual void SetStatus(const std::string& text) = 0;       // edit 1001: the current step
  virtual void SetVersionLine(const std::string& text) = 0;  // edit 1002: version and panel clock
  virtual void SetCountLine(const std::string& text) = 0;    // edit 1003: events in the panel
  virtual void SetEventLine(const std::string& text) = 0;    // edit 1004: the event just read
  virtual void ShowReadingLabel() = 0;                       // static 1005 "Читается:"
  virtual void SetButtonText(const std::string& text) = 0;   // button 2 ("Остановить")
  virtual void SetProgressRange(int lower, int upper) = 0;
  virtual void SetProgressPos(int pos) = 0;
  // The read-out's message (warning icon, application title as caption). A
  // notification: the read-out carries on right after the call, so a dialog
  // shows the box and closes only once the user has dismissed it.
  virtual void ShowWarning(const std::string& text) = 0;
};

}  // namespace logwick
