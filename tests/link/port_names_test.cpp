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
  void SetUp() override { ::setenv("LOGWICK_PORTS_DIR", dir_.Path().c_str(), 1); }
  void TearDown() override { ::unsetenv("LOGWICK_PORTS_DIR"); }
  void Link(unsigned n, const std::string& target) {
    std::filesystem::create_symlink(target, dir_.Path() / ("COM" + std::to_string(n)));
  }
  TempDir dir_;
};

}  // namespace

TEST_F(PortsFolderEnv, DefaultDevicesAndLinksThatWin) {
  const std::pair<unsigned, std::string> cases[] = {
      {1, "/dev/ttyS0"},   {32, "/dev/ttyS31"},   {33, "/dev/ttyUSB0"}, {64, "/dev/ttyUSB31"},
      {65, "/dev/ttyACM0"}, {96, "/dev/ttyACM31"}, {97, ""},             {0, ""}, {256, ""}};
  for (const auto& [n, path] : cases) EXPECT_EQ(PortDevicePath(n), path) << n;
  Link(3, "/dev/null");
  Link(200, "/dev/null");
  EXPECT_EQ(PortDevicePath(3), dir_.File("COM3"));
  EXPECT_EQ(PortDevicePath(200), dir_.File("COM200"));
}

TEST_F(PortsFolderEnv, EnumerationListsPresentPortsOnly) {
  Link(150, "/dev/null");        // a character device
  Link(7, "/dev/null");
  Link(151, dir_.File("gone"));  // dangling
  WriteBytes(dir_.File("plain"), {1});
  Link(152, dir_.File("plain"));  // not a device
  std::vector<unsigned> numbers;
  for (const auto& p : EnumeratePorts())
    if (p.devicePath.rfind(dir_.Path().string(), 0) == 0) numbers.push_back(p.number);
  EXPECT_EQ(numbers, (std::vector<unsigned>{7, 150}));
}
