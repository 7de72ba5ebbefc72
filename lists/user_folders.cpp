#include "lists/user_folders.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>

#include "events/codec.h"
#endif

namespace logwick {
namespace {

std::string_view TrimLeft(std::string_view s) {
  const auto start = s.find_first_not_of(" \t");
  return start == std::string_view::npos ? std::string_view() : s.substr(start);
}

// The value of a line `KEY="VALUE"` (blanks allowed around the "=", a
// backslash taking the next character as it is); none for a line of another
// key or of another form.
std::optional<std::string> QuotedValue(std::string_view line, std::string_view key) {
  line = TrimLeft(line);
  if (!line.starts_with(key)) return std::nullopt;
  line = TrimLeft(line.substr(key.size()));
  if (!line.starts_with('=')) return std::nullopt;
  line = TrimLeft(line.substr(1));
  if (!line.starts_with('"')) return std::nullopt;
  std::string value;
  for (std::size_t i = 1; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') return value;
    if (c == '\\' && i + 1 < line.size()) c = line[++i];
    value += c;
  }
  return std::nullopt;  // never closed
}

}  // namespace

std::string EnvironmentText(const char* name) {
#ifdef _WIN32
  const wchar_t* value = _wgetenv(Utf8ToWide(name).c_str());
  return value ? WideToUtf8(value) : std::string();
#else
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
#endif
}

std::string UserDataFolder() {
#ifdef _WIN32
  const std::string local = EnvironmentText("LOCALAPPDATA");
  return local.empty() ? std::string() : local + "\\Ormet\\Logwick";
#else
  // The base directory specification ignores relative paths.
  std::string data = EnvironmentText("XDG_DATA_HOME");
  if (data.empty() || data.front() != '/') {
    const std::string home = EnvironmentText("HOME");
    if (home.empty()) return {};
    data = home + "/.local/share";
  }
  return data + "/Ormet/logwick";
#endif
}

std::string UserDirsEntry(std::string_view text, std::string_view key, const std::string& home) {
  std::string found;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    if (auto value = QuotedValue(text.substr(start, end - start), key)) {
      constexpr std::string_view kHome = "$HOME";
      if (value->starts_with(kHome) && (value->size() == kHome.size() || (*value)[kHome.size()] == '/'))
        found = home + value->substr(kHome.size());
      else if (value->starts_with('/'))
        found = *value;
    }
    start = end + 1;
  }
  while (found.size() > 1 && found.back() == '/') found.pop_back();
  return found;
}

#ifdef _WIN32

std::string DocumentsFolder() {
  wchar_t buf[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, buf))) return {};
  return WideToUtf8(buf);
}

#else

std::string DocumentsFolder() {
  const std::string home = EnvironmentText("HOME");
  if (home.empty()) return {};
  std::string config = EnvironmentText("XDG_CONFIG_HOME");
  if (config.empty() || config.front() != '/') config = home + "/.config";
  // A few lines of text; a file that is something else is not read whole.
  constexpr std::size_t kMaxText = 64 * 1024;
  std::string text(kMaxText, '\0');
  std::ifstream in(config + "/user-dirs.dirs", std::ios::binary);
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  std::string documents = UserDirsEntry(text, "XDG_DOCUMENTS_DIR", home);
  if (documents.empty()) documents = home + "/Documents";
  std::error_code ec;
  return std::filesystem::is_directory(documents, ec) ? documents : home;
}

#endif

std::string InFolder(const std::string& folder, const std::string& name) {
#ifdef _WIN32
  return folder + "\\" + name;
#else
  return folder + "/" + name;
#endif
}

}  // namespace logwick
