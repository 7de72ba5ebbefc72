// The real serial port against the virtual panel on a pseudo-terminal. Timings
// have generous margins: these check behaviour, not speed.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
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

// This thread's voluntary context switches and its CPU time in ms so far.
std::pair<long, long long> ThreadUsage() {
  rusage u{};
  ::getrusage(RUSAGE_THREAD, &u);
  return {u.ru_nvcsw, (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000LL +
                          (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000};
}

// Every test runs with a ports folder of its own.
class PtyLine : public ::testing::Test {
 protected:
  void SetUp() override { ::setenv("LOGWICK_PORTS_DIR", dir_.Path().c_str(), 1); }
  void TearDown() override { ::unsetenv("LOGWICK_PORTS_DIR"); }
  // Starts a virtual panel; its device path.
  std::string StartPanel(sim::PanelConfig config = {}, bool pace = false) {
    config.serial = kSerial;
    panel_ = std::make_unique<sim::PtyPanel>(std::move(config), sim::PtyOptions{pace, false});
    std::string error;
    EXPECT_TRUE(panel_->Open(error)) << error;
    panel_->Start();
    return panel_->DevicePath();
  }
  void Link(unsigned n, const std::string& target) {
    std::filesystem::create_symlink(target, dir_.Path() / ("COM" + std::to_string(n)));
  }

  TempDir dir_;
  std::unique_ptr<sim::PtyPanel> panel_;
};

}  // namespace

TEST_F(PtyLine, OpenIsExclusiveAndRefusesWhatItCannotSet) {
  const std::string dev = StartPanel();
  CCommPort first, second;
  ASSERT_TRUE(first.OpenDevice(dev, 9600, 0)) << first.LastError();
  EXPECT_FALSE(second.OpenDevice(dev, 9600, 0) || second.IsOpen());
  EXPECT_NE(second.LastError().find(dev), std::string::npos);
  // The refused opener must not lift the holder's exclusive mode on its way
  // out. Only root may open an exclusive terminal: then ask the terminal.
  const int fd = ::open(dev.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  int exclusive = fd < 0 && errno == EBUSY;
  if (fd >= 0) ::ioctl(fd, TIOCGEXCL, &exclusive), ::close(fd);
  EXPECT_EQ(exclusive, 1);
  first.Close();
  // Port numbers out of range open port 1, here the panel; opening again closes first.
  Link(1, dev);
  EXPECT_TRUE(second.Open(0, 9600, 0) && second.Open(300, 9600, 0)) << second.LastError();
  second.Close();
  EXPECT_FALSE(second.Open(2, 9600, 0));  // no link: the default device is not a pty here
  EXPECT_FALSE(second.OpenDevice(dev, 12345, 0) || second.IsOpen());
}

TEST_F(PtyLine, PortNamesAndThePresentPorts) {
  // COM1-32: serial ports, COM33-64: USB adapters, COM65-96: USB modems; no default device else.
  std::string names;
  for (unsigned n : {0, 1, 32, 33, 64, 65, 96, 97, 256})
    names += std::to_string(n) + "=" + PortDevicePath(n) + " ";
  EXPECT_EQ(names,
            "0= 1=/dev/ttyS0 32=/dev/ttyS31 33=/dev/ttyUSB0 64=/dev/ttyUSB31 65=/dev/ttyACM0 "
            "96=/dev/ttyACM31 97= 256= ");
  // Links win (over a default device too) and may name any number; a dangling
  // link or a plain file is not listed.
  WriteBytes(dir_.File("plain"), {1});
  const std::pair<unsigned, std::string> links[] = {
      {3, "/dev/null"}, {200, "/dev/null"}, {151, dir_.File("gone")}, {152, dir_.File("plain")}};
  for (const auto& [n, target] : links) Link(n, target);
  EXPECT_EQ(PortDevicePath(3), dir_.File("COM3"));
  EXPECT_EQ(PortDevicePath(200), dir_.File("COM200"));
  std::vector<unsigned> numbers;
  for (const auto& p : EnumeratePorts())
    if (p.devicePath.starts_with(dir_.Path().string())) numbers.push_back(p.number);
  EXPECT_EQ(numbers, (std::vector<unsigned>{3, 200}));
}

TEST_F(PtyLine, ReadEndsOnTheExpectedCountOrAtTheComputedDeadline) {
  sim::PanelConfig config;
  config.faults.silentOn.insert(sim::Request::Type);
  CCommPort port;
  ASSERT_TRUE(port.OpenDevice(StartPanel(config), 1200, 2));  // 10 ms a character
  std::uint8_t buf[32];
  std::size_t count = 99;
  auto exchange = [&](const std::uint8_t* request, std::size_t length, std::size_t capacity) {
    port.Write(request, length);
    const auto t = Clock::now();
    port.Read(buf, capacity, count, 5);
    return MsSince(t);
  };
  const auto& discover = frames::kDiscoverFrame;  // five bytes end it long before (5 + 16) * 10 + 80 = 290 ms
  EXPECT_LT(exchange(discover.data(), discover.size(), 16), 150);
  ASSERT_EQ(count, 5u);
  EXPECT_EQ(frames::UnpackSerial(buf + 1), kSerial);

  // Silence: (5 + 32) * 10 + 80 = 450 ms; the unread discovery answer is discarded by the write.
  port.Write(discover.data(), discover.size());
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const auto type = frames::PackSerial(kSerial, frames::kKindType);
  const std::uint8_t typeRequest[5] = {0x80, type[0], type[1], type[2], type[3]};
  auto waited = exchange(typeRequest, 5, 32);
  EXPECT_EQ(count, 0u);
  EXPECT_TRUE(waited >= 449 && waited < 450 + 150) << waited;

  // Six bytes when five are expected: the deadline set by the arrival, (32 - 6) * 10 + 80 = 340 ms,
  // not the first one, (6 + 32) * 10 + 80 = 460 ms.
  const auto packed = frames::PackSerial(kSerial, frames::kKindAssign);
  const std::uint8_t assign[6] = {0x80, packed[0], packed[1], packed[2], packed[3], 1};
  waited = exchange(assign, 6, 32);
  EXPECT_EQ(count, 6u);
  EXPECT_TRUE(waited >= 339 && waited < 340 + 100) << waited;
}

// The reader sleeps through a reply's wire time instead of waking for every
// byte; a reply that stops short during such a sleep (the panel's 3-byte "not
// ready") is still given up on at the deadline its last byte set.
TEST_F(PtyLine, PacedPanelTakesTheWireTimeWithFewWakeUps) {
  CCommPort port;
  ASSERT_TRUE(port.OpenDevice(StartPanel({.blockSize = 4, .notReadyPolls = 1}, true), 1200, 2));
  ASSERT_EQ(SetPanelAddress(port, kSerial, 1), LinkStatus::Ok);
  std::uint8_t out[64];
  // 11 bits at 1200 baud: select 5 + 5 bytes (92 ms), "not ready" 3 + 3 (55 ms) and its
  // deadline (72 - 3) * 10 + 80 = 770 ms, the block 3 + 67 (642 ms): 1559 ms.
  const auto t = Clock::now();
  const long before = ThreadUsage().first;
  ASSERT_EQ(ReadEventBlock(port, 0, out, 4), LinkStatus::Ok);
  const long woken = ThreadUsage().first - before;
  const auto took = MsSince(t);
  EXPECT_TRUE(took >= 1550 && took < 1559 + 150) << took;
  EXPECT_LT(woken, 20);  // 83 bytes came in
}

// A terminal whose other side has gone keeps reporting itself readable and
// reads 0 bytes: the read must sleep out its deadline, not spin on it.
TEST(PtyHangUp, ReadWaitsOutTheDeadlineWithoutSpinning) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
  CCommPort port;
  ASSERT_TRUE(port.OpenDevice(::ptsname(master), 9600, 0)) << port.LastError();
  ::close(master);

  std::uint8_t buf[300];
  std::size_t count = 99;
  const long long cpu0 = ThreadUsage().second;
  const auto t0 = Clock::now();
  port.Read(buf, sizeof buf, count, 5);  // deadline 300 * 12000 / 9600 + 80 = 455 ms
  const long long wall = MsSince(t0), cpu = ThreadUsage().second - cpu0;
  EXPECT_TRUE(count == 0 && wall >= 440 && cpu < 60) << count << " bytes, " << cpu << " of " << wall << " ms";
}
