#include "link/system_view.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string_view>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#endif

namespace logwick {

HostSystemView::HostSystemView(std::string sysRoot, std::string procRoot)
    : m_sys(std::move(sysRoot)), m_proc(std::move(procRoot)) {}

#ifdef _WIN32

std::optional<DeviceNode> HostSystemView::Node(const std::string& path) const {
  return DeviceNode{path, true, 0, true};
}

std::string HostSystemView::LinkTarget(const std::string&) const { return {}; }
std::string HostSystemView::GroupName(unsigned) const { return {}; }
bool HostSystemView::GroupListsUser(unsigned) const { return false; }
bool HostSystemView::SessionHasGroup(unsigned) const { return true; }

std::string HostSystemView::UserName() const {
  const char* user = std::getenv("USERNAME");
  return user ? user : "";
}

std::vector<ProcessInfo> HostSystemView::ProcessesHolding(const std::string&) const { return {}; }
bool HostSystemView::ModemManagerRunning() const { return false; }

// The kernel's name of the port ("\Device\Serial0", "\Device\VCP0").
PortHardware HostSystemView::Hardware(const std::string& device) const {
  const std::size_t at = device.rfind('\\');
  const std::string name = at == std::string::npos ? device : device.substr(at + 1);
  char target[512];
  if (QueryDosDeviceA(name.c_str(), target, sizeof target) == 0) return {};
  return {target, {}, {}};
}

#else

namespace {

constexpr const char* kPseudoTerminals = "/dev/pts/";
constexpr const char* kModemManager = "ModemManager";

std::string RealPath(const std::string& path) {
  char buf[PATH_MAX];
  return ::realpath(path.c_str(), buf) ? std::string(buf) : std::string();
}

std::string ReadLink(const std::string& path) {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf);
  return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

// The first line of a small file (a sysfs attribute, /proc/PID/comm).
std::string FirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// The names in a folder that are all digits: the processes in /proc.
template <class F>
void ForEachProcess(const std::string& proc, F f) {
  DIR* dir = ::opendir(proc.c_str());
  if (!dir) return;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (!name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
      f(std::atoi(name.c_str()), proc + "/" + name);
  }
  ::closedir(dir);
}

struct OpenFiles {
  bool holdsDevice = false;
  bool servesPseudoTerminal = false;  // holds the master side of the device
};

// What a process has open of `device`. The far end of a pseudo-terminal (a
// panel simulator) holds its master: the ptmx whose fdinfo names the index.
OpenFiles FilesOf(const std::string& processDir, const std::string& device) {
  OpenFiles files;
  const std::string fds = processDir + "/fd";
  DIR* dir = ::opendir(fds.c_str());  // refused for other users' processes
  if (!dir) return files;
  const bool pseudo = device.rfind(kPseudoTerminals, 0) == 0;
  const std::string index = pseudo ? device.substr(std::string_view(kPseudoTerminals).size()) : "";
  while (const dirent* e = ::readdir(dir)) {
    if (e->d_name[0] == '.') continue;
    const std::string target = ReadLink(fds + "/" + e->d_name);
    files.holdsDevice |= target == device;
    if (!pseudo || target.size() < 5 || target.compare(target.size() - 5, 5, "/ptmx") != 0) continue;
    std::ifstream info(processDir + "/fdinfo/" + e->d_name);
    for (std::string key, value; info >> key >> value;)
      files.servesPseudoTerminal |= key == "tty-index:" && value == index;
  }
  ::closedir(dir);
  return files;
}

std::string JoinNonEmpty(std::initializer_list<std::string> parts) {
  std::string out;
  for (const std::string& p : parts)
    if (!p.empty()) out += (out.empty() ? "" : " ") + p;
  return out;
}

std::optional<group> FindGroup(unsigned gid, std::vector<char>& buf) {
  group g;
  group* found = nullptr;
  buf.resize(16384);
  if (::getgrgid_r(gid, &g, buf.data(), buf.size(), &found) != 0 || !found) return std::nullopt;
  return g;
}

}  // namespace

std::optional<DeviceNode> HostSystemView::Node(const std::string& path) const {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return DeviceNode{RealPath(path), S_ISCHR(st.st_mode), st.st_gid, ::access(path.c_str(), R_OK | W_OK) == 0};
}

std::string HostSystemView::LinkTarget(const std::string& path) const { return ReadLink(path); }

std::string HostSystemView::GroupName(unsigned gid) const {
  std::vector<char> buf;
  const auto g = FindGroup(gid, buf);
  return g ? g->gr_name : "";
}

bool HostSystemView::GroupListsUser(unsigned gid) const {
  const std::string user = UserName();
  std::vector<char> buf;
  const auto g = FindGroup(gid, buf);
  if (!g || user.empty()) return false;
  for (char** m = g->gr_mem; m && *m; ++m)
    if (user == *m) return true;
  const passwd* pw = ::getpwnam(user.c_str());
  return pw && pw->pw_gid == gid;
}

bool HostSystemView::SessionHasGroup(unsigned gid) const {
  if (::getegid() == gid) return true;
  std::vector<gid_t> groups(NGROUPS_MAX);
  const int n = ::getgroups(static_cast<int>(groups.size()), groups.data());
  groups.resize(static_cast<std::size_t>(std::max(n, 0)));
  return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

std::string HostSystemView::UserName() const {
  if (const passwd* pw = ::getpwuid(::geteuid())) return pw->pw_name;
  const char* user = std::getenv("USER");
  return user ? user : "";
}

std::vector<ProcessInfo> HostSystemView::ProcessesHolding(const std::string& device) const {
  std::vector<ProcessInfo> holders;
  ForEachProcess(m_proc, [&](int pid, const std::string& dir) {
    const OpenFiles files = FilesOf(dir, device);
    if (files.holdsDevice && !files.servesPseudoTerminal) holders.push_back({pid, FirstLine(dir + "/comm")});
  });
  std::sort(holders.begin(), holders.end(), [](const auto& a, const auto& b) { return a.pid < b.pid; });
  return holders;
}

bool HostSystemView::ModemManagerRunning() const {
  bool running = false;
  ForEachProcess(m_proc,
                 [&](int, const std::string& dir) { running |= FirstLine(dir + "/comm") == kModemManager; });
  return running;
}

// A USB adapter names itself in the attributes of the USB device above its
// tty in the device tree (manufacturer, product, serial, idVendor, idProduct).
PortHardware HostSystemView::Hardware(const std::string& device) const {
  if (device.rfind(kPseudoTerminals, 0) == 0) return {"псевдотерминал", {}, {}};
  const std::string name = device.substr(device.rfind('/') + 1);
  if (!Exists(m_sys + "/class/tty/" + name)) return {};  // no terminal the kernel knows
  const std::string devices = RealPath(m_sys + "/devices");
  std::string dir = RealPath(m_sys + "/class/tty/" + name + "/device");
  for (; !devices.empty() && dir.size() > devices.size() && dir.rfind(devices, 0) == 0;
       dir.resize(dir.rfind('/'))) {
    if (!Exists(dir + "/idVendor")) continue;
    PortHardware usb{{}, FirstLine(dir + "/idVendor"), FirstLine(dir + "/idProduct")};
    const std::string maker = FirstLine(dir + "/manufacturer"), product = FirstLine(dir + "/product");
    usb.description =
        maker.empty() && product.empty()
            ? JoinNonEmpty({"USB", usb.usbVendorId + ":" + usb.usbProductId, FirstLine(dir + "/serial")})
            : JoinNonEmpty({maker, product, FirstLine(dir + "/serial")});
    return usb;
  }
  if (name.rfind("ttyS", 0) == 0) return {"последовательный порт на плате", {}, {}};
  return {"последовательный порт", {}, {}};
}

#endif

}  // namespace logwick
