#include "lists/byte_stream.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/lists/test_files.h"

using namespace logwick::test;

using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

static std::string LoadString(TempDir& dir, const Bytes& bytes) {
  const std::string path = dir.File("l.bin");
  WriteBytes(path, bytes);
  FilePtr f(std::fopen(path.c_str(), "rb"), std::fclose);
  return CArchive(f.get(), CArchive::load, path).ReadString();
}

TEST(ByteStream, StringPrefixesWideStringsAndShortData) {
  TempDir dir;
  const std::pair<std::size_t, Bytes> cases[] = {{254, {0xFE}},
                                                 {255, {0xFF, 0xFF, 0x00}},
                                                 {0xFFFD, {0xFF, 0xFD, 0xFF}},
                                                 {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}}};
  for (const auto& [length, prefix] : cases) {
    const std::string s(length, '\xC0'), path = dir.File("s.bin");
    FilePtr f(std::fopen(path.c_str(), "wb"), std::fclose);
    CArchive ar(f.get(), CArchive::store, path);
    ar.WriteString(s);
    ar.Close();
    f.reset();
    const Bytes stored = ReadBytes(path);
    ASSERT_EQ(stored.size(), prefix.size() + length);
    EXPECT_EQ(Bytes(stored.begin(), stored.begin() + prefix.size()), prefix) << length;
    EXPECT_EQ(LoadString(dir, stored), s) << length;
  }
  // 300 characters take the 16-bit length; one has no place in the code page.
  Bytes wide = {0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01};
  for (int i = 0; i < 299; ++i) logwick::AppendLe16(wide, u'Я');
  logwick::AppendLe16(wide, 0x4E2D);
  EXPECT_EQ(LoadString(dir, wide), std::string(299, '\xDF') + "?");

  const Bytes cut[] = {
      {},                                          // no prefix at all
      {0xFF, 0x00},                                // cut inside the 16-bit length
      {0x05, 't', '7'},                            // fewer characters than the length
      {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // claims 4 GiB
      {0xFF, 0xFE, 0xFF, 0x03, 'a', 0},            // wide string cut short
  };
  for (const Bytes& b : cut) EXPECT_THROW(LoadString(dir, b), CArchiveException) << b.size();
}
