#include "sync/server_row.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "events/strformat.h"
#include "history/blob_codec.h"
#include "history/sqlite_db.h"
#include "lists/panel_types.h"

namespace logwick {

const char* const kServerRowColumns[kServerRowWidth] = {
    "sha256",   "panel_type",  "serial",    "read_year", "read_month", "read_day", "read_hour",   "read_min",
    "read_sec", "ver_major",   "ver_minor", "rel_day",   "rel_month",  "rel_year", "config_name", "reserved",
    "texts",    "event_count", "events",    "origin",    "partial",    "filed_at"};

const char kServerRowSelect[] =
    "sha256, panel_type, serial, read_year, read_month, read_day, read_hour, read_min, read_sec, ver_major,"
    " ver_minor, rel_day, rel_month, rel_year, config_name, reserved, texts, event_count, events, origin,"
    " partial, extract(epoch FROM filed_at)::float8";

const char kServerEntrySelect[] =
    "seq, substring(sha256 FROM 1 FOR 33), panel_type, serial, read_year, read_month, read_day, read_hour,"
    " read_min, read_sec, sent_by::text, ";

const char kServerRowBytes[] =
    "64 + coalesce(octet_length(sha256)::bigint, 0) + coalesce(octet_length(config_name)::bigint, 0)"
    " + coalesce(octet_length(reserved)::bigint, 0) + coalesce(octet_length(texts)::bigint, 0)"
    " + coalesce(octet_length(events)::bigint, 0) + coalesce(octet_length(origin)::bigint, 0)";

namespace {

constexpr unsigned kBool = 16, kBytea = 17, kInt4 = 23, kText = 25, kFloat8 = 701;

// Columns of a whole read-out.
enum Column : std::size_t {
  kSha = 0,
  kFirstInt = 1,  // the thirteen header numbers
  kConfigName = 14,
  kReserved,
  kTexts,
  kEventCount,
  kEvents,
  kOrigin,
  kPartial,
  kFiledAt,
};

// The header's numbers in the order of the columns from kFirstInt.
constexpr std::int32_t CT7KEventList::*kHeaderFields[] = {
    &CT7KEventList::m_nPanelType, &CT7KEventList::m_nSerNum,  &CT7KEventList::m_nReadYear,
    &CT7KEventList::m_nReadMonth, &CT7KEventList::m_nReadDay, &CT7KEventList::m_nReadHour,
    &CT7KEventList::m_nReadMin,   &CT7KEventList::m_nReadSec, &CT7KEventList::m_nVerMajor,
    &CT7KEventList::m_nVerMinor,  &CT7KEventList::m_nRelDay,  &CT7KEventList::m_nRelMonth,
    &CT7KEventList::m_nRelYear};
constexpr std::size_t kHeaderCount = std::size(kHeaderFields);
static_assert(kFirstInt + kHeaderCount == kConfigName);

// Columns of a listing entry.
enum EntryColumn : std::size_t {
  kEntrySeq = 0,
  kEntrySha,
  kEntryType,
  kEntrySerial,
  kEntryRead,
  kEntrySentBy = 10,
  kEntryBytes
};

constexpr std::size_t kMaxOriginBytes = 255;

std::uint64_t BigEndian(std::span<const std::uint8_t> bytes) {
  std::uint64_t v = 0;
  for (std::uint8_t b : bytes) v = v << 8 | b;
  return v;
}

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint64_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// The length of the UTF-8 sequence at the start of s, 0 when it is not one.
std::size_t Utf8Length(std::string_view s) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = b(0);
  std::size_t n = lead < 0x80                    ? 1
                  : lead >= 0xC2 && lead <= 0xDF ? 2
                  : (lead & 0xF0) == 0xE0        ? 3
                  : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                 : 0;
  if (n == 0 || n > s.size()) return 0;
  for (std::size_t i = 1; i < n; ++i)
    if ((b(i) & 0xC0) != 0x80) return 0;
  // No overlong forms, no surrogates, nothing past U+10FFFF.
  if ((lead == 0xE0 && b(1) < 0xA0) || (lead == 0xED && b(1) >= 0xA0) || (lead == 0xF0 && b(1) < 0x90) ||
      (lead == 0xF4 && b(1) >= 0x90))
    return 0;
  return n;
}

bool IsUtf8(std::string_view s) {
  for (std::size_t at = 0, n = 0; at < s.size(); at += n)
    if ((n = Utf8Length(s.substr(at))) == 0) return false;
  return true;
}

// Text to show on one line: valid UTF-8 without control characters (each
// byte that is neither becomes '?'), cut at a character to at most max bytes.
std::string OneLineText(std::string_view text, std::size_t max) {
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t n = Utf8Length(text.substr(at));
    const bool control = n == 1 && (static_cast<unsigned char>(text[at]) < 0x20 || text[at] == 0x7F);
    if (out.size() + std::max<std::size_t>(n, 1) > max) break;
    if (n == 0 || control) {
      out += '?';
      n = 1;
    } else {
      out.append(text.substr(at, n));
    }
    at += n;
  }
  return out;
}

// Reads the columns of one row; the first that is missing or not as this
// program writes it gives the problem.
class Columns {
 public:
  Columns(std::span<const ServerColumn> columns, const char* const* names)
      : m_columns(columns), m_names(names) {}

  const std::string& Problem() const { return m_problem; }
  bool IsNull(std::size_t i) const { return i >= m_columns.size() || !m_columns[i]; }

  std::span<const std::uint8_t> Bytes(std::size_t i) {
    if (IsNull(i)) {
      Odd(i, "нет значения в поле %s");
      return {};
    }
    return *m_columns[i];
  }
  // A column of exactly n bytes; none when it is not.
  std::optional<std::span<const std::uint8_t>> Exactly(std::size_t i, std::size_t n) {
    const auto bytes = Bytes(i);
    if (IsNull(i)) return std::nullopt;
    if (bytes.size() != n) {
      Odd(i, "неверное значение в поле %s");
      return std::nullopt;
    }
    return bytes;
  }
  std::int32_t Int4(std::size_t i) {
    const auto bytes = Exactly(i, 4);
    return bytes ? static_cast<std::int32_t>(static_cast<std::uint32_t>(BigEndian(*bytes))) : 0;
  }
  void Odd(std::size_t i, const char* format) {
    if (m_problem.empty()) m_problem = StrFormat(format, m_names[i]);
  }

 private:
  std::span<const ServerColumn> m_columns;
  const char* const* m_names;
  std::string m_problem;
};

constexpr const char* kEntryNames[kServerEntryWidth] = {
    "seq",      "sha256",    "panel_type", "serial",   "read_year", "read_month",
    "read_day", "read_hour", "read_min",   "read_sec", "sent_by",   "octet_length"};

// A listed number as the warning line shows it; "??" for none.
std::string Field(const Columns& c, std::size_t i, std::int32_t value, const char* format) {
  return c.IsNull(i) ? "??" : StrFormat(format, value);
}

}  // namespace

const unsigned kServerRowTypes[kServerRowWidth] = {
    kBytea, kInt4, kInt4, kInt4,  kInt4,  kInt4,  kInt4, kInt4,  kInt4, kInt4, kInt4,
    kInt4,  kInt4, kInt4, kBytea, kBytea, kBytea, kInt4, kBytea, kText, kBool, kFloat8};

ServerRowCheck DecodeServerRow(std::span<const ServerColumn> columns) {
  ServerRowCheck out;
  Columns c(columns, kServerRowColumns);
  if (const auto sha = c.Exactly(kSha, out.sha.size())) std::copy(sha->begin(), sha->end(), out.sha.begin());
  SyncReadout r;
  CT7KEventList& l = r.list;
  for (std::size_t k = 0; k < kHeaderCount; ++k) l.*kHeaderFields[k] = c.Int4(kFirstInt + k);
  if (const auto name = c.Exactly(kConfigName, l.m_szConfigName.size()))
    std::memcpy(l.m_szConfigName.data(), name->data(), name->size());
  if (!c.IsNull(kReserved))
    if (const auto reserved = c.Exactly(kReserved, l.m_reserved.size()))
      std::copy(reserved->begin(), reserved->end(), l.m_reserved.begin());
  const auto texts = c.Bytes(kTexts);
  try {
    if (!c.IsNull(kTexts)) l.m_texts = DecodeTexts(texts);
  } catch (const SqliteError&) {
    c.Odd(kTexts, "неверное значение в поле %s");
  }
  const std::int32_t count = c.Int4(kEventCount);
  const auto events = c.Bytes(kEvents);
  if (c.Problem().empty() && (count < 0 || events.size() != std::uint64_t(count) * CT7KEvent::kSize))
    c.Odd(kEvents, "длина поля %s не равна 16 байтам на событие из event_count");
  const auto origin = c.Bytes(kOrigin);
  r.origin.source.assign(origin.begin(), origin.end());
  if (!c.IsNull(kOrigin) && (origin.size() > kMaxOriginBytes || !IsUtf8(r.origin.source)))
    c.Odd(kOrigin, "неверное значение в поле %s");
  if (const auto partial = c.Exactly(kPartial, 1)) r.origin.partial = (*partial)[0] != 0;
  if (const auto filed = c.Exactly(kFiledAt, 8)) {
    const double seconds = std::bit_cast<double>(BigEndian(*filed));
    // Infinite, or beyond what a Unix time of 64 bits holds.
    if (!std::isfinite(seconds) || std::fabs(seconds) > 9.0e15)
      c.Odd(kFiledAt, "недопустимое время в поле %s");
    else
      r.filedAt = static_cast<std::int64_t>(std::floor(seconds));
  }
  out.problem = c.Problem();
  if (!out.problem.empty()) return out;
  l.Reserve(events.size() / CT7KEvent::kSize);
  for (std::size_t i = 0; i < events.size(); i += CT7KEvent::kSize) l.AddTail(CT7KEvent(events.data() + i));
  out.readout = std::move(r);
  return out;
}

SyncEntry DecodeServerEntry(std::span<const ServerColumn> columns) {
  SyncEntry e;
  Columns c(columns, kEntryNames);
  if (const auto seq = c.Exactly(kEntrySeq, 8)) e.id = static_cast<std::int64_t>(BigEndian(*seq));
  if (const auto sha = c.Exactly(kEntrySha, e.sha.size())) std::copy(sha->begin(), sha->end(), e.sha.begin());
  e.panel = {c.Int4(kEntryType), c.Int4(kEntrySerial)};
  e.serialKnown = !c.IsNull(kEntrySerial);
  for (std::size_t k = 0; k < e.readTime.size(); ++k) e.readTime[k] = c.Int4(kEntryRead + k);
  const auto sentBy = c.Bytes(kEntrySentBy);
  const std::string role =
      OneLineText(std::string_view(reinterpret_cast<const char*>(sentBy.data()), sentBy.size()), 255);
  if (const auto bytes = c.Exactly(kEntryBytes, 8)) e.bytes = BigEndian(*bytes);
  e.problem = c.Problem();

  const auto& t = e.readTime;
  e.label = StrFormat(
      "№ %lld на сервере: %s (с/н %s), считано %s/%s/%s %s:%s:%s, отправил %s", static_cast<long long>(e.id),
      c.IsNull(kEntryType) ? "???" : PanelTypeName(e.panel.type).c_str(),
      Field(c, kEntrySerial, e.panel.serial, "%d").c_str(), Field(c, kEntryRead + 2, t[2], "%02d").c_str(),
      Field(c, kEntryRead + 1, t[1], "%02d").c_str(), Field(c, kEntryRead, t[0], "%04d").c_str(),
      Field(c, kEntryRead + 3, t[3], "%02d").c_str(), Field(c, kEntryRead + 4, t[4], "%02d").c_str(),
      Field(c, kEntryRead + 5, t[5], "%02d").c_str(), role.empty() ? "?" : role.c_str());
  return e;
}

std::vector<ServerColumnBytes> EncodeServerRow(const SyncReadout& readout, const Sha256& sha) {
  const CT7KEventList& l = readout.list;
  std::vector<ServerColumnBytes> out(kServerRowWidth);
  out[kSha].emplace(sha.begin(), sha.end());
  for (std::size_t k = 0; k < kHeaderCount; ++k) {
    out[kFirstInt + k].emplace();
    PutBigEndian(*out[kFirstInt + k], static_cast<std::uint32_t>(l.*kHeaderFields[k]), 4);
  }
  out[kConfigName].emplace(l.m_szConfigName.begin(), l.m_szConfigName.end());
  if (std::ranges::any_of(l.m_reserved, [](std::uint8_t b) { return b != 0; }))
    out[kReserved].emplace(l.m_reserved.begin(), l.m_reserved.end());
  out[kTexts] = EncodeTexts(l.m_texts);
  out[kEventCount].emplace();
  PutBigEndian(*out[kEventCount], l.GetCount(), 4);
  out[kEvents].emplace();
  out[kEvents]->reserve(l.GetCount() * CT7KEvent::kSize);
  for (const CT7KEvent& ev : l) out[kEvents]->insert(out[kEvents]->end(), ev.Raw().begin(), ev.Raw().end());
  const std::string origin = OriginName(readout.origin.source);
  out[kOrigin].emplace(origin.begin(), origin.end());
  out[kPartial].emplace(1, readout.origin.partial ? 1 : 0);
  out[kFiledAt].emplace();
  PutBigEndian(*out[kFiledAt], std::bit_cast<std::uint64_t>(static_cast<double>(readout.filedAt)), 8);
  return out;
}

std::string OriginName(const std::string& source) {
  const std::size_t slash = source.find_last_of("/\\");
  return OneLineText(slash == std::string::npos ? source : std::string_view(source).substr(slash + 1),
                     kMaxOriginBytes);
}

}  // namespace logwick
