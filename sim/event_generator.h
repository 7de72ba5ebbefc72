// Deterministic sample event logs for the panel simulator, the demo, the
// benchmarks and the fuzz seeds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "events/t7k_event.h"

namespace logwick {

// 15/03/2024 10:30:00, packed as the panel packs its time stamps.
inline constexpr std::uint32_t kSampleNewestTimeStamp = 0x60DEA780u;

// The number of message texts the sample events are written against: most
// code-4 events name a message below it, a few name one past it.
inline constexpr std::size_t kSampleMessageCount = 16;

// count events in the order a read-out delivers them: newest first, each
// following event a few seconds to some minutes older than the one before
// (never before 01/01/2000). The same seed always gives the same events, on
// every platform.
//
// The first events walk through every sentence the decoder can build: each
// panel mode text, each ША line case, each ПР4545 action, every device class
// with every listed state, blocked and link-less devices, every loop, ЦК and
// ЖС7 action, message numbers with and without a text, the read-error and
// no-information codes and a few codes without meaning. When count is smaller,
// the walk is cut short. The rest are random but plausible: mostly valid codes,
// beams 1-64, devices 1-127, serials from every class range.
//
// newestTimeStamp is taken apart and brought into the calendar (month 1-12,
// day within the month, ...) before the walk back starts.
std::vector<CT7KEvent> GenerateSampleEvents(std::size_t count, std::uint32_t seed,
                                            std::uint32_t newestTimeStamp = kSampleNewestTimeStamp);

// The number of events in the walk described above.
std::size_t SampleCoverageEventCount();

// n plausible Russian message texts ("Пожар склад 1", ...), UTF-8, each at
// most 16 characters and representable in Windows-1251.
std::vector<std::string> SampleMessageTexts(std::size_t n);

}  // namespace logwick
