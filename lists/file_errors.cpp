#include "lists/file_errors.h"

#include <cerrno>

CFileException::CFileException(Cause cause, std::string path, std::string osError)
    : m_cause(cause), m_strFileName(std::move(path)), m_strOsError(std::move(osError)) {
  m_what = m_strFileName;
  if (!m_strOsError.empty()) m_what += ": " + m_strOsError;
}

CFileException::Cause CFileException::CauseOf(int err) {
  switch (err) {
    case ENOENT:
      return fileNotFound;
    case ENAMETOOLONG:
    case ENOTDIR:
    case EISDIR:
      return badPath;
    case EACCES:
    case EPERM:
    case EROFS:
      return accessDenied;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return diskFull;
    case EIO:
      return hardIO;
    default:
      return generic;
  }
}

const char* CArchiveException::what() const noexcept {
  return m_cause == endOfFile ? "unexpected end of file" : "value out of range";
}
