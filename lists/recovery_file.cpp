#include "lists/recovery_file.h"

#include <cerrno>

#include "events/strformat.h"
#include "lists/event_file.h"
#include "lists/file_system.h"
#include "lists/user_folders.h"

namespace logwick {
namespace {

constexpr int kNameAttempts = 100;

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
  const std::string folder = UserDataFolder();
  return folder.empty() ? folder : InFolder(folder, "recovered");
}

RecoveryOutcome StoreRecoveryFile(const CT7KEventList& list, std::time_t when) {
  RecoveryOutcome out;
  const std::string folder = RecoveryFolder();
  if (folder.empty()) return {false, {}, "no folder for user data (HOME is not set)"};
  const std::tm t = LocalTime(when);
  const std::string stem =
      InFolder(folder, StrFormat("%d-%04d%02d%02d-%02d%02d%02d", list.m_nSerNum, t.tm_year + 1900,
                                 t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec));
  out.path = stem + ".t7kev";
  for (int i = 2; i <= kNameAttempts && Exists(out.path); ++i)
    out.path = StrFormat("%s-%d.t7kev", stem.c_str(), i);
  if (!MakeFolders(folder)) return {false, out.path, ErrnoText(errno)};
  const FileOutcome stored = StoreEventFile(out.path, list);
  out.ok = stored.ok;
  out.osError = stored.osError;
  return out;
}

}  // namespace logwick
