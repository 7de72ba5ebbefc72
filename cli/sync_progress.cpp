#include "cli/sync_progress.h"

#include "events/strformat.h"

namespace logwick::cli {
namespace {

constexpr std::chrono::milliseconds kRedrawEvery{100};
constexpr int kBarWidth = 24;

int Percent(const SyncProgress& p) { return p.total == 0 ? 100 : static_cast<int>(p.done * 100 / p.total); }

}  // namespace

void TerminalSyncView::OnProgress(const SyncProgress& p) {
  const bool newStep = !m_started || p.step != m_step;
  m_started = true;
  m_step = p.step;
  if (m_live) {
    Redraw(p, newStep || p.done == p.total);
    return;
  }
  if (newStep) {
    m_lastDecile = -1;
    if (p.total > 0)
      std::fprintf(m_out, "%s, чтений: %zu\n", SyncStepText(p.step), p.total);
    else
      std::fprintf(m_out, "%s\n", SyncStepText(p.step));
  }
  const int decile = Percent(p) / 10;
  if (p.total > 0 && p.done > 0 && decile != m_lastDecile) {
    m_lastDecile = decile;
    std::fprintf(m_out, "  %3d%%  %zu/%zu\n", Percent(p), p.done, p.total);
  }
  std::fflush(m_out);
}

void TerminalSyncView::Redraw(const SyncProgress& p, bool force) {
  const auto now = std::chrono::steady_clock::now();
  if (!force && now - m_lastDraw < kRedrawEvery) return;
  m_lastDraw = now;
  std::string line = SyncStepText(p.step);
  if (p.total > 0) {
    const int filled = Percent(p) * kBarWidth / 100;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kBarWidth - filled), '.');
    line += StrFormat(" [%s] %zu/%zu", bar.c_str(), p.done, p.total);
  }
  std::fprintf(m_out, "\r\x1b[K%s", line.c_str());
  std::fflush(m_out);
  m_lineOpen = true;
}

void TerminalSyncView::Finish() {
  if (m_lineOpen) {
    std::fputc('\n', m_out);
    std::fflush(m_out);
  }
  m_lineOpen = false;
}

}  // namespace logwick::cli
