// Scratch folders and byte-level file helpers for tests that write files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace logwick::test {

using Bytes = std::vector<std::uint8_t>;

// Paths are UTF-8 text, as the program takes them on every platform (a narrow
// std::filesystem::path is in the ANSI code page on Windows).
inline std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
inline std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
 public:
  TempDir() { std::filesystem::create_directories(path_); }
  ~TempDir() {
    if (std::filesystem::remove_all(path_, ec_) != static_cast<std::uintmax_t>(-1)) return;
    // Windows refuses to delete a read-only file.
    std::error_code ec;
    std::filesystem::recursive_directory_iterator it(path_, ec_), end;
    for (; !ec_ && it != end; it.increment(ec_))
      if (!it->is_symlink(ec))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec_);
  }
  std::string File(const std::string& name) const { return Utf8Of(path_ / PathOf(name)); }
  const std::filesystem::path& Path() const { return path_; }
  std::size_t EntryCount() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_), {}));
  }

 private:
  std::filesystem::path path_ =
      std::filesystem::temp_directory_path() /
      ("logwick-test-" + std::to_string(std::random_device()() * 65599ull + std::random_device()()));
  std::error_code ec_;
};

inline void WriteBytes(const std::string& path, const Bytes& b) {
  std::ofstream(PathOf(path), std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::ssize(b));
}

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(PathOf(path), std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string ReadText(const std::string& path) {
  const Bytes b = ReadBytes(path);
  return {b.begin(), b.end()};
}

// Copies a file over another. (copy_options::overwrite_existing fails with
// "File exists" in MinGW's C++ library.)
inline void CopyOver(const std::string& from, const std::string& to) {
  std::filesystem::remove(PathOf(to));
  std::filesystem::copy_file(PathOf(from), PathOf(to));
}

}  // namespace logwick::test
