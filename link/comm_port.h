// The one serial port through which the reader talks to the panel: opens the
// port with the panel's line settings, writes a request after discarding stale
// input, and reads a reply of known maximum length with the time-out rule of
// link/timeouts.h.
//
// POSIX: termios, raw 8 bits, one stop bit, no flow control, DTR and RTS held
// inactive, the device locked exclusively; the reader sleeps in poll() until
// a reply begins, then for the wire time of the bytes still expected, and
// collects what has come (link/timeouts.h). Windows: the COM device through the
// Win32 communications calls, polled without sleeping as the panel software
// always did.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "link/panel_port.h"

// Why a port would not open.
enum class OpenFailure {
  kNone,
  kNoDevice,      // nothing there, or no port behind the device
  kNoPermission,  // this user may not open it
  kBusy,          // another program holds it
  kOther,         // not a serial port, or it refused the line settings
};

class CCommPort : public logwick::IPanelPort {
 public:
  CCommPort();
  ~CCommPort() override;
  CCommPort(const CCommPort&) = delete;
  CCommPort& operator=(const CCommPort&) = delete;

  // Opens COM port `portNumber` (0 or above 255 means 1), resolved through
  // logwick::PortDevicePath.
  bool Open(unsigned portNumber, unsigned baud, std::uint8_t parity) override;
  // Opens a device by path (a tty, a pseudo-terminal, "\\.\COM3").
  bool OpenDevice(const std::string& path, unsigned baud, std::uint8_t parity);
  // From now on Open opens this device whatever the port number (the command
  // line's --device). An empty path restores the port numbers.
  void BindDevice(std::string path) { m_boundDevice = std::move(path); }
  void Write(const std::uint8_t* data, std::size_t length) override;
  void Read(std::uint8_t* buf, std::size_t capacity, std::size_t& count, std::size_t expected) override;
  void Close() override;

  bool IsOpen() const;
  // Why the last Open failed: the device and the system's reason (English).
  const std::string& LastError() const { return m_lastError; }
  OpenFailure LastFailure() const { return m_failure; }

 private:
  bool Fail(const std::string& what, OpenFailure kind = OpenFailure::kOther);

#ifdef _WIN32
  void* m_handle;  // HANDLE; INVALID_HANDLE_VALUE when closed
#else
  int m_fd = -1;
  bool m_exclusive = false;  // this descriptor set the terminal's exclusive mode
#endif
  std::uint32_t m_baudRate = 0;
  std::uint8_t m_parity = 0;
  std::uint32_t m_lastWritten = 0;
  std::string m_device;
  std::string m_boundDevice;
  std::string m_lastError;
  OpenFailure m_failure = OpenFailure::kNone;
};

namespace logwick {
// Milliseconds of a monotonic clock, wrapping at 32 bits (the tick counter).
std::uint32_t TickMs();
}  // namespace logwick
