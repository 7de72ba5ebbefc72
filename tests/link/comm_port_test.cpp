// The real serial port against the virtual panel on a pseudo-terminal: which
// device a COM number opens, line set-up, exclusivity, stale input, the read
// time-out rule and the paced panel. Timings are asserted with generous
// margins: these check behaviour, not speed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "link/comm_port.h"
#include "link/frames.h"
#include "link/port_names.h"
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

// Every test runs with a ports folder of its own.
class PtyLine : public ::testing::Test {
 protected:
  void SetUp() override { ::setenv("LOGWICK_PORTS_DIR", dir_.Path().c_str(), 1); }
  void TearDown() override {
    if (panel_) panel_->Stop();
    ::unsetenv("LOGWICK_PORTS_DIR");
  }
  void StartPanel(sim::PanelConfig config = {}, bool pace = false) {
    config.serial = kSerial;
    config.blockSize = 4;
    panel_ = std::make_unique<sim::PtyPanel>(std::move(config), sim::PtyOptions{pace, false});
    std::string error;
    ASSERT_TRUE(panel_->Open(error)) << error;
    panel_->Start();
  }
  const std::string& Device() const { return panel_->DevicePath(); }
  void Link(unsigned n, const std::string& target) {
    std::filesystem::create_symlink(target, dir_.Path() / ("COM" + std::to_string(n)));
  }

  TempDir dir_;
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
  // Port numbers out of range open port 1, here the panel.
  Link(1, Device());
  EXPECT_TRUE(second.Open(0, 9600, 0)) << second.LastError();
  EXPECT_TRUE(second.Open(300, 9600, 0)) << second.LastError();  // reopens: closes first
  second.Close();
  CCommPort other;
  EXPECT_FALSE(other.Open(2, 9600, 0));  // no link: the default device is not a pty here
  EXPECT_FALSE(other.OpenDevice(Device(), 12345, 0));
  EXPECT_FALSE(other.IsOpen());
}

TEST_F(PtyLine, PortNamesAndThePresentPorts) {
  const std::pair<unsigned, std::string> cases[] = {
      {1, "/dev/ttyS0"},   {32, "/dev/ttyS31"},   {33, "/dev/ttyUSB0"}, {64, "/dev/ttyUSB31"},
      {65, "/dev/ttyACM0"}, {96, "/dev/ttyACM31"}, {97, ""},             {0, ""}, {256, ""}};
  for (const auto& [n, path] : cases) EXPECT_EQ(PortDevicePath(n), path) << n;
  // Links win over the defaults and may name any number; only devices are listed.
  Link(3, "/dev/null");
  Link(200, "/dev/null");
  Link(151, dir_.File("gone"));  // dangling
  WriteBytes(dir_.File("plain"), {1});
  Link(152, dir_.File("plain"));  // not a device
  EXPECT_EQ(PortDevicePath(3), dir_.File("COM3"));
  EXPECT_EQ(PortDevicePath(200), dir_.File("COM200"));
  std::vector<unsigned> numbers;
  for (const auto& p : EnumeratePorts())
    if (p.devicePath.rfind(dir_.Path().string(), 0) == 0) numbers.push_back(p.number);
  EXPECT_EQ(numbers, (std::vector<unsigned>{3, 200}));
}

TEST_F(PtyLine, ReadEndsOnTheExpectedCountOrAtTheComputedDeadline) {
  sim::PanelConfig config;
  config.faults.silentOn.insert(sim::Request::Type);
  StartPanel(config);
  CCommPort port;
  ASSERT_TRUE(port.OpenDevice(Device(), 1200, 2));  // 10 ms a character
  std::uint8_t buf[32];
  std::size_t count = 99;
  auto timedRead = [&](std::size_t capacity) {
    const auto t = Clock::now();
    port.Read(buf, capacity, count, 5);
    return MsSince(t);
  };

  // The expected five bytes end the read long before (5 + 16) * 10 + 80 = 290 ms.
  port.Write(frames::kDiscoverFrame.data(), frames::kDiscoverFrame.size());
  EXPECT_LT(timedRead(16), 150);
  ASSERT_EQ(count, 5u);
  EXPECT_EQ(frames::UnpackSerial(buf + 1), kSerial);

  // Silence: (5 + 32) * 10 + 80 = 450 ms. The answer to the discovery before
  // arrives unread: writing the next request discards it.
  port.Write(frames::kDiscoverFrame.data(), frames::kDiscoverFrame.size());
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const auto type = frames::PackSerial(kSerial, frames::kKindType);
  const std::uint8_t typeRequest[5] = {0x80, type[0], type[1], type[2], type[3]};
  port.Write(typeRequest, sizeof typeRequest);
  auto waited = timedRead(32);
  EXPECT_EQ(count, 0u);
  EXPECT_GE(waited, 449);
  EXPECT_LT(waited, 450 + 150);

  // Six bytes when five are expected (capacity 32): the read waits for the
  // deadline set by the arrival, (32 - 6) * 10 + 80 = 340 ms, not the first
  // one, (6 + 32) * 10 + 80 = 460 ms.
  const auto packed = frames::PackSerial(kSerial, frames::kKindAssign);
  const std::uint8_t assign[6] = {0x80, packed[0], packed[1], packed[2], packed[3], 1};
  port.Write(assign, sizeof assign);
  waited = timedRead(32);
  EXPECT_EQ(count, 6u);
  EXPECT_GE(waited, 339);
  EXPECT_LT(waited, 340 + 100);
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

// A terminal whose other side has gone keeps reporting itself readable and
// reads 0 bytes: the read must sleep out its deadline, not spin on it.
TEST(PtyHangUp, ReadWaitsOutTheDeadlineWithoutSpinning) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  CCommPort port;
  ASSERT_TRUE(port.OpenDevice(::ptsname(master), 9600, 0)) << port.LastError();
  ::close(master);

  auto cpuMs = [] {
    rusage u{};
    ::getrusage(RUSAGE_THREAD, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000LL +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000;
  };
  std::uint8_t buf[300];
  std::size_t count = 99;
  const long long cpu0 = cpuMs();
  const auto t0 = Clock::now();
  port.Read(buf, sizeof buf, count, 5);  // deadline 300 * 12000 / 9600 + 80 = 455 ms
  const long long wall = MsSince(t0), cpu = cpuMs() - cpu0;
  EXPECT_EQ(count, 0u);
  EXPECT_GE(wall, 440);
  EXPECT_LT(cpu, 60) << "of " << wall << " ms";
}
