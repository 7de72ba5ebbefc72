// The test cluster on Linux: a child of the test process on a Unix socket of
// its own folder, with TLS on the loopback where openssl can make its
// certificates (pg_test_cluster.h).
#include "tests/sync/pg_test_cluster.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tests/lists/test_files.h"

namespace logwick::test {
namespace {

namespace fs = std::filesystem;
constexpr char kPort[] = "5432";
constexpr char kPrefix[] = "logwick-pg-";

// Root runs the server as "nobody": PostgreSQL refuses to run as root.
const passwd* ServerUser() {
  if (::geteuid() != 0) return nullptr;
  if (const passwd* pw = ::getpwnam("nobody")) return pw;
  throw std::runtime_error("no user 'nobody' to run the test server as");
}

// Starts a program as the server's account with its output in log; the
// kernel sends it `onOrphan` should this process die first.
pid_t Spawn(const std::vector<std::string>& args, const std::string& dir, const std::string& log,
            int onOrphan) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const passwd* user = ServerUser();
  const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (out < 0) throw std::runtime_error("cannot create " + log);
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out, 1);
    ::dup2(out, 2);
    if (user && (::setgroups(0, nullptr) != 0 || ::setgid(user->pw_gid) != 0 || ::setuid(user->pw_uid) != 0))
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

// A TCP port of 127.0.0.1 that nobody listens on now.
int FreePort() {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof a;
  const bool ok = ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
                  ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &size) == 0;
  ::close(s);
  return ok ? ntohs(a.sin_port) : 0;
}

int Wait(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
  if (const passwd* user = ServerUser(); user && ::chown(m_dir.c_str(), user->pw_uid, user->pw_gid) != 0)
    throw std::runtime_error("cannot hand " + m_dir + " to the server's user");

  const pid_t initdb = Spawn({bin + "/initdb", "-D", m_dir + "/data", "-U", "admin", "-A", "trust", "-E",
                              "UTF8", "--locale=C", "--no-sync", "--no-instructions"},
                             m_dir, m_dir + "/initdb.log", SIGKILL);
  if (Wait(initdb) != 0) throw std::runtime_error("initdb failed:\n" + ReadText(m_dir + "/initdb.log"));
  std::ofstream(m_dir + "/data/pg_hba.conf", std::ios::trunc)
      << "local all engineer scram-sha-256\n"
         "local all all trust\n"
         "hostssl all admin 127.0.0.1/32 trust\n"
         "host all engineer 127.0.0.1/32 scram-sha-256\n"
         "hostssl all engineer 127.0.0.1/32 scram-sha-256\n";
  // The socket's folder names it, so the TCP port stands in for the socket's number.
  if (MakeCertificates()) m_tcpPort = FreePort();
  if (m_tcpPort) m_port = std::to_string(m_tcpPort);
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
  std::vector<std::string> args{BinDir() + "/postgres", "-D", m_dir + "/data", "-k", m_dir, "-p", m_port};
  std::istringstream settings(
      std::string(m_tcpPort ? "listen_addresses=127.0.0.1 ssl=on" : "listen_addresses= ssl=off") +
      " fsync=off synchronous_commit=off full_page_writes=off shared_buffers=16MB max_connections=30");
  for (std::string setting; settings >> setting;) args.insert(args.end(), {"-c", setting});
  m_server = Spawn(args, m_dir, m_dir + "/server.log", SIGQUIT);
  const std::string ping = Url("postgres");
  for (int i = 0; i < 600; ++i) {
    if (PQping(ping.c_str()) == PQPING_OK) return;
    int status = 0;
    if (::waitpid(m_server, &status, WNOHANG) == m_server) {
      m_server = -1;
      throw std::runtime_error("the test server ended:\n" + ReadText(m_dir + "/server.log"));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  throw std::runtime_error("the test server did not start:\n" + ReadText(m_dir + "/server.log"));
}

void PgTestCluster::Stop(bool immediate) {
  if (m_server <= 0) return;
  ::kill(m_server, immediate ? SIGQUIT : SIGINT);
  Wait(m_server);
  m_server = -1;
}

std::string PgTestCluster::Certificate() const { return m_dir + "/data/server.crt"; }
std::string PgTestCluster::OtherCertificate() const { return m_dir + "/other.crt"; }

// A certificate for "localhost" signed by itself, and another one; false
// when there is no openssl to make them.
bool PgTestCluster::MakeCertificates() {
  const char* openssl = "/usr/bin/openssl";
  if (::access(openssl, X_OK) != 0) return false;
  for (const auto& [name, subject] :
       {std::pair{"data/server", "/CN=localhost"}, std::pair{"other", "/CN=other"}}) {
    const std::string base = m_dir + "/" + name;
    const pid_t pid =
        Spawn({openssl, "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
               "-keyout", base + ".key", "-out", base + ".crt", "-subj", subject, "-days", "2"},
              m_dir, m_dir + "/openssl.log", SIGKILL);
    if (Wait(pid) != 0 || ::chmod((base + ".key").c_str(), 0600) != 0) return false;
  }
  return true;
}

}  // namespace logwick::test
