// Registers the event-file type with the desktop at every start, so that
// opening a .t7kev file starts the program with it. Failures are ignored by
// the caller: a user without rights still gets a working program.
#pragma once

#include <string>

#ifdef _WIN32
#include <windows.h>

// Creates or opens root\subKey and stores text (UTF-8) as the string value
// name ("" is the key's default value). False when either step fails; bad
// arguments set the last error to E_INVALIDARG and touch nothing.
bool SetRegistryString(HKEY root, const char* subKey, const char* name, const char* text);
#endif

namespace logwick {

constexpr const char* kFileTypeProgId = "Ormet.T7kLogwick";
constexpr const char* kFileTypeName = "Список событий ТАРВЕЛ-7К";
constexpr const char* kMimeType = "application/x-t7kev";
constexpr const char* kProgramIconName = "logwick";
constexpr const char* kEventFileIconName = "application-x-t7kev";

// The two 48x48 PNG pictures the desktop shows for the program and for its
// event files; an empty one is not written.
struct DesktopIcons {
  std::string program;
  std::string eventFile;
};

// Registers the type for the executable at exePath. On Windows this writes
// the per-user classes keys and notifies the shell (the icons are the
// executable's own there); elsewhere it writes a freedesktop MIME package, a
// .desktop entry and the icons under the user's data folder (XDG_DATA_HOME,
// else ~/.local/share) and brings the desktop's databases up to date. True
// when every write succeeded.
bool RegisterEventFileType(const std::string& exePath, const DesktopIcons& icons = {});

// The freedesktop files themselves, for the installer and for tests.
std::string FreedesktopMimeXml();
std::string FreedesktopDesktopEntry(const std::string& exec);

// Writes the files into dataHome ("<dataHome>/mime/packages/...",
// "<dataHome>/applications/..." and the hicolor theme's "<dataHome>/icons/
// hicolor/48x48/{apps,mimetypes}/..."), each replaced atomically and only when
// its content differs.
bool WriteFreedesktopFileType(const std::string& dataHome, const std::string& exePath,
                              const DesktopIcons& icons = {});

}  // namespace logwick
