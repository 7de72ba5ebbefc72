// A packed time stamp as the event list writes times: "DD/MM/YYYY hh:mm:ss",
// its fields as stored.
#pragma once

#include <QString>
#include <cstdint>

#include "events/packed_time.h"

inline QString StampText(std::uint32_t stamp) {
  const PackedTimeFields f = UnpackTimeStamp(stamp);
  return QString::asprintf("%02d/%02d/%04d %02d:%02d:%02d", f.day, f.month, 2000 + f.year, f.hour, f.minute,
                           f.second);
}
