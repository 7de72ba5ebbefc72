#include "sim/pty_panel.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#include <unistd.h>

#include "link/baud_rates.h"

namespace logwick::sim {
namespace {

constexpr int kIdlePollMs = 50;
// A frame whose rest has not come within this time is dropped.
constexpr std::uint64_t kPartialFrameUs = 200'000;
// Paced bytes go out in bunches at least this far apart, to spare wake-ups.
constexpr std::uint64_t kPaceGranularityUs = 2'000;

void SleepUntilUs(std::uint64_t t) {
  const std::uint64_t now = NowUs();
  if (t > now) std::this_thread::sleep_for(std::chrono::microseconds(t - now));
}

}  // namespace

std::uint64_t NowUs() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

PtyPanel::PtyPanel(PanelConfig config, PtyOptions options) : m_panel(std::move(config)), m_options(options) {}

PtyPanel::~PtyPanel() {
  Stop();
  if (m_slave >= 0) ::close(m_slave);
  if (m_master >= 0) ::close(m_master);
}

bool PtyPanel::Open(std::string& error) {
  m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
    error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
    return false;
  }
  char name[128];
  if (::ptsname_r(m_master, name, sizeof name) != 0) {
    error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
    return false;
  }
  m_path = name;
  const int flags = O_RDWR | O_CLOEXEC | (m_options.takeControllingTerminal ? 0 : O_NOCTTY);
  m_slave = ::open(name, flags);
  if (m_slave < 0) {
    error = m_path + ": " + std::strerror(errno);
    return false;
  }
  if (m_options.takeControllingTerminal && ::ioctl(m_slave, TIOCSCTTY, 0) != 0) {
    error = m_path + ": cannot become its controlling process: " + std::strerror(errno);
    return false;
  }
  termios tio;
  if (::tcgetattr(m_slave, &tio) == 0) {
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    ::tcsetattr(m_slave, TCSANOW, &tio);
  }
  const int fl = ::fcntl(m_master, F_GETFL);
  ::fcntl(m_master, F_SETFL, fl | O_NONBLOCK);
  return true;
}

unsigned PtyPanel::LineBaud() const {
  termios tio;
  if (::tcgetattr(m_slave, &tio) != 0) return 9600;
  const unsigned baud = BaudOfTermiosSpeed(::cfgetospeed(&tio));
  return baud ? baud : 9600;
}

std::uint64_t PtyPanel::ByteTimeUs() const {
  termios tio;
  const bool parity = ::tcgetattr(m_slave, &tio) == 0 && (tio.c_cflag & PARENB) != 0;
  const unsigned baud = LineBaud();
  const unsigned bits = (parity || baud == 1200) ? 11 : 10;
  return std::uint64_t{bits} * 1'000'000 / baud;
}

void PtyPanel::WriteAll(const std::uint8_t* data, std::size_t length) {
  std::size_t done = 0;
  while (done < length) {
    const ssize_t n = ::write(m_master, data + done, length - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      pollfd p{m_master, POLLOUT, 0};
      ::poll(&p, 1, kIdlePollMs);
      if (m_stop.load()) return;
    } else {
      return;
    }
  }
}

void PtyPanel::WritePaced(const std::vector<std::uint8_t>& bytes, std::uint64_t startUs,
                          std::uint64_t byteUs) {
  // Byte i has wholly arrived at startUs + (i + 1) * byteUs. Bytes go out in
  // bunches covering at least kPaceGranularityUs; the last one exactly on time.
  const std::size_t bunch = std::max<std::size_t>(1, kPaceGranularityUs / byteUs);
  std::size_t sent = 0;
  while (sent < bytes.size() && !m_stop.load()) {
    const std::size_t upTo = std::min(sent + bunch, bytes.size());
    SleepUntilUs(startUs + upTo * byteUs);
    WriteAll(bytes.data() + sent, upTo - sent);
    sent = upTo;
  }
}

void PtyPanel::Answer(const std::vector<Reply>& replies, std::uint64_t receivedUs) {
  if (!m_options.pace) {
    for (const auto& r : replies) WriteAll(r.bytes.data(), r.bytes.size());
    return;
  }
  const std::uint64_t byteUs = ByteTimeUs();
  std::uint64_t start = receivedUs;
  for (const auto& r : replies) {
    start += r.requestLength * byteUs;  // the request's own time on the wire
    WritePaced(r.bytes, start, byteUs);
    start = std::max(start + r.bytes.size() * byteUs, NowUs());
  }
}

void PtyPanel::Run(const std::atomic<bool>& stop) {
#ifdef __linux__
  // Paced bytes leave on time to the microsecond, not within the default
  // 50 us of timer slack.
  if (m_options.pace) ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
  std::uint8_t buf[4096];
  std::uint64_t lastByteUs = 0;
  std::vector<Reply> replies;
  while (!stop.load() && !m_stop.load()) {
    pollfd p{m_master, POLLIN, 0};
    const int ready = ::poll(&p, 1, kIdlePollMs);
    const std::uint64_t now = NowUs();
    if (ready <= 0 || !(p.revents & POLLIN)) {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (m_panel.HasPartialFrame() && now - lastByteUs > kPartialFrameUs) m_panel.DropPartialFrame();
      if (ready > 0 && (p.revents & (POLLHUP | POLLERR)))
        std::this_thread::sleep_for(std::chrono::milliseconds(kIdlePollMs));
      continue;
    }
    const ssize_t n = ::read(m_master, buf, sizeof buf);
    if (n <= 0) continue;
    lastByteUs = now;
    if (m_options.echo) WriteAll(buf, static_cast<std::size_t>(n));
    // At another baud rate the panel hears only garbled bytes.
    if (m_options.onlyAtBaud && LineBaud() != m_options.onlyAtBaud) continue;
    replies.clear();
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_panel.Receive(buf, static_cast<std::size_t>(n), replies);
    }
    Answer(replies, now);
  }
}

void PtyPanel::Start() {
  m_stop = false;
  m_thread = std::thread([this] { Run(m_stop); });
}

void PtyPanel::Stop() {
  m_stop = true;
  if (m_thread.joinable()) m_thread.join();
}

}  // namespace logwick::sim
