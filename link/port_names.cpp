#include "link/port_names.h"

#include <cstdlib>
#include <cstring>

#include "events/strformat.h"

#ifdef _WIN32
#include <windows.h>

#include <cctype>
#include <vector>
#else
#include <fstream>

#include <sys/stat.h>
#endif

namespace logwick {

#ifdef _WIN32

std::string PortsFolder() { return {}; }

std::string PortDevicePath(unsigned comNumber) { return StrFormat("\\\\.\\COM%u", comNumber); }

// Every DOS device named COM<digits...>, in the order the system lists them.
std::vector<PortInfo> EnumeratePorts() {
  std::vector<PortInfo> ports;
  std::vector<char> names(65535);
  if (QueryDosDeviceA(nullptr, names.data(), static_cast<DWORD>(names.size())) == 0) return ports;
  for (const char* name = names.data(); *name; name += std::strlen(name) + 1) {
    if (std::strlen(name) <= 3 || _strnicmp(name, "COM", 3) != 0) continue;
    const unsigned number = static_cast<unsigned>(std::strtoul(name + 3, nullptr, 10));
    ports.push_back({number, PortDevicePath(number)});
  }
  return ports;
}

#else

namespace {

struct DefaultRange {
  unsigned first;      // first COM number of the range
  const char* prefix;  // device name before the index
};

// COM1-32 /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31, COM65-96 /dev/ttyACM0-31.
constexpr DefaultRange kDefaultRanges[] = {
    {1, "/dev/ttyS"},
    {33, "/dev/ttyUSB"},
    {65, "/dev/ttyACM"},
};
constexpr unsigned kRangeLength = 32;
constexpr unsigned kMaxPortNumber = 255;

std::string DefaultDevice(unsigned n) {
  for (const auto& r : kDefaultRanges)
    if (n >= r.first && n < r.first + kRangeLength) return StrFormat("%s%u", r.prefix, n - r.first);
  return {};
}

std::string LinkPath(unsigned n) {
  const std::string folder = PortsFolder();
  return folder.empty() ? std::string() : StrFormat("%s/COM%u", folder.c_str(), n);
}

bool EntryExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

bool IsCharDevice(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

// The kernel creates ttyS nodes for UARTs that are not there; the serial core
// reports their type as 0.
bool HasUart(const std::string& device) {
  const std::string name = device.substr(device.rfind('/') + 1);
  if (name.rfind("ttyS", 0) != 0) return true;
  std::ifstream type("/sys/class/tty/" + name + "/type");
  int t = 0;
  return type && (type >> t) && t != 0;
}

}  // namespace

std::string PortsFolder() {
  if (const char* dir = std::getenv("LOGWICK_PORTS_DIR"); dir && *dir) return dir;
  std::string config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    config = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    config = std::string(home) + "/.config";
  } else {
    return {};
  }
  return config + "/Ormet/ports";
}

std::string PortDevicePath(unsigned comNumber) {
  if (comNumber == 0 || comNumber > kMaxPortNumber) return {};
  const std::string link = LinkPath(comNumber);
  if (!link.empty() && EntryExists(link)) return link;
  return DefaultDevice(comNumber);
}

std::vector<PortInfo> EnumeratePorts() {
  std::vector<PortInfo> ports;
  for (unsigned n = 1; n <= kMaxPortNumber; ++n) {
    const std::string path = PortDevicePath(n);
    if (path.empty() || !IsCharDevice(path)) continue;
    if (path == DefaultDevice(n) && !HasUart(path)) continue;
    ports.push_back({n, path});
  }
  return ports;
}

#endif

}  // namespace logwick
