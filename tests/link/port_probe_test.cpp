// The port probe with the real serial port and a virtual panel, on a machine
// described by a made-up system view where a pseudo-terminal cannot bring a case
// about; and the host's system view read from made-up /sys and /proc trees.
#include <gtest/gtest.h>

#include "link/port_probe.h"
#include "link/port_probe_text.h"
#include "link/system_view.h"
#include "sim/pty_panel.h"
#include "tests/lists/test_files.h"

using namespace logwick;
using namespace logwick::test;
namespace fs = std::filesystem;

namespace {

// A machine where the probed device is `device`, which appears as `resolved`.
struct MadeUpSystem : SystemView {
  std::optional<DeviceNode> Node(const std::string& path) const override {
    return path == device && present ? std::optional(DeviceNode{resolved, true, gid, readWrite})
                                     : std::nullopt;
  }
  std::string LinkTarget(const std::string&) const override { return {}; }
  std::string GroupName(unsigned g) const override { return g == 20 ? "dialout" : g == 0 ? "root" : ""; }
  bool GroupListsUser(unsigned) const override { return listed; }
  bool SessionHasGroup(unsigned) const override { return false; }
  std::string UserName() const override { return "engineer"; }
  std::vector<ProcessInfo> ProcessesHolding(const std::string& d) const override {
    return d == resolved ? holders : std::vector<ProcessInfo>{};
  }
  bool ModemManagerRunning() const override { return modemManager; }
  PortHardware Hardware(const std::string&) const override { return hardware; }

  std::string device, resolved = "/dev/ttyACM0";
  bool present = true, readWrite = true, listed = false, modemManager = false;
  unsigned gid = 20;
  std::vector<ProcessInfo> holders;
  PortHardware hardware{"Arduino Uno", "2341", "0043"};
};

// The report's lines as one text.
std::string Text(const ProbeReport& r) {
  std::string text;
  for (const std::string& line : ProbeReportLines(r)) text += line + "\n";
  return text;
}

// Whether the report says `words`.
::testing::AssertionResult Says(const ProbeReport& r, const std::string& words) {
  if (Text(r).find(words) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "no \"" << words << "\" in\n" << Text(r);
}

// A virtual panel on a pseudo-terminal, probed on a made-up machine.
struct ProbedLine {
  explicit ProbedLine(sim::PanelConfig config = {}, sim::PtyOptions line = {})
      : panel(std::move(config), line) {
    std::string error;
    EXPECT_TRUE(panel.Open(error)) << error;
    panel.Start();
    system.device = panel.DevicePath();
  }
  ProbeReport Probe() {
    CCommPort port;
    return ProbePort({.device = system.device}, port, system);
  }
  sim::PtyPanel panel;
  MadeUpSystem system;
};

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

TEST(ProbeOnAMadeUpSystem, NoPermissionNamesTheGroupToJoin) {
  ProbedLine l;
  l.system.readWrite = false;
  const std::tuple<unsigned, bool, std::string> cases[] = {
      {20, false,
       "пользователь engineer в неё не входит.\nДобавьте его в группу: sudo usermod -aG dialout engineer"},
      {20, true,
       "engineer уже в группе dialout, но этот сеанс начат раньше: выйдите из системы и войдите снова."},
      {0, false, "попросите администратора открыть доступ к порту"},
      {77, false, "попросите администратора открыть доступ к порту"},
  };
  for (const auto& [gid, listed, said] : cases) {
    l.system.gid = gid, l.system.listed = listed;
    const ProbeReport r = l.Probe();
    EXPECT_EQ(r.verdict, ProbeVerdict::kNoPermission);
    EXPECT_TRUE(Says(r, said));
  }
  EXPECT_EQ(l.panel.Inspect([](const sim::VirtualPanel& p) { return p.RequestsSeen(); }), 0u);
  l.system.present = false;
  EXPECT_EQ(l.Probe().verdict, ProbeVerdict::kNoDevice);
}

TEST(ProbeOnAMadeUpSystem, ABusyPortNamesItsHolderAndModemManagerIsToldHowToKeepOff) {
  ProbedLine l;
  CCommPort holder;
  ASSERT_TRUE(holder.OpenDevice(l.system.device, 9600, 0));
  l.system.holders = {{4242, "minicom"}, {4243, "picocom"}};
  ProbeReport r = l.Probe();
  EXPECT_EQ(r.verdict, ProbeVerdict::kBusy);
  EXPECT_TRUE(Says(
      r, "Порт " + l.system.resolved + " занят: его держит процесс 4242 (minicom), процесс 4243 (picocom)."));
  EXPECT_FALSE(Says(r, "ModemManager"));

  const std::string rule =
      "ATTRS{idVendor}==\"2341\", ATTRS{idProduct}==\"0043\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"";
  l.system.holders = {{812, "ModemManager"}};
  r = l.Probe();
  EXPECT_TRUE(Says(r, "процесс 812 (ModemManager)") && Says(r, rule));
  l.system.holders.clear();
  EXPECT_TRUE(Says(l.Probe(), "занят другой программой"));
  holder.Close();

  // Running, not holding the port: the panel is found all the same, with the advice.
  l.system.modemManager = true;
  l.system.hardware = {};
  r = l.Probe();
  EXPECT_EQ(std::make_tuple(r.verdict, r.serial, r.deviceType),
            std::make_tuple(ProbeVerdict::kPanel, 4660u, 3));
  EXPECT_TRUE(Says(r, "KERNEL==\"ttyACM0\", ENV{ID_MM_DEVICE_IGNORE}=\"1\""));
  l.system.resolved = "/dev/ttyS0";  // not a device ModemManager looks at
  EXPECT_FALSE(Says(l.Probe(), "ModemManager"));
}

// What a line itself brings about, each verdict with its words (the statuses
// they give are logwick-cli's: CliLine).
TEST(ProbeOnALine, EachAnswerOrItsAbsenceIsExplained) {
  using V = ProbeVerdict;
  const auto expect = [](sim::PanelConfig config, sim::PtyOptions line, V verdict,
                         std::vector<std::string> said) {
    ProbedLine l(std::move(config), line);
    l.system.resolved = l.system.device;
    l.system.hardware = {};
    const ProbeReport r = l.Probe();
    EXPECT_EQ(r.verdict, verdict) << Text(r);
    for (const std::string& words : said) EXPECT_TRUE(Says(r, words));
  };
  expect({}, {}, V::kPanel,
         {"серийный номер 4660, Тарвел-7К (тип 3), версия 3.12 от 14/06/2021", "режим ГАЗ не нужен"});
  expect({.serial = 700123, .deviceType = 4, .versionMajor = 2, .versionMinor = 5}, {.onlyAtBaud = 1200},
         V::kPanel,
         {"серийный номер 700123, Тарвел-7Л (тип 4), версия 2.5", "в режиме ГАЗ (1200 бод 8E1)",
          "9600 бод 8N1: нет ответа", "1200 бод 8E1 (режим ГАЗ): ответил прибор 700123"});
  expect({.faults = {.silentOn = {sim::Request::Address}}}, {}, V::kPanelIncomplete,
         {"Прибор 4660 ответил на поиск при 9600 бод 8N1, но не на установку адреса"});
  expect({.faults = {.silentOn = {sim::Request::Type}}}, {}, V::kPanelIncomplete, {"но не на запрос типа"});
  expect({.faults = {.silent = true}}, {}, V::kSilence,
         {"Прибор не отвечает ни при 9600 бод 8N1, ни при 1200 бод 8E1 (режим ГАЗ)."});
  expect({.faults = {.silent = true}}, {.echo = true}, V::kEcho,
         {"(эхо)", "Прибор за эхом не ответил", "9600 бод 8N1: эхо\n"});
  expect({}, {.echo = true}, V::kEcho,
         {"За эхом ответил прибор 4660", "9600 бод 8N1: эхо, за ним ответил прибор 4660"});
  // Every answer to the search damaged, in both line modes.
  expect({.faults = {.badChecksumOn = {1, 2, 3, 4, 5, 6}}}, {}, V::kNoise,
         {"это не ответ прибора", "9600 бод 8N1: посторонние байты (15)"});
}

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
  std::string got;  // per device its description and USB ids
  for (const char* device :
       {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0", "/dev/ttyS0", "/dev/pts/3", "/dev/null"}) {
    const PortHardware h = View().Hardware(device);
    got += h.description + " [" + h.usbVendorId + ":" + h.usbProductId + "]; ";
  }
  EXPECT_EQ(got,
            "FTDI FT232R USB UART A50285BI [0403:6001]; USB 1a86:7523 [1a86:7523]; Arduino Uno [2341:0043]; "
            "последовательный порт на плате [:]; псевдотерминал [:];  [:]; ");
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
