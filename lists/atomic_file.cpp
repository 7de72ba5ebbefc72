#include "lists/atomic_file.h"

#include <cerrno>
#include <random>

#include "lists/file_errors.h"
#include "lists/file_system.h"
#include "events/strformat.h"

namespace logwick {
namespace {

constexpr int kNameAttempts = 16;

[[noreturn]] void ThrowFileError(const std::string& path, int err) {
  throw CFileException(CFileException::CauseOf(err), path, ErrnoText(err));
}

}  // namespace

AtomicFile::AtomicFile(std::string target) : m_target(std::move(target)) {
  std::random_device rd;
  std::mt19937 gen(rd());
  int err = EEXIST;
  for (int i = 0; i < kNameAttempts && !m_file; ++i) {
    // A suffix of the target's own name keeps the temporary file in the same
    // folder, so the final rename never crosses devices.
    m_temp = m_target + StrFormat(".%08x.tmp", static_cast<unsigned>(gen()));
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
