// The program's settings store on Windows: the section "Init" under
// HKEY_CURRENT_USER\Software\Ormet\T29 read events, integers as REG_DWORD
// and texts as REG_SZ. A value of another type reads as missing.
#pragma once

#include "desk/profile.h"

namespace logwick::win {

inline constexpr wchar_t kProfileKey[] = L"Software\\Ormet\\T29 read events\\Init";

class RegistryProfile : public logwick::IProfile {
 public:
  std::optional<std::int32_t> ReadInt(const char* name) override;
  void WriteInt(const char* name, std::int32_t value) override;
  std::optional<std::string> ReadString(const char* name) override;
  void WriteString(const char* name, const std::string& value) override;
};

}  // namespace logwick::win
