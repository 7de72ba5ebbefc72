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

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
 public:
  TempDir() { std::filesystem::create_directories(path_); }
  ~TempDir() { std::filesystem::remove_all(path_, ec_); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
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
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::ssize(b));
}

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string ReadText(const std::string& path) {
  const Bytes b = ReadBytes(path);
  return {b.begin(), b.end()};
}

}  // namespace logwick::test
