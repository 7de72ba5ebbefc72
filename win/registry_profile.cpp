#include "win/registry_profile.h"

#include <windows.h>

#include "events/codec.h"

namespace logwick::win {

namespace {

// Writes fail quietly, as a store the user may not write to must not stop
// the program.
void Write(const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kProfileKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExW(key, logwick::Utf8ToWide(name).c_str(), 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

}  // namespace

std::optional<std::int32_t> RegistryProfile::ReadInt(const char* name) {
  DWORD value = 0, size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, kProfileKey, logwick::Utf8ToWide(name).c_str(), RRF_RT_REG_DWORD,
                   nullptr, &value, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return static_cast<std::int32_t>(value);
}

void RegistryProfile::WriteInt(const char* name, std::int32_t value) {
  const DWORD dword = static_cast<DWORD>(value);
  Write(name, REG_DWORD, &dword, sizeof dword);
}

std::optional<std::string> RegistryProfile::ReadString(const char* name) {
  const std::wstring wName = logwick::Utf8ToWide(name);
  DWORD size = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, kProfileKey, wName.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_CURRENT_USER, kProfileKey, wName.c_str(), RRF_RT_REG_SZ, nullptr, text.data(),
                   &size) != ERROR_SUCCESS)
    return std::nullopt;
  text.resize(wcsnlen(text.c_str(), text.size()));
  return logwick::WideToUtf8(text);
}

void RegistryProfile::WriteString(const char* name, const std::string& value) {
  const std::wstring text = logwick::Utf8ToWide(value);
  Write(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace logwick::win
