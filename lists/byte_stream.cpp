#include "lists/byte_stream.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "events/codec.h"
#include "lists/file_system.h"

namespace {

constexpr std::uint8_t kByteMarker = 0xFF;
constexpr std::uint16_t kWideMarker = 0xFFFE;
constexpr std::uint16_t kLongMarker = 0xFFFF;
// Strings from files of unknown size grow by this much at a time, so that a
// claimed length alone never allocates.
constexpr std::size_t kUnknownSizeChunk = 64 * 1024;

}  // namespace

CArchive::CArchive(std::FILE* file, Mode mode, std::string path)
    : m_file(file), m_mode(mode), m_path(std::move(path)) {
  if (mode == load) {
    m_size = logwick::RegularFileSize(file);
    m_end = m_buf;
  } else {
    m_end = m_bufEnd;
  }
}

CArchive::CArchive(std::string& sink) : m_file(nullptr), m_sink(&sink), m_mode(store) { m_end = m_bufEnd; }

void CArchive::ThrowEndOfFile() { throw CArchiveException("unexpected end of file"); }

void CArchive::ThrowFileError(int err) const { throw CFileException(m_path, logwick::ErrnoText(err)); }

std::optional<std::uint64_t> CArchive::Remaining() const {
  if (!m_size) return std::nullopt;
  const std::uint64_t consumed = m_fileRead - static_cast<std::uint64_t>(m_end - m_pos);
  return *m_size > consumed ? *m_size - consumed : 0;
}

std::size_t CArchive::ReadRaw(void* dst, std::size_t n) {
  errno = 0;
  std::size_t got = std::fread(dst, 1, n, m_file);
  if (got < n && std::ferror(m_file)) ThrowFileError(errno ? errno : EIO);
  m_fileRead += got;
  return got;
}

bool CArchive::Refill() {
  if (m_pos != m_end) return true;
  std::size_t got = ReadRaw(m_buf, kBufferSize);
  m_pos = m_buf;
  m_end = m_buf + got;
  return got > 0;
}

std::size_t CArchive::Read(void* dst, std::size_t n) {
  auto* out = static_cast<std::uint8_t*>(dst);
  std::size_t done = 0;
  while (done < n) {
    if (m_pos == m_end) {
      // Large blocks bypass the buffer.
      if (n - done >= kBufferSize) {
        std::size_t got = ReadRaw(out + done, n - done);
        done += got;
        break;
      }
      if (!Refill()) break;
    }
    std::size_t take = std::min(n - done, static_cast<std::size_t>(m_end - m_pos));
    std::memcpy(out + done, m_pos, take);
    m_pos += take;
    done += take;
  }
  return done;
}

std::uint64_t CArchive::ReadLength(bool afterMarker) {
  // afterMarker: the byte 0xFF was already read.
  if (!afterMarker) {
    std::uint8_t b = ReadU8();
    if (b != kByteMarker) return b;
  }
  std::uint16_t w = ReadU16();
  if (w < kWideMarker) return w;
  return ReadU32();
}

std::string CArchive::ReadBytes(std::uint64_t n) {
  std::optional<std::uint64_t> left = Remaining();
  if (left && n > *left) ThrowEndOfFile();
  std::string s;
  if (left) {
    s.resize(static_cast<std::size_t>(n));
    if (Read(s.data(), s.size()) != s.size()) ThrowEndOfFile();
    return s;
  }
  while (n > 0) {
    std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(n, kUnknownSizeChunk));
    std::size_t old = s.size();
    s.resize(old + chunk);
    if (Read(s.data() + old, chunk) != chunk) ThrowEndOfFile();
    n -= chunk;
  }
  return s;
}

std::string CArchive::ReadString() {
  std::uint8_t first = ReadU8();
  if (first != kByteMarker) return ReadBytes(first);
  std::uint16_t w = ReadU16();
  if (w < kWideMarker) return ReadBytes(w);
  if (w == kLongMarker) return ReadBytes(ReadU32());

  // UTF-16LE characters.
  std::uint64_t count = ReadLength(false);
  std::string raw = ReadBytes(count * 2);  // count < 2^32, so no overflow
  std::vector<char16_t> units(static_cast<std::size_t>(count));
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(raw.data());
  for (std::size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(logwick::ReadLe16(bytes + 2 * i));
  return logwick::Utf8ToCp1251(logwick::Utf16ToUtf8(units.data(), units.size()));
}

void CArchive::Emit(const void* src, std::size_t n) {
  if (m_sink) {
    m_sink->append(static_cast<const char*>(src), n);
    return;
  }
  errno = 0;
  if (std::fwrite(src, 1, n, m_file) != n) ThrowFileError(errno ? errno : EIO);
}

void CArchive::FlushBuffer() {
  if (m_pos != m_buf) Emit(m_buf, static_cast<std::size_t>(m_pos - m_buf));
  m_pos = m_buf;
}

void CArchive::WriteSlow(const void* src, std::size_t n) {
  const auto* in = static_cast<const std::uint8_t*>(src);
  FlushBuffer();
  if (n >= kBufferSize) {
    Emit(in, n);
    return;
  }
  std::memcpy(m_pos, in, n);
  m_pos += n;
}

void CArchive::WriteString(std::string_view cp1251) {
  const std::uint64_t n = cp1251.size();
  if (n > 0xFFFFFFFFu) throw CArchiveException("value out of range");
  if (n < kByteMarker) {
    WriteU8(static_cast<std::uint8_t>(n));
  } else if (n < kWideMarker) {
    WriteU8(kByteMarker);
    WriteU16(static_cast<std::uint16_t>(n));
  } else {
    WriteU8(kByteMarker);
    WriteU16(kLongMarker);
    WriteU32(static_cast<std::uint32_t>(n));
  }
  Write(cp1251.data(), cp1251.size());
}

void CArchive::Close() {
  if (m_mode != store) return;
  FlushBuffer();
  errno = 0;
  if (m_file && std::fflush(m_file) != 0) ThrowFileError(errno ? errno : EIO);
}
