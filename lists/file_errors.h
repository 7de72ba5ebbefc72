// The two failures that travel from a file to the command that opened it:
// the file itself failed (CFileException), or the data ran out before the
// archive had read what the format promised (CArchiveException).
#pragma once

#include <exception>
#include <string>

class CFileException : public std::exception {
 public:
  enum Cause { generic, fileNotFound, badPath, accessDenied, diskFull, hardIO };

  CFileException(Cause cause, std::string path, std::string osError);
  // Cause of an errno value.
  static Cause CauseOf(int err);

  const char* what() const noexcept override { return m_what.c_str(); }

  Cause m_cause;
  std::string m_strFileName;  // UTF-8
  std::string m_strOsError;   // the system's own words, may be empty

 private:
  std::string m_what;
};

class CArchiveException : public std::exception {
 public:
  enum Cause { endOfFile, badIndex };

  explicit CArchiveException(Cause cause) : m_cause(cause) {}
  const char* what() const noexcept override;

  Cause m_cause;
};
