// The archive under stress: `logwick-cli archive add` killed (SIGKILL) at
// random moments leaves the state before or after the file, never a part of
// it; two processes filing at the same moment both succeed.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#ifdef _WIN32
#include <windows.h>

#include "events/codec.h"
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "history/history_archive.h"
#include "lists/event_file.h"
#include "tests/history/archive_checks.h"
#include "tests/history/panel_model.h"

using namespace logwick;
using namespace logwick::test;
using Clock = std::chrono::steady_clock;

namespace {

// The plain build kills 200 filings; under the sanitizers, which look for
// memory errors and make every process several times slower, 50 do, and
// under Wine, where each process takes a good part of a second to start, 40.
#if defined(_WIN32)
constexpr int kRounds = 40;
#elif defined(__SANITIZE_ADDRESS__)
constexpr int kRounds = 50;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kRounds = 50;
#else
constexpr int kRounds = 200;
#endif
#else
constexpr int kRounds = 200;
#endif

// `logwick-cli archive add --archive ARCHIVE FILE` in a process of its own,
// its output dropped; SIGKILL or TerminateProcess ends it where it stands.
class Filing {
 public:
  Filing(const std::string& archive, const std::string& file);
  ~Filing() {
    Kill();
    Wait();
  }
  // True once the process ended.
  bool Ended();
  void Kill();
  // True when it ended by itself with status 0.
  bool Wait();

 private:
#ifdef _WIN32
  static constexpr DWORD kKilled = 0xDEAD;
  PROCESS_INFORMATION m_process{};
#else
  pid_t m_pid = -1;
  int m_status = -1;
#endif
};

#ifdef _WIN32
Filing::Filing(const std::string& archive, const std::string& file) {
  const std::string cli = std::string(LOGWICK_BIN_DIR) + "/logwick-cli.exe";
  std::wstring line;
  for (const std::string& arg :
       {cli, std::string("archive"), std::string("add"), std::string("--archive"), archive, file})
    line += L"\"" + Utf8ToWide(arg) + L"\" ";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE null =
      CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = null;
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &m_process))
    ADD_FAILURE() << "cannot start " << cli << ": error " << GetLastError();
  CloseHandle(null);
}

bool Filing::Ended() {
  return !m_process.hProcess || WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0;
}

void Filing::Kill() {
  if (m_process.hProcess) TerminateProcess(m_process.hProcess, kKilled);
}

bool Filing::Wait() {
  if (!m_process.hProcess) return false;
  WaitForSingleObject(m_process.hProcess, INFINITE);
  DWORD status = kKilled;
  GetExitCodeProcess(m_process.hProcess, &status);
  CloseHandle(m_process.hThread);
  CloseHandle(m_process.hProcess);
  m_process = {};
  EXPECT_TRUE(status == 0 || status == kKilled) << "the filing failed with status " << status;
  return status == 0;
}
#else
Filing::Filing(const std::string& archive, const std::string& file) {
  const std::string cli = std::string(LOGWICK_BIN_DIR) + "/logwick-cli";
  std::fflush(nullptr);
  m_pid = ::fork();
  if (m_pid == 0) {
    std::freopen("/dev/null", "w", stdout);
    execl(cli.c_str(), cli.c_str(), "archive", "add", "--archive", archive.c_str(), file.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
}

bool Filing::Ended() {
  if (m_pid <= 0 || m_status != -1) return true;
  int status = 0;
  if (::waitpid(m_pid, &status, WNOHANG) != m_pid) return false;
  m_status = status;
  return true;
}

void Filing::Kill() {
  if (!Ended()) ::kill(m_pid, SIGKILL);
}

bool Filing::Wait() {
  if (m_pid <= 0) return false;
  if (m_status == -1) ::waitpid(m_pid, &m_status, 0);
  m_pid = -1;
  EXPECT_FALSE(WIFEXITED(m_status) && WEXITSTATUS(m_status) != 0) << "the filing failed";
  return WIFEXITED(m_status) && WEXITSTATUS(m_status) == 0;
}
#endif

// Waits for the filing until `delay` has passed, then kills it. True when it
// ended by itself, with status 0.
bool AddKilledAfter(const std::string& archive, const std::string& file, std::chrono::microseconds delay) {
  Filing filing(archive, file);
  const auto killAt = Clock::now() + delay;
  while (!filing.Ended() && Clock::now() < killAt)
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  filing.Kill();
  return filing.Wait();
}

// The archive opens, and what it holds: its read-outs and the panel's history
// as stored (chunk contents are covered by the structure check and by the
// chunk accounting).
std::string State(const std::string& path) {
  HistoryArchive::Open(path, false);
  SqliteDb db = SqliteDb::OpenExisting(path);
  SqliteStatement st = db.Prepare(
      "SELECT (SELECT group_concat(hex(sha256)) FROM (SELECT sha256 FROM readout ORDER BY id)),"
      " events || ':' || hex(pieces) || ':' || hex(gaps) FROM panel");
  return st.Step() ? st.Text(0) + ";" + st.Text(1) : std::string();
}

TEST(ArchiveReliability, KilledFilingsLeaveTheStateBeforeOrAfter) {
  TempDir dir;
  PanelModel panel(11, 100000);
  panel.Produce(60000);
  const Visit older = panel.Read();
  panel.Produce(70000);
  const std::string file = dir.File("журнал объекта.t7kev");
  ASSERT_TRUE(StoreEventFile(file, ReadoutOf(panel.Read())).ok);  // 100000 events, 30000 known
  const std::string base = dir.File("base.sqlite"), work = dir.File("work.sqlite");
  HistoryArchive::Open(base, true)->File(ReadoutOf(older), {"older"});
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
}

TEST(ArchiveReliability, TwoProcessesFilingAtOnceBothSucceed) {
  TempDir dir;
  std::vector<std::string> files;
  for (std::int32_t serial : {501, 502}) {
    PanelModel panel(static_cast<std::uint32_t>(serial), 50000);
    for (int i = 0; i < 5; ++i) {
      panel.Produce(20000);
      files.push_back(dir.File(std::to_string(serial) + "-" + std::to_string(i) + ".t7kev"));
      ASSERT_TRUE(StoreEventFile(files.back(), ReadoutOf(panel.Read(), serial)).ok);
    }
  }
  const std::string archive = dir.File("a.sqlite");
  for (int i = 0; i < 5; ++i) {  // the first pair also races to create the archive
    Filing a(archive, files[static_cast<std::size_t>(i)]);
    Filing b(archive, files[static_cast<std::size_t>(5 + i)]);
    EXPECT_TRUE(a.Wait()) << "pair " << i;
    EXPECT_TRUE(b.Wait()) << "pair " << i;
  }
  auto opened = HistoryArchive::Open(archive, false);
  EXPECT_EQ(opened->Readouts({1, 501}).size(), 5u);
  EXPECT_EQ(opened->Readouts({1, 502}).size(), 5u);
  opened.reset();
  EXPECT_EQ(QuickCheck(archive), "ok");
  ExpectChunksAccountedFor(archive);
}

}  // namespace
