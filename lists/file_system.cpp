#include "lists/file_system.h"

#include <cerrno>
#include <cstring>

#include "events/codec.h"

#ifdef _WIN32
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace logwick {

#ifdef _WIN32
std::FILE* OpenFile(const std::string& path, const char* mode) {
  return _wfopen(Utf8ToWide(path).c_str(), Utf8ToWide(mode).c_str());
}

std::FILE* OpenFileDenyingWrite(const std::string& path) {
  return _wfsopen(Utf8ToWide(path).c_str(), L"rb", _SH_DENYWR);
}

std::FILE* CreateNewFile(const std::string& path) {
  int fd = _wopen(Utf8ToWide(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* f = _fdopen(fd, "wb");
  if (!f) _close(fd);
  return f;
}

std::optional<std::uint64_t> RegularFileSize(std::FILE* f) {
  struct _stat64 st;
  if (_fstat64(_fileno(f), &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

std::FILE* CreateUnnamedFile(const std::string&) { return nullptr; }

int PutUnnamedFileInPlace(std::FILE*, const std::string&, const std::string&) { return ENOSYS; }

// The runtime opens files without delete sharing, so a file another process
// still writes cannot be removed: that is the lock.
bool LockFile(std::FILE*) { return true; }

bool RemoveUnlessLocked(const std::string& path) { return _wremove(Utf8ToWide(path).c_str()) == 0; }

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW(Utf8ToWide(folder + "\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = WideToUtf8(found.cFileName);
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileW(h, &found));
  FindClose(h);
  return names;
}

bool SyncFile(std::FILE* f) { return _commit(_fileno(f)) == 0; }

bool RenameOver(const std::string& from, const std::string& to, std::string* error) {
  if (MoveFileExW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  if (error) *error = "Windows error " + std::to_string(GetLastError());
  return false;
}

bool IsFolder(const std::string& path) {
  struct _stat64 st;
  return _wstat64(Utf8ToWide(path).c_str(), &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFDIR;
}

bool IsWriteProtected(const std::string& path) {
  return _waccess(Utf8ToWide(path).c_str(), 2) != 0 && errno == EACCES;
}

void RemoveFileQuietly(const std::string& path) { _wremove(Utf8ToWide(path).c_str()); }

bool MakeFolders(const std::string& path) {
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '/' && path[i] != '\\') continue;
    if (i >= 2 && path[i - 1] == ':') continue;  // a drive
    if (_wmkdir(Utf8ToWide(path.substr(0, i)).c_str()) != 0 && errno != EEXIST) return false;
  }
  return true;
}

void CopyPermissions(const std::string&, std::FILE*) {}

#else

std::FILE* OpenFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

std::FILE* OpenFileDenyingWrite(const std::string& path) { return OpenFile(path, "rb"); }

std::FILE* CreateNewFile(const std::string& path) {
  // 0666 lets the user's umask decide, as for any file a program creates.
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  std::FILE* f = ::fdopen(fd, "wb");
  if (!f) {
    int err = errno;
    ::close(fd);
    errno = err;
  }
  return f;
}

#if defined(__linux__) && defined(O_TMPFILE)
namespace {

std::string ProcFdPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

}  // namespace

std::FILE* CreateUnnamedFile(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  // Naming it later goes through /proc; without /proc it could never be named.
  if (::access(ProcFdPath(fd).c_str(), F_OK) != 0) {
    ::close(fd);
    return nullptr;
  }
  std::FILE* f = ::fdopen(fd, "wb");
  if (!f) ::close(fd);
  return f;
}

namespace {

struct PutInPlace {
  const char* fdPath;
  const char* temp;
  const char* target;
  int error;
};

int PutInPlaceHelper(void* arg) {
  auto* job = static_cast<PutInPlace*>(arg);
  if (::linkat(AT_FDCWD, job->fdPath, AT_FDCWD, job->temp, AT_SYMLINK_FOLLOW) != 0) {
    job->error = errno;
  } else if (::rename(job->temp, job->target) != 0) {
    job->error = errno;
    ::unlink(job->temp);
  }
  return 0;
}

}  // namespace

int PutUnnamedFileInPlace(std::FILE* f, const std::string& temp, const std::string& target) {
  const std::string fdPath = ProcFdPath(::fileno(f));
  PutInPlace job{fdPath.c_str(), temp.c_str(), target.c_str(), 0};
  // CLONE_VM | CLONE_VFORK, as posix_spawn does: the helper runs on a stack of
  // its own in this memory while this thread waits; it starts with every
  // signal blocked, so that an interrupt meant for the program cannot stop it
  // half-way either.
  std::vector<char> stack(64 * 1024);
  sigset_t all, old;
  ::sigfillset(&all);
  ::pthread_sigmask(SIG_SETMASK, &all, &old);
  const pid_t pid =
      ::clone(PutInPlaceHelper, stack.data() + stack.size(), CLONE_VM | CLONE_VFORK | SIGCHLD, &job);
  ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
  if (pid < 0) {
    PutInPlaceHelper(&job);  // no helper allowed here: the two steps as they are
    return job.error;
  }
  while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
  return job.error;
}
#else
std::FILE* CreateUnnamedFile(const std::string&) { return nullptr; }

int PutUnnamedFileInPlace(std::FILE*, const std::string&, const std::string&) { return ENOSYS; }
#endif

bool LockFile(std::FILE* f) { return ::flock(::fileno(f), LOCK_EX | LOCK_NB) == 0; }

bool RemoveUnlessLocked(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  // A lock that cannot be had, for whatever reason, means hands off.
  const bool gone = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(path.c_str()) == 0;
  ::close(fd);
  return gone;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return names;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

std::optional<std::uint64_t> RegularFileSize(std::FILE* f) {
  struct stat st;
  if (::fstat(::fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

bool SyncFile(std::FILE* f) { return ::fsync(::fileno(f)) == 0; }

bool RenameOver(const std::string& from, const std::string& to, std::string* error) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  if (error) *error = ErrnoText(errno);
  return false;
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsWriteProtected(const std::string& path) {
  return ::access(path.c_str(), W_OK) != 0 && errno == EACCES;
}

void RemoveFileQuietly(const std::string& path) { std::remove(path.c_str()); }

bool MakeFolders(const std::string& path) {
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '/') continue;
    if (::mkdir(path.substr(0, i).c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return true;
}

void CopyPermissions(const std::string& from_existing, std::FILE* to) {
  struct stat st;
  if (::stat(from_existing.c_str(), &st) == 0 && S_ISREG(st.st_mode))
    (void)::fchmod(::fileno(to), st.st_mode & 07777);
}

#endif

std::string ErrnoText(int err) { return std::strerror(err); }

}  // namespace logwick
