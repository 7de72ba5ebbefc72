// The one way tests start a child process: a function run in a fork, or a program; its output in files; ended
// by itself, by a signal or killed after a delay; as an ordinary user where the test runs as root (root reads
// and writes any file).
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/lists/test_files.h"

namespace logwick::test {

struct ChildOptions {
  std::string output;  // stdout and stderr go to <output>.out and .err; "": /dev/null
  bool asOrdinaryUser = false;
};

class ChildProcess {
 public:
  static constexpr int kNoOrdinaryUser = 125;  // the exit status when dropping to `nobody` failed

  // Runs `body` in a forked child, which exits with what it returns.
  explicit ChildProcess(const std::function<int()>& body, const ChildOptions& options = {})
      : m_output(options.output) {
    std::fflush(nullptr);
    m_pid = ::fork();
    if (m_pid != 0) return;
    const bool silent = m_output.empty();
    Redirect(1, silent ? "/dev/null" : m_output + ".out");
    Redirect(2, silent ? "/dev/null" : m_output + ".err");
    if (options.asOrdinaryUser && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
      _exit(kNoOrdinaryUser);
    const int status = body();
    std::fflush(nullptr);
    _exit(status);
  }

  // Runs `program` with `args`.
  static ChildProcess Program(const std::string& program, std::vector<std::string> args,
                              const ChildOptions& options = {}) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return ChildProcess([&] { return ::execv(program.c_str(), argv.data()), 127; }, options);
  }

  ChildProcess(ChildProcess&& other) noexcept
      : m_pid(std::exchange(other.m_pid, -1)), m_status(other.m_status), m_output(other.m_output) {}
  ~ChildProcess() {
    Signal(SIGKILL);
    Wait();
  }

  pid_t Pid() const { return m_pid; }
  void Signal(int sig) {
    if (m_pid > 0) ::kill(m_pid, sig);
  }
  // Its exit status, or 128 + the signal that ended it.
  int Wait() {
    int raw = 0;
    if (m_pid > 0 && ::waitpid(m_pid, &raw, 0) == m_pid) m_pid = -1, m_status = Status(raw);
    return m_status;
  }
  // Waits for its end at most `delay`, then kills it. True when it ended by itself.
  bool WaitAtMost(std::chrono::microseconds delay) {
    const auto killAt = std::chrono::steady_clock::now() + delay;
    int raw = 0;
    while (m_pid > 0 && std::chrono::steady_clock::now() < killAt) {
      if (::waitpid(m_pid, &raw, WNOHANG) == m_pid) {
        m_pid = -1, m_status = Status(raw);
        return true;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    if (m_pid < 0) return m_status < 128;
    Signal(SIGKILL);
    Wait();
    return false;
  }

  std::string Out() const { return ReadText(m_output + ".out"); }
  std::string Err() const { return ReadText(m_output + ".err"); }

 private:
  static int Status(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw); }
  static void Redirect(int fd, const std::string& path) {
    const int to = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (to >= 0) ::dup2(to, fd), ::close(to);
  }

  pid_t m_pid = -1;
  int m_status = -1;
  std::string m_output;
};

}  // namespace logwick::test
