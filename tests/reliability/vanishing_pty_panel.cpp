#include "tests/reliability/vanishing_pty_panel.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "link/frames.h"

namespace logwick::test {

VanishingPtyPanel::VanishingPtyPanel(sim::PanelConfig config, unsigned vanishAtBlock)
    : m_panel(std::move(config)), m_vanishAt(vanishAtBlock) {}

VanishingPtyPanel::~VanishingPtyPanel() {
  m_stop = true;
  if (m_thread.joinable()) m_thread.join();
  Vanish();
}

bool VanishingPtyPanel::Start(std::string& error) {
  m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  char name[128];
  if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 ||
      ::ptsname_r(m_master, name, sizeof name) != 0) {
    error = std::strerror(errno);
    return false;
  }
  m_path = name;
  // Our own raw-mode descriptor of the slave keeps the line's settings sane
  // until the reader opens it.
  m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m_slave < 0) {
    error = m_path + ": " + std::strerror(errno);
    return false;
  }
  termios tio;
  if (::tcgetattr(m_slave, &tio) == 0) {
    ::cfmakeraw(&tio);
    ::tcsetattr(m_slave, TCSANOW, &tio);
  }
  m_thread = std::thread([this] { Serve(); });
  return true;
}

void VanishingPtyPanel::Vanish() {
  if (m_master >= 0) ::close(m_master);
  if (m_slave >= 0) ::close(m_slave);
  m_master = m_slave = -1;
  m_vanished = true;
}

void VanishingPtyPanel::WriteAll(const std::uint8_t* data, std::size_t length) {
  while (length > 0) {
    const ssize_t n = ::write(m_master, data, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    data += n;
    length -= static_cast<std::size_t>(n);
  }
}

void VanishingPtyPanel::Serve() {
  std::uint8_t buf[512];
  while (!m_stop && !m_vanished) {
    pollfd p{m_master, POLLIN, 0};
    if (::poll(&p, 1, 20) <= 0 || !(p.revents & POLLIN)) continue;
    const ssize_t n = ::read(m_master, buf, sizeof buf);
    if (n <= 0) continue;
    std::vector<sim::Reply> replies;
    m_panel.Receive(buf, static_cast<std::size_t>(n), replies);
    for (const sim::Reply& r : replies) {
      const std::size_t blockBytes = std::size_t{m_panel.Config().blockSize} * CT7KEvent::kSize;
      const bool block = r.bytes.size() == 2 + blockBytes + 1 && r.bytes[0] == frames::kDataStart;
      if (block && ++m_blocksSent == m_vanishAt) {
        WriteAll(r.bytes.data(), r.bytes.size() / 2);
        ::tcdrain(m_master);
        Vanish();
        return;
      }
      WriteAll(r.bytes.data(), r.bytes.size());
    }
  }
}

}  // namespace logwick::test
