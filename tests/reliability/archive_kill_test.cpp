// The archive under stress: `logwick-cli archive add` killed (SIGKILL) at
// random moments, and two processes filing at the same moment.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>

#ifdef _WIN32
#include <windows.h>

#include "events/codec.h"
#else
#include "tests/lists/child_process.h"
#endif

#include "history/history_archive.h"
#include "lists/event_file.h"
#include "tests/history/archive_checks.h"
#include "tests/history/panel_model.h"

using namespace logwick;
using namespace logwick::test;
using Clock = std::chrono::steady_clock;

namespace {

// Fewer kills under the sanitizers (every process several times slower) and
// under Wine (each process takes a good part of a second to start).
#ifdef _WIN32
constexpr int kRounds = 40;
#else
constexpr int kRounds = LOGWICK_SANITIZED ? 50 : 200;
#endif
const std::string kCli = std::string(LOGWICK_BIN_DIR) + "/logwick-cli";

// `logwick-cli archive add --archive ARCHIVE FILE` in a process of its own, its
// output dropped, as ChildProcess waits for it or kills it after a delay.
#ifdef _WIN32
struct Filing {
  Filing(const std::string& archive, const std::string& file) {
    std::wstring line;
    for (const std::string& arg :
         {kCli + ".exe", std::string("archive"), std::string("add"), std::string("--archive"), archive, file})
      line += L"\"" + Utf8ToWide(arg) + L"\" ";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE null =
        CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{.cb = sizeof(STARTUPINFOW),
                    .dwFlags = STARTF_USESTDHANDLES,
                    .hStdInput = GetStdHandle(STD_INPUT_HANDLE),
                    .hStdOutput = null,
                    .hStdError = GetStdHandle(STD_ERROR_HANDLE)};
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
      ADD_FAILURE() << "cannot start " << kCli << ": error " << GetLastError();
    CloseHandle(null);
    CloseHandle(pi.hThread);
    m_process = pi.hProcess;
  }
  ~Filing() { WaitAtMost({}); }
  bool WaitAtMost(std::chrono::microseconds delay) {
    const DWORD ms = static_cast<DWORD>(delay.count() / 1000);
    const bool ended = m_process && WaitForSingleObject(m_process, ms) == WAIT_OBJECT_0;
    if (!ended && m_process) TerminateProcess(m_process, kKilled);
    return Wait(), ended;
  }
  int Wait() {
    if (m_process && WaitForSingleObject(m_process, INFINITE) == WAIT_OBJECT_0)
      GetExitCodeProcess(m_process, &m_status);
    if (m_process) CloseHandle(std::exchange(m_process, nullptr));
    return static_cast<int>(m_status);
  }

  static constexpr DWORD kKilled = 0xDEAD;
  HANDLE m_process = nullptr;
  DWORD m_status = kKilled;
};
#else
struct Filing : ChildProcess {  // tests/lists/child_process.h
  Filing(const std::string& archive, const std::string& file)
      : ChildProcess(Program(kCli, {"archive", "add", "--archive", archive, file})) {}
};
#endif

// Waits for the filing until `delay` has passed, then kills it. True when it
// ended by itself, with status 0.
bool AddKilledAfter(const std::string& archive, const std::string& file, std::chrono::microseconds delay) {
  Filing filing(archive, file);
  const bool ended = filing.WaitAtMost(delay);
  EXPECT_TRUE(!ended || filing.Wait() == 0) << "the filing failed with status " << filing.Wait();
  return ended;
}

// The archive opens, and what it holds: its read-outs and the panel's history
// as stored (chunk contents: the structure check and the chunk accounting).
std::string State(const std::string& path) {
  HistoryArchive::Open(path, false);
  return FirstText(
      path,
      "SELECT (SELECT group_concat(hex(sha256)) FROM (SELECT sha256 FROM readout ORDER BY id)) || ';'"
      " || events || ':' || hex(pieces) || ':' || hex(gaps) FROM panel");
}

TEST(ArchiveReliability, KilledFilingsLeaveTheStateBeforeOrAfterAndTwoAtOnceBothSucceed) {
  TempDir dir;
  const std::vector<Visit> v = PanelModel(11, 100000).VisitsAfter({60000, 70000});
  const std::string file = dir.File("журнал объекта.t7kev");
  ASSERT_TRUE(StoreEventFile(file, ReadoutOf(v[1])).ok);  // 100000 events, 30000 known
  const std::string base = dir.File("base.sqlite"), work = dir.File("work.sqlite");
  HistoryArchive::Open(base, true)->File(ReadoutOf(v[0]), {"older"});
  const std::string before = State(base);

  std::filesystem::copy_file(base, work);
  const auto start = Clock::now();
  ASSERT_TRUE(AddKilledAfter(work, file, std::chrono::seconds(60)));
  const auto addUs = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
  const std::string after = State(work);
  ASSERT_NE(before, after);

  std::mt19937 gen(20240315);
  std::uniform_int_distribution<long long> moment(0, addUs);
  int kept = 0, filed = 0;
  for (int round = 0; round < kRounds; ++round) {
    CopyOver(base, work);
    for (const char* extra : {"-wal", "-shm"}) std::filesystem::remove(work + extra);
    AddKilledAfter(work, file, std::chrono::microseconds(moment(gen)));
    ASSERT_EQ(QuickCheck(work), "ok") << "round " << round;
    const std::string state = State(work);
    ASSERT_TRUE(state == before || state == after) << "round " << round;
    (state == before ? kept : filed)++;
    if (round % 50 == 0) ExpectChunksAccountedFor(work);
  }
  EXPECT_GT(kept, 0);  // how many land after the commit depends on how busy the machine is
  std::printf("filing took %lld us; %d kills: %d before, %d after\n", static_cast<long long>(addUs), kRounds,
              kept, filed);

  // Two processes filing at once both succeed.
  std::vector<std::string> files;
  for (std::int32_t serial : {501, 502})
    for (const Visit& v : PanelModel(serial, 50000).VisitsAfter({20000, 20000, 20000, 20000, 20000})) {
      files.push_back(dir.File(std::to_string(files.size()) + ".t7kev"));
      ASSERT_TRUE(StoreEventFile(files.back(), ReadoutOf(v, serial)).ok);
    }
  const std::string archive = dir.File("a.sqlite");
  for (std::size_t i = 0; i < 5; ++i) {  // the first pair also races to create the archive
    Filing a(archive, files[i]), b(archive, files[5 + i]);
    EXPECT_EQ(std::make_pair(a.Wait(), b.Wait()), std::make_pair(0, 0)) << "pair " << i;
  }
  EXPECT_EQ(HistoryArchive::Open(archive, false)->ReadoutsFiledAfter(0).size(), 10u);
  EXPECT_EQ(QuickCheck(archive), "ok");
  ExpectChunksAccountedFor(archive);
}

}  // namespace
