// What the port diagnostics need to know about the machine: the device node
// and its group, the group database, the processes that hold a device, whether
// ModemManager runs, and what hardware stands behind a serial device. An
// interface, so that tests can describe any machine; HostSystemView reads the
// real one (on Linux: stat and access, the group database, /proc and /sys).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace logwick {

struct DeviceNode {
  std::string resolved;       // the path with every symbolic link followed
  bool isCharDevice = false;  // a terminal, not a plain file
  unsigned gid = 0;           // the group that owns the node
  bool readWrite = false;     // this process may open it for reading and writing
};

struct ProcessInfo {
  int pid = 0;
  std::string name;  // the command name ("minicom")

  bool operator==(const ProcessInfo&) const = default;
};

// The hardware behind a serial device.
struct PortHardware {
  std::string description;  // "FTDI FT232R USB UART A50285BI", "псевдотерминал", ...
  std::string usbVendorId;  // "0403" for a USB adapter, else empty
  std::string usbProductId;
};

class SystemView {
 public:
  virtual ~SystemView() = default;

  // The node at path, links followed; none when nothing is there.
  virtual std::optional<DeviceNode> Node(const std::string& path) const = 0;
  // The target a symbolic link holds, as written; empty when path is no link.
  virtual std::string LinkTarget(const std::string& path) const = 0;

  // The group database: a group's name (empty when unknown), whether it lists
  // the user as a member, and whether this session already has the group (a
  // user added to a group has it only after logging in again).
  virtual std::string GroupName(unsigned gid) const = 0;
  virtual bool GroupListsUser(unsigned gid) const = 0;
  virtual bool SessionHasGroup(unsigned gid) const = 0;
  virtual std::string UserName() const = 0;

  // The processes that have the device (a resolved path) open, as far as this
  // user may look into them; not the far end of a pseudo-terminal.
  virtual std::vector<ProcessInfo> ProcessesHolding(const std::string& device) const = 0;
  virtual bool ModemManagerRunning() const = 0;

  // What stands behind a device (a resolved path).
  virtual PortHardware Hardware(const std::string& device) const = 0;
};

// The machine this program runs on. The roots of /sys and /proc can be moved
// for tests. On Windows it knows only the kernel name of a COM port; every
// device counts as present and open to all, opening it tells the rest.
class HostSystemView : public SystemView {
 public:
  explicit HostSystemView(std::string sysRoot = "/sys", std::string procRoot = "/proc");

  std::optional<DeviceNode> Node(const std::string& path) const override;
  std::string LinkTarget(const std::string& path) const override;
  std::string GroupName(unsigned gid) const override;
  bool GroupListsUser(unsigned gid) const override;
  bool SessionHasGroup(unsigned gid) const override;
  std::string UserName() const override;
  std::vector<ProcessInfo> ProcessesHolding(const std::string& device) const override;
  bool ModemManagerRunning() const override;
  PortHardware Hardware(const std::string& device) const override;

 private:
  std::string m_sys;
  std::string m_proc;
};

}  // namespace logwick
