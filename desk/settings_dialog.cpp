#include "desk/settings_dialog.h"

#include <algorithm>
#include <cstdlib>
#include <cctype>

namespace logwick {

namespace {

constexpr std::uint32_t kMinSerial = 2;
constexpr std::uint32_t kSerialLimit = 0x1000000;  // 24 bits

bool SerialInRange(std::uint32_t n) { return n >= kMinSerial && n < kSerialLimit; }

// Letter case aside, as a sorted list box compares its entries.
bool TextBefore(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

SettingsDialog::SettingsDialog(IDeskFace& face, const ReadoutSettings& settings,
                               const std::vector<PortListing>& ports)
    : m_face(face), m_settings(settings) {
  for (const PortListing& port : ports) m_ports.push_back({PortText(port), port.number, port.description});
  std::stable_sort(m_ports.begin(), m_ports.end(),
                   [](const PortEntry& a, const PortEntry& b) { return TextBefore(a.text, b.text); });
  for (std::size_t i = 0; i < m_ports.size(); ++i)
    if (m_ports[i].number == settings.portNumber) m_selected = i;
}

std::string SettingsDialog::PortText(const PortListing& port) {
  std::string text = "COM" + std::to_string(port.number);
#ifndef _WIN32
  // The device without its "/dev/" folder keeps the closed box readable.
  std::string device = port.device;
  if (device.rfind("/dev/", 0) == 0) device.erase(0, 5);
  if (!device.empty()) text += ' ' + device;
#endif
  return text;
}

std::uint32_t SettingsDialog::AtoiUnsigned(const std::string& text) {
  // atoi: blanks, a sign, then digits; what does not fit wraps as a long
  // would, and the result is taken as 32 bits.
  const long long v = std::strtoll(text.c_str(), nullptr, 10);
  return static_cast<std::uint32_t>(static_cast<int>(static_cast<std::int64_t>(v)));
}

std::string SettingsDialog::SerialText() const {
  return std::to_string(static_cast<std::int32_t>(m_settings.selectedSerial));
}

std::optional<std::string> SettingsDialog::OnAutoClicked(bool autoSerial, bool gazMode,
                                                         const std::string& serialText) {
  m_settings.autoSerial = autoSerial;
  m_settings.gazMode = gazMode;
  if (autoSerial || SerialInRange(AtoiUnsigned(serialText))) return std::nullopt;
  return "2";
}

bool SettingsDialog::OnOK(std::optional<std::size_t> portEntry, bool autoSerial, bool gazMode,
                          const std::string& serialText) {
  m_settings.autoSerial = autoSerial;
  m_settings.gazMode = gazMode;
  m_settings.portNumber = portEntry && *portEntry < m_ports.size() ? m_ports[*portEntry].number : kNoPort;
  const std::uint32_t n = AtoiUnsigned(serialText);
  if (autoSerial || SerialInRange(n)) {
    m_settings.selectedSerial = n;
    return true;
  }
  m_face.ShowMessage({"Не допустимый серийный номер", MsgCaption::Error, MsgIcon::Stop, MsgOwner::Settings});
  return false;
}

}  // namespace logwick
