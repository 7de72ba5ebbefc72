#include "lists/file_system.h"

#include <cerrno>
#include <cstring>

#include "events/codec.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace logwick {

#ifdef _WIN32
std::FILE* OpenFile(const std::string& path, const char* mode) {
  return _wfopen(Utf8ToWide(path).c_str(), Utf8ToWide(mode).c_str());
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

bool SyncFile(std::FILE* f) { return _commit(_fileno(f)) == 0; }

bool RenameOver(const std::string& from, const std::string& to, std::string* error) {
  if (MoveFileExW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  if (error) *error = "Windows error " + std::to_string(GetLastError());
  return false;
}

bool IsWriteProtected(const std::string& path) {
  return _waccess(Utf8ToWide(path).c_str(), 2) != 0 && errno == EACCES;
}

void RemoveFileQuietly(const std::string& path) { _wremove(Utf8ToWide(path).c_str()); }

void CopyPermissions(const std::string&, std::FILE*) {}

#else

std::FILE* OpenFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

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

bool IsWriteProtected(const std::string& path) {
  return ::access(path.c_str(), W_OK) != 0 && errno == EACCES;
}

void RemoveFileQuietly(const std::string& path) { std::remove(path.c_str()); }

void CopyPermissions(const std::string& from_existing, std::FILE* to) {
  struct stat st;
  if (::stat(from_existing.c_str(), &st) == 0 && S_ISREG(st.st_mode))
    (void)::fchmod(::fileno(to), st.st_mode & 07777);
}

#endif

std::string ErrnoText(int err) { return std::strerror(err); }

}  // namespace logwick
