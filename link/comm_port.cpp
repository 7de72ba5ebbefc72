#include "link/comm_port.h"

#include <cstring>

#include "events/strformat.h"
#include "link/baud_rates.h"
#include "link/port_names.h"
#include "link/timeouts.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace timeouts = logwick::timeouts;

namespace {

unsigned NormalisedPortNumber(unsigned n) { return (n == 0 || n > 255) ? 1 : n; }

// What an error code of opening the device means.
template <class Code>
struct CodeFailure {
  Code code;
  OpenFailure failure;
};

template <class Code, std::size_t N>
OpenFailure FailureOf(Code code, const CodeFailure<Code> (&table)[N]) {
  for (const auto& entry : table)
    if (entry.code == code) return entry.failure;
  return OpenFailure::kOther;
}

}  // namespace

bool CCommPort::Fail(const std::string& what, OpenFailure kind) {
  m_lastError = m_device.empty() ? what : m_device + ": " + what;
  m_failure = kind;
  Close();
  return false;
}

bool CCommPort::Open(unsigned portNumber, unsigned baud, std::uint8_t parity) {
  if (!m_boundDevice.empty()) return OpenDevice(m_boundDevice, baud, parity);
  const unsigned n = NormalisedPortNumber(portNumber);
  const std::string path = logwick::PortDevicePath(n);
  if (path.empty()) {
    Close();
    m_baudRate = baud;
    m_device.clear();
    m_lastError = logwick::StrFormat("COM%u: no device is known for this port number", n);
    m_failure = OpenFailure::kNoDevice;
    return false;
  }
  return OpenDevice(path, baud, parity);
}

#ifdef _WIN32

namespace logwick {
std::uint32_t TickMs() { return GetTickCount(); }
}  // namespace logwick

namespace {

// A COM port that another program has open is refused with access denied.
constexpr CodeFailure<DWORD> kOpenErrors[] = {
    {ERROR_FILE_NOT_FOUND, OpenFailure::kNoDevice},
    {ERROR_PATH_NOT_FOUND, OpenFailure::kNoDevice},
    {ERROR_ACCESS_DENIED, OpenFailure::kBusy},
    {ERROR_SHARING_VIOLATION, OpenFailure::kBusy},
};

}  // namespace

CCommPort::CCommPort() : m_handle(INVALID_HANDLE_VALUE) {}

CCommPort::~CCommPort() { Close(); }

bool CCommPort::IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }

bool CCommPort::OpenDevice(const std::string& path, unsigned baud, std::uint8_t parity) {
  Close();
  m_baudRate = baud;
  m_device = path;
  m_lastError.clear();
  m_failure = OpenFailure::kNone;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD err = GetLastError();
    return Fail(logwick::StrFormat("cannot open (error %lu)", err), FailureOf(err, kOpenErrors));
  }
  m_handle = h;

  DCB dcb;
  std::memset(&dcb, 0, sizeof dcb);
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(h, &dcb))
    return Fail(logwick::StrFormat("cannot read the line settings (error %lu)", GetLastError()));
  dcb.BaudRate = baud;
  dcb.ByteSize = 8;
  dcb.Parity = parity;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fParity = TRUE;
  dcb.fTXContinueOnXoff = TRUE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDtrControl = DTR_CONTROL_DISABLE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fErrorChar = FALSE;
  dcb.fNull = FALSE;
  dcb.fRtsControl = RTS_CONTROL_DISABLE;
  dcb.fAbortOnError = FALSE;
  dcb.wReserved = 0;
  if (!SetCommState(h, &dcb))
    return Fail(logwick::StrFormat("cannot set the line settings (error %lu)", GetLastError()));

  // Reads return at once with whatever is buffered; writes have no time-out.
  COMMTIMEOUTS t;
  t.ReadIntervalTimeout = MAXDWORD;
  t.ReadTotalTimeoutMultiplier = 0;
  t.ReadTotalTimeoutConstant = 0;
  t.WriteTotalTimeoutMultiplier = 0;
  t.WriteTotalTimeoutConstant = 0;
  if (!SetCommTimeouts(h, &t))
    return Fail(logwick::StrFormat("cannot set the time-outs (error %lu)", GetLastError()));
  return true;
}

void CCommPort::Write(const std::uint8_t* data, std::size_t length) {
  if (m_handle != INVALID_HANDLE_VALUE) {
    FlushFileBuffers(m_handle);
    PurgeComm(m_handle, PURGE_RXCLEAR);
    DWORD written = 0;
    WriteFile(m_handle, data, static_cast<DWORD>(length), &written, nullptr);
  }
  m_lastWritten = static_cast<std::uint32_t>(length);
}

void CCommPort::Read(std::uint8_t* buf, std::size_t capacity, std::size_t& count, std::size_t expected) {
  count = 0;
  const auto cap = static_cast<std::uint32_t>(capacity);
  std::uint32_t deadline = GetTickCount() + timeouts::FirstReadWaitMs(m_lastWritten, cap, m_baudRate);
  for (;;) {
    DWORD got = 0;
    if (m_handle == INVALID_HANDLE_VALUE ||
        !ReadFile(m_handle, buf + count, static_cast<DWORD>(capacity - count), &got, nullptr))
      got = 0;
    const std::uint32_t now = GetTickCount();
    if (got > 0) {
      deadline = now + timeouts::NextReadWaitMs(cap - static_cast<std::uint32_t>(count) - got, m_baudRate);
      count += got;
      if (count == expected || count >= capacity) return;
    } else if (timeouts::TickAfter(now, deadline)) {
      return;
    }
  }
}

void CCommPort::Close() {
  if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
  m_handle = INVALID_HANDLE_VALUE;
}

#else  // POSIX

namespace logwick {
std::uint32_t TickMs() {
  using namespace std::chrono;
  return static_cast<std::uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
}  // namespace logwick

namespace {

// Parity code (0 none, 1 odd, 2 even, 3 mark, 4 space) into c_cflag bits.
bool ApplyParity(termios& tio, std::uint8_t parity) {
  tio.c_cflag &= ~(PARENB | PARODD);
#ifdef CMSPAR
  tio.c_cflag &= ~CMSPAR;
#endif
  tio.c_iflag &= ~INPCK;
  switch (parity) {
    case 0:
      return true;
    case 1:
      tio.c_cflag |= PARENB | PARODD;
      break;
    case 2:
      tio.c_cflag |= PARENB;
      break;
#ifdef CMSPAR
    case 3:
      tio.c_cflag |= PARENB | PARODD | CMSPAR;
      break;
    case 4:
      tio.c_cflag |= PARENB | CMSPAR;
      break;
#endif
    default:
      return false;
  }
  // Parity is checked; a damaged byte reads as NUL and the frame's checksum
  // or echo then rejects the reply.
  tio.c_iflag |= INPCK;
  return true;
}

void MakeRaw(termios& tio) {
  tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | IGNPAR);
  tio.c_oflag &= ~OPOST;
  tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  tio.c_cflag &= ~(CSIZE | CSTOPB | CRTSCTS | HUPCL);
  tio.c_cflag |= CS8 | CREAD | CLOCAL;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
}

std::string Errno(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

// A serial driver without a port behind its device answers ENXIO, ENODEV or
// EIO; an exclusive terminal EBUSY.
constexpr CodeFailure<int> kOpenErrors[] = {
    {ENOENT, OpenFailure::kNoDevice},     {ENXIO, OpenFailure::kNoDevice},
    {ENODEV, OpenFailure::kNoDevice},     {EIO, OpenFailure::kNoDevice},
    {EACCES, OpenFailure::kNoPermission}, {EPERM, OpenFailure::kNoPermission},
    {EBUSY, OpenFailure::kBusy},
};

using Micros = std::int64_t;

Micros NowUs() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

constexpr Micros MsToUs(std::uint32_t ms) { return Micros{ms} * 1000; }

void SleepUs(Micros us) {
  if (us > 0) std::this_thread::sleep_for(std::chrono::microseconds(us));
}

}  // namespace

CCommPort::CCommPort() = default;

CCommPort::~CCommPort() { Close(); }

bool CCommPort::IsOpen() const { return m_fd >= 0; }

bool CCommPort::OpenDevice(const std::string& path, unsigned baud, std::uint8_t parity) {
  Close();
  m_baudRate = baud;
  m_parity = parity;
  m_device = path;
  m_lastError.clear();
  m_failure = OpenFailure::kNone;
  speed_t speed;
  if (!logwick::TermiosSpeedOf(baud, speed))
    return Fail(logwick::StrFormat("unsupported baud rate %u", baud));

  m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (m_fd < 0) {
    const int err = errno;
    return Fail(Errno("cannot open"), FailureOf(err, kOpenErrors));
  }
  // Exclusive: an advisory lock every instance of this program honours, and
  // the terminal's own exclusive mode against other programs.
  if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) return Fail(Errno("in use"), OpenFailure::kBusy);
  if (::ioctl(m_fd, TIOCEXCL) != 0) return Fail(Errno("cannot lock"));
  m_exclusive = true;

  termios tio;
  if (::tcgetattr(m_fd, &tio) != 0) return Fail(Errno("cannot read the line settings"));
  MakeRaw(tio);
  if (!ApplyParity(tio, parity))
    return Fail(logwick::StrFormat("unsupported parity code %u", unsigned{parity}));
  if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0)
    return Fail(Errno("cannot set the baud rate"));
  // Read-backs are not compared: a pseudo-terminal keeps the baud rate but
  // quietly drops the parity bit, and the line works all the same.
  if (::tcsetattr(m_fd, TCSANOW, &tio) != 0) return Fail(Errno("cannot set the line settings"));

  // DTR and RTS inactive. Pseudo-terminals refuse modem control; that is fine.
  int lines = TIOCM_DTR | TIOCM_RTS;
  (void)::ioctl(m_fd, TIOCMBIC, &lines);
  return true;
}

void CCommPort::Write(const std::uint8_t* data, std::size_t length) {
  m_lastWritten = static_cast<std::uint32_t>(length);
  if (m_fd < 0) return;
  while (::tcdrain(m_fd) != 0 && errno == EINTR) {
  }
  ::tcflush(m_fd, TCIFLUSH);
  // Frames are short; a line that will not take them within a second is
  // treated like one that never answers.
  constexpr int kWriteStallMs = 1000;
  std::size_t done = 0;
  while (done < length) {
    const ssize_t n = ::write(m_fd, data + done, length - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && errno == EAGAIN) {
      pollfd p{m_fd, POLLOUT, 0};
      if (::poll(&p, 1, kWriteStallMs) <= 0) return;
    } else {
      return;
    }
  }
}

void CCommPort::Read(std::uint8_t* buf, std::size_t capacity, std::size_t& count, std::size_t expected) {
  count = 0;
  const auto cap = static_cast<std::uint32_t>(capacity);
  auto wireUs = [this](std::size_t bytes) {
    return static_cast<Micros>(timeouts::WireTimeUs(bytes, m_baudRate, m_parity));
  };
  Micros now = NowUs();
  Micros deadline = now + MsToUs(timeouts::FirstReadWaitMs(m_lastWritten, cap, m_baudRate));
  Micros lastArrival = now;  // of the last byte collected; an estimate after a sleep
  Micros sleptFrom = -1;     // when the sleep before this collection began; -1: none
  bool lineDead = m_fd < 0;
  bool hangUp = false;  // poll() said the line hung up; data may still be queued
  for (;;) {
    ssize_t got = 0;
    if (!lineDead && count < capacity) {
      got = ::read(m_fd, buf + count, capacity - count);
      // With VMIN and VTIME 0 an empty line reads as 0 bytes, not EAGAIN. A
      // hung-up terminal keeps reporting itself readable and reads 0 bytes.
      if ((got < 0 && errno != EAGAIN && errno != EINTR) || (got == 0 && hangUp)) lineDead = true;
    }
    now = NowUs();
    if (got > 0) {
      const auto n = static_cast<std::size_t>(got);
      lastArrival = sleptFrom < 0 ? now : std::clamp(lastArrival + wireUs(n), sleptFrom, now);
      deadline = lastArrival +
                 MsToUs(timeouts::NextReadWaitMs(cap - static_cast<std::uint32_t>(count + n), m_baudRate));
      count += n;
      if (count == expected || count >= capacity) return;
      // The rest is still on the wire: sleep through it, not byte by byte,
      // all but its last byte, which poll() below catches as it lands.
      const std::size_t awaited = (count < expected ? expected : capacity) - count;
      if (awaited > 1) {
        sleptFrom = now;
        SleepUs(std::min(wireUs(awaited - 1), deadline - now));
        continue;
      }
    }
    sleptFrom = -1;
    if (now > deadline) return;
    // Sleep until a reply begins or the deadline passes. A line that has hung
    // up only waits out the deadline.
    const int waitMs = static_cast<int>((deadline - now) / 1000) + 1;
    if (lineDead) {
      std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
    } else {
      pollfd p{m_fd, POLLIN, 0};
      if (::poll(&p, 1, waitMs) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) hangUp = true;
    }
  }
}

void CCommPort::Close() {
  if (m_fd >= 0) {
    // The exclusive mode belongs to the terminal, not to this descriptor: a
    // pseudo-terminal whose other side stays open would keep it after close.
    // Only the descriptor that set it lifts it: an opener refused by the lock
    // must leave the holder's protection alone.
    if (m_exclusive) (void)::ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
  }
  m_fd = -1;
  m_exclusive = false;
}

#endif
