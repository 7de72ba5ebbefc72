// The synchronisation's view on a terminal: one live line with the step, a
// bar and the read-outs done when stderr is a terminal, plain lines otherwise
// (a line per step and per tenth of the way, for logs and pipes).
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "sync/readout_sync.h"

namespace logwick::cli {

class TerminalSyncView : public ISyncView {
 public:
  TerminalSyncView(std::FILE* out, bool live) : m_out(out), m_live(live) {}

  void OnProgress(const SyncProgress& p) override;
  // Ends the live line; call before printing anything else.
  void Finish();
  // Whether read-outs had begun to travel (a step beyond the comparison).
  bool Exchanging() const { return m_step == SyncStep::Sending || m_step == SyncStep::Fetching; }

 private:
  void Redraw(const SyncProgress& p, bool force);

  std::FILE* m_out;
  bool m_live;
  bool m_lineOpen = false;
  bool m_started = false;
  SyncStep m_step = SyncStep::Connecting;
  int m_lastDecile = -1;
  std::chrono::steady_clock::time_point m_lastDraw{};
};

}  // namespace logwick::cli
