// The settings store of the Qt face: QSettings("Ormet", "T29 read events"),
// group "Init" (the registry branch on Windows, an ini file elsewhere).
#pragma once

#include "desk/profile.h"

namespace logwick {

class QtProfile : public IProfile {
 public:
  std::optional<std::int32_t> ReadInt(const char* name) override;
  void WriteInt(const char* name, std::int32_t value) override;
  std::optional<std::string> ReadString(const char* name) override;
  void WriteString(const char* name, const std::string& value) override;
};

}  // namespace logwick
