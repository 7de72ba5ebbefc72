// The settings dialog's model: the ports present as its list shows them
// (sorted as text, each with the port's description), the serial number's
// edit and its checks with their message. The caller gives the settings to
// start from and takes the edited ones back on OK.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desk/face.h"
#include "link/port_list.h"
#include "link/readout.h"

namespace logwick {

class SettingsDialog {
 public:
  // The port number OK gives when no port is chosen (refused when reading).
  static constexpr unsigned kNoPort = 0xFFFFFFFFu;

  struct PortEntry {
    std::string text;  // "COM%d", and elsewhere than on Windows the device it opens
    unsigned number = 0;
    std::string description;  // what `logwick-cli ports` says of it
  };

  SettingsDialog(IDeskFace& face, const ReadoutSettings& settings, const std::vector<PortListing>& ports);

  // The list's entries, sorted as text (COM10 before COM2), and the one that
  // holds the settings' port (none when the port is not present).
  const std::vector<PortEntry>& Ports() const { return m_ports; }
  std::optional<std::size_t> SelectedPort() const { return m_selected; }
  std::string SerialText() const;
  bool SerialEnabled() const { return !m_settings.autoSerial; }

  // "Авто" clicked with the check boxes and the edit as they stand: the
  // edit's new text (a number out of range becomes "2"), or nothing when it
  // stays; the edit is enabled exactly when "Авто" is off.
  std::optional<std::string> OnAutoClicked(bool autoSerial, bool gazMode, const std::string& serialText);
  // OK with the controls as they stand: true when the dialog may end; else
  // "Не допустимый серийный номер" was shown (the port is taken all the same).
  bool OnOK(std::optional<std::size_t> portEntry, bool autoSerial, bool gazMode, const std::string& serialText);

  const ReadoutSettings& Settings() const { return m_settings; }

  // The text read as the standard atoi does, taken as unsigned 32-bit.
  static std::uint32_t AtoiUnsigned(const std::string& text);
  // "COM%d", and elsewhere than on Windows the device without "/dev/".
  static std::string PortText(const PortListing& port);

 private:
  IDeskFace& m_face;
  ReadoutSettings m_settings;
  std::vector<PortEntry> m_ports;
  std::optional<std::size_t> m_selected;
};

}  // namespace logwick
