#include "lists/atomic_file.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <random>

#include "events/strformat.h"
#include "lists/file_errors.h"
#include "lists/file_system.h"

namespace logwick {
namespace {

constexpr int kNameAttempts = 16;
// Longest file name most file systems take, and what the temporary name adds.
constexpr std::size_t kMaxNameBytes = 255;
constexpr std::size_t kHexDigits = 8;
constexpr char kTempExtension[] = ".tmp";
constexpr std::size_t kTempSuffixBytes = 1 + kHexDigits + sizeof kTempExtension - 1;  // ".%08x.tmp"

std::atomic<bool> g_useUnnamed{true};

std::size_t NameStart(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? 0 : slash + 1;
}

std::string FolderOf(const std::string& path) {
  const std::size_t start = NameStart(path);
  if (start == 0) return ".";
  return start == 1 ? path.substr(0, 1) : path.substr(0, start - 1);
}

// The target's name, cut where needed so that the temporary name still fits.
std::string TempBase(const std::string& target) {
  const std::size_t nameStart = NameStart(target);
  const std::size_t room = kMaxNameBytes - kTempSuffixBytes;
  if (target.size() - nameStart <= room) return target;
  std::size_t cut = nameStart + room;
  while (cut > nameStart && (static_cast<unsigned char>(target[cut]) & 0xC0) == 0x80) --cut;
  return target.substr(0, cut);
}

std::string TempName(const std::string& base) {
  std::random_device rd;
  return base + StrFormat(".%08x", static_cast<unsigned>(rd())) + kTempExtension;
}

// Whether `name` is "<baseName>.<8 hex digits>.tmp".
bool IsTempOf(const std::string& name, const std::string& baseName) {
  if (name.size() != baseName.size() + kTempSuffixBytes || name.compare(0, baseName.size(), baseName) != 0)
    return false;
  const std::string_view suffix(name.data() + baseName.size(), kTempSuffixBytes);
  return suffix.front() == '.' && suffix.ends_with(kTempExtension) &&
         std::all_of(suffix.begin() + 1, suffix.begin() + 1 + kHexDigits,
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

// Temporary files of earlier saves of this target that were killed before
// they could clean up; one that a running save holds locked stays.
void RemoveStaleTemporaries(const std::string& target) {
  const std::string base = TempBase(target);
  const std::string folder = FolderOf(target), baseName = base.substr(NameStart(base));
  for (const std::string& name : FolderEntries(folder))
    if (IsTempOf(name, baseName)) RemoveUnlessLocked(base.substr(0, NameStart(base)) + name);
}

[[noreturn]] void ThrowFileError(const std::string& path, int err) {
  throw CFileException(path, ErrnoText(err));
}

}  // namespace

FileOutcome CheckCanCreate(const std::string& target) {
  if (IsFolder(target)) return {FileStatus::WriteError, ErrnoText(EISDIR)};
  try {
    AtomicFile(target).Discard();
    return {};
  } catch (const CFileException& e) {
    return {FileStatus::WriteError, e.m_strOsError};
  }
}

void AtomicFile::UseUnnamedFiles(bool use) { g_useUnnamed = use; }

AtomicFile::AtomicFile(std::string target) : m_target(std::move(target)) {
  // Writing in place would be refused for such a file; a rename must not
  // replace it behind its owner's back either.
  if (IsWriteProtected(m_target)) ThrowFileError(m_target, EACCES);
  RemoveStaleTemporaries(m_target);
  if (g_useUnnamed) m_file = CreateUnnamedFile(FolderOf(m_target));
  if (!m_file) CreateNamed();
  LockFile(m_file);
  CopyPermissions(m_target, m_file);
}

void AtomicFile::CreateNamed() {
  const std::string base = TempBase(m_target);
  int err = EEXIST;
  for (int i = 0; i < kNameAttempts && !m_file; ++i) {
    // A suffix of the target's own name keeps the temporary file in the same
    // folder, so the final rename never crosses devices.
    m_temp = TempName(base);
    m_file = CreateNewFile(m_temp);
    if (!m_file) err = errno;
    if (!m_file && err != EEXIST) break;
  }
  if (!m_file) {
    m_temp.clear();
    ThrowFileError(m_target, err);
  }
}

// No call puts a file without a name in place of an existing one: the
// complete file gets a temporary name first, which is renamed over the target.
void AtomicFile::PutUnnamedInPlace() {
  const std::string base = TempBase(m_target);
  int err = EEXIST;
  for (int i = 0; i < kNameAttempts && err == EEXIST; ++i)
    err = PutUnnamedFileInPlace(m_file, TempName(base), m_target);
  std::fclose(m_file);  // the data is on the disk already
  m_file = nullptr;
  if (err) ThrowFileError(m_target, err);
}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Discard() {
  if (m_file) {
    std::fclose(m_file);
    m_file = nullptr;
  }
  if (!m_temp.empty()) {
    RemoveFileQuietly(m_temp);
    m_temp.clear();
  }
}

void AtomicFile::Commit() {
  int err = 0;
  errno = 0;
  if (std::fflush(m_file) != 0 || !SyncFile(m_file)) err = errno ? errno : EIO;
  if (err) {
    Discard();
    ThrowFileError(m_target, err);
  }
  if (m_temp.empty()) {
    PutUnnamedInPlace();
    return;
  }
  errno = 0;
  if (std::fclose(m_file) != 0) err = errno ? errno : EIO;
  m_file = nullptr;
  if (err) {
    Discard();
    ThrowFileError(m_target, err);
  }
  std::string detail;
  if (!RenameOver(m_temp, m_target, &detail)) {
    Discard();
    throw CFileException(m_target, detail);
  }
  m_temp.clear();
}

}  // namespace logwick
