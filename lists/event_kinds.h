// The kinds of events as the filter sorts them: which kind an event code
// belongs to, what the kind is called, and the beam or device an event is
// about. The filter, the statistics and the data reports all read this one
// table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "events/t7k_event.h"

namespace logwick {

// In the order the statistics and the reports list them.
enum class EventKind : std::uint8_t {
  Modes,     // codes 1, 3, 7, 9
  Devices,   // 2, 11
  Messages,  // 4
  Beams,     // 5, 8
  Units,     // 6 (ПР4545)
  Slaves,    // 10, 12
  Other,     // every other code, valid or not
};
inline constexpr std::size_t kEventKindCount = 7;

inline constexpr std::array<EventKind, kEventKindCount> kEventKinds = {
    EventKind::Modes, EventKind::Devices, EventKind::Messages, EventKind::Beams,
    EventKind::Units, EventKind::Slaves,  EventKind::Other,
};

EventKind KindOfCode(std::uint16_t code);
inline EventKind KindOf(const CT7KEvent& ev) { return KindOfCode(ev.Code()); }

// "режимы", "устройства", "сообщения", "лучи", "ПР4545", "ведомые", "прочие".
std::string_view KindName(EventKind kind);

// The beam a beam event is about (B6 of codes 5 and 8); none for other codes.
std::optional<std::uint8_t> BeamOf(const CT7KEvent& ev);
// The device a device event is about (B10 of codes 2 and 11: the device of a
// state change, the detector of a dust-level change); none for other codes.
std::optional<std::uint8_t> DeviceOf(const CT7KEvent& ev);

// The code of a dust-level change, which the filter admits by the beam range.
inline constexpr std::uint16_t kDustLevelCode = 11;

}  // namespace logwick
