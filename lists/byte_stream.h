// A buffered byte stream over an open file, in one direction: storing or
// loading. Little-endian integers, raw blocks and length-prefixed strings.
//
// Strings are Windows-1251 bytes with a length prefix: one byte below 255;
// else 0xFF and a 16-bit length below 0xFFFE; else 0xFF, 0xFFFF and a 32-bit
// length. On loading, 0xFF 0xFFFE marks a string of UTF-16LE characters whose
// length follows in the same scheme; it is converted to Windows-1251.
//
// Loading never trusts a length: a string that claims more bytes than the file
// still holds ends in the end-of-file error before anything is allocated.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "events/little_endian.h"
#include "lists/file_errors.h"

class CArchive {
 public:
  enum Mode { load, store };
  static constexpr std::size_t kBufferSize = 4096;

  // The file must be open at its start, in binary mode, for the direction
  // given. The archive does not own it: after Close() the caller closes it.
  CArchive(std::FILE* file, Mode mode, std::string path);
  // Stores into memory: every byte written is appended to sink.
  explicit CArchive(std::string& sink);
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  bool IsStoring() const { return m_mode == store; }

  // Loading. Reads that run past the end throw CArchiveException;
  // a failing file throws CFileException.
  std::uint8_t ReadU8() {
    if (m_pos == m_end && !Refill()) ThrowEndOfFile();
    return *m_pos++;
  }
  std::uint16_t ReadU16() {
    std::uint8_t b[2];
    ReadExact(b, 2);
    return logwick::ReadLe16(b);
  }
  std::uint32_t ReadU32() {
    std::uint8_t b[4];
    ReadExact(b, 4);
    return logwick::ReadLe32(b);
  }
  // Reads up to n bytes; fewer only at the end of the file.
  std::size_t Read(void* dst, std::size_t n);
  // A length-prefixed string, as Windows-1251 bytes.
  std::string ReadString();
  // Bytes the file still holds beyond what was read; none when the file is
  // not a regular file and its size cannot be known.
  std::optional<std::uint64_t> Remaining() const;
  [[noreturn]] static void ThrowEndOfFile();

  // Storing. A failing file throws CFileException.
  void WriteU8(std::uint8_t v) {
    if (m_pos == m_bufEnd) FlushBuffer();
    *m_pos++ = v;
  }
  void WriteU16(std::uint16_t v) {
    std::uint8_t b[2];
    logwick::WriteLe16(b, v);
    Write(b, 2);
  }
  void WriteU32(std::uint32_t v) {
    std::uint8_t b[4];
    logwick::WriteLe32(b, v);
    Write(b, 4);
  }
  void Write(const void* src, std::size_t n) {
    if (static_cast<std::size_t>(m_bufEnd - m_pos) >= n) {
      std::memcpy(m_pos, src, n);
      m_pos += n;
    } else {
      WriteSlow(src, n);
    }
  }
  // Stores Windows-1251 bytes with their length prefix.
  void WriteString(std::string_view cp1251);

  // Storing: writes out the buffer and flushes the file. Loading: nothing.
  void Close();

 private:
  void ReadExact(std::uint8_t* dst, std::size_t n) {
    if (static_cast<std::size_t>(m_end - m_pos) >= n) {
      std::memcpy(dst, m_pos, n);
      m_pos += n;
    } else if (Read(dst, n) != n) {
      ThrowEndOfFile();
    }
  }
  // Fills the buffer when it is empty; false at the end of the file.
  bool Refill();
  std::size_t ReadRaw(void* dst, std::size_t n);
  std::uint64_t ReadLength(bool afterMarker);
  std::string ReadBytes(std::uint64_t n);
  void WriteSlow(const void* src, std::size_t n);
  void Emit(const void* src, std::size_t n);
  void FlushBuffer();
  [[noreturn]] void ThrowFileError(int err) const;

  std::FILE* m_file;
  std::string* m_sink = nullptr;  // storing into memory instead of m_file
  Mode m_mode;
  std::string m_path;
  std::optional<std::uint64_t> m_size;  // loading: file size at open
  std::uint64_t m_fileRead = 0;         // loading: bytes taken from the file so far
  std::uint8_t m_buf[kBufferSize];
  std::uint8_t* m_pos = m_buf;
  std::uint8_t* m_end = m_buf;  // loading: end of the valid data
  std::uint8_t* m_bufEnd = m_buf + kBufferSize;
};
