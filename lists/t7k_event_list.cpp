#include "lists/t7k_event_list.h"

#include <algorithm>
#include <cstring>

#include "events/codec.h"
#include "lists/byte_stream.h"
#include "lists/panel_types.h"

namespace {

constexpr std::uint32_t kFormatVersion = 1;

// The eleven header integers, stored together in this order.
using IntMember = std::int32_t CT7KEventList::*;
constexpr IntMember kHeaderInts[] = {
    &CT7KEventList::m_nReadSec,  &CT7KEventList::m_nReadMin,   &CT7KEventList::m_nReadHour,
    &CT7KEventList::m_nReadDay,  &CT7KEventList::m_nReadMonth, &CT7KEventList::m_nReadYear,
    &CT7KEventList::m_nVerMajor, &CT7KEventList::m_nVerMinor,  &CT7KEventList::m_nRelDay,
    &CT7KEventList::m_nRelMonth, &CT7KEventList::m_nRelYear,
};

std::int32_t ReadI32(CArchive& ar) { return static_cast<std::int32_t>(ar.ReadU32()); }

void ReadBlock(CArchive& ar, void* dst, std::size_t n) {
  if (ar.Read(dst, n) != n) CArchive::ThrowEndOfFile();
}

// Fails at once when the file cannot hold what its counts promise, before
// anything is allocated for them.
void RequireBytes(const CArchive& ar, std::uint64_t n) {
  auto left = ar.Remaining();
  if (left && n > *left) CArchive::ThrowEndOfFile();
}

}  // namespace

CT7KEventList::LoadResult CT7KEventList::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    Store(ar);
    return LoadResult::Loaded;
  }
  return Load(ar);
}

void CT7KEventList::Store(CArchive& ar) const {
  ar.WriteString(PanelTypeTag(m_nPanelType));
  ar.WriteU32(kFormatVersion);
  ar.WriteU32(static_cast<std::uint32_t>(m_events.size()));
  for (IntMember m : kHeaderInts) ar.WriteU32(static_cast<std::uint32_t>(this->*m));
  ar.WriteU32(static_cast<std::uint32_t>(m_nPanelType));
  ar.WriteU32(static_cast<std::uint32_t>(m_nSerNum));
  ar.Write(m_szConfigName.data(), m_szConfigName.size());
  ar.Write(m_reserved.data(), m_reserved.size());
  ar.WriteU32(static_cast<std::uint32_t>(m_texts.size()));
  std::string cp1251;
  for (const std::string& text : m_texts) {
    cp1251.clear();
    logwick::AppendUtf8AsCp1251(cp1251, text);
    ar.WriteString(cp1251);
  }
  for (CT7KEvent ev : m_events) ev.Serialize(ar);
}

CT7KEventList::LoadResult CT7KEventList::Load(CArchive& ar) {
  const int tagType = PanelTypeFromTag(ar.ReadString());
  const std::uint32_t version = ar.ReadU32();
  const std::uint32_t count = ar.ReadU32();
  if (tagType == 0 || count > kMaxEvents) return LoadResult::FormatRefused;

  // Everything goes into a fresh list first, so that a refused or short file
  // never leaves a mix of new header and old events behind.
  CT7KEventList loaded;
  for (IntMember m : kHeaderInts) loaded.*m = ReadI32(ar);
  if (version == 0) {
    loaded.m_nPanelType = 1;
    loaded.m_nSerNum = 0;
  } else {
    loaded.m_nPanelType = ReadI32(ar);
    loaded.m_nSerNum = ReadI32(ar);
    if (loaded.m_nPanelType != tagType) return LoadResult::FormatRefused;
  }
  ReadBlock(ar, loaded.m_szConfigName.data(), loaded.m_szConfigName.size());
  ReadBlock(ar, loaded.m_reserved.data(), loaded.m_reserved.size());

  const std::int32_t textCount = ReadI32(ar);
  if (textCount > 0) {
    RequireBytes(ar, static_cast<std::uint64_t>(textCount));  // at least a length byte each
    if (ar.Remaining()) loaded.m_texts.reserve(static_cast<std::size_t>(textCount));
    for (std::int32_t i = 0; i < textCount; ++i)
      loaded.m_texts.push_back(logwick::Cp1251ToUtf8(ar.ReadString()));
  }

  RequireBytes(ar, std::uint64_t{count} * CT7KEvent::kSize);
  loaded.m_events.resize(count);
  for (CT7KEvent& ev : loaded.m_events) ev.Serialize(ar);

  *this = std::move(loaded);
  return LoadResult::Loaded;
}

std::string CT7KEventList::ConfigNameText() const {
  const char* begin = m_szConfigName.data();
  const char* end = std::find(begin, begin + m_szConfigName.size(), '\0');
  return logwick::Cp1251ToUtf8(std::string_view(begin, static_cast<std::size_t>(end - begin)));
}

void CT7KEventList::SetConfigNameBytes(const char* cp1251, std::size_t len) {
  m_szConfigName.fill('\0');
  std::memcpy(m_szConfigName.data(), cp1251, std::min(len, kConfigNameSize - 1));
}
