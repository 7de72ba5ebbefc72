#include "lists/report_sink.h"

#include <cerrno>

#include "lists/file_errors.h"
#include "lists/file_system.h"

namespace logwick {

ReportSink::ReportSink(Drain drain) : m_drain(std::move(drain)) { m_buffer.reserve(kChunk + 4096); }

void ReportSink::Flush() {
  if (!m_buffer.empty()) m_drain(m_buffer);
  m_buffer.clear();
}

ReportSink::Drain FileDrain(std::FILE* out, std::string path) {
  return [out, path = std::move(path)](std::string_view bytes) {
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
      const int err = errno ? errno : EIO;
      throw CFileException(path, ErrnoText(err));
    }
  };
}

ReportSink::Drain StringDrain(std::string& text) {
  return [&text](std::string_view bytes) { text += bytes; };
}

}  // namespace logwick
