// logwick-cli read, ports and probe against logwick-cli simulate, as an engineer runs them: exit statuses,
// messages, the event file and the trace. The read-out's steps and the probe's verdicts and words are the
// library's (readout_test, comm_port_test); here each command is wired once.
#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <sstream>
#include <thread>

#include "lists/event_file.h"
#include "sim/event_generator.h"
#include "tests/lists/child_process.h"

using namespace logwick;
using namespace logwick::test;

namespace {

// Whether `done` came true within 10 s (a loaded machine starts processes slowly).
bool Within10s(const std::function<bool()>& done) {
  for (int i = 0; i < 500; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(20)))
    if (done()) return true;
  return false;
}

// Runs logwick-cli commands beside a simulated panel, in a folder of its own with its own ports folder; every
// read-out they file goes into that folder's own archive.
class CliLine : public ::testing::Test {
 protected:
  CliLine() {
    ::setenv("LOGWICK_ARCHIVE", dir_.File("archive.sqlite").c_str(), 1);
    ::setenv("LOGWICK_PORTS_DIR", dir_.File("ports").c_str(), 1);
  }
  ~CliLine() override {
    for (const char* name : {"LOGWICK_ARCHIVE", "LOGWICK_PORTS_DIR", "XDG_DATA_HOME"}) ::unsetenv(name);
  }
  // Each run's output in files of its own: a second simulator must never be read from the first one's.
  std::unique_ptr<ChildProcess> Run(const char* command, std::vector<std::string> args) {
    args.insert(args.begin(), command);
    const std::string log = dir_.File(command + std::to_string(++runs_));
    return std::make_unique<ChildProcess>(
        ChildProcess::Program(std::string(LOGWICK_BIN_DIR) + "/logwick-cli", std::move(args), {log}));
  }
  // Starts the simulator; its device path, the first line it prints.
  std::string Simulate(std::vector<std::string> args) {
    sim_ = Run("simulate", std::move(args));
    EXPECT_TRUE(Within10s([&] { return sim_->Out().find('\n') != std::string::npos; })) << sim_->Err();
    return sim_->Out().substr(0, sim_->Out().find('\n'));
  }
  CT7KEventList Load(const std::string& path) {
    CT7KEventList list;
    EXPECT_EQ(LoadEventFile(path, list).status, FileStatus::Done) << path;
    return list;
  }
  // Probes `target` (a device path, or "COMn"), checks the status and that each text was said.
  void Probe(const std::string& target, int status, const std::vector<std::string>& said) {
    const bool com = target.starts_with("COM");
    auto p = Run("probe", {com ? "--port" : "--device", com ? target.substr(3) : target});
    EXPECT_EQ(p->Wait(), status) << target << "\n" << p->Out() << p->Err();
    for (const std::string& text : said)
      EXPECT_NE(p->Out().find(text), std::string::npos) << text << "\n" << p->Out();
  }

  TempDir dir_;
  const std::string file_ = dir_.File("out.t7kev");
  std::unique_ptr<ChildProcess> sim_;
  int runs_ = 0;
};

}  // namespace

// Every option of the simulator shows in what is read.
TEST_F(CliLine, ReadsBySerialWithATraceAndByPortNumberWithSearch) {
  const std::string dev =
      Simulate({"--serial",       "700123", "--events",  "60",         "--ring",   "25",
                "--block",        "8",      "--type",    "4",          "--as-com", "42",
                "--bad-checksum", "3",      "--config",  "Цех 5",      "--clock",  "2024-03-15 10:34:12",
                "--firmware",     "2.7",    "--release", "2020-01-31", "--seed",   "9"});
  const std::string trace = dir_.File("trace.txt");
  auto r = Run("read", {"--device", dev, "--serial", "700123", "-o", file_, "--trace", trace});
  ASSERT_EQ(r->Wait(), 0) << r->Err();
  const CT7KEventList l = Load(file_);
  EXPECT_EQ(
      std::make_tuple(l.GetCount(), l.m_nSerNum, l.m_nPanelType, l.m_texts.size(), l.ConfigNameText(),
                      l.m_nReadYear, l.m_nReadSec, l.m_nVerMajor, l.m_nVerMinor, l.m_nRelYear, l.m_nRelDay),
      std::make_tuple(56u, 700123, 2, 16u, std::string("Цех 5"), 2024, 12, 2, 7, 2020, 31));
  EXPECT_EQ(l[0], GenerateSampleEvents(60, 9, PackTimeStamp(2024, 3, 15, 10, 34, 12))[0]);
  EXPECT_NE(r->Err().find("56 events"), std::string::npos);
  EXPECT_EQ(r->Out(), dev + ": Тарвел-7Л (с/н 700123): 56 new events, 0 already known, no gap mark\n");
  const std::string t = ReadText(trace), info = "ReadDeviceInfo    -> 81 13 38";
  // Twice: the simulator damaged reply 3. --serial: no search.
  EXPECT_TRUE(t.find(info) != t.rfind(info) && t.find("StartSearch") == std::string::npos)
      << t.substr(0, 600);
  EXPECT_NE(t.find("ReadEventBlock    <- 81 08 "), std::string::npos);

  // The same panel as COM42 through the simulator's link, found by search.
  r = Run("read", {"--port", "42", "--gaz", "-o", file_});
  EXPECT_EQ(r->Wait(), 0) << r->Err();
  EXPECT_TRUE(r->Out().starts_with("COM42: Тарвел-7Л (с/н 700123): 0 new events, 56 already known"))
      << r->Out();
  r = Run("read", {"--device", dev, "--serial", "700123", "-o", file_, "--no-archive"});
  EXPECT_EQ(r->Wait(), 0) << r->Err();
  EXPECT_EQ(std::make_pair(r->Out(), Load(file_).m_nSerNum), std::make_pair(std::string(), 700123));
  sim_->Signal(SIGTERM);
  EXPECT_EQ(sim_->Wait(), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir_.File("ports/COM42"))));
}

TEST_F(CliLine, InterruptWritesTheEventsSoFarAndAReadOutIsNeverLostToItsTargetNorAFailedOneWritten) {
  // Each block costs a read time-out for its one "not ready" answer (~170 ms).
  std::string dev = Simulate({"--events", "200", "--block", "4", "--not-ready", "1"});
  auto r = Run("read", {"--device", dev, "--serial", "4660", "-o", file_});
  std::this_thread::sleep_for(std::chrono::milliseconds(900));
  r->Signal(SIGINT);
  EXPECT_EQ(r->Wait(), 130) << r->Err();
  const std::size_t n = Load(file_).GetCount();
  EXPECT_TRUE(n > 0 && n < 196 && n % 4 == 0) << n;
  EXPECT_TRUE(
      r->Out().ends_with(": " + std::to_string(n) + " new events, 0 already known, no gap mark, partial\n"))
      << r->Out();

  // A failed reading (here the port) leaves the file alone.
  WriteBytes(file_, {1, 2, 3});
  r = Run("read", {"--device", dir_.File("no-such-tty"), "-o", file_});
  EXPECT_EQ(r->Wait(), 2);
  EXPECT_NE(r->Err().find("Не могу открыть порт"), std::string::npos) << r->Err();
  EXPECT_EQ(ReadBytes(file_), (Bytes{1, 2, 3}));
  // A target that cannot be created is refused before the port is opened.
  dev = Simulate({"--events", "20", "--block", "4", "--not-ready", "2"});
  r = Run("read", {"--device", dev, "--serial", "4660", "-o", dir_.Path().string()});
  EXPECT_EQ(r->Wait(), 4);
  EXPECT_TRUE(r->Err().starts_with("Не могу создать файл: " + dir_.Path().string() + " (")) << r->Err();
  EXPECT_EQ(r->Err().find("Открытие порта"), std::string::npos) << r->Err();

  // The target's folder goes away while the panel is read (a pulled stick): the events go to a recovery file
  // in the user's data folder, named by its rule (EventFileStore.RecoveryFileNamedByPanelAndTime).
  ::setenv("XDG_DATA_HOME", dir_.File("data").c_str(), 1);
  const std::string stick = dir_.File("stick"), target = stick + "/out.t7kev";
  std::filesystem::create_directory(stick);
  r = Run("read", {"--device", dev, "--serial", "4660", "-o", target});
  Within10s([&] { return r->Err().find("Чтение событий") != std::string::npos; });
  std::filesystem::remove_all(stick);
  EXPECT_EQ(r->Wait(), 4);
  const std::string err = r->Err(), saved = "Прочитанные события сохранены в файле ";
  EXPECT_NE(err.find("Не могу создать файл: " + target + " ("), std::string::npos) << err;
  ASSERT_NE(err.find(saved), std::string::npos) << err;
  const std::size_t at = err.find(saved) + saved.size();
  const std::string recovered = err.substr(at, err.find('\n', at) - at);
  EXPECT_TRUE(recovered.starts_with(dir_.File("data") + "/Ormet/logwick/recovered/4660-")) << recovered;
  const CT7KEventList list = Load(recovered);
  EXPECT_EQ(std::make_pair(list.GetCount(), list.m_nSerNum), std::make_pair(std::size_t{16}, 4660));
}

TEST_F(CliLine, PortsListsEachPortAndProbeTellsWhatIsOnIt) {
  const std::string dev = Simulate({"--as-com", "42", "--line-mode", "gaz"});
  auto p = Run("ports", {});
  ASSERT_EQ(p->Wait(), 0) << p->Err();
  const std::string link = dir_.File("ports/COM42");
  EXPECT_NE(p->Out().find("COM42  " + dev + "  псевдотерминал, ссылка " + link + " -> " + dev + "\n"),
            std::string::npos)
      << p->Out();
  std::istringstream lines(p->Out());
  for (std::string l; std::getline(lines, l);)
    EXPECT_TRUE(std::regex_match(l, std::regex("COM[0-9]+  /[^ ]+(  .+)?"))) << l;
  Probe("COM42", 0,
        {"Порт COM42: " + link + " -> " + dev + " (псевдотерминал)", "Найден прибор", "в режиме ГАЗ"});
  // A line without a panel, and ports that cannot be used. A busy port and its
  // holders are the library's (comm_port_test).
  Probe(Simulate({"--silent", "--echo"}), 2, {});
  std::filesystem::create_directories(dir_.File("ports"));
  std::filesystem::create_symlink(dir_.File("gone"), dir_.File("ports/COM9"));
  Probe(dir_.File("none"), 1, {"Устройство " + dir_.File("none") + " не существует.", "logwick-cli ports"});
  Probe("COM9", 1, {"ссылка указывает на " + dir_.File("gone") + ", а его нет"});
  Probe("COM120", 1, {"Для COM120 нет устройства", "ссылкой COM120 в папке " + dir_.File("ports")});
  Probe("/dev/null", 1, {"Не могу открыть порт: /dev/null"});
}
