// The two failures that travel from a file to the command that opened it:
// the file itself failed (CFileException), or the data ran out before the
// archive had read what the format promised (CArchiveException).
#pragma once

#include <exception>
#include <string>

class CFileException : public std::exception {
 public:
  CFileException(std::string path, std::string osError);

  const char* what() const noexcept override { return m_what.c_str(); }

  std::string m_strFileName;  // UTF-8
  std::string m_strOsError;   // the system's own words, may be empty

 private:
  std::string m_what;
};

class CArchiveException : public std::exception {
 public:
  // what: a fixed text ("unexpected end of file", ...).
  explicit CArchiveException(const char* what) : m_what(what) {}
  const char* what() const noexcept override { return m_what; }

 private:
  const char* m_what;
};
