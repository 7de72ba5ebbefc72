// What the harnesses and the seed maker share: the fuzzer's input read front to back as little-endian
// values (running out is no error: values read as 0, byte runs short) and its writer, rows of columns,
// and event lists loaded from memory.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "lists/byte_stream.h"
#include "lists/event_file.h"
#include "lists/list_digest.h"
#include "tests/lists/list_samples.h"

namespace logwick::fuzz {

// The fuzzer records the input as a crash.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "broken promise: %s\n", what);
  std::abort();
}

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : m_pos(data), m_end(data + size) {}

  bool Empty() const { return m_pos == m_end; }
  std::size_t Left() const { return static_cast<std::size_t>(m_end - m_pos); }
  std::uint32_t Uint(int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<std::uint32_t>(Empty() ? 0 : *m_pos++) << (8 * i);
    return v;
  }
  std::uint8_t U8() { return static_cast<std::uint8_t>(Uint(1)); }
  // Up to n bytes; fewer when the input runs out.
  std::vector<std::uint8_t> Bytes(std::size_t n) {
    const std::uint8_t* from = m_pos;
    m_pos += std::min(n, Left());
    return std::vector<std::uint8_t>(from, m_pos);
  }

 private:
  const std::uint8_t* m_pos;
  const std::uint8_t* m_end;
};

inline void PutUint(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A row of columns: per column a flag byte, odd for NULL, then a 24-bit length and the bytes.
using Column = std::optional<std::vector<std::uint8_t>>;

inline std::vector<Column> ReadColumns(Input& in, std::size_t n) {
  std::vector<Column> out;
  for (std::size_t i = 0; i < n; ++i) {
    const bool null = in.U8() & 1;
    const std::size_t length = in.Uint(3);
    out.push_back(null ? Column() : Column(in.Bytes(length)));
  }
  return out;
}

inline void PutColumns(std::vector<std::uint8_t>& out, const std::vector<Column>& columns) {
  for (const Column& c : columns) {
    PutUint(out, c ? 0 : 1, 1);
    PutUint(out, c ? static_cast<std::uint32_t>(c->size()) : 0, 3);
    if (c) out.insert(out.end(), c->begin(), c->end());
  }
}

// A file of this process's own, in memory where the system has a memory file system.
inline std::string ScratchPath(const std::string& suffix) {
  return std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/logwick-fuzz-" +
         std::to_string(getpid()) + suffix;
}

// Loads like LoadEventFile from a memory stream, which has no known size, so that loading takes the
// byte stream's careful path: the list is replaced only when the whole input was read.
inline FileStatus LoadFromBytes(const std::uint8_t* data, std::size_t size, CT7KEventList& list) {
  if (size == 0) return FileStatus::EndOfFile;  // fmemopen refuses empty buffers
  std::FILE* f = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
  if (!f) std::abort();
  FileStatus status = FileStatus::FormatRefused;
  try {
    CT7KEventList loaded;
    CArchive ar(f, CArchive::load, "memory");
    if (loaded.Serialize(ar) != CT7KEventList::LoadResult::FormatRefused)
      status = FileStatus::Done, list = std::move(loaded);
  } catch (const CArchiveException&) {
    status = FileStatus::EndOfFile;
  } catch (const CFileException&) {
    status = FileStatus::ReadError;
  }
  std::fclose(f);
  return status;
}

inline bool SurvivesAFile(const CT7KEventList& list) {
  const std::string stored = EventFileBytes(list);
  CT7KEventList again;
  return LoadFromBytes(reinterpret_cast<const std::uint8_t*>(stored.data()), stored.size(), again) ==
             FileStatus::Done &&
         again == list;
}

// The caller's list before a load or a reading: unchanged unless replaced.
inline const CT7KEventList& Sentinel() {
  static const CT7KEventList l = test::MakeOtherReading();
  return l;
}

}  // namespace logwick::fuzz
