#include "lists/file_errors.h"

CFileException::CFileException(std::string path, std::string osError)
    : m_strFileName(std::move(path)), m_strOsError(std::move(osError)) {
  m_what = m_strFileName;
  if (!m_strOsError.empty()) m_what += ": " + m_strOsError;
}
