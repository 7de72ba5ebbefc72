#pragma once

#include <string>
#include <vector>

#include "events/codec.h"
#include "events/little_endian.h"
#include "events/packed_time.h"
#include "lists/t7k_event_list.h"
#include "tests/events/event_builder.h"
#include "tests/lists/test_files.h"

namespace logwick::test {

// A time stamp from its fields, each masked to its width: also dates that do
// not exist (month 13, 30 February, hour 24).
inline std::uint32_t Stamp(int y, int mo, int d, int h = 12, int mi = 0, int s = 0) {
  return PackTimeStamp(y, mo, d, h, mi, s);
}

// Panel type 1, serial 123, read 16/12/2015 14:12:05, firmware 2.5 released
// 01/03/2012, configuration "Склад".
inline CT7KEventList MakeHeaderList() {
  CT7KEventList l;
  l.m_nPanelType = 1, l.m_nSerNum = 123, l.m_nVerMajor = 2, l.m_nVerMinor = 5;
  l.m_nReadDay = 16, l.m_nReadMonth = 12, l.m_nReadYear = 2015;
  l.m_nReadHour = 14, l.m_nReadMin = 12, l.m_nReadSec = 5;
  l.m_nRelDay = 1, l.m_nRelMonth = 3, l.m_nRelYear = 2012;
  const std::string name = Utf8ToCp1251("Склад");
  l.SetConfigNameBytes(name.data(), name.size());
  return l;
}

// The header above, a patterned reserved block, two 16-letter texts, events.
inline CT7KEventList MakeFullList(std::size_t events = 3) {
  CT7KEventList l = MakeHeaderList();
  for (std::size_t i = 0; i < l.m_reserved.size(); ++i)
    l.m_reserved[i] = static_cast<std::uint8_t>(i * 7 + 1);
  l.m_szConfigName[14] = 'x';  // bytes after the NUL are kept too
  l.m_texts = {"Пожар склад 1 ..", "Тревога цех 2 .."};
  for (std::size_t i = 0; i < events; ++i)
    l.AddTail(MakeEvent(0x3F20E305u + static_cast<std::uint32_t>(i), static_cast<std::uint16_t>(i % 14),
                        {static_cast<std::uint8_t>(i), 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  return l;
}

// A list that already holds another panel's reading: what a failed reading
// leaves alone and a successful one replaces, all but its reserved block.
inline CT7KEventList MakeOtherReading() {
  CT7KEventList l = MakeFullList(5);
  l.m_nSerNum = 777, l.m_nPanelType = 2;
  return l;
}

// A hand-made event file; texts go in as they stand, each with its prefix.
struct FileLayout {
  std::string tag = "t7kev";
  std::uint32_t version = 1, count = 0, panelType = 1, serNum = 77, textCount = 0;
  std::vector<Bytes> texts;
  std::vector<CT7KEvent> events;
};

inline Bytes BuildFile(const FileLayout& s) {
  Bytes b;
  b.reserve(2048);  // GCC 12 takes a one-byte start for a bound of later inserts
  b.push_back(static_cast<std::uint8_t>(s.tag.size()));
  b.insert(b.end(), s.tag.begin(), s.tag.end());
  AppendLe32(b, s.version);
  AppendLe32(b, s.count);
  for (std::uint32_t i = 0; i < 11; ++i) AppendLe32(b, i == 5 ? 2020 : i + 1);  // read year 2020
  if (s.version != 0) AppendLe32(b, s.panelType), AppendLe32(b, s.serNum);      // version 0 has neither
  const char name[17] = "CONF-NAME";
  b.insert(b.end(), name, name + 17);
  b.resize(b.size() + 1020, 0xAB);
  AppendLe32(b, s.textCount);
  for (const Bytes& t : s.texts) b.insert(b.end(), t.begin(), t.end());
  for (const CT7KEvent& ev : s.events) b.insert(b.end(), ev.Raw().begin(), ev.Raw().end());
  return b;
}

}  // namespace logwick::test
