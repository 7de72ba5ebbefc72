// Which device a COM number opens, and which ports are listed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "link/port_names.h"
#include "tests/lists/test_files.h"

using namespace logwick;
using namespace logwick::test;

namespace {

class PortsFolderEnv : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("LOGWICK_PORTS_DIR", dir_.Path().c_str(), 1);
  }
  void TearDown() override { ::unsetenv("LOGWICK_PORTS_DIR"); }
  void Link(unsigned n, const std::string& target) {
    std::filesystem::create_symlink(target, dir_.Path() / ("COM" + std::to_string(n)));
  }
  TempDir dir_;
};

}  // namespace

TEST_F(PortsFolderEnv, DefaultDevicesAndLinksThatWin) {
  EXPECT_EQ(PortsFolder(), dir_.Path().string());
  EXPECT_EQ(PortDevicePath(1), "/dev/ttyS0");
  EXPECT_EQ(PortDevicePath(32), "/dev/ttyS31");
  EXPECT_EQ(PortDevicePath(33), "/dev/ttyUSB0");
  EXPECT_EQ(PortDevicePath(64), "/dev/ttyUSB31");
  EXPECT_EQ(PortDevicePath(65), "/dev/ttyACM0");
  EXPECT_EQ(PortDevicePath(96), "/dev/ttyACM31");
  EXPECT_EQ(PortDevicePath(97), "");
  EXPECT_EQ(PortDevicePath(0), "");
  EXPECT_EQ(PortDevicePath(256), "");

  Link(3, "/dev/null");
  Link(200, "/dev/null");
  EXPECT_EQ(PortDevicePath(3), dir_.File("COM3"));
  EXPECT_EQ(PortDevicePath(200), dir_.File("COM200"));
}

TEST_F(PortsFolderEnv, EnumerationListsPresentPortsOnly) {
  Link(7, "/dev/null");                   // a character device
  Link(150, "/dev/null");
  Link(151, dir_.File("gone"));           // dangling
  WriteBytes(dir_.File("plain"), {1});
  Link(152, dir_.File("plain"));          // not a device
  std::vector<unsigned> numbers;
  for (const auto& p : EnumeratePorts()) {
    numbers.push_back(p.number);
    EXPECT_EQ(p.devicePath, PortDevicePath(p.number));
  }
  EXPECT_NE(std::find(numbers.begin(), numbers.end(), 7u), numbers.end());
  EXPECT_NE(std::find(numbers.begin(), numbers.end(), 150u), numbers.end());
  EXPECT_EQ(std::find(numbers.begin(), numbers.end(), 151u), numbers.end());
  EXPECT_EQ(std::find(numbers.begin(), numbers.end(), 152u), numbers.end());
  EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
}
