// logwick-cli read against logwick-cli simulate, as an engineer runs them:
// exit statuses, messages, the event file and the trace.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

#include "lists/event_file.h"
#include "sim/event_generator.h"
#include "tests/link/cli_child.h"

using namespace logwick;
using namespace logwick::test;

namespace {

class CliRead : public CliRunner {
 protected:
  std::unique_ptr<ChildProcess> Read(std::vector<std::string> args) { return Run("read", std::move(args)); }
  CT7KEventList Load() {
    CT7KEventList list;
    EXPECT_EQ(LoadEventFile(file_, list).status, FileStatus::Done);
    return list;
  }

  const std::string file_ = dir_.File("out.t7kev");
};

}  // namespace

TEST_F(CliRead, ReadsBySerialWithATraceAndByPortNumberWithSearch) {
  ::setenv("LOGWICK_PORTS_DIR", dir_.File("ports").c_str(), 1);
  const std::string dev =
      Simulate({"--serial",       "700123", "--events",  "60",         "--ring",   "25",
                "--block",        "8",      "--type",    "4",          "--as-com", "42",
                "--bad-checksum", "3",      "--config",  "Цех 5",      "--clock",  "2024-03-15 10:34:12",
                "--firmware",     "2.7",    "--release", "2020-01-31", "--seed",   "9"});
  const std::string trace = dir_.File("trace.txt");
  auto r = Read({"--device", dev, "--serial", "700123", "-o", file_, "--trace", trace});
  ASSERT_EQ(r->Wait(), 0) << r->Err();
  const CT7KEventList list = Load();
  EXPECT_EQ(std::make_tuple(list.GetCount(), list.m_nSerNum, list.m_nPanelType, list.m_texts.size()),
            std::make_tuple(56u, 700123, 2, 16u));
  // The panel the options describe: its configuration, clock, firmware and events.
  EXPECT_EQ(std::make_tuple(list.ConfigNameText(), list.m_nReadYear, list.m_nReadSec, list.m_nVerMajor,
                            list.m_nVerMinor, list.m_nRelYear, list.m_nRelDay),
            std::make_tuple(std::string("Цех 5"), 2024, 12, 2, 7, 2020, 31));
  EXPECT_EQ(list[0], GenerateSampleEvents(60, 9, PackTimeStamp(2024, 3, 15, 10, 34, 12))[0]);
  EXPECT_NE(r->Err().find("56 events"), std::string::npos);
  EXPECT_EQ(r->Out(), dev + ": Тарвел-7Л (с/н 700123): 56 new events, 0 already known, no gap mark\n");
  const std::string t = ReadText(trace);
  const std::string info = "ReadDeviceInfo    -> 81 13 38";  // twice: the simulator damaged reply 3
  EXPECT_TRUE(t.find(info) != std::string::npos && t.find(info) != t.rfind(info)) << t.substr(0, 600);
  EXPECT_NE(t.find("ReadEventBlock    <- 81 08 "), std::string::npos);
  EXPECT_EQ(t.find("StartSearch"), std::string::npos);  // --serial: no search

  // The same panel as COM42 through the simulator's link, found by search.
  std::filesystem::remove(file_);
  r = Read({"--port", "42", "--gaz", "-o", file_});
  EXPECT_EQ(r->Wait(), 0) << r->Err();
  EXPECT_EQ(Load().m_nSerNum, 700123);
  EXPECT_TRUE(r->Out().starts_with("COM42: Тарвел-7Л (с/н 700123): 0 new events, 56 already known"))
      << r->Out();
  r = Read({"--device", dev, "--serial", "700123", "-o", file_, "--no-archive"});
  EXPECT_EQ(r->Wait(), 0) << r->Err();
  EXPECT_EQ(r->Out(), "");
  sim_->Signal(SIGTERM);
  EXPECT_EQ(sim_->Wait(), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir_.File("ports/COM42"))));
  ::unsetenv("LOGWICK_PORTS_DIR");
}

TEST_F(CliRead, AFailedReadingLeavesTheFileAlone) {
  // A failure before the events (here the port; which step failed is the
  // read-out's business): the existing file is not touched.
  WriteBytes(file_, {1, 2, 3});
  auto r = Read({"--device", dir_.File("no-such-tty"), "-o", file_});
  EXPECT_EQ(r->Wait(), 2);
  EXPECT_NE(r->Err().find("Не могу открыть порт"), std::string::npos) << r->Err();
  EXPECT_EQ(ReadBytes(file_), (Bytes{1, 2, 3}));
}

TEST_F(CliRead, InterruptStopsBetweenBlocksAndWritesTheEventsSoFar) {
  // Each block costs a read time-out for its one "not ready" answer (~170 ms).
  const std::string dev = Simulate({"--events", "200", "--block", "4", "--not-ready", "1"});
  auto r = Read({"--device", dev, "--serial", "4660", "-o", file_});
  std::this_thread::sleep_for(std::chrono::milliseconds(900));
  r->Signal(SIGINT);
  EXPECT_EQ(r->Wait(), 130) << r->Err();
  const std::size_t n = Load().GetCount();
  EXPECT_TRUE(n > 0 && n < 196 && n % 4 == 0) << n;
  EXPECT_TRUE(
      r->Out().ends_with(": " + std::to_string(n) + " new events, 0 already known, no gap mark, partial\n"))
      << r->Out();
}

TEST_F(CliRead, AReadOutIsNeverLostToItsTarget) {
  const std::string dev = Simulate({"--events", "20", "--block", "4", "--not-ready", "2"});
  // A target that cannot be created is refused before the port is opened.
  for (const std::string& bad : {dir_.File("none/out.t7kev"), dir_.Path().string()}) {
    auto r = Read({"--device", dev, "--serial", "4660", "-o", bad});
    EXPECT_EQ(r->Wait(), 4);
    EXPECT_EQ(r->Err().rfind("Не могу создать файл: " + bad + " (", 0), 0u) << r->Err();
    EXPECT_EQ(r->Err().find("Открытие порта"), std::string::npos) << r->Err();
  }

  // The target's folder goes away while the panel is read (a pulled stick):
  // the events go to a recovery file in the user's data folder.
  ::setenv("XDG_DATA_HOME", dir_.File("data").c_str(), 1);
  const std::string stick = dir_.File("stick"), target = stick + "/out.t7kev";
  std::filesystem::create_directory(stick);
  auto r = Read({"--device", dev, "--serial", "4660", "-o", target});
  for (int i = 0; i < 500 && r->Err().find("Чтение событий") == std::string::npos; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::filesystem::remove_all(stick);
  EXPECT_EQ(r->Wait(), 4);
  ::unsetenv("XDG_DATA_HOME");
  const std::string err = r->Err(), saved = "Прочитанные события сохранены в файле ";
  EXPECT_NE(err.find("Не могу создать файл: " + target + " ("), std::string::npos) << err;
  ASSERT_NE(err.find(saved), std::string::npos) << err;
  // Its name is the recovery file's rule (EventFileStore.TargetCheckAndRecoveryFile).
  const std::size_t at = err.find(saved) + saved.size();
  const std::string recovered = err.substr(at, err.find('\n', at) - at);
  EXPECT_TRUE(recovered.starts_with(dir_.File("data") + "/Ormet/logwick/recovered/4660-")) << recovered;
  CT7KEventList list;
  ASSERT_EQ(LoadEventFile(recovered, list).status, FileStatus::Done);
  EXPECT_EQ(std::make_pair(list.GetCount(), list.m_nSerNum), std::make_pair(std::size_t{16}, 4660));
}
