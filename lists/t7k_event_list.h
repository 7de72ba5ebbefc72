// Everything read from one panel or loaded from one event file: a header that
// says which panel and when, the panel's message texts and the events in order.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "events/t7k_event.h"

class CArchive;

class CT7KEventList {
 public:
  static constexpr std::uint32_t kMaxEvents = 100000;
  static constexpr std::size_t kConfigNameSize = 17;
  static constexpr std::size_t kReservedSize = 1020;

  // How a load from an archive ended when no exception was thrown.
  enum class LoadResult {
    Loaded,         // the whole list was read
    FormatRefused,  // tag, event count or panel type refused ("Ошибка формата файла")
  };

  CT7KEventList() = default;

  // The sequence of events.
  void AddTail(const CT7KEvent& ev) { m_events.push_back(ev); }
  void RemoveAll() { m_events.clear(); }
  std::size_t GetCount() const { return m_events.size(); }
  const CT7KEvent& operator[](std::size_t i) const { return m_events[i]; }
  std::vector<CT7KEvent>::const_iterator begin() const { return m_events.begin(); }
  std::vector<CT7KEvent>::const_iterator end() const { return m_events.end(); }
  void Reserve(std::size_t n) { m_events.reserve(n); }

  // Stores the whole list, or loads it into this list. A load replaces the
  // list only when the whole file was read: on FormatRefused and on every
  // exception the list keeps what it held. End of file and file failures
  // arrive as exceptions (CArchiveException, CFileException).
  LoadResult Serialize(CArchive& ar);
  void Store(CArchive& ar) const;
  LoadResult Load(CArchive& ar);

  // The configuration name as text, up to its first NUL (UTF-8).
  std::string ConfigNameText() const;
  // Sets the configuration name from Windows-1251 bytes: at most 16, then NUL.
  void SetConfigNameBytes(const char* cp1251, std::size_t len);

  friend bool operator==(const CT7KEventList&, const CT7KEventList&) = default;

  std::vector<std::string> m_texts;  // message texts, UTF-8, index = message number
  std::int32_t m_nReadSec = 0;
  std::int32_t m_nReadMin = 0;
  std::int32_t m_nReadHour = 0;
  std::int32_t m_nReadDay = 0;
  std::int32_t m_nReadMonth = 0;
  std::int32_t m_nReadYear = 0;
  std::int32_t m_nVerMajor = 0;
  std::int32_t m_nVerMinor = 0;
  std::int32_t m_nRelDay = 0;
  std::int32_t m_nRelMonth = 0;
  std::int32_t m_nRelYear = 0;
  std::array<char, kConfigNameSize> m_szConfigName{};    // Windows-1251 bytes as held
  std::array<std::uint8_t, kReservedSize> m_reserved{};  // never interpreted
  std::int32_t m_nPanelType = 0;
  std::int32_t m_nSerNum = 0;

 private:
  std::vector<CT7KEvent> m_events;
};
