// The host's system view read from made-up /sys and /proc trees: what stands
// behind a device, who holds it, whether ModemManager runs.
#include <gtest/gtest.h>

#include "link/system_view.h"
#include "tests/lists/test_files.h"

using namespace logwick;
using namespace logwick::test;
namespace fs = std::filesystem;

namespace {

class MadeUpHost : public ::testing::Test {
 protected:
  void File(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(dir_.File(path)).parent_path());
    WriteBytes(dir_.File(path), Bytes(text.begin(), text.end()));
  }
  void Link(const std::string& path, const std::string& target) {
    fs::create_directories(fs::path(dir_.File(path)).parent_path());
    fs::create_symlink(target, dir_.File(path));
  }
  // A USB device at sys/devices/usb1/<port> with its tty below an interface.
  void UsbAdapter(const std::string& tty, const std::string& port,
                  std::vector<std::pair<std::string, std::string>> attrs) {
    const std::string usb = "sys/devices/usb1/" + port;
    for (const auto& [name, value] : attrs) File(usb + "/" + name, value + "\n");
    fs::create_directories(dir_.File(usb + "/" + port + ":1.0/" + tty));
    Link("sys/class/tty/" + tty + "/device", dir_.File(usb + "/" + port + ":1.0"));
  }
  void Process(int pid, const std::string& name, std::vector<std::pair<int, std::string>> fds) {
    const std::string proc = "proc/" + std::to_string(pid);
    File(proc + "/comm", name + "\n");
    for (const auto& [fd, target] : fds) Link(proc + "/fd/" + std::to_string(fd), target);
  }
  HostSystemView View() const { return HostSystemView(dir_.File("sys"), dir_.File("proc")); }

  TempDir dir_;
};

}  // namespace

TEST_F(MadeUpHost, HardwareNamesUsbAdaptersFromTheirDeviceAttributes) {
  UsbAdapter("ttyUSB0", "1-2",
             {{"idVendor", "0403"},
              {"idProduct", "6001"},
              {"manufacturer", "FTDI"},
              {"product", "FT232R USB UART"},
              {"serial", "A50285BI"}});
  UsbAdapter("ttyUSB1", "1-3", {{"idVendor", "1a86"}, {"idProduct", "7523"}});
  UsbAdapter("ttyACM0", "1-4", {{"idVendor", "2341"}, {"idProduct", "0043"}, {"product", "Arduino Uno"}});
  fs::create_directories(dir_.File("sys/class/tty/ttyS0"));
  fs::create_directories(dir_.File("sys/devices/platform/serial8250"));
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"/dev/ttyUSB0", "FTDI FT232R USB UART A50285BI", "0403:6001"},
      {"/dev/ttyUSB1", "USB 1a86:7523", "1a86:7523"},
      {"/dev/ttyACM0", "Arduino Uno", "2341:0043"},
      {"/dev/ttyS0", "последовательный порт на плате", ":"},
      {"/dev/pts/3", "псевдотерминал", ":"},
      {"/dev/null", "", ":"},
  };
  for (const auto& [device, description, ids] : cases) {
    const PortHardware h = View().Hardware(device);
    EXPECT_EQ(std::make_pair(h.description, h.usbVendorId + ":" + h.usbProductId),
              std::make_pair(description, ids))
        << device;
  }
}

TEST_F(MadeUpHost, HoldersAreTheProcessesWithTheDeviceOpenButNotAPseudoTerminalsFarEnd) {
  Process(100, "minicom", {{0, "/dev/null"}, {3, "/dev/ttyUSB0"}});
  Process(200, "logwick-cli", {{5, "/dev/ttyUSB1"}, {6, "/dev/pts/3"}});
  Process(300, "logwick-cli", {{3, "/dev/ptmx"}, {4, "/dev/pts/3"}});  // the simulator serving pts/3
  File("proc/300/fdinfo/3", "pos:\t0\nflags:\t02\ntty-index:\t3\n");
  Process(400, "simulator", {{3, "/dev/ptmx"}, {4, "/dev/pts/4"}});  // serves another one
  File("proc/400/fdinfo/3", "pos:\t0\ntty-index:\t4\n");
  File("proc/self/comm", "test\n");
  const HostSystemView view = View();
  EXPECT_EQ(view.ProcessesHolding("/dev/ttyUSB0"), (std::vector<ProcessInfo>{{100, "minicom"}}));
  EXPECT_EQ(view.ProcessesHolding("/dev/pts/3"), (std::vector<ProcessInfo>{{200, "logwick-cli"}}));
  EXPECT_TRUE(view.ProcessesHolding("/dev/ttyACM0").empty());
  EXPECT_FALSE(view.ModemManagerRunning());
  Process(500, "ModemManager", {});
  EXPECT_TRUE(view.ModemManagerRunning());
}
