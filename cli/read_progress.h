// The read-out's view on a terminal: one live line with the step, a bar and
// the number of events read when stderr is a terminal, plain lines otherwise
// (for logs and pipes). The panel's firmware and clock, its event count and
// any failure are printed as lines of their own.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "link/readout_view.h"

namespace logwick::cli {

class TerminalReadoutView : public IReadoutView {
 public:
  TerminalReadoutView(std::FILE* out, bool live);

  void StepBegan(ReadoutStep step, std::uint32_t serial) override;
  void EventsBegan(const PanelLogSummary& log) override;
  void ProgressRange(int upper) override;
  void ProgressAt(int position) override;
  void EventRead(int blockEnd, const CT7KEvent& event) override;
  void Warning(ReadoutStatus status) override;

  // Ends the live line; call before printing anything else.
  void Finish();

 private:
  void PrintLine(const std::string& text);
  void Redraw(bool force);
  int Percent() const;

  std::FILE* m_out;
  bool m_live;
  bool m_lineOpen = false;
  bool m_readingEvents = false;
  std::string m_status;
  int m_upper = 0;
  int m_pos = 0;
  int m_eventsRead = 0;
  int m_lastPlainDecile = -1;
  std::uint32_t m_lastDrawMs = 0;
};

// Messages hold "\n" line breaks for the dialog; one line on a terminal.
std::string OneLine(const std::string& text);

}  // namespace logwick::cli
