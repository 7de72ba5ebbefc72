#include "desk/desktop_databases.h"

#include <filesystem>
#include <system_error>
#include <thread>

#ifndef _WIN32
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace logwick {

namespace fs = std::filesystem;

namespace {

struct DesktopCache {
  const char* tool;
  const char* folder;  // under the data folder, the tool's argument
  const char* cache;   // what the tool writes there
  const char* source;  // the program's own file it reads there
};

constexpr DesktopCache kCaches[] = {
    {"update-mime-database", "mime", "mime.cache", "packages/logwick-t7kev.xml"},
    {"update-desktop-database", "applications", "mimeinfo.cache", "logwick.desktop"},
};

bool Stale(const fs::path& cache, const fs::path& source) {
  std::error_code cacheError, sourceError;
  const auto cacheTime = fs::last_write_time(cache, cacheError);
  const auto sourceTime = fs::last_write_time(source, sourceError);
  if (sourceError) return false;  // nothing of ours to take in
  return cacheError || cacheTime < sourceTime;
}

}  // namespace

void UpdateDesktopDatabases(const std::string& dataHome) {
#ifdef _WIN32
  (void)dataHome;
#else
  for (const DesktopCache& c : kCaches) {
    const fs::path folder = fs::path(dataHome) / c.folder;
    if (Stale(folder / c.cache, folder / c.source))
      RunQuietly({c.tool, folder.string()}, kDesktopToolTimeout);
  }
#endif
}

bool RunQuietly(const std::vector<std::string>& argv, std::chrono::milliseconds limit) {
#ifdef _WIN32
  (void)argv;
  (void)limit;
  return false;
#else
  if (argv.empty()) return false;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
    posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY, 0);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;  // not installed

  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (done < 0 && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
#endif
}

}  // namespace logwick
