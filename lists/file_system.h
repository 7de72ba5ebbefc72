// The few file-system calls the core needs, by UTF-8 path. On Windows the
// paths are converted to UTF-16 so that any name the user can pick opens.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace logwick {

// std::fopen by UTF-8 path; null with errno set on failure.
std::FILE* OpenFile(const std::string& path, const char* mode);

// Opens a file for binary reading while denying others write access, so that
// what is read cannot change underneath: on Windows a file another program
// holds open for writing is refused (EACCES). Elsewhere a plain open for
// reading, as the system has no such sharing modes. Null with errno set.
std::FILE* OpenFileDenyingWrite(const std::string& path);

// Creates a new file that must not exist yet (exclusive create), opened for
// binary writing; null with errno set on failure (EEXIST when it exists).
std::FILE* CreateNewFile(const std::string& path);

// Linux: a new file without a name in `folder` (O_TMPFILE), opened for binary
// writing, that LinkUnnamedFile can later give a name. Null where the file
// system or the system cannot make one (and always elsewhere).
std::FILE* CreateUnnamedFile(const std::string& folder);

// Gives a file made by CreateUnnamedFile the name `temp`, which must not
// exist, and renames that over `target`. Both steps run in a helper process
// that shares this one's memory and finishes them even when this process is
// killed: a kill between the two would otherwise leave `temp` behind. 0, or
// the errno of the step that failed (EEXIST: `temp` is taken, nothing was
// done); after a failed rename `temp` is removed again.
int PutUnnamedFileInPlace(std::FILE* f, const std::string& temp, const std::string& target);

// Takes an exclusive advisory lock on an open file, held until every
// descriptor of it is closed; it tells a save that is still running from one
// that was killed. False where the file system has no such locks.
bool LockFile(std::FILE* f);

// Removes the file unless another process has it open and locked (LockFile
// on POSIX; on Windows, any process that has it open). True when it is gone.
bool RemoveUnlessLocked(const std::string& path);

// The names of the entries of a folder ("." and ".." left out); empty when it
// cannot be read.
std::vector<std::string> FolderEntries(const std::string& folder);

// Size of an open file when it is a regular file; none for pipes, devices and
// anything whose size cannot be known in advance.
std::optional<std::uint64_t> RegularFileSize(std::FILE* f);

// Pushes the file's written data to the disk (after fflush). False on failure.
bool SyncFile(std::FILE* f);

// Renames from over to, replacing to when it exists. False with errno-like
// detail in *error on failure.
bool RenameOver(const std::string& from, const std::string& to, std::string* error);

// True when path names an existing folder.
bool IsFolder(const std::string& path);

// True when path names an existing file that this process may not write to.
bool IsWriteProtected(const std::string& path);

// Creates the folder and every missing one above it. False with errno set
// when one cannot be made.
bool MakeFolders(const std::string& path);

// Removes a file; failures are ignored (used for clean-up only).
void RemoveFileQuietly(const std::string& path);

// Gives a freshly created file the permissions of the file it will replace,
// when that one exists (POSIX only; a no-op elsewhere).
void CopyPermissions(const std::string& from_existing, std::FILE* to);

// Text of an errno value.
std::string ErrnoText(int err);

}  // namespace logwick
