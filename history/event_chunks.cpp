#include "history/event_chunks.h"

#include <cassert>

namespace logwick {
namespace {

constexpr std::uint64_t kCutMask = 63;  // one event in 64 ends a chunk, on average

std::uint64_t Load64(const std::uint8_t* p) {
  std::uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

// The finaliser of SplitMix64: every input bit reaches every output bit.
std::uint64_t Mix(std::uint64_t z) {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

std::uint64_t EventHash(const CT7KEvent& ev) {
  const std::uint8_t* raw = ev.Raw().data();
  return Mix(Mix(Load64(raw)) ^ Load64(raw + 8));
}

std::uint64_t ChunkHash(std::span<const CT7KEvent> events) {
  std::uint64_t h = Mix(events.size());
  for (const CT7KEvent& ev : events) h = Mix(h ^ EventHash(ev)) + 0x9E3779B97F4A7C15ull;
  return h;
}

bool CutBetween(const CT7KEvent& ev, const CT7KEvent& next) {
  return (EventHash(ev) & kCutMask) == 0 && ev != next;
}

std::vector<std::size_t> ChunkEnds(std::span<const CT7KEvent> seq) {
  std::vector<std::size_t> ends;
  for (std::size_t i = 0; i + 1 < seq.size(); ++i)
    if (CutBetween(seq[i], seq[i + 1])) ends.push_back(i + 1);
  if (!seq.empty()) ends.push_back(seq.size());
  // Chunks are never empty and a cut never splits a run of equal records.
  assert(ends.empty() || (ends.front() > 0 && ends.back() == seq.size()));
  assert(ends.size() < 2 || seq[ends[ends.size() - 2] - 1] != seq[ends[ends.size() - 2]]);
  return ends;
}

}  // namespace logwick
