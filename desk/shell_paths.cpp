#include "desk/shell_paths.h"

#ifdef _WIN32
#include <windows.h>

#include "events/codec.h"
#endif

std::string DirectoryOf(const std::string& path) {
#ifdef _WIN32
  const auto cut = path.find_last_of('\\');
#else
  const auto cut = path.find_last_of("\\/");
#endif
  if (cut == std::string::npos) return {};
  return path.substr(0, cut);
}

namespace logwick {

namespace {

// The limit is one of characters: a Cyrillic folder name takes two bytes a
// letter in UTF-8 and must not count twice.
std::size_t CharacterCount(const std::string& utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

}  // namespace

std::string ChooseEventsFolder(const std::string& stored, const std::string& documents) {
  if (stored.empty()) return documents;
  if (CharacterCount(stored) > kMaxFolderText) return {};
  return stored;
}

#ifdef _WIN32

std::string ShortPathOf(const std::string& path) {
  const std::wstring wide = Utf8ToWide(path);
  wchar_t buf[MAX_PATH] = {};
  const DWORD n = GetShortPathNameW(wide.c_str(), buf, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return path;
  return WideToUtf8(buf);
}

#else

std::string ShortPathOf(const std::string& path) { return path; }

#endif

}  // namespace logwick
