#include "events/codec.h"

#include <array>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

namespace logwick {
namespace {

// Code points of the bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F.
constexpr std::array<char16_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

char32_t CodePointOf(unsigned char b) {
  if (b < 0x80) return b;
  if (b >= 0xC0) return 0x0410 + (b - 0xC0);
  return kHigh[b - 0x80];
}

// UTF-8 of every byte, computed once: decoding is a table copy.
struct DecodeTable {
  std::array<std::array<char, 4>, 256> bytes{};  // [0] = length
  DecodeTable() {
    for (int b = 0; b < 256; ++b) {
      std::string s;
      AppendCodePoint(s, CodePointOf(static_cast<unsigned char>(b)));
      bytes[b][0] = static_cast<char>(s.size());
      for (std::size_t i = 0; i < s.size(); ++i) bytes[b][i + 1] = s[i];
    }
  }
};

const DecodeTable& Table() {
  static const DecodeTable table;
  return table;
}

int ByteOf(char32_t cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  if (cp >= 0x0410 && cp <= 0x044F) return static_cast<int>(0xC0 + (cp - 0x0410));
  for (int i = 0; i < 64; ++i)
    if (kHigh[i] == cp) return 0x80 + i;
  return -1;
}

}  // namespace

void AppendCodePoint(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void AppendCp1251AsUtf8(std::string& out, std::string_view cp1251) {
  const DecodeTable& t = Table();
  for (char c : cp1251) {
    const auto& e = t.bytes[static_cast<unsigned char>(c)];
    out.append(e.data() + 1, static_cast<std::size_t>(e[0]));
  }
}

std::string Cp1251ToUtf8(std::string_view cp1251) {
  std::string out;
  out.reserve(cp1251.size() * 2);
  AppendCp1251AsUtf8(out, cp1251);
  return out;
}

void AppendUtf8AsCp1251(std::string& out, std::string_view utf8) {
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* end = p + utf8.size();
  // Every step takes at least one input byte and gives exactly one output
  // byte, so the input's size bounds the output; writing through a pointer
  // keeps long reports fast.
  const std::size_t start = out.size();
  out.resize(start + utf8.size());
  char* w = out.data() + start;
  while (p < end) {
    unsigned char c = *p;
    if (c < 0x80) {
      *w++ = static_cast<char>(c);
      ++p;
      continue;
    }
    // А..я, the bulk of every Russian text, map straight onto 0xC0..0xFF.
    if ((c == 0xD0 || c == 0xD1) && end - p >= 2 && (p[1] & 0xC0) == 0x80) {
      const unsigned cp = ((c & 0x1Fu) << 6) | (p[1] & 0x3Fu);
      if (cp >= 0x0410 && cp <= 0x044F) {
        *w++ = static_cast<char>(0xC0 + (cp - 0x0410));
        p += 2;
        continue;
      }
    }
    // 0xF8 and up never start a sequence.
    int len = c >= 0xF8 ? 0 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
    if (len == 0 || end - p < len) {
      *w++ = '?';
      ++p;
      continue;
    }
    char32_t cp = c & (0x7F >> len);
    bool ok = true;
    for (int i = 1; i < len; ++i) {
      if ((p[i] & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (p[i] & 0x3F);
    }
    // Overlong forms would smuggle a NUL or a quote past checks on the bytes.
    static constexpr char32_t kMinOfLength[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (!ok || cp < kMinOfLength[len]) {
      *w++ = '?';
      ++p;
      continue;
    }
    int b = ByteOf(cp);
    *w++ = b < 0 ? '?' : static_cast<char>(b);
    p += len;
  }
  out.resize(static_cast<std::size_t>(w - out.data()));
}

std::string Utf8ToCp1251(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  AppendUtf8AsCp1251(out, utf8);
  return out;
}

std::string Utf16ToUtf8(const char16_t* units, std::size_t count) {
  std::string out;
  out.reserve(count * 2);
  for (std::size_t i = 0; i < count; ++i) {
    char32_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      u = 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      u = 0xFFFD;
    }
    AppendCodePoint(out, u);
  }
  return out;
}

#ifdef _WIN32
std::wstring Utf8ToWide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  if (n <= 0) return {};
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, w.data(), n);
  return w;
}

std::string WideToUtf8(std::wstring_view wide) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  return Utf16ToUtf8(reinterpret_cast<const char16_t*>(wide.data()), wide.size());
}
#endif

}  // namespace logwick
