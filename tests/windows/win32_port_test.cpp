// The Win32 serial backend and the port list, under Wine, against simulated
// panels on pseudo-terminals linked as COM ports (tests/windows/lines.sh).
// Wine accepts a second exclusive open of a pty and reads back its own parity
// and DTR/RTS settings, so those are not asserted. Timings have wide margins.
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

// One exchange: what a read of `capacity` bytes, expecting `expected`, got
// after the request, and how long the read took.
struct Exchange {
  std::size_t count = 99;
  DWORD ms = 0;
  std::uint8_t buf[32] = {};
};
Exchange Ask(CCommPort& port, const std::uint8_t* request, std::size_t length, std::size_t capacity = 16,
             std::size_t expected = 5) {
  Exchange x;
  port.Write(request, length);
  const DWORD start = GetTickCount();
  port.Read(x.buf, capacity, x.count, expected);
  x.ms = GetTickCount() - start;
  return x;
}

// One discovery exchange; the serial number that answered, 0 for none.
std::uint32_t Discover(CCommPort& port) {
  const Exchange x = Ask(port, frames::kDiscoverFrame.data(), frames::kDiscoverFrame.size());
  return x.count == 5 ? frames::UnpackSerial(x.buf + 1) : 0;
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
  // Numbers out of range open COM1, which is linked to the panel as well.
  for (unsigned outOfRange : {0u, 300u}) {
    ASSERT_TRUE(port.Open(outOfRange, 9600, 0)) << port.LastError();
    EXPECT_EQ(Discover(port), LOGWICK_WINE_PANEL_SERIAL);
  }
  port.Close();
  port.Close();  // closing twice is harmless
  EXPECT_FALSE(port.IsOpen());

  CCommPort missing;
  EXPECT_FALSE(missing.Open(199, 9600, 0) || missing.IsOpen());
  EXPECT_NE(missing.LastError().find("COM199"), std::string::npos) << missing.LastError();

  // A device that is no serial line opens but refuses the line settings: the
  // port must end up closed, not half-configured.
  CCommPort notALine;
  EXPECT_FALSE(notALine.Open(LOGWICK_WINE_LISTED_PORT, 9600, 0) || notALine.IsOpen());
  EXPECT_FALSE(notALine.LastError().empty());
}

// A read returns at once on the expected count, and otherwise waits the time
// the time-out rule computes.
TEST(Win32CommPort, ReadEndsOnTheExpectedCountOrTheComputedTime) {
  REQUIRE_LINES();
  CCommPort port;
  // At 1200 baud the deadline would be (5 + 16) * 10 + 80 = 290 ms.
  ASSERT_TRUE(port.Open(LOGWICK_WINE_PANEL_PORT, 1200, 2)) << port.LastError();
  Exchange x = Ask(port, frames::kDiscoverFrame.data(), frames::kDiscoverFrame.size());
  EXPECT_LT(x.ms, 200u);
  ASSERT_EQ(x.count, 5u);
  EXPECT_EQ(frames::UnpackSerial(x.buf + 1), LOGWICK_WINE_PANEL_SERIAL);
  port.Write(frames::kDiscoverFrame.data(), frames::kDiscoverFrame.size());
  Sleep(150);  // the answer arrives unread; the next write discards it, and a search is never answered
  EXPECT_EQ(Ask(port, frames::kSearchFrame.data(), frames::kSearchFrame.size()).count, 0u);

  // Silence: (5 + 32) * 12000 / 9600 + 80 = 126 ms; the tick counter may step by a few ms.
  ASSERT_TRUE(port.Open(LOGWICK_WINE_SILENT_PORT, 9600, 0)) << port.LastError();
  x = Ask(port, frames::kDiscoverFrame.data(), frames::kDiscoverFrame.size(), 32);
  EXPECT_TRUE(x.count == 0 && x.ms >= 120 && x.ms < 126 + 300) << x.count << " bytes, " << x.ms << " ms";

  // Six bytes when five are expected (capacity 16): the read waits for the
  // deadline set by the arrival, (16 - 6) * 12000 / 9600 + 80 = 92 ms.
  const auto packed = frames::PackSerial(LOGWICK_WINE_PANEL_SERIAL, frames::kKindAssign);
  const std::uint8_t assign[6] = {0x80, packed[0], packed[1], packed[2], packed[3], 1};
  x = Ask(port, assign, sizeof assign);
  EXPECT_TRUE(x.count == 6 && x.ms >= 86 && x.ms < 92 + 300) << x.count << " bytes, " << x.ms << " ms";
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
  const DWORD start = GetTickCount();
  ASSERT_EQ(ReadEventBlock(port, 0, out, 4), 0);
  const DWORD took = GetTickCount() - start;
  EXPECT_TRUE(took >= 700 && took < 733 + 600) << took;  // 300 baud would take four times as long
}
