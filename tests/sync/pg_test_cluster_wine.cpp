// The test cluster of the Windows build under Wine: scripts/windows/pg-cluster.sh
// runs it on the Linux side for the whole test run, on the loopback over TLS
// which every address here verifies in full, and names it through
// LOGWICK_TEST_PG_DIR (its folder as Windows sees it) and LOGWICK_TEST_PG_PORT.
// The tests stop and start it through the folder's "control" script, a Linux
// program that Wine starts like any other but does not wait for: the script
// leaves "control.done" when it has finished.
#include <libpq-fe.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "events/codec.h"
#include "lists/user_folders.h"
#include "tests/lists/test_files.h"
#include "tests/sync/pg_test_cluster.h"

namespace logwick::test {

std::string PgTestCluster::BinDir() { return EnvironmentText("LOGWICK_TEST_PG_DIR"); }

PgTestCluster::PgTestCluster() {
  m_dir = BinDir();
  if (m_dir.empty()) throw std::runtime_error("LOGWICK_TEST_PG_DIR names no test cluster");
  // Forward slashes: a connection string takes a backslash for an escape.
  std::replace(m_dir.begin(), m_dir.end(), '\\', '/');
  m_host = "localhost";
  m_port = EnvironmentText("LOGWICK_TEST_PG_PORT");
  m_options = " hostaddr=127.0.0.1 sslmode=verify-full sslrootcert=" + File("ca.crt");
  m_tls = true;
  // One cluster serves every test process of the run.
  m_databasePrefix = "archive" + std::to_string(GetCurrentProcessId()) + "_";
  Start();
}

PgTestCluster::~PgTestCluster() = default;

void PgTestCluster::Start() { Control("start", true); }

// Down means not even answering "shutting down" any more.
void PgTestCluster::Stop(bool immediate) { Control(immediate ? "crash" : "stop", false); }

// Runs the control script's action, then waits until the server is up (or down).
void PgTestCluster::Control(const char* action, bool up) {
  const std::string ping = Url("postgres");
  if ((PQping(ping.c_str()) == PQPING_OK) == up) return;
  const std::filesystem::path done = PathOf(File("control.done"));
  std::filesystem::remove(done);
  std::wstring line = L"\"" + Utf8ToWide(File("control")) + L"\" " + Utf8ToWide(action);
  STARTUPINFOW si{.cb = sizeof(STARTUPINFOW)};
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    throw std::runtime_error("cannot run " + File("control") + ": error " + std::to_string(GetLastError()));
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  for (int i = 0; i < 1200 && !std::filesystem::exists(done); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  if (ReadText(Utf8Of(done)) != std::string(action) + " 0\n")
    throw std::runtime_error(std::string("the test server did not ") + action + " (" + File("server.log") +
                             ")");
}

std::string PgTestCluster::Certificate() const { return File("ca.crt"); }
std::string PgTestCluster::OtherCertificate() const { return File("other-ca.crt"); }

}  // namespace logwick::test
