#include "lists/event_file.h"

#include <algorithm>
#include <cerrno>
#include <memory>

#include "lists/atomic_file.h"
#include "lists/byte_stream.h"
#include "lists/file_system.h"

namespace logwick {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

FileOutcome LoadEventFile(const std::string& path, CT7KEventList& list) {
  FilePtr file(OpenFileDenyingWrite(path));
  if (!file) return {FileStatus::ReadError, ErrnoText(errno)};
  try {
    // The list's own load already leaves it untouched unless the whole file
    // was read.
    CArchive ar(file.get(), CArchive::load, path);
    if (list.Serialize(ar) == CT7KEventList::LoadResult::FormatRefused) return {FileStatus::FormatRefused};
    return {};
  } catch (const CArchiveException&) {
    return {FileStatus::EndOfFile};
  } catch (const CFileException& e) {
    return {FileStatus::ReadError, e.m_strOsError};
  }
}

std::string LoadMessage(FileStatus status, const std::string& path) {
  switch (status) {
    case FileStatus::Done:
    case FileStatus::WriteError:
      return {};
    case FileStatus::FormatRefused:
      return kMsgFormatError;
    case FileStatus::EndOfFile:
      return std::string(kMsgFormatError) + "\r\n" + path;
    case FileStatus::ReadError:
      return std::string(kMsgCannotRead) + "\r\n" + path;
  }
  return {};
}

FileOutcome StoreEventFile(const std::string& path, const CT7KEventList& list) {
  try {
    AtomicFile file(path);
    CArchive ar(file.Stream(), CArchive::store, path);
    list.Store(ar);
    ar.Close();
    file.Commit();
    return {};
  } catch (const CFileException& e) {
    return {FileStatus::WriteError, e.m_strOsError};
  } catch (const CArchiveException& e) {
    return {FileStatus::WriteError, e.what()};
  }
}

CT7KEventList FileableHead(const CT7KEventList& list) {
  CT7KEventList head = list;
  head.RemoveAll();
  const std::size_t n = std::min<std::size_t>(list.GetCount(), CT7KEventList::kMaxEvents);
  head.Reserve(n);
  for (std::size_t i = 0; i < n; ++i) head.AddTail(list[i]);
  return head;
}

}  // namespace logwick
