#include "link/port_probe.h"

#include <algorithm>
#include <optional>

#include "link/frames.h"
#include "link/port_names.h"
#include "link/timeouts.h"

namespace logwick {
namespace {

struct LineMode {
  bool gaz;
  unsigned baud;
  std::uint8_t parity;
};
constexpr LineMode kLineModes[] = {{false, 9600, 0}, {true, 1200, 2}};

// ModemManager looks at the devices of USB modems: ttyACM, and ttyUSB.
bool ModemManagerLooksAt(const std::string& device) {
  const std::string name = device.substr(device.rfind('/') + 1);
  return name.rfind("ttyACM", 0) == 0 || name.rfind("ttyUSB", 0) == 0;
}

// The search preamble, then discovery requests until a panel answers. Each
// reply is read to its time-out: what came back may be the request itself
// (an echo), an answer behind it, or bytes that are neither.
ModeOutcome Search(IPanelPort& port, bool gaz) {
  ModeOutcome outcome{.gaz = gaz};
  StartSearch(port);
  const auto& request = frames::kDiscoverFrame;
  for (int i = 0; i < timeouts::kProbeDiscoveries && outcome.serial == 0; ++i) {
    port.BeginOperation("FindPanel");
    port.Write(request.data(), request.size());
    std::uint8_t reply[16];
    std::size_t count = 0;
    port.Read(reply, sizeof reply, count, sizeof reply);
    const std::uint8_t* answer = reply;
    if (count >= request.size() && std::equal(request.begin(), request.end(), reply)) {
      outcome.echo = true;
      answer += request.size();
      count -= request.size();
    }
    outcome.serial = SerialOfDiscoveryReply(answer, count);
    if (outcome.serial == 0) outcome.strayBytes += count;
  }
  return outcome;
}

class Probe {
 public:
  Probe(const ProbeTarget& target, CCommPort& port, const SystemView& view) : m_port(port), m_view(view) {
    m_report.portNumber = target.device.empty() ? target.portNumber : 0;
    m_report.device = target.device.empty() ? PortDevicePath(target.portNumber) : target.device;
  }

  ProbeReport Run() {
    if (CheckDevice() && OpenIn(kLineModes[0])) SearchAndIdentify();
    m_port.Close();
    return m_report;
  }

 private:
  ProbeReport& Verdict(ProbeVerdict v) {
    m_report.verdict = v;
    return m_report;
  }

  // Before opening: the device is there and this user may open it.
  bool CheckDevice() {
    ProbeReport& r = m_report;
    const auto node = r.device.empty() ? std::nullopt : m_view.Node(r.device);
    if (!r.device.empty()) r.linkTarget = m_view.LinkTarget(r.device);
    if (!node) {
      Verdict(ProbeVerdict::kNoDevice);
      return false;
    }
    r.resolved = node->resolved;
    r.hardware = m_view.Hardware(r.resolved);
    r.modemManager = ModemManagerLooksAt(r.resolved) && m_view.ModemManagerRunning();
    m_gid = node->gid;
    if (!node->readWrite) NoPermission(m_gid);
    return node->readWrite;
  }

  void NoPermission(unsigned gid) {
    Verdict(ProbeVerdict::kNoPermission);
    m_report.group = m_view.GroupName(gid);
    m_report.user = m_view.UserName();
    m_report.groupListsUser = m_view.GroupListsUser(gid) && !m_view.SessionHasGroup(gid);
  }

  bool OpenIn(const LineMode& mode) {
    if (m_port.OpenDevice(m_report.device, mode.baud, mode.parity)) return true;
    switch (m_port.LastFailure()) {
      case OpenFailure::kNoDevice:
        Verdict(ProbeVerdict::kNoDevice);
        break;
      case OpenFailure::kNoPermission:
        NoPermission(m_gid);
        break;
      case OpenFailure::kBusy:
        Verdict(ProbeVerdict::kBusy).holders = m_view.ProcessesHolding(m_report.resolved);
        break;
      default:
        Verdict(ProbeVerdict::kCannotOpen).openError = m_port.LastError();
        break;
    }
    return false;
  }

  void SearchAndIdentify() {
    ProbeReport& r = m_report;
    for (const LineMode& mode : kLineModes) {
      if (mode.gaz && !OpenIn(mode)) return;
      r.modes.push_back(Search(m_port, mode.gaz));
      const ModeOutcome& m = r.modes.back();
      if (m.serial == 0) continue;
      if (r.serial == 0) {
        r.serial = m.serial;
        r.gaz = m.gaz;
      }
      if (!m.echo) {
        Identify();
        return;
      }
    }
    auto any = [&r](auto pred) { return std::any_of(r.modes.begin(), r.modes.end(), pred); };
    if (any([](const ModeOutcome& m) { return m.echo; }))
      Verdict(ProbeVerdict::kEcho);
    else if (any([](const ModeOutcome& m) { return m.strayBytes > 0; }))
      Verdict(ProbeVerdict::kNoise);
    else
      Verdict(ProbeVerdict::kSilence);
  }

  // The panel's identity through the reader's own requests, in the line mode
  // it answered in (the port is still open in it).
  void Identify() {
    ProbeReport& r = m_report;
    std::uint8_t extra = 0;
    if (SetPanelAddress(m_port, r.serial, 1) != LinkStatus::Ok)
      Incomplete(ProbeStep::kAddress);
    else if (ReadPanelType(m_port, r.serial, r.deviceType, extra) != LinkStatus::Ok)
      Incomplete(ProbeStep::kType);
    else if (ReadDeviceInfo(m_port, r.version) != LinkStatus::Ok)
      Incomplete(ProbeStep::kVersion);
    else
      Verdict(ProbeVerdict::kPanel);
  }

  void Incomplete(ProbeStep step) { Verdict(ProbeVerdict::kPanelIncomplete).failedStep = step; }

  CCommPort& m_port;
  const SystemView& m_view;
  ProbeReport m_report;
  unsigned m_gid = 0;
};

}  // namespace

ProbeReport ProbePort(const ProbeTarget& target, CCommPort& port, const SystemView& view) {
  return Probe(target, port, view).Run();
}

}  // namespace logwick
