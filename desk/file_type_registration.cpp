#include "desk/file_type_registration.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

#include "desk/desktop_databases.h"
#include "desk/shell_paths.h"

#ifdef _WIN32
#include <shlobj.h>

#include "events/codec.h"

bool SetRegistryString(HKEY root, const char* subKey, const char* name, const char* text) {
  if (!root || !subKey || !*subKey || !name || !text) {
    SetLastError(static_cast<DWORD>(E_INVALIDARG));
    return false;
  }
  HKEY key = nullptr;
  const std::wstring wKey = logwick::Utf8ToWide(subKey);
  if (RegCreateKeyExW(root, wKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const std::wstring wName = logwick::Utf8ToWide(name);
  const std::wstring wText = logwick::Utf8ToWide(text);
  // REG_SZ data includes its terminating zero.
  const LONG rc = RegSetValueExW(key, wName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wText.c_str()),
                                 static_cast<DWORD>((wText.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}
#endif

namespace logwick {

std::string FreedesktopMimeXml() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
         "  <mime-type type=\"" +
         std::string(kMimeType) +
         "\">\n"
         "    <comment>" +
         kFileTypeName +
         "</comment>\n"
         "    <icon name=\"" +
         kEventFileIconName +
         "\"/>\n"
         "    <glob pattern=\"*.t7kev\"/>\n"
         "  </mime-type>\n"
         "</mime-info>\n";
}

std::string FreedesktopDesktopEntry(const std::string& exec) {
  // Exec quoting: a path with a reserved character goes in double quotes,
  // with '"', '`', '$' and '\' escaped by a backslash; the key's own string
  // escaping then doubles every backslash, and '%' is written "%%" so that it
  // is never taken for a field code.
  std::string quoted;
  const bool quote = exec.find_first_of(" \t\n\"'\\><~|&;$*?#()`") != std::string::npos;
  for (char c : exec) {
    if (quote && (c == '"' || c == '\\' || c == '$' || c == '`')) quoted += "\\\\";
    if (c == '\\')
      quoted += "\\\\";
    else if (c == '%')
      quoted += "%%";
    else if (c == '\n')
      quoted += "\\n";  // a raw line break would start a new key
    else
      quoted += c;
  }
  if (quote) quoted = '"' + quoted + '"';
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Logwick\n"
         "Comment=" +
         std::string(kFileTypeName) +
         "\n"
         "Exec=" +
         quoted +
         " %f\n"
         "Icon=" +
         kProgramIconName +
         "\n"
         "Terminal=false\n"
         "Categories=Utility;\n"
         "Keywords=Тарвел;журнал событий;t7kev;\n"
         "MimeType=" +
         kMimeType + ";\n";
}

namespace {

enum class WriteResult { kUnchanged, kWritten, kFailed };

bool WriteAtomically(const std::filesystem::path& target, const std::string& content) {
  std::error_code ec;
  std::filesystem::create_directories(target.parent_path(), ec);
  if (ec) return false;
  std::filesystem::path temp = target;
  temp += ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << content;
    out.close();
    if (!out) {
      std::filesystem::remove(temp, ec);
      return false;
    }
  }
  std::filesystem::rename(temp, target, ec);
  if (ec) std::filesystem::remove(temp, ec);
  return !ec;
}

// A file that already holds content is left alone: its time stays, so the
// desktop's caches built from it stay current and nothing is rebuilt.
WriteResult WriteIfChanged(const std::filesystem::path& target, const std::string& content) {
  std::ifstream in(target, std::ios::binary);
  if (in && std::string(std::istreambuf_iterator<char>(in), {}) == content) return WriteResult::kUnchanged;
  return WriteAtomically(target, content) ? WriteResult::kWritten : WriteResult::kFailed;
}

}  // namespace

bool WriteFreedesktopFileType(const std::string& dataHome, const std::string& exePath,
                              const DesktopIcons& icons) {
  const std::filesystem::path base(dataHome);
  const std::filesystem::path theme = base / "icons" / "hicolor" / "48x48";
  const std::pair<std::filesystem::path, std::string> files[] = {
      {base / "mime" / "packages" / "logwick-t7kev.xml", FreedesktopMimeXml()},
      {base / "applications" / "logwick.desktop", FreedesktopDesktopEntry(exePath)},
      {theme / "apps" / (std::string(kProgramIconName) + ".png"), icons.program},
      {theme / "mimetypes" / (std::string(kEventFileIconName) + ".png"), icons.eventFile},
  };
  bool ok = true;
  for (const auto& [path, content] : files)
    if (!content.empty()) ok &= WriteIfChanged(path, content) != WriteResult::kFailed;
  return ok;
}

#ifdef _WIN32
namespace {

// Whether root\subKey's default value is text (UTF-8) already.
bool RegistryStringIs(HKEY root, const std::string& subKey, const std::string& text) {
  wchar_t stored[1024];
  DWORD size = sizeof stored;
  return RegGetValueW(root, Utf8ToWide(subKey).c_str(), nullptr, RRF_RT_REG_SZ, nullptr, stored, &size) ==
             ERROR_SUCCESS &&
         stored == Utf8ToWide(text);
}

// The path in double quotes, a blank, "%1" in double quotes.
std::string OpenCommand(const std::string& exePath) {
  // Quoted even in its short form: on a volume without 8.3 names the short
  // path is the long one, and "C:\Program Files\..." unquoted may start
  // C:\Program.exe.
  return "\"" + exePath + "\" \"%1\"";
}

}  // namespace
#endif

bool RegisterEventFileType(const std::string& exePath, const DesktopIcons& icons) {
#ifdef _WIN32
  (void)icons;  // the executable's own icons
  // First for the user, which needs no administrator rights; then in
  // HKEY_CLASSES_ROOT, which on Windows writes into those same user keys now
  // that they exist, and elsewhere (Wine, whose HKEY_CLASSES_ROOT does not
  // show the user's classes) makes the type seen there too.
  const std::string path = ShortPathOf(exePath);
  const std::pair<std::string, std::string> keys[] = {
      {".t7kev", kFileTypeProgId},
      {kFileTypeProgId, kFileTypeName},
      {std::string(kFileTypeProgId) + "\\shell\\open\\command", OpenCommand(path)},
      {std::string(kFileTypeProgId) + "\\DefaultIcon", path + ",1"},
  };
  // A value that holds its text already is left alone, and the shell is told
  // only of a change: the notice takes a good part of a start.
  bool ok = true, changed = false;
  for (const auto& [root, prefix] :
       {std::pair{HKEY_CURRENT_USER, "Software\\Classes\\"}, {HKEY_CLASSES_ROOT, ""}})
    for (const auto& [key, value] : keys) {
      if (RegistryStringIs(root, prefix + key, value)) continue;
      ok &= SetRegistryString(root, (prefix + key).c_str(), "", value.c_str());
      changed = true;
    }
  if (changed) SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
  return ok;
#else
  std::string dataHome;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    dataHome = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    dataHome = std::string(home) + "/.local/share";
  } else {
    return false;
  }
  const bool written = WriteFreedesktopFileType(dataHome, exePath, icons);
  UpdateDesktopDatabases(dataHome);
  return written;
#endif
}

}  // namespace logwick
