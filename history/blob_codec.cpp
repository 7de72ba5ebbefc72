#include "history/blob_codec.h"

#include "history/sqlite_db.h"

namespace logwick {
namespace {

void Put(Blob& out, std::uint64_t v) {
  while (v >= 0x80) {
    out.push_back(static_cast<std::uint8_t>(v | 0x80));
    v >>= 7;
  }
  out.push_back(static_cast<std::uint8_t>(v));
}

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> blob) : m_blob(blob) {}
  bool AtEnd() const { return m_pos == m_blob.size(); }
  std::uint64_t Next() {
    std::uint64_t v = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      if (m_pos == m_blob.size()) Fail();
      const std::uint8_t b = m_blob[m_pos++];
      v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
      if (!(b & 0x80)) return v;
    }
    Fail();
  }
  std::span<const std::uint8_t> Bytes(std::uint64_t n) {
    if (n > m_blob.size() - m_pos) Fail();
    const auto out = m_blob.subspan(m_pos, static_cast<std::size_t>(n));
    m_pos += static_cast<std::size_t>(n);
    return out;
  }
  [[noreturn]] static void Fail() { throw SqliteError::Corrupt("a stored list does not parse"); }

 private:
  std::span<const std::uint8_t> m_blob;
  std::size_t m_pos = 0;
};

}  // namespace

Blob EncodePieces(std::span<const HistoryPiece> pieces) {
  Blob out;
  out.reserve(pieces.size() * 5);
  for (const HistoryPiece& p : pieces) {
    Put(out, static_cast<std::uint64_t>(p.chunk));
    Put(out, p.count);
  }
  return out;
}

std::vector<HistoryPiece> DecodePieces(std::span<const std::uint8_t> blob) {
  std::vector<HistoryPiece> pieces;
  Reader in(blob);
  while (!in.AtEnd()) {
    const std::uint64_t id = in.Next();
    const std::uint64_t count = in.Next();
    if (count == 0 || count > UINT32_MAX) Reader::Fail();
    pieces.push_back({static_cast<ChunkId>(id), static_cast<std::uint32_t>(count)});
  }
  return pieces;
}

Blob EncodeGaps(std::span<const std::size_t> gaps) {
  Blob out;
  std::size_t last = 0;
  for (std::size_t p : gaps) {
    Put(out, p - last);
    last = p;
  }
  return out;
}

std::vector<std::size_t> DecodeGaps(std::span<const std::uint8_t> blob) {
  std::vector<std::size_t> gaps;
  Reader in(blob);
  std::size_t last = 0;
  while (!in.AtEnd()) {
    const std::uint64_t step = in.Next();
    if (step == 0) Reader::Fail();
    last += static_cast<std::size_t>(step);
    gaps.push_back(last);
  }
  return gaps;
}

Blob EncodeChunkIds(std::span<const HistoryPiece> pieces) {
  Blob out;
  for (const HistoryPiece& p : pieces) Put(out, static_cast<std::uint64_t>(p.chunk));
  return out;
}

std::vector<ChunkId> DecodeChunkIds(std::span<const std::uint8_t> blob) {
  std::vector<ChunkId> ids;
  Reader in(blob);
  while (!in.AtEnd()) ids.push_back(static_cast<ChunkId>(in.Next()));
  return ids;
}

Blob EncodeTexts(std::span<const std::string> texts) {
  Blob out;
  for (const std::string& t : texts) {
    Put(out, t.size());
    out.insert(out.end(), t.begin(), t.end());
  }
  return out;
}

std::vector<std::string> DecodeTexts(std::span<const std::uint8_t> blob) {
  std::vector<std::string> texts;
  Reader in(blob);
  while (!in.AtEnd()) {
    const auto bytes = in.Bytes(in.Next());
    texts.emplace_back(bytes.begin(), bytes.end());
  }
  return texts;
}

}  // namespace logwick
