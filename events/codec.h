// Windows-1251 <-> UTF-8.
//
// Inside the program every text is UTF-8. The panel, the event files and the
// text reports speak Windows-1251; these two functions are the only crossing.
// Every one of the 256 byte values has a code point (0x98, which the code page
// leaves undefined, maps to U+0098 as the Windows converter does), so bytes read
// from a file or a panel come back unchanged when they are written again.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace logwick {

// Appends the UTF-8 form of Windows-1251 bytes to out.
void AppendCp1251AsUtf8(std::string& out, std::string_view cp1251);
std::string Cp1251ToUtf8(std::string_view cp1251);

// Appends the Windows-1251 form of UTF-8 text to out. Code points that the
// code page cannot hold, and malformed UTF-8, become '?'.
void AppendUtf8AsCp1251(std::string& out, std::string_view utf8);
std::string Utf8ToCp1251(std::string_view utf8);

// UTF-16LE code units (as stored in 16-bit strings of old event files) to UTF-8;
// unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const char16_t* units, std::size_t count);

#ifdef _WIN32
// UTF-8 to and from the wide strings of the Windows API (UTF-16): paths,
// command-line arguments, registry values.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
#endif

// Appends one code point as UTF-8.
void AppendCodePoint(std::string& out, char32_t cp);

}  // namespace logwick
