// The serial port and the port probe against the virtual panel on a pseudo-terminal, on a made-up
// system view where a pseudo-terminal cannot bring a case about; the host's system view from made-up
// /sys and /proc trees. Timings have generous margins: these check behaviour, not speed.
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
#include "link/port_probe.h"
#include "link/port_probe_text.h"
#include "link/protocol.h"
#include "link/system_view.h"
#include "sim/pty_panel.h"
#include "tests/lists/test_files.h"

using namespace logwick;
using namespace logwick::test;
namespace fs = std::filesystem;

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

::testing::AssertionResult Says(const ProbeReport& r, const std::string& words) {
  std::string text;
  for (const std::string& line : ProbeReportLines(r)) text += line + "\n";
  if (text.find(words) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "no \"" << words << "\" in\n" << text;
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

// A folder of the test's own, also the ports folder, and made-up /sys and /proc trees in it.
class Folder : public ::testing::Test {
 protected:
  Folder() { ::setenv("LOGWICK_PORTS_DIR", dir_.Path().c_str(), 1); }
  ~Folder() override { ::unsetenv("LOGWICK_PORTS_DIR"); }
  // `path` in the folder, the folders above it made.
  std::string At(const std::string& path) {
    fs::create_directories(fs::path(dir_.File(path)).parent_path());
    return dir_.File(path);
  }
  void File(const std::string& path, const std::string& text) {
    WriteBytes(At(path), {text.begin(), text.end()});
  }
  void Link(const std::string& path, const std::string& target) { fs::create_symlink(target, At(path)); }
  // A USB device at sys/devices/usb1/<port> with its tty below an interface; attrs: name, value, ...
  void UsbAdapter(const std::string& tty, const std::string& port, std::vector<std::string> attrs) {
    const std::string usb = "sys/devices/usb1/" + port;
    for (std::size_t i = 0; i + 1 < attrs.size(); i += 2) File(usb + "/" + attrs[i], attrs[i + 1] + "\n");
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
using PtyLine = Folder;

}  // namespace

TEST_F(PtyLine, PortNamesOpeningAndTheHostsViewOfHardwareAndHolders) {
  // COM1-32: serial ports, COM33-64: USB adapters, COM65-96: USB modems; no default device else.
  std::string names;
  for (unsigned n : {0, 1, 32, 33, 64, 65, 96, 97, 256})
    names += std::to_string(n) + "=" + PortDevicePath(n) + " ";
  EXPECT_EQ(names,
            "0= 1=/dev/ttyS0 32=/dev/ttyS31 33=/dev/ttyUSB0 64=/dev/ttyUSB31 65=/dev/ttyACM0 "
            "96=/dev/ttyACM31 97= 256= ");
  // Links win (over a default device too) and may name any number; a dangling
  // link or a plain file is not listed.
  File("plain", "1");
  for (const char* n : {"COM3", "COM200"}) Link(n, "/dev/null");
  Link("COM151", dir_.File("gone"));
  Link("COM152", dir_.File("plain"));
  for (unsigned n : {3, 200}) EXPECT_EQ(PortDevicePath(n), dir_.File("COM" + std::to_string(n)));
  std::vector<unsigned> numbers;
  for (const auto& p : EnumeratePorts())
    if (p.devicePath.starts_with(dir_.Path().string())) numbers.push_back(p.number);
  EXPECT_EQ(numbers, (std::vector<unsigned>{3, 200}));

  ProbedLine line({.serial = kSerial});
  const std::string dev = line.system.device;
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
  Link("COM1", dev);
  EXPECT_TRUE(second.Open(0, 9600, 0) && second.Open(300, 9600, 0)) << second.LastError();
  second.Close();
  EXPECT_FALSE(second.Open(2, 9600, 0));  // no link: the default device is not a pty here
  EXPECT_FALSE(second.OpenDevice(dev, 12345, 0) || second.IsOpen());

  // The host's view: hardware from device attributes, holders from open files.
  UsbAdapter("ttyUSB0", "1-2",
             {"idVendor", "0403", "idProduct", "6001", "manufacturer", "FTDI", "product", "FT232R USB UART",
              "serial", "A50285BI"});
  UsbAdapter("ttyUSB1", "1-3", {"idVendor", "1a86", "idProduct", "7523"});
  UsbAdapter("ttyACM0", "1-4", {"idVendor", "2341", "idProduct", "0043", "product", "Arduino Uno"});
  for (const char* d : {"sys/class/tty/ttyS0", "sys/devices/platform/serial8250"})
    fs::create_directories(dir_.File(d));
  std::string got;  // per device its description and USB ids
  for (const char* device :
       {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0", "/dev/ttyS0", "/dev/pts/3", "/dev/null"}) {
    const PortHardware h = View().Hardware(device);
    got += h.description + " [" + h.usbVendorId + ":" + h.usbProductId + "]; ";
  }
  EXPECT_EQ(got,
            "FTDI FT232R USB UART A50285BI [0403:6001]; USB 1a86:7523 [1a86:7523]; Arduino Uno [2341:0043]; "
            "последовательный порт на плате [:]; псевдотерминал [:];  [:]; ");
  // Holders are the processes with the device open, but not a pseudo-terminal's far end.
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
  EXPECT_TRUE(view.ProcessesHolding("/dev/ttyACM0").empty() && !view.ModemManagerRunning());
  Process(500, "ModemManager", {});
  EXPECT_TRUE(view.ModemManagerRunning());
}

TEST(PtyPort, ReadEndsOnTheExpectedCountOrAtTheComputedDeadlineWithFewWakeUpsAndNoSpinning) {
  ProbedLine line({.serial = kSerial, .faults = {.silentOn = {sim::Request::Type}}});
  CCommPort port;
  ASSERT_TRUE(port.OpenDevice(line.system.device, 1200, 2));  // 10 ms a character
  std::uint8_t buf[300];
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

  // The reader sleeps through a reply's wire time instead of waking for every
  // byte; a reply that stops short during such a sleep (the panel's 3-byte "not
  // ready") is still given up on at the deadline its last byte set.
  ProbedLine paced({.serial = kSerial, .blockSize = 4, .notReadyPolls = 1}, {.pace = true});
  ASSERT_TRUE(port.OpenDevice(paced.system.device, 1200, 2));
  ASSERT_EQ(SetPanelAddress(port, kSerial, 1), LinkStatus::Ok);
  // 11 bits at 1200 baud: select 5 + 5 bytes (92 ms), "not ready" 3 + 3 (55 ms) and its
  // deadline (72 - 3) * 10 + 80 = 770 ms, the block 3 + 67 (642 ms): 1559 ms.
  const auto t = Clock::now();
  const long before = ThreadUsage().first;
  ASSERT_EQ(ReadEventBlock(port, 0, buf, 4), LinkStatus::Ok);
  const long woken = ThreadUsage().first - before;
  const auto took = MsSince(t);
  EXPECT_TRUE(took >= 1550 && took < 1559 + 150) << took;
  EXPECT_LT(woken, 20);  // 83 bytes came in

  // A terminal whose other side has gone keeps reporting itself readable and
  // reads 0 bytes: the read must sleep out its deadline, not spin on it.
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
  ASSERT_TRUE(port.OpenDevice(::ptsname(master), 9600, 0)) << port.LastError();
  ::close(master);
  count = 99;
  const long long cpu0 = ThreadUsage().second;
  const auto t0 = Clock::now();
  port.Read(buf, sizeof buf, count, 5);  // deadline 300 * 12000 / 9600 + 80 = 455 ms
  const long long wall = MsSince(t0), cpu = ThreadUsage().second - cpu0;
  EXPECT_TRUE(count == 0 && wall >= 440 && cpu < 60) << count << " bytes, " << cpu << " of " << wall << " ms";
}

TEST(Probe, NoPermissionNamesTheGroupToJoinABusyPortItsHoldersAndEachAnswerOrItsAbsenceIsExplained) {
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
    EXPECT_TRUE(r.verdict == ProbeVerdict::kNoPermission && Says(r, said)) << Says(r, said).message();
  }
  EXPECT_EQ(l.panel.Inspect([](const sim::VirtualPanel& p) { return p.RequestsSeen(); }), 0u);
  l.system.present = false;
  EXPECT_EQ(l.Probe().verdict, ProbeVerdict::kNoDevice);
  // A busy port names its holder, and ModemManager is told how to keep off.
  l.system.present = l.system.readWrite = true, l.system.gid = 20;
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
  l.system.modemManager = true, l.system.hardware = {};
  r = l.Probe();
  EXPECT_EQ(std::make_tuple(r.verdict, r.serial, r.deviceType),
            std::make_tuple(ProbeVerdict::kPanel, 4660u, 3));
  EXPECT_TRUE(Says(r, "KERNEL==\"ttyACM0\", ENV{ID_MM_DEVICE_IGNORE}=\"1\""));
  l.system.resolved = "/dev/ttyS0";  // not a device ModemManager looks at
  EXPECT_FALSE(Says(l.Probe(), "ModemManager"));

  // What a line itself brings about, each verdict with its words (the statuses
  // they give are logwick-cli's: CliLine).
  using V = ProbeVerdict;
  const auto expect = [](sim::PanelConfig config, sim::PtyOptions line, V verdict,
                         std::vector<std::string> said) {
    ProbedLine l(std::move(config), line);
    l.system.resolved = l.system.device, l.system.hardware = {};
    const ProbeReport r = l.Probe();
    EXPECT_EQ(r.verdict, verdict) << ::testing::PrintToString(ProbeReportLines(r));
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
