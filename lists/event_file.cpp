#include "lists/event_file.h"

#include <algorithm>
#include <cerrno>
#include <memory>

#include "lists/archive.h"
#include "lists/atomic_file.h"
#include "lists/file_system.h"

namespace logwick {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

LoadOutcome LoadEventFile(const std::string& path, CT7KEventList& list) {
  FilePtr file(OpenFile(path, "rb"));
  if (!file) return {LoadStatus::ReadError, ErrnoText(errno)};
  try {
    // The list's own load already leaves it untouched unless the whole file
    // was read.
    CArchive ar(file.get(), CArchive::load, path);
    if (list.Serialize(ar) == CT7KEventList::LoadResult::FormatRefused)
      return {LoadStatus::FormatRefused, {}};
    return {LoadStatus::Loaded, {}};
  } catch (const CArchiveException&) {
    return {LoadStatus::EndOfFile, {}};
  } catch (const CFileException& e) {
    return {LoadStatus::ReadError, e.m_strOsError};
  }
}

std::string LoadMessage(LoadStatus status, const std::string& path) {
  switch (status) {
    case LoadStatus::Loaded:
      return {};
    case LoadStatus::FormatRefused:
      return kMsgFormatError;
    case LoadStatus::EndOfFile:
      return std::string(kMsgFormatError) + "\r\n" + path;
    case LoadStatus::ReadError:
      return std::string(kMsgCannotRead) + "\r\n" + path;
  }
  return {};
}

StoreOutcome StoreEventFile(const std::string& path, const CT7KEventList& list) {
  try {
    AtomicFile file(path);
    CArchive ar(file.Stream(), CArchive::store, path);
    list.Store(ar);
    ar.Close();
    file.Commit();
    return {true, {}};
  } catch (const CFileException& e) {
    return {false, e.m_strOsError};
  } catch (const CArchiveException& e) {
    return {false, e.what()};
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
