// Shared by harnesses and seed maker: a row of columns as the fuzzer's bytes
// give it (per column a flag byte, odd for NULL, then a 24-bit length and the
// bytes), and its writer.
#pragma once

#include <optional>
#include <vector>

#include "fuzz/fuzz_input.h"

namespace logwick::fuzz {

using Column = std::optional<std::vector<std::uint8_t>>;

inline std::vector<Column> ReadColumns(Input& in, std::size_t n) {
  std::vector<Column> out;
  for (std::size_t i = 0; i < n; ++i) {
    const bool null = in.U8() & 1;
    const std::size_t length = in.Uint(3);
    if (null)
      out.emplace_back();
    else
      out.emplace_back(in.Bytes(length));
  }
  return out;
}

inline void PutColumns(std::vector<std::uint8_t>& out, const std::vector<Column>& columns) {
  for (const Column& c : columns) {
    PutUint(out, c ? 0 : 1, 1);
    PutUint(out, c ? static_cast<std::uint32_t>(c->size()) : 0, 3);
    if (c) out.insert(out.end(), c->begin(), c->end());
  }
}

}  // namespace logwick::fuzz
