// What identifies a list: the SHA-256 of the bytes an event file holding it
// would have. Storing the same list gives the same bytes every time, so a
// report or an archive can name the file it came from.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "lists/t7k_event_list.h"

namespace logwick {

using Sha256 = std::array<std::uint8_t, 32>;

// The list in event-file form, as "Записать в файл ..." writes it.
std::string EventFileBytes(const CT7KEventList& list);

Sha256 Sha256Of(const void* data, std::size_t size);
Sha256 EventListSha256(const CT7KEventList& list);

// 64 lowercase hex digits.
std::string HexOf(const Sha256& digest);
// Two lowercase hex digits per byte.
void AppendHex(std::string& out, const std::uint8_t* bytes, std::size_t size);

}  // namespace logwick
