// Shared by the archive harness and the seed maker: the archive both build (one panel, one read-out of 300
// sample events, so the same chunk numbers), and the columns of it the harness overwrites, in their order.
#pragma once

#include <string>

#include "history/history_archive.h"
#include "sim/event_generator.h"

namespace logwick::fuzz {

// Read-out columns, then the chunk's events, then the panel's history.
inline constexpr const char* kArchiveBlobs[] = {"config_name", "reserved", "texts", "chunks",
                                                "events",      "pieces",   "gaps"};

inline CT7KEventList ArchiveSampleReadout() {
  CT7KEventList l;
  l.m_nPanelType = 1, l.m_nSerNum = 4660;
  l.m_nReadYear = 2024, l.m_nReadMonth = 3, l.m_nReadDay = 15;
  l.m_texts = SampleMessageTexts(4);
  for (const CT7KEvent& ev : GenerateSampleEvents(300, 5)) l.AddTail(ev);
  return l;
}

inline std::unique_ptr<HistoryArchive> MakeSampleArchive(const std::string& path) {
  std::remove(path.c_str());
  auto archive = HistoryArchive::Open(path, true);
  archive->File(ArchiveSampleReadout(), {"sample.t7kev"}, 1700000000);
  return archive;
}

}  // namespace logwick::fuzz
