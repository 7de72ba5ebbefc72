// The Win32 serial backend and the port list, under Wine. The line tests talk
// to simulated panels that the CTest fixture serves on pseudo-terminals linked
// as COM ports of the test's Wine prefix (tests/windows/lines.sh). Wine
// accepts a second exclusive open of a pty and reads back its own parity and
// DTR/RTS settings, so those are not asserted here. Timings have generous
// margins: they check the time-out rule, not speed.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "link/comm_port.h"
#include "link/frames.h"
#include "link/port_names.h"
#include "link/protocol.h"

using namespace logwick;

namespace {

// Without the Linux simulator (LOGWICK_HOST_CLI unset) there are no lines.
#define REQUIRE_LINES() \
  if (!LOGWICK_WINE_LINES) GTEST_SKIP() << "no simulated panels in this build"

DWORD MsSince(DWORD start) { return GetTickCount() - start; }

// One discovery exchange; the serial number that answered, 0 for none.
std::uint32_t Discover(CCommPort& port) {
  std::uint8_t buf[16];
  std::size_t count = 0;
  port.Write(frames::kDiscoverFrame.data(), frames::kDiscoverFrame.size());
  port.Read(buf, sizeof buf, count, 5);
  return count == 5 ? frames::UnpackSerial(buf + 1) : 0;
}

}  // namespace

TEST(Win32PortNames, ComDevicesAndTheSystemList) {
  EXPECT_EQ(PortDevicePath(3), "\\\\.\\COM3");
  EXPECT_EQ(PortDevicePath(255), "\\\\.\\COM255");
  EXPECT_EQ(PortsFolder(), "");

  // scripts/windows/wine-prefix.sh registers this port in the test prefix.
  const unsigned number = LOGWICK_WINE_LISTED_PORT;
  const auto ports = EnumeratePorts();
  const auto it = std::find_if(ports.begin(), ports.end(),
                               [&](const PortInfo& p) { return p.number == number; });
  ASSERT_NE(it, ports.end()) << "COM" << number << " is registered in the prefix";
  EXPECT_EQ(it->devicePath, PortDevicePath(number));
  for (const auto& p : ports) EXPECT_GT(p.number, 0u);
}

TEST(Win32CommPort, OpenConfiguresTheLineOrFailsClosed) {
  REQUIRE_LINES();
  CCommPort port;
  EXPECT_FALSE(port.IsOpen());
  ASSERT_TRUE(port.Open(LOGWICK_WINE_PANEL_PORT, 9600, 0)) << port.LastError();
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(Discover(port), LOGWICK_WINE_PANEL_SERIAL);
  // Open on an open port closes it first; the ГАЗ line settings work too.
  ASSERT_TRUE(port.Open(LOGWICK_WINE_PANEL_PORT, 1200, 2)) << port.LastError();
  EXPECT_EQ(Discover(port), LOGWICK_WINE_PANEL_SERIAL);
  port.Close();
  EXPECT_FALSE(port.IsOpen());
  port.Close();  // closing twice is harmless

  CCommPort missing;
  EXPECT_FALSE(missing.Open(199, 9600, 0));
  EXPECT_FALSE(missing.IsOpen());
  EXPECT_NE(missing.LastError().find("COM199"), std::string::npos) << missing.LastError();

  // A device that is no serial line opens but refuses the line settings: the
  // port must end up closed, not half-configured.
  CCommPort notALine;
  EXPECT_FALSE(notALine.Open(LOGWICK_WINE_LISTED_PORT, 9600, 0));
  EXPECT_FALSE(notALine.IsOpen());
  EXPECT_FALSE(notALine.LastError().empty());
}

TEST(Win32CommPort, PortNumbersOutOfRangeOpenComOne) {
  REQUIRE_LINES();  // COM1 is linked to the panel as well
  CCommPort port;
  ASSERT_TRUE(port.Open(0, 9600, 0)) << port.LastError();
  EXPECT_EQ(Discover(port), LOGWICK_WINE_PANEL_SERIAL);
  ASSERT_TRUE(port.Open(300, 9600, 0)) << port.LastError();
  EXPECT_EQ(Discover(port), LOGWICK_WINE_PANEL_SERIAL);
}

TEST(Win32CommPort, ReadReturnsAtOnceOnTheExpectedCount) {
  REQUIRE_LINES();
  CCommPort port;
  ASSERT_TRUE(port.Open(LOGWICK_WINE_PANEL_PORT, 1200, 2)) << port.LastError();
  // At 1200 baud the deadline would be (5 + 16) * 10 + 80 = 290 ms.
  std::uint8_t buf[16];
  std::size_t count = 0;
  port.Write(frames::kDiscoverFrame.data(), frames::kDiscoverFrame.size());
  const DWORD t = GetTickCount();
  port.Read(buf, sizeof buf, count, 5);
  EXPECT_LT(MsSince(t), 200u);
  ASSERT_EQ(count, 5u);
  EXPECT_EQ(frames::UnpackSerial(buf + 1), LOGWICK_WINE_PANEL_SERIAL);
}

TEST(Win32CommPort, ReadWaitsTheComputedTimeOtherwise) {
  REQUIRE_LINES();
  CCommPort port;
  ASSERT_TRUE(port.Open(LOGWICK_WINE_SILENT_PORT, 9600, 0)) << port.LastError();
  std::uint8_t buf[32];
  std::size_t count = 99;

  // Silence: (5 + 32) * 12000 / 9600 + 80 = 126 ms.
  port.Write(frames::kDiscoverFrame.data(), frames::kDiscoverFrame.size());
  DWORD t = GetTickCount();
  port.Read(buf, 32, count, 5);
  DWORD waited = MsSince(t);
  EXPECT_EQ(count, 0u);
  EXPECT_GE(waited, 120u);  // the tick counter may step by a few ms
  EXPECT_LT(waited, 126u + 300u);

  // Six bytes when five are expected (capacity 16): the read waits for the
  // deadline set by the arrival, (16 - 6) * 12000 / 9600 + 80 = 92 ms.
  const auto packed = frames::PackSerial(LOGWICK_WINE_PANEL_SERIAL, frames::kKindAssign);
  const std::uint8_t assign[6] = {0x80, packed[0], packed[1], packed[2], packed[3], 1};
  port.Write(assign, sizeof assign);
  t = GetTickCount();
  port.Read(buf, 16, count, 5);
  waited = MsSince(t);
  EXPECT_EQ(count, 6u);
  EXPECT_GE(waited, 86u);
  EXPECT_LT(waited, 92u + 300u);
}

TEST(Win32CommPort, WriteDiscardsStaleInput) {
  REQUIRE_LINES();
  CCommPort port;
  ASSERT_TRUE(port.Open(LOGWICK_WINE_PANEL_PORT, 9600, 0)) << port.LastError();
  port.Write(frames::kDiscoverFrame.data(), frames::kDiscoverFrame.size());
  Sleep(150);  // the answer arrives and stays unread
  port.Write(frames::kSearchFrame.data(), frames::kSearchFrame.size());  // never answered
  std::uint8_t buf[16];
  std::size_t count = 99;
  port.Read(buf, sizeof buf, count, 5);
  EXPECT_EQ(count, 0u);
}

TEST(Win32CommPort, TheBaudRateReachesTheLine) {
  REQUIRE_LINES();
  // The paced panel sends at the rate the port was set to: a block of 4
  // events, 5 + 5 bytes to select and 3 + 67 to fetch, at 11 bits a byte and
  // 1200 baud takes 733 ms; at 9600 baud the same exchange takes about 92 ms.
  CCommPort port;
  ASSERT_TRUE(port.Open(LOGWICK_WINE_PACED_PORT, 1200, 2)) << port.LastError();
  ASSERT_EQ(SetPanelAddress(port, LOGWICK_WINE_PANEL_SERIAL, 1), 0);
  std::uint8_t out[64];
  const DWORD t = GetTickCount();
  ASSERT_EQ(ReadEventBlock(port, 0, out, 4), 0);
  const DWORD took = MsSince(t);
  EXPECT_GE(took, 700u);
  EXPECT_LT(took, 733u + 600u);  // 300 baud would take four times as long
}
