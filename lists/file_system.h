// The few file-system calls the core needs, by UTF-8 path. On Windows the
// paths are converted to UTF-16 so that any name the user can pick opens.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace logwick {

// std::fopen by UTF-8 path; null with errno set on failure.
std::FILE* OpenFile(const std::string& path, const char* mode);

// Creates a new file that must not exist yet (exclusive create), opened for
// binary writing; null with errno set on failure (EEXIST when it exists).
std::FILE* CreateNewFile(const std::string& path);

// Size of an open file when it is a regular file; none for pipes, devices and
// anything whose size cannot be known in advance.
std::optional<std::uint64_t> RegularFileSize(std::FILE* f);

// Pushes the file's written data to the disk (after fflush). False on failure.
bool SyncFile(std::FILE* f);

// Renames from over to, replacing to when it exists. False with errno-like
// detail in *error on failure.
bool RenameOver(const std::string& from, const std::string& to, std::string* error);

// True when path names an existing file that this process may not write to.
bool IsWriteProtected(const std::string& path);

// Removes a file; failures are ignored (used for clean-up only).
void RemoveFileQuietly(const std::string& path);

// Gives a freshly created file the permissions of the file it will replace,
// when that one exists (POSIX only; a no-op elsewhere).
void CopyPermissions(const std::string& from_existing, std::FILE* to);

// Text of an errno value.
std::string ErrnoText(int err);

}  // namespace logwick
