// The program's settings: the section "Init" of the user's settings store
// (the registry branch HKEY_CURRENT_USER\Software\Ormet\T29 read events on
// Windows, the file ~/.config/Ormet/T29 read events.conf elsewhere). The face
// gives the store; what the values mean, their defaults and who writes them
// are the model's, here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "link/readout.h"

// The reading's settings, held in memory while the program runs: read when
// the main window starts, written by the settings command.
extern std::uint32_t g_nSelectedSerNum;
extern int g_bAutoSN;
extern int g_bGazMode;

namespace logwick {

// One section of a settings store. A value that is missing, or not of the
// kind asked for, reads as nothing.
class IProfile {
 public:
  virtual ~IProfile() = default;
  virtual std::optional<std::int32_t> ReadInt(const char* name) = 0;
  virtual void WriteInt(const char* name, std::int32_t value) = 0;
  virtual std::optional<std::string> ReadString(const char* name) = 0;  // UTF-8
  virtual void WriteString(const char* name, const std::string& value) = 0;
};

inline constexpr char kProfileSection[] = "Init";
inline constexpr char kSettingPortNumber[] = "PortNumber";
inline constexpr char kSettingSelectedSerNum[] = "SelectedSerNum";
inline constexpr char kSettingAutoSN[] = "AutoSN";
inline constexpr char kSettingGazMode[] = "GazMode";
inline constexpr char kSettingEventsFilesDir[] = "EventsFilesDir";
// Whether every reading from the panel is filed into the panel history
// archive (1, the default, or 0), and the shared archive's server (a libpq
// connection string or URI; never one with a password).
inline constexpr char kSettingArchiveReadings[] = "ArchiveReadings";
inline constexpr char kSettingServerUrl[] = "ServerUrl";

// The port number when none is stored; any number above 255 means no port.
constexpr int kDefaultPortNumber = 65535;

int ReadProfileInt(IProfile& profile, const char* name, int defaultValue);

// Reads the port number (returned) and the three globals, in that order.
int LoadReadoutSettings(IProfile& profile);
// Writes the four values, in the order PortNumber, SelectedSerNum, AutoSN, GazMode.
void StoreReadoutSettings(IProfile& profile, int portNumber);
// The settings a reading starts with: the port number and the globals.
ReadoutSettings ReadoutSettingsNow(int portNumber);
// Takes edited settings into the port number and the globals.
void TakeReadoutSettings(const ReadoutSettings& settings, int& portNumber);

// The folder the event-file dialogs start in: the stored EventsFilesDir, the
// documents folder when none is stored, "" when the stored one is too long.
std::string GetEventsFilesDir(IProfile& profile);
// Stores the folder of path as EventsFilesDir (unless it is stored already).
void SaveEventsFilesDir(IProfile& profile, const std::string& path);

bool ArchivesEveryReading(IProfile& profile);
void SetArchivesEveryReading(IProfile& profile, bool on);

}  // namespace logwick
