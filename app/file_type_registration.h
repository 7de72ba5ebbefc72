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

// Registers the type for the executable at exePath. On Windows this writes
// the per-user classes keys and notifies the shell; elsewhere it writes a
// freedesktop MIME package and a .desktop entry under the user's data folder
// (XDG_DATA_HOME, else ~/.local/share). True when every write succeeded.
bool RegisterEventFileType(const std::string& exePath);

// The freedesktop files themselves, for the installer and for tests.
std::string FreedesktopMimeXml();
std::string FreedesktopDesktopEntry(const std::string& exec);

// Writes the two files into dataHome ("<dataHome>/mime/packages/..." and
// "<dataHome>/applications/..."), each replaced atomically.
bool WriteFreedesktopFileType(const std::string& dataHome, const std::string& exePath);

}  // namespace logwick
