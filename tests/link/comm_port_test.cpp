// The real serial port against the virtual panel on a pseudo-terminal: line
// set-up, exclusivity, stale input, the read time-out rule and the paced
// panel. Timings are asserted with generous margins: these check behaviour,
// not speed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "link/comm_port.h"
#include "link/frames.h"
#include "link/protocol.h"
#include "sim/pty_panel.h"
#include "tests/lists/test_files.h"

using namespace logwick;
using namespace logwick::test;

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t kSerial = 0x2A0080;

long long MsSince(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// The terminal's exclusive mode as seen through a fresh descriptor (root may
// open an exclusive terminal).
int ExclusiveMode(const std::string& device) {
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  int on = -1;
  if (fd >= 0) {
    if (::ioctl(fd, TIOCGEXCL, &on) != 0) on = -1;
    ::close(fd);
  }
  return on;
}

class PtyLine : public ::testing::Test {
 protected:
  void StartPanel(sim::PanelConfig config = {}, bool pace = false) {
    config.serial = kSerial;
    config.blockSize = 4;
    panel_ = std::make_unique<sim::PtyPanel>(std::move(config), sim::PtyOptions{pace, false});
    std::string error;
    ASSERT_TRUE(panel_->Open(error)) << error;
    panel_->Start();
  }
  void TearDown() override {
    if (panel_) panel_->Stop();
  }
  const std::string& Device() const { return panel_->DevicePath(); }

  std::unique_ptr<sim::PtyPanel> panel_;
};

}  // namespace

TEST_F(PtyLine, OpenIsExclusiveAndRefusesWhatItCannotSet) {
  StartPanel();
  CCommPort first, second;
  ASSERT_TRUE(first.OpenDevice(Device(), 9600, 0)) << first.LastError();
  EXPECT_FALSE(second.OpenDevice(Device(), 9600, 0));
  EXPECT_NE(second.LastError().find(Device()), std::string::npos);
  EXPECT_FALSE(second.IsOpen());
  // The refused opener must not lift the holder's exclusive mode on its way out.
  EXPECT_EQ(ExclusiveMode(Device()), 1);
  first.Close();
  EXPECT_TRUE(second.OpenDevice(Device(), 9600, 0)) << second.LastError();

  CCommPort other;
  EXPECT_FALSE(other.OpenDevice("/nonexistent/tty", 9600, 0));
  EXPECT_FALSE(other.OpenDevice(Device(), 12345, 0));
  EXPECT_FALSE(other.IsOpen());
}

TEST_F(PtyLine, PortNumbersOutOfRangeOpenPortOne) {
  StartPanel();
  TempDir dir;
  std::filesystem::create_symlink(Device(), dir.Path() / "COM1");
  ::setenv("LOGWICK_PORTS_DIR", dir.Path().c_str(), 1);
  CCommPort port;
  EXPECT_TRUE(port.Open(0, 9600, 0)) << port.LastError();
  EXPECT_TRUE(port.Open(300, 9600, 0)) << port.LastError();  // reopens: closes first
  port.Close();
  EXPECT_FALSE(port.Open(2, 9600, 0));  // no link: the default device is not a pty here
  ::unsetenv("LOGWICK_PORTS_DIR");
}

TEST_F(PtyLine, ReadEndsOnTheExpectedCountOrAtTheComputedDeadline) {
  sim::PanelConfig config;
  config.faults.silentOn.insert(sim::Request::Type);
  StartPanel(config);
  CCommPort port;
  ASSERT_TRUE(port.OpenDevice(Device(), 1200, 2));  // 10 ms a character
  std::uint8_t buf[32];
  std::size_t count = 99;

  // The expected five bytes end the read long before (5 + 16) * 10 + 80 = 290 ms.
  port.Write(frames::kDiscoverFrame.data(), frames::kDiscoverFrame.size());
  auto t = Clock::now();
  port.Read(buf, 16, count, 5);
  EXPECT_LT(MsSince(t), 150);
  ASSERT_EQ(count, 5u);
  EXPECT_EQ(frames::UnpackSerial(buf + 1), kSerial);

  // Silence: (5 + 32) * 10 + 80 = 450 ms.
  const auto type = frames::PackSerial(kSerial, frames::kKindType);
  const std::uint8_t typeRequest[5] = {0x80, type[0], type[1], type[2], type[3]};
  port.Write(typeRequest, sizeof typeRequest);
  t = Clock::now();
  port.Read(buf, 32, count, 5);
  auto waited = MsSince(t);
  EXPECT_EQ(count, 0u);
  EXPECT_GE(waited, 449);
  EXPECT_LT(waited, 450 + 150);

  // Six bytes when five are expected (capacity 32): the read waits for the
  // deadline set by the arrival, (32 - 6) * 10 + 80 = 340 ms, not the first
  // one, (6 + 32) * 10 + 80 = 460 ms.
  const auto packed = frames::PackSerial(kSerial, frames::kKindAssign);
  const std::uint8_t assign[6] = {0x80, packed[0], packed[1], packed[2], packed[3], 1};
  port.Write(assign, sizeof assign);
  t = Clock::now();
  port.Read(buf, 32, count, 5);
  waited = MsSince(t);
  EXPECT_EQ(count, 6u);
  EXPECT_GE(waited, 339);
  EXPECT_LT(waited, 340 + 100);
}

TEST_F(PtyLine, WriteDiscardsStaleInput) {
  StartPanel();
  CCommPort port;
  ASSERT_TRUE(port.OpenDevice(Device(), 9600, 0));
  port.Write(frames::kDiscoverFrame.data(), frames::kDiscoverFrame.size());
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the answer arrives unread
  port.Write(frames::kSearchFrame.data(), frames::kSearchFrame.size());  // no answer to this
  std::uint8_t buf[16];
  std::size_t count = 99;
  port.Read(buf, sizeof buf, count, 5);
  EXPECT_EQ(count, 0u);
}

TEST_F(PtyLine, PacedPanelTakesTheWireTime) {
  StartPanel({}, true);
  CCommPort port;
  ASSERT_TRUE(port.OpenDevice(Device(), 1200, 2));
  ASSERT_EQ(SetPanelAddress(port, kSerial, 1), 0);
  // A block of 4 events: 5 + 5 bytes to select, 3 + 67 to fetch, at 11 bits
  // a byte and 1200 baud: 80 * 11 / 1200 s = 733 ms.
  std::uint8_t out[64];
  const auto t = Clock::now();
  ASSERT_EQ(ReadEventBlock(port, 0, out, 4), 0);
  const auto took = MsSince(t);
  EXPECT_GE(took, 725);
  EXPECT_LT(took, 733 + 200);
}
