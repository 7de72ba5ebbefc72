// The read-out's view on a terminal: one live line with the step, a bar and
// the number of events read when stderr is a terminal, plain lines otherwise
// (for logs and pipes). The panel's version and clock, its event count and
// any warning are printed as lines of their own.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "link/readout_view.h"

namespace logwick::cli {

class TerminalReadoutView : public IReadoutView {
 public:
  TerminalReadoutView(std::FILE* out, bool live);

  void SetStatus(const std::string& text) override;
  void SetVersionLine(const std::string& text) override;
  void SetCountLine(const std::string& text) override;
  void SetEventLine(const std::string& text) override;
  void ShowReadingLabel() override { m_readingEvents = true; }
  void SetButtonText(const std::string&) override {}
  void SetProgressRange(int lower, int upper) override;
  void SetProgressPos(int pos) override;
  void ShowWarning(const std::string& text) override;

  // Ends the live line; call before printing anything else.
  void Finish();
  int EventsRead() const { return m_eventsRead; }

 private:
  void PrintLine(const std::string& text);
  void Redraw(bool force);
  int Percent() const;

  std::FILE* m_out;
  bool m_live;
  bool m_lineOpen = false;
  bool m_readingEvents = false;
  std::string m_status;
  int m_lower = 0;
  int m_upper = 0;
  int m_pos = 0;
  int m_eventsRead = 0;
  int m_lastPlainDecile = -1;
  std::uint32_t m_lastDrawMs = 0;
};

// Status texts hold "\n" line breaks for the dialog; one line on a terminal.
std::string OneLine(const std::string& text);

}  // namespace logwick::cli
