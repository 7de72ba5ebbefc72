// A virtual panel on a pseudo-terminal that disappears in the middle of an
// event block: it sends the first half of block `vanishAtBlock` (counted from
// 1) and then closes the terminal's master side, as when a USB adapter is
// pulled. The reader keeps its end open and sees a line that has hung up.
#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "sim/virtual_panel.h"

namespace logwick::test {

class VanishingPtyPanel {
 public:
  VanishingPtyPanel(sim::PanelConfig config, unsigned vanishAtBlock);
  ~VanishingPtyPanel();
  VanishingPtyPanel(const VanishingPtyPanel&) = delete;
  VanishingPtyPanel& operator=(const VanishingPtyPanel&) = delete;

  // Creates the terminal and starts serving; false with error set when it cannot.
  bool Start(std::string& error);
  const std::string& DevicePath() const { return m_path; }
  bool Vanished() const { return m_vanished; }

 private:
  void Serve();
  void Vanish();
  void WriteAll(const std::uint8_t* data, std::size_t length);

  sim::VirtualPanel m_panel;
  unsigned m_vanishAt;
  unsigned m_blocksSent = 0;
  int m_master = -1;
  int m_slave = -1;
  std::string m_path;
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_vanished{false};
  std::thread m_thread;
};

}  // namespace logwick::test
