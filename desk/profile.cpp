#include "desk/profile.h"

#include "desk/shell_paths.h"
#include "lists/user_folders.h"

std::uint32_t g_nSelectedSerNum = 0;
int g_bAutoSN = 1;
int g_bGazMode = 0;

namespace logwick {

int ReadProfileInt(IProfile& profile, const char* name, int defaultValue) {
  return profile.ReadInt(name).value_or(defaultValue);
}

int LoadReadoutSettings(IProfile& profile) {
  const int port = ReadProfileInt(profile, kSettingPortNumber, kDefaultPortNumber);
  g_nSelectedSerNum = static_cast<std::uint32_t>(ReadProfileInt(profile, kSettingSelectedSerNum, 0));
  g_bAutoSN = ReadProfileInt(profile, kSettingAutoSN, 1);
  g_bGazMode = ReadProfileInt(profile, kSettingGazMode, 0);
  return port;
}

void StoreReadoutSettings(IProfile& profile, int portNumber) {
  profile.WriteInt(kSettingPortNumber, portNumber);
  profile.WriteInt(kSettingSelectedSerNum, static_cast<std::int32_t>(g_nSelectedSerNum));
  profile.WriteInt(kSettingAutoSN, g_bAutoSN);
  profile.WriteInt(kSettingGazMode, g_bGazMode);
}

ReadoutSettings ReadoutSettingsNow(int portNumber) {
  ReadoutSettings settings;
  settings.portNumber = static_cast<unsigned>(portNumber);
  settings.autoSerial = g_bAutoSN != 0;
  settings.selectedSerial = g_nSelectedSerNum;
  settings.gazMode = g_bGazMode != 0;
  return settings;
}

void TakeReadoutSettings(const ReadoutSettings& settings, int& portNumber) {
  portNumber = static_cast<int>(settings.portNumber);
  g_nSelectedSerNum = settings.selectedSerial;
  g_bAutoSN = settings.autoSerial;
  g_bGazMode = settings.gazMode;
}

std::string GetEventsFilesDir(IProfile& profile) {
  return ChooseEventsFolder(profile.ReadString(kSettingEventsFilesDir).value_or(""), DocumentsFolder());
}

void SaveEventsFilesDir(IProfile& profile, const std::string& path) {
  const std::string folder = DirectoryOf(path);
  // Opening file after file from one folder should not rewrite the store
  // each time.
  if (profile.ReadString(kSettingEventsFilesDir) == folder) return;
  profile.WriteString(kSettingEventsFilesDir, folder);
}

bool ArchivesEveryReading(IProfile& profile) {
  return ReadProfileInt(profile, kSettingArchiveReadings, 1) != 0;
}

void SetArchivesEveryReading(IProfile& profile, bool on) {
  profile.WriteInt(kSettingArchiveReadings, on ? 1 : 0);
}

}  // namespace logwick
