// The program's settings: QSettings("Ormet", "T29 read events"), group "Init"
// (the registry branch on Windows, an ini file elsewhere), and the three
// values the panel read-out uses, held in memory as process-wide globals.
#pragma once

#include <QString>
#include <cstdint>

// The settings the read-out takes (read when the main window starts,
// written by the settings command).
extern std::uint32_t g_nSelectedSerNum;
extern int g_bAutoSN;
extern int g_bGazMode;

namespace logwick {

constexpr int kDefaultPortNumber = 65535;

// The panel history archive's settings, beside the reading's: whether every
// reading from the panel is filed into the archive (1, the default, or 0),
// and the shared archive's server (a libpq connection string or URI; never
// one with a password).
inline constexpr char kSettingArchiveReadings[] = "ArchiveReadings";
inline constexpr char kSettingServerUrl[] = "ServerUrl";

// Integers come back as text from an ini file; a value that is not a number
// gives the default.
int ReadProfileInt(const char* name, int defaultValue);
void WriteProfileInt(const char* name, int value);
QString ReadProfileString(const char* name);
void WriteProfileString(const char* name, const QString& value);

}  // namespace logwick

// The folder the event-file dialogs start in: the stored EventsFilesDir, the
// documents folder when none is stored, "" when the stored one is too long.
QString GetEventsFilesDir();
// Stores the folder of path as EventsFilesDir.
void SaveEventsFilesDir(const QString& path);
