// A read-out row of the shared server as bytes: what this program sends, and
// what it takes back, column by column in PostgreSQL's binary form. Nothing a
// server hands over is trusted: every column is checked before any of it is
// used, and a row that cannot be taken says why in a Russian phrase.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sync/readout_sync.h"

namespace logwick {

// One column as the server sends it; none for NULL.
using ServerColumn = std::optional<std::span<const std::uint8_t>>;
using ServerColumnBytes = std::optional<std::vector<std::uint8_t>>;

// The columns of a whole read-out, in the order of kServerRowColumns.
inline constexpr std::size_t kServerRowWidth = 22;
extern const char* const kServerRowColumns[kServerRowWidth];
// The columns of a read-out as listed (kServerEntrySelect's order).
inline constexpr std::size_t kServerEntryWidth = 12;

// The select lists: a whole read-out (filed_at as seconds, double precision,
// so that an infinite time arrives as a value), and a listing entry with the
// read-out's size in bytes, which is all a listing ever downloads of it.
extern const char kServerRowSelect[];
extern const char kServerEntrySelect[];  // followed by kServerRowBytes
// A read-out's columns added up, in bytes (octet_length, which reads no value).
extern const char kServerRowBytes[];

// The PostgreSQL type of each column of a whole read-out, for sending it.
extern const unsigned kServerRowTypes[kServerRowWidth];

// A whole read-out taken from its columns: the read-out, or why it cannot
// be taken. The SHA-256 is the row's own (checked by CheckReadout).
struct ServerRowCheck {
  std::optional<SyncReadout> readout;
  Sha256 sha{};
  std::string problem;
};
ServerRowCheck DecodeServerRow(std::span<const ServerColumn> columns);

// A listing entry; SyncEntry::problem tells what is odd about it.
SyncEntry DecodeServerEntry(std::span<const ServerColumn> columns);

// The columns a read-out goes to the server as (its origin reduced to the
// file's or the port's name).
std::vector<ServerColumnBytes> EncodeServerRow(const SyncReadout& readout, const Sha256& sha);

// What a read-out's origin is sent as: the last part of its path (the file's
// name, the port's name), valid UTF-8 of at most 255 bytes.
std::string OriginName(const std::string& source);

}  // namespace logwick
