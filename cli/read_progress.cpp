#include "cli/read_progress.h"

#include <algorithm>

#include "events/strformat.h"
#include "link/comm_port.h"

namespace logwick::cli {
namespace {

constexpr std::uint32_t kRedrawEveryMs = 100;
constexpr int kBarWidth = 24;

}  // namespace

std::string OneLine(const std::string& text) {
  std::string s = text;
  std::replace(s.begin(), s.end(), '\n', ' ');
  return s;
}

TerminalReadoutView::TerminalReadoutView(std::FILE* out, bool live) : m_out(out), m_live(live) {}

int TerminalReadoutView::Percent() const {
  if (m_upper <= 0) return 0;
  return std::clamp(static_cast<int>(static_cast<long long>(m_pos) * 100 / m_upper), 0, 100);
}

void TerminalReadoutView::PrintLine(const std::string& text) {
  if (m_live && m_lineOpen) std::fputs("\r\x1b[K", m_out);
  m_lineOpen = false;
  std::fprintf(m_out, "%s\n", text.c_str());
  std::fflush(m_out);
  if (m_live) Redraw(true);
}

void TerminalReadoutView::Redraw(bool force) {
  if (!m_live) return;
  const std::uint32_t now = TickMs();
  if (!force && now - m_lastDrawMs < kRedrawEveryMs) return;
  m_lastDrawMs = now;
  const int percent = Percent();
  const int filled = percent * kBarWidth / 100;
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(kBarWidth - filled), '.');
  std::fprintf(m_out, "\r\x1b[K%s [%s] %3d%%", m_status.c_str(), bar.c_str(), percent);
  if (m_readingEvents) std::fprintf(m_out, "  %d events", m_eventsRead);
  std::fflush(m_out);
  m_lineOpen = true;
}

void TerminalReadoutView::StepBegan(ReadoutStep step, std::uint32_t serial) {
  m_status = ReadoutStepText(step, serial);
  if (m_live) {
    Redraw(true);
  } else {
    std::fprintf(m_out, "%s\n", m_status.c_str());
    std::fflush(m_out);
  }
}

void TerminalReadoutView::EventsBegan(const PanelLogSummary& log) {
  PrintLine(PanelVersionText(log));
  PrintLine(PanelCountText(log));
  m_readingEvents = true;
}

void TerminalReadoutView::EventRead(int, const CT7KEvent&) {
  ++m_eventsRead;
  Redraw(false);
}

void TerminalReadoutView::ProgressRange(int upper) {
  m_upper = upper;
  m_pos = 0;
  m_lastPlainDecile = -1;
  Redraw(true);
}

void TerminalReadoutView::ProgressAt(int position) {
  m_pos = position;
  if (m_live) {
    Redraw(false);
    return;
  }
  // Plain output: one line per tenth of the way.
  const int decile = Percent() / 10;
  if (decile != m_lastPlainDecile) {
    m_lastPlainDecile = decile;
    if (m_readingEvents)
      std::fprintf(m_out, "  %3d%%  %d events\n", Percent(), m_eventsRead);
    else
      std::fprintf(m_out, "  %3d%%\n", Percent());
    std::fflush(m_out);
  }
}

void TerminalReadoutView::Warning(ReadoutStatus status) { PrintLine(OneLine(ReadoutMessage(status))); }

void TerminalReadoutView::Finish() {
  if (m_live && m_lineOpen) {
    Redraw(true);
    std::fputc('\n', m_out);
    std::fflush(m_out);
  }
  m_lineOpen = false;
}

}  // namespace logwick::cli
