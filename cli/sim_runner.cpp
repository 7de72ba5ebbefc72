#include "cli/sim_runner.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include "cli/commands.h"
#include "events/strformat.h"
#include "link/port_names.h"
#include "lists/file_system.h"
#include "sim/pty_panel.h"

namespace logwick::cli {
namespace {

std::atomic<bool> g_stop{false};
volatile pid_t g_child = 0;

extern "C" void OnStopSignal(int) { g_stop = true; }

extern "C" void ForwardSignal(int) {
  if (g_child > 0) ::kill(g_child, SIGTERM);
}

void InstallHandler(void (*handler)(int)) {
  struct sigaction sa;
  std::memset(&sa, 0, sizeof sa);
  sa.sa_handler = handler;
  sigemptyset(&sa.sa_mask);
  ::sigaction(SIGINT, &sa, nullptr);
  ::sigaction(SIGTERM, &sa, nullptr);
  ::sigaction(SIGHUP, &sa, nullptr);
}

// The COMn link of --as-com, removed again when the panel stops.
class ComLink {
 public:
  ComLink(unsigned number, const std::string& target) {
    if (number == 0) return;
    const std::string folder = PortsFolder();
    if (folder.empty()) throw CliError("simulate: no ports folder (set LOGWICK_PORTS_DIR or HOME)");
    if (!MakeFolders(folder))
      throw CliError("simulate: cannot create " + folder + ": " + std::strerror(errno));
    m_path = StrFormat("%s/COM%u", folder.c_str(), number);
    struct stat st;
    if (::lstat(m_path.c_str(), &st) == 0) {
      if (!S_ISLNK(st.st_mode)) throw CliError("simulate: " + m_path + " exists and is not a link");
      ::unlink(m_path.c_str());  // an earlier simulator's, or an old mapping
    }
    if (::symlink(target.c_str(), m_path.c_str()) != 0)
      throw CliError("simulate: cannot create " + m_path + ": " + std::strerror(errno));
    m_target = target;
  }
  ~ComLink() {
    if (m_path.empty()) return;
    char buf[512];
    const ssize_t n = ::readlink(m_path.c_str(), buf, sizeof buf - 1);
    if (n > 0 && std::string(buf, static_cast<std::size_t>(n)) == m_target) ::unlink(m_path.c_str());
  }
  ComLink(const ComLink&) = delete;
  ComLink& operator=(const ComLink&) = delete;
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
  std::string m_target;
};

int ServePanel(const SimOptions& o, const sim::PanelConfig& config) {
  InstallHandler(OnStopSignal);
  sim::PtyPanel panel(config, MakeLineOptions(o));
  std::string error;
  if (!panel.Open(error)) {
    std::fprintf(stderr, "simulate: %s\n", error.c_str());
    return kExitFailure;
  }
  try {
    ComLink link(o.asCom, panel.DevicePath());
    std::printf("%s\n", panel.DevicePath().c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "panel %u (device type %u): %u events, ring position %u, block %u%s%s%s%s%s%s\n",
                 config.serial, unsigned{config.deviceType}, unsigned{config.eventCount},
                 unsigned{config.ringPosition}, unsigned{config.blockSize}, o.pace ? ", paced" : "",
                 config.faults.silent ? ", silent" : "", o.echo ? ", echo" : "",
                 o.lineMode.empty() ? "" : (", " + o.lineMode + " mode only").c_str(),
                 link.Path().empty() ? "" : ", as ", link.Path().c_str());
    panel.Run(g_stop);
  } catch (const CliError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return e.status;
  }
  return kExitOk;
}

}  // namespace

void RunSimulator(const SimOptions& options) {
  const sim::PanelConfig config = MakePanelConfig(options);
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t parent = ::getpid();
  const pid_t child = ::fork();
  if (child < 0) throw CliError(std::string("simulate: cannot fork: ") + std::strerror(errno));
  if (child == 0) {
    ::setsid();
#ifdef __linux__
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) std::_Exit(kExitFailure);
#endif
    const int status = ServePanel(options, config);
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
  }
  g_child = child;
  InstallHandler(ForwardSignal);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return;
  throw CliError("simulate: the panel stopped with an error",
                 WIFEXITED(status) ? static_cast<ExitStatus>(WEXITSTATUS(status)) : kExitFailure);
}

}  // namespace logwick::cli
