// Report bytes on their way out: writers append small pieces to a buffer, and
// the sink hands them on in large chunks, so a report of any length costs
// little memory and few system calls.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace logwick {

class ReportSink {
 public:
  using Drain = std::function<void(std::string_view)>;
  static constexpr std::size_t kChunk = 64 * 1024;

  explicit ReportSink(Drain drain);
  // Append here, then call Spill().
  std::string& Out() { return m_buffer; }
  void Spill() {
    if (m_buffer.size() >= kChunk) Flush();
  }
  // Hands on everything gathered so far.
  void Flush();

 private:
  Drain m_drain;
  std::string m_buffer;
};

// Writes to an open binary stream; throws CFileException naming path when a
// write fails.
ReportSink::Drain FileDrain(std::FILE* out, std::string path);
// Appends to text.
ReportSink::Drain StringDrain(std::string& text);

}  // namespace logwick
