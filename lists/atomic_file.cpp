#include "lists/atomic_file.h"

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
constexpr std::size_t kTempSuffixBytes = 13;  // ".%08x.tmp"

// The target's name, cut where needed so that the temporary name still fits.
std::string TempBase(const std::string& target) {
  const std::size_t slash = target.find_last_of("/\\");
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t room = kMaxNameBytes - kTempSuffixBytes;
  if (target.size() - nameStart <= room) return target;
  std::size_t cut = nameStart + room;
  while (cut > nameStart && (static_cast<unsigned char>(target[cut]) & 0xC0) == 0x80) --cut;
  return target.substr(0, cut);
}

[[noreturn]] void ThrowFileError(const std::string& path, int err) {
  throw CFileException(CFileException::CauseOf(err), path, ErrnoText(err));
}

}  // namespace

AtomicFile::AtomicFile(std::string target) : m_target(std::move(target)) {
  // Writing in place would be refused for such a file; a rename must not
  // replace it behind its owner's back either.
  if (IsWriteProtected(m_target)) ThrowFileError(m_target, EACCES);
  const std::string base = TempBase(m_target);
  std::random_device rd;
  std::mt19937 gen(rd());
  int err = EEXIST;
  for (int i = 0; i < kNameAttempts && !m_file; ++i) {
    // A suffix of the target's own name keeps the temporary file in the same
    // folder, so the final rename never crosses devices.
    m_temp = base + StrFormat(".%08x.tmp", static_cast<unsigned>(gen()));
    m_file = CreateNewFile(m_temp);
    if (!m_file) err = errno;
    if (!m_file && err != EEXIST) break;
  }
  if (!m_file) {
    m_temp.clear();
    ThrowFileError(m_target, err);
  }
  CopyPermissions(m_target, m_file);
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
  errno = 0;
  if (std::fclose(m_file) != 0 && err == 0) err = errno ? errno : EIO;
  m_file = nullptr;
  if (err) {
    Discard();
    ThrowFileError(m_target, err);
  }
  std::string detail;
  if (!RenameOver(m_temp, m_target, &detail)) {
    Discard();
    throw CFileException(CFileException::generic, m_target, detail);
  }
  m_temp.clear();
}

}  // namespace logwick
