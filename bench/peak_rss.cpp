// logwick-peak-rss COMMAND [ARGS...]: runs the command and prints its peak
// resident memory in KiB and the processor time it used (user and system) in
// milliseconds, "KIB MS"; exits with the command's status. On a busy machine
// the processor time says more than the wall time.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: logwick-peak-rss COMMAND [ARGS...]\n");
    return 2;
  }
  pid_t pid = fork();
  if (pid < 0) return 2;
  if (pid == 0) {
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) < 0) return 2;
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
  std::printf("%ld %.1f\n", usage.ru_maxrss, ms(usage.ru_utime) + ms(usage.ru_stime));
  return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}
