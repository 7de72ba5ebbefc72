// logwick-cli read against logwick-cli simulate, as an engineer runs them:
// exit statuses, messages, the event file and the trace.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

#include "lists/event_file.h"
#include "tests/link/cli_child.h"

using namespace logwick;
using namespace logwick::test;

namespace {

class CliRead : public CliRunner {
 protected:
  std::unique_ptr<Child> Read(std::vector<std::string> args) { return Run("read", std::move(args)); }
  CT7KEventList Load() {
    CT7KEventList list;
    EXPECT_EQ(LoadEventFile(file_, list).status, LoadStatus::Loaded);
    return list;
  }

  const std::string file_ = dir_.File("out.t7kev");
};

}  // namespace

TEST_F(CliRead, ReadsBySerialWithATraceAndByPortNumberWithSearch) {
  ::setenv("LOGWICK_PORTS_DIR", dir_.File("ports").c_str(), 1);
  const std::string dev = Simulate({"--serial", "700123", "--events", "60", "--ring", "25", "--block", "8",
                                    "--type", "4", "--as-com", "42", "--bad-checksum", "3"});
  const std::string trace = dir_.File("trace.txt");
  auto r = Read({"--device", dev, "--serial", "700123", "-o", file_, "--trace", trace});
  ASSERT_EQ(r->Wait(), 0) << r->Err();
  const CT7KEventList list = Load();
  EXPECT_EQ(std::make_tuple(list.GetCount(), list.m_nSerNum, list.m_nPanelType, list.m_texts.size()),
            std::make_tuple(56u, 700123, 2, 16u));
  EXPECT_NE(r->Err().find("56 events"), std::string::npos);
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
  sim_->Signal(SIGTERM);
  EXPECT_EQ(sim_->Wait(), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir_.File("ports/COM42"))));
  ::unsetenv("LOGWICK_PORTS_DIR");
}

TEST_F(CliRead, FailureReportsTheMessageAndKeepsTheFile) {
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
}
