// Timed read-out of a paced simulated panel: runs `logwick-cli simulate --pace`
// and `logwick-cli read --serial` against it, and sets the reader's wall time
// against the pure wire time of every byte sent both ways (counted from the
// read's trace), its processor time (user + system, from wait4) and its
// voluntary context switches (how often it went to sleep).
//
// Wire time of a byte: 10 bit times at 8N1 (start, 8 data, stop), 11 at 8E1.
//
// Usage: logwick-bench-link CLI EVENTS BLOCK (plain|gaz) NAME
// Prints "name: value unit" lines.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

pid_t Spawn(const std::vector<std::string>& args, int stdoutFd, const std::string& errPath) {
  std::vector<char*> argv;
  std::vector<std::string> copy = args;
  for (auto& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  if (stdoutFd >= 0) posix_spawn_file_actions_adddup2(&fa, stdoutFd, 1);
  posix_spawn_file_actions_addopen(&fa, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&fa);
  return pid;
}

// Bytes on the line, from the trace's "->" and "<-" lines of hex pairs.
long WireBytes(const std::string& tracePath) {
  std::ifstream in(tracePath);
  std::string line;
  long bytes = 0;
  while (std::getline(in, line)) {
    std::size_t at = line.find(" -> ");
    if (at == std::string::npos) at = line.find(" <- ");
    if (at == std::string::npos || line.find("(nothing)") != std::string::npos) continue;
    std::istringstream hex(line.substr(at + 4));
    std::string pair;
    while (hex >> pair) ++bytes;
  }
  return bytes;
}

double Seconds(const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: %s CLI EVENTS BLOCK plain|gaz NAME\n", argv[0]);
    return 2;
  }
  const std::string cli = argv[1], events = argv[2], block = argv[3], name = argv[5];
  const bool gaz = std::string(argv[4]) == "gaz";
  const std::string serial = "700123";
  char dirTemplate[] = "/tmp/logwick-bench-link-XXXXXX";
  const std::string dir = mkdtemp(dirTemplate);
  const std::string out = dir + "/read.t7kev", trace = dir + "/trace.txt";

  int pipeFds[2];
  if (pipe(pipeFds) != 0) return 1;
  const pid_t sim =
      Spawn({cli, "simulate", "--pace", "--serial", serial, "--events", events, "--block", block}, pipeFds[1],
            dir + "/sim.err");
  close(pipeFds[1]);
  std::string device;
  char c;
  while (read(pipeFds[0], &c, 1) == 1 && c != '\n') device += c;
  if (sim < 0 || device.empty()) {
    std::fprintf(stderr, "the simulator did not start\n");
    return 1;
  }

  std::vector<std::string> readArgs{cli,    "read", "--device", device,    "--serial",
                                    serial, "-o",   out,        "--trace", trace};
  if (gaz) readArgs.push_back("--gaz");
  const auto start = std::chrono::steady_clock::now();
  const pid_t reader = Spawn(readArgs, -1, dir + "/read.err");
  int status = 0;
  rusage usage{};
  wait4(reader, &status, 0, &usage);
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  kill(sim, SIGTERM);
  waitpid(sim, nullptr, 0);
  close(pipeFds[0]);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "the read-out failed (status %d); see %s\n", status, dir.c_str());
    return 1;
  }

  const long bytes = WireBytes(trace);
  const double wire = bytes * (gaz ? 11.0 : 10.0) / (gaz ? 1200.0 : 9600.0);
  const double cpu = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  std::printf("%s wire bytes: %ld bytes\n", name.c_str(), bytes);
  std::printf("%s wire time: %.3f s\n", name.c_str(), wire);
  std::printf("%s wall time: %.3f s\n", name.c_str(), wall);
  std::printf("%s wall/wire: %.4f ratio\n", name.c_str(), wall / wire);
  std::printf("%s reader CPU: %.3f s\n", name.c_str(), cpu);
  std::printf("%s reader CPU share: %.2f %%\n", name.c_str(), 100.0 * cpu / wall);
  std::printf("%s reader context switches: %ld switches\n", name.c_str(), usage.ru_nvcsw);
  std::remove(out.c_str());
  std::remove(trace.c_str());
  std::remove((dir + "/sim.err").c_str());
  std::remove((dir + "/read.err").c_str());
  rmdir(dir.c_str());
  return 0;
}
