// A virtual panel on a pseudo-terminal: the reader opens the slave device as
// it would a serial port, the panel reads requests from the master side and
// writes its replies there.
//
// The server keeps its own descriptor of the slave open, in raw mode, so the
// line stays up between readers; with takeControllingTerminal (the caller has
// just become a session leader) it also makes the terminal its controlling
// one. With pacing, every reply starts when the request would have finished
// arriving at the line's baud rate and its bytes come out at that rate, so
// the wire time is real. The baud rate is the one the reader set on the
// terminal; a pseudo-terminal drops the parity bit, so 1200 baud (the only
// rate the reader uses with parity) is reckoned at 11 bits a byte, others at 10.
// The line can echo what the reader sends, and the panel can be deaf to all
// but one line mode.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "sim/virtual_panel.h"

namespace logwick::sim {

struct PtyOptions {
  bool pace = false;
  bool takeControllingTerminal = false;
  // Every request comes straight back, as from an RS-485 adapter that hears
  // its own transmitter (with a silent panel: a loopback plug).
  bool echo = false;
  // The panel hears only a line at this baud rate (1200: ГАЗ mode, 9600: the
  // usual mode); 0: any.
  unsigned onlyAtBaud = 0;
};

class PtyPanel {
 public:
  PtyPanel(PanelConfig config, PtyOptions options = {});
  ~PtyPanel();
  PtyPanel(const PtyPanel&) = delete;
  PtyPanel& operator=(const PtyPanel&) = delete;

  // Creates the pseudo-terminal. False with error set when it cannot.
  bool Open(std::string& error);
  const std::string& DevicePath() const { return m_path; }

  // Serves requests until stop is set (checked at least every 50 ms).
  void Run(const std::atomic<bool>& stop);
  // Run on a thread of its own, for tests.
  void Start();
  void Stop();

  // The panel's state, safe to read while it runs.
  template <class F>
  auto Inspect(F f) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return f(static_cast<const VirtualPanel&>(m_panel));
  }

 private:
  void Answer(const std::vector<Reply>& replies, std::uint64_t receivedUs);
  void WritePaced(const std::vector<std::uint8_t>& bytes, std::uint64_t startUs, std::uint64_t byteUs);
  void WriteAll(const std::uint8_t* data, std::size_t length);
  std::uint64_t ByteTimeUs() const;
  unsigned LineBaud() const;

  VirtualPanel m_panel;
  PtyOptions m_options;
  std::mutex m_mutex;
  int m_master = -1;
  int m_slave = -1;
  std::string m_path;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

// Microseconds of a monotonic clock.
std::uint64_t NowUs();

}  // namespace logwick::sim
