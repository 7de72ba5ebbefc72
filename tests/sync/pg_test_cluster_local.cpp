// The test cluster on Linux: initdb into a fresh temporary folder, the server
// on a Unix socket there (and TLS on the loopback where openssl makes its
// certificates: TcpUrl()). The server is a child of the test process that the
// kernel stops should the test process die; folders that a killed test left
// are swept the next time.
#include "tests/sync/pg_test_cluster.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sys/prctl.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tests/lists/test_files.h"

namespace logwick::test {
namespace {

namespace fs = std::filesystem;
constexpr char kPrefix[] = "logwick-pg-";

// Runs a program in `dir`, its output in `log`.out and .err, as "nobody" where
// the tests run as root (PostgreSQL refuses to run as root); the kernel sends
// it `onOrphan` should this process die first.
ChildProcess Spawn(std::vector<std::string> args, const std::string& dir, const std::string& log,
                   int onOrphan) {
  const pid_t parent = ::getpid();
  return ChildProcess(
      [&] {
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::prctl(PR_SET_PDEATHSIG, onOrphan);
        if (::getppid() != parent || ::chdir(dir.c_str()) != 0) return 126;
        return ::execv(argv[0], argv.data()), 127;
      },
      {log, true});
}

void Run(std::vector<std::string> args, const std::string& dir, const std::string& log) {
  ChildProcess child = Spawn(args, dir, log, SIGKILL);
  if (child.Wait() != 0) throw std::runtime_error(args[0] + " failed:\n" + child.Out() + child.Err());
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
  m_port = "5432";
  fs::create_directories(m_dir);
  fs::permissions(m_dir, fs::perms::owner_all);
  if (::geteuid() == 0 && ::chown(m_dir.c_str(), 65534, 65534) != 0)  // ChildProcess's ordinary user
    throw std::runtime_error("cannot hand " + m_dir + " to the server's user");
  Run({bin + "/initdb", "-D", m_dir + "/data", "-U", "admin", "-A", "trust", "-E", "UTF8", "--locale=C",
       "--no-sync", "--no-instructions"},
      m_dir, m_dir + "/initdb");
  std::ofstream(m_dir + "/data/pg_hba.conf", std::ios::trunc)
      << "local all engineer scram-sha-256\n"
         "local all all trust\n"
         "hostssl all admin 127.0.0.1/32 trust\n"
         "host all engineer 127.0.0.1/32 scram-sha-256\n"
         "hostssl all engineer 127.0.0.1/32 scram-sha-256\n";
  // The socket's folder names it, so the TCP port stands in for the socket's number.
  if (MakeCertificates()) m_tcpPort = SilentServer().port;  // free once closed
  if (m_tcpPort) m_port = std::to_string(m_tcpPort);
  // Durability is of no use to a throwaway cluster.
  std::ofstream(m_dir + "/data/postgresql.conf", std::ios::app)
      << (m_tcpPort ? "listen_addresses='127.0.0.1'\nssl=on\n" : "listen_addresses=''\n")
      << "fsync=off\nsynchronous_commit=off\nfull_page_writes=off\nshared_buffers=16MB\nmax_connections=30\n";
  Start();
}

PgTestCluster::~PgTestCluster() {
  Stop(true);
  std::error_code ec;
  fs::remove_all(m_dir, ec);
}

void PgTestCluster::Start() {
  if (m_server) return;
  m_server.emplace(Spawn({BinDir() + "/postgres", "-D", m_dir + "/data", "-k", m_dir, "-p", m_port}, m_dir,
                         m_dir + "/server", SIGQUIT));
  const std::string ping = Url("postgres");
  siginfo_t ended{};
  for (int i = 0; i < 600 && !ended.si_pid; ++i) {
    if (PQping(ping.c_str()) == PQPING_OK) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ::waitid(P_PID, m_server->Pid(), &ended, WEXITED | WNOHANG | WNOWAIT);
  }
  m_server.reset();
  throw std::runtime_error("the test server did not start:\n" + ReadText(m_dir + "/server.err"));
}

std::string PgTestCluster::Certificate() const { return m_dir + "/data/server.crt"; }
std::string PgTestCluster::OtherCertificate() const { return m_dir + "/other.crt"; }

void PgTestCluster::Stop(bool immediate) {
  if (!m_server) return;
  m_server->Signal(immediate ? SIGQUIT : SIGINT);
  m_server->Wait();
  m_server.reset();
}

// A certificate for "localhost" signed by itself, and another one; false
// when there is no openssl to make them.
bool PgTestCluster::MakeCertificates() {
  const char* openssl = "/usr/bin/openssl";
  if (::access(openssl, X_OK) != 0) return false;
  for (const auto& [name, subject] :
       {std::pair{"data/server", "/CN=localhost"}, std::pair{"other", "/CN=other"}}) {
    const std::string base = m_dir + "/" + name;
    Run({openssl, "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
         "-keyout", base + ".key", "-out", base + ".crt", "-subj", subject, "-days", "2"},
        m_dir, m_dir + "/openssl");
    if (::chmod((base + ".key").c_str(), 0600) != 0) return false;
  }
  return true;
}

}  // namespace logwick::test
