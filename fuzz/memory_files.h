// Event lists to and from bytes in memory through the byte stream files use; a memory stream has
// no known size, so loading takes the byte stream's careful path for streams.
#pragma once

#include "fuzz/fuzz_input.h"
#include "lists/byte_stream.h"
#include "lists/event_file.h"
#include "lists/t7k_event_list.h"

namespace logwick::fuzz {

inline std::vector<std::uint8_t> StoreToBytes(const CT7KEventList& list) {
  char* buf = nullptr;
  std::size_t size = 0;
  std::FILE* f = open_memstream(&buf, &size);
  if (!f) std::abort();
  {
    CArchive ar(f, CArchive::store, "memory");
    list.Store(ar);
    ar.Close();
  }
  std::fclose(f);
  std::vector<std::uint8_t> out(buf, buf + size);
  std::free(buf);
  return out;
}

// Loads like LoadEventFile: the list is replaced only when the whole input was read.
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
  const std::vector<std::uint8_t> stored = StoreToBytes(list);
  CT7KEventList again;
  return LoadFromBytes(stored.data(), stored.size(), again) == FileStatus::Done && again == list;
}

// The caller's list before a load or a reading: unchanged unless replaced.
inline const CT7KEventList& Sentinel() {
  static const CT7KEventList l = [] {
    CT7KEventList s;
    s.m_nPanelType = 3;
    s.m_nSerNum = 99;
    s.m_texts = {"прежний текст"};
    s.m_reserved.fill(0x5A);
    s.AddTail(CT7KEvent{});
    return s;
  }();
  return l;
}

}  // namespace logwick::fuzz
