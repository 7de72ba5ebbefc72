// The test cluster on Linux: a child of the test process on a Unix socket of
// its own folder (pg_test_cluster.h).
#include "tests/sync/pg_test_cluster.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

namespace logwick::test {
namespace {

namespace fs = std::filesystem;
constexpr char kPort[] = "5432";
constexpr char kPrefix[] = "logwick-pg-";

struct Account {
  bool drop = false;  // run as another user
  uid_t uid = 0;
  gid_t gid = 0;
};

// Root runs the server as "nobody": PostgreSQL refuses to run as root.
Account ServerAccount() {
  Account a;
  if (geteuid() != 0) return a;
  const passwd* pw = getpwnam("nobody");
  if (!pw) throw std::runtime_error("no user 'nobody' to run the test server as");
  return {true, pw->pw_uid, pw->pw_gid};
}

// Starts a program as the server's account with its output in log; the
// kernel sends it `onOrphan` should this process die first.
pid_t Spawn(const std::vector<std::string>& args, const std::string& dir, const std::string& log,
            int onOrphan) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const Account account = ServerAccount();
  const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (out < 0) throw std::runtime_error("cannot create " + log);
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out, 1);
    ::dup2(out, 2);
    if (account.drop &&
        (::setgroups(0, nullptr) != 0 || ::setgid(account.gid) != 0 || ::setuid(account.uid) != 0))
      ::_exit(126);
    ::prctl(PR_SET_PDEATHSIG, onOrphan);
    if (::getppid() != parent) ::_exit(1);
    if (::chdir(dir.c_str()) != 0) ::_exit(126);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(out);
  if (pid < 0) throw std::runtime_error("fork failed");
  return pid;
}

std::string ReadLog(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Folders of test processes that are gone (killed before they could clean up).
void SweepLeftovers(const fs::path& temp) {
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(temp, ec)) {
    const std::string name = e.path().filename().string();
    if (!name.starts_with(kPrefix)) continue;
    const long pid = std::atol(name.c_str() + sizeof kPrefix - 1);
    if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) fs::remove_all(e.path(), ec);
  }
}

}  // namespace

std::string PgTestCluster::BinDir() {
  std::vector<fs::path> candidates;
  if (const char* env = std::getenv("LOGWICK_PG_BINDIR")) candidates.emplace_back(env);
  candidates.emplace_back("/usr/lib/postgresql/15/bin");
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator("/usr/lib/postgresql", ec))
    candidates.push_back(e.path() / "bin");
  for (const fs::path& dir : candidates)
    if (::access((dir / "initdb").c_str(), X_OK) == 0 && ::access((dir / "postgres").c_str(), X_OK) == 0)
      return dir.string();
  return {};
}

PgTestCluster::PgTestCluster() {
  const std::string bin = BinDir();
  if (bin.empty()) throw std::runtime_error("no PostgreSQL server binaries");
  const fs::path temp = fs::temp_directory_path();
  SweepLeftovers(temp);
  m_dir =
      (temp / (kPrefix + std::to_string(::getpid()) + "-" + std::to_string(std::random_device()()))).string();
  m_host = m_dir;
  m_port = kPort;
  fs::create_directories(m_dir);
  fs::permissions(m_dir, fs::perms::owner_all);
  const Account account = ServerAccount();
  if (account.drop && ::chown(m_dir.c_str(), account.uid, account.gid) != 0)
    throw std::runtime_error("cannot hand " + m_dir + " to the server's user");

  const pid_t initdb = Spawn({bin + "/initdb", "-D", m_dir + "/data", "-U", "admin", "-A", "trust", "-E",
                              "UTF8", "--locale=C", "--no-sync", "--no-instructions"},
                             m_dir, m_dir + "/initdb.log", SIGKILL);
  int status = 0;
  ::waitpid(initdb, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error("initdb failed:\n" + ReadLog(m_dir + "/initdb.log"));
  std::ofstream(m_dir + "/data/pg_hba.conf", std::ios::trunc) << "local all engineer scram-sha-256\n"
                                                                 "local all all trust\n";
  Start();
}

PgTestCluster::~PgTestCluster() {
  Stop(true);
  std::error_code ec;
  fs::remove_all(m_dir, ec);
}

void PgTestCluster::Start() {
  if (m_server > 0) return;
  // Durability is of no use to a throwaway cluster.
  m_server = Spawn({BinDir() + "/postgres", "-D", m_dir + "/data", "-k", m_dir, "-p", kPort, "-c",
                    "listen_addresses=", "-c", "fsync=off", "-c", "synchronous_commit=off", "-c",
                    "full_page_writes=off", "-c", "shared_buffers=16MB", "-c", "max_connections=30"},
                   m_dir, m_dir + "/server.log", SIGQUIT);
  const std::string ping = Url("postgres");
  for (int i = 0; i < 600; ++i) {
    if (PQping(ping.c_str()) == PQPING_OK) return;
    int status = 0;
    if (::waitpid(m_server, &status, WNOHANG) == m_server) {
      m_server = -1;
      throw std::runtime_error("the test server ended:\n" + ReadLog(m_dir + "/server.log"));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  throw std::runtime_error("the test server did not start:\n" + ReadLog(m_dir + "/server.log"));
}

void PgTestCluster::Stop(bool immediate) {
  if (m_server <= 0) return;
  ::kill(m_server, immediate ? SIGQUIT : SIGINT);
  int status = 0;
  for (int i = 0; i < 600; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(20)))
    if (::waitpid(m_server, &status, WNOHANG) != 0) {
      m_server = -1;
      return;
    }
  ::kill(m_server, SIGKILL);
  ::waitpid(m_server, &status, 0);
  m_server = -1;
}

}  // namespace logwick::test
