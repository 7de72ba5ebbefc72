#include "lists/recovery_file.h"

#include <cerrno>
#include <cstdlib>

#include "events/strformat.h"
#include "lists/event_file.h"
#include "lists/file_system.h"

#ifdef _WIN32
#include "events/codec.h"
#endif

namespace logwick {
namespace {

constexpr int kNameAttempts = 100;
#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

std::string Environment(const char* name) {
#ifdef _WIN32
  const wchar_t* value = _wgetenv(Utf8ToWide(name).c_str());
  return value ? WideToUtf8(value) : std::string();
#else
  const char* value = std::getenv(name);
  return value ? value : "";
#endif
}

bool Exists(const std::string& path) {
  std::FILE* f = OpenFile(path, "rb");
  if (f) std::fclose(f);
  return f != nullptr;
}

std::tm LocalTime(std::time_t t) {
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &t);
#else
  localtime_r(&t, &tm);
#endif
  return tm;
}

}  // namespace

std::string RecoveryFolder() {
#ifdef _WIN32
  const std::string local = Environment("LOCALAPPDATA");
  return local.empty() ? std::string() : local + "\\Ormet\\Logwick\\recovered";
#else
  std::string data = Environment("XDG_DATA_HOME");
  if (data.empty()) {
    const std::string home = Environment("HOME");
    if (home.empty()) return {};
    data = home + "/.local/share";
  }
  return data + "/Ormet/logwick/recovered";
#endif
}

RecoveryOutcome StoreRecoveryFile(const CT7KEventList& list, std::time_t when) {
  RecoveryOutcome out;
  const std::string folder = RecoveryFolder();
  if (folder.empty()) return {false, {}, "no folder for user data (HOME is not set)"};
  const std::tm t = LocalTime(when);
  const std::string stem =
      folder + StrFormat("%c%d-%04d%02d%02d-%02d%02d%02d", kSeparator, list.m_nSerNum, t.tm_year + 1900,
                         t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  out.path = stem + ".t7kev";
  for (int i = 2; i <= kNameAttempts && Exists(out.path); ++i)
    out.path = StrFormat("%s-%d.t7kev", stem.c_str(), i);
  if (!MakeFolders(folder)) return {false, out.path, ErrnoText(errno)};
  const StoreOutcome stored = StoreEventFile(out.path, list);
  out.ok = stored.ok;
  out.osError = stored.osError;
  return out;
}

}  // namespace logwick
