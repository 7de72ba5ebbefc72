#include "lists/event_kinds.h"

namespace logwick {
namespace {

enum class Subject : std::uint8_t { None, Beam, Device };

struct CodeRow {
  EventKind kind;
  Subject subject = Subject::None;
};

// Index = event code; codes past the table are EventKind::Other.
constexpr std::array<CodeRow, 13> kCodes = {{
    {EventKind::Other},                     // 0: not a valid event
    {EventKind::Modes},                     // 1: panel mode or system event
    {EventKind::Devices, Subject::Device},  // 2: addressable device state
    {EventKind::Modes},                     // 3: ША lines
    {EventKind::Messages},                  // 4: message on a beam
    {EventKind::Beams, Subject::Beam},      // 5: beam blocked
    {EventKind::Units},                     // 6: ПР4545
    {EventKind::Modes},                     // 7: ТМ key
    {EventKind::Beams, Subject::Beam},      // 8: beam flags
    {EventKind::Modes},                     // 9: master panel state
    {EventKind::Slaves},                    // 10: slave panel link or state
    {EventKind::Devices, Subject::Device},  // 11: dust level of a detector
    {EventKind::Slaves},                    // 12: text from a slave panel
}};

constexpr std::array<std::string_view, kEventKindCount> kNames = {
    "режимы", "устройства", "сообщения", "лучи", "ПР4545", "ведомые", "прочие",
};

constexpr std::size_t kBeamByte = 6;
constexpr std::size_t kDeviceByte = 10;

Subject SubjectOf(std::uint16_t code) { return code < kCodes.size() ? kCodes[code].subject : Subject::None; }

}  // namespace

EventKind KindOfCode(std::uint16_t code) {
  return code < kCodes.size() ? kCodes[code].kind : EventKind::Other;
}

std::string_view KindName(EventKind kind) { return kNames[static_cast<std::size_t>(kind)]; }

std::optional<std::uint8_t> BeamOf(const CT7KEvent& ev) {
  if (SubjectOf(ev.Code()) != Subject::Beam) return std::nullopt;
  return ev.B(kBeamByte);
}

std::optional<std::uint8_t> DeviceOf(const CT7KEvent& ev) {
  if (SubjectOf(ev.Code()) != Subject::Device) return std::nullopt;
  return ev.B(kDeviceByte);
}

}  // namespace logwick
