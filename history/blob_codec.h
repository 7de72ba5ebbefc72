// The archive's small binary columns: unsigned LEB128 numbers one after
// another. A history's pieces are (chunk id, event count) pairs, its gap marks
// the distances from one mark to the next, a read-out's chunks their ids, its
// texts each a length and its UTF-8 bytes. Decoding checks every length and
// throws SqliteError::Corrupt on a column that does not parse.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "history/chunked_history.h"

namespace logwick {

using Blob = std::vector<std::uint8_t>;

Blob EncodePieces(std::span<const HistoryPiece> pieces);
std::vector<HistoryPiece> DecodePieces(std::span<const std::uint8_t> blob);

Blob EncodeGaps(std::span<const std::size_t> gaps);
std::vector<std::size_t> DecodeGaps(std::span<const std::uint8_t> blob);

Blob EncodeChunkIds(std::span<const HistoryPiece> pieces);
std::vector<ChunkId> DecodeChunkIds(std::span<const std::uint8_t> blob);

Blob EncodeTexts(std::span<const std::string> texts);
std::vector<std::string> DecodeTexts(std::span<const std::uint8_t> blob);

}  // namespace logwick
