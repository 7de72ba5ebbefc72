#include "lists/archive.h"

#include <gtest/gtest.h>

#include <memory>

#include "events/codec.h"
#include "tests/lists/test_files.h"

using namespace logwick::test;

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Stores s alone and returns the file's bytes.
Bytes StoreString(TempDir& dir, const std::string& s) {
  const std::string path = dir.File("s.bin");
  FilePtr f(std::fopen(path.c_str(), "wb"));
  CArchive ar(f.get(), CArchive::store, path);
  ar.WriteString(s);
  ar.Close();
  f.reset();
  return ReadBytes(path);
}

std::string LoadString(TempDir& dir, const Bytes& bytes) {
  const std::string path = dir.File("l.bin");
  WriteBytes(path, bytes);
  FilePtr f(std::fopen(path.c_str(), "rb"));
  CArchive ar(f.get(), CArchive::load, path);
  return ar.ReadString();
}

}  // namespace

TEST(Archive, StringPrefixesByLength) {
  TempDir dir;
  const std::pair<std::size_t, Bytes> cases[] = {
      {0, {0x00}},
      {254, {0xFE}},
      {255, {0xFF, 0xFF, 0x00}},
      {0xFFFD, {0xFF, 0xFD, 0xFF}},
      {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
  };
  for (const auto& [length, prefix] : cases) {
    SCOPED_TRACE(length);
    const std::string s(length, '\xC0');
    Bytes stored = StoreString(dir, s);
    ASSERT_EQ(stored.size(), prefix.size() + length);
    EXPECT_EQ(Bytes(stored.begin(), stored.begin() + prefix.size()), prefix);
    EXPECT_EQ(LoadString(dir, stored), s);
  }
}

TEST(Archive, WideStringsLoadAsWindows1251) {
  TempDir dir;
  Bytes shortForm = {0xFF, 0xFE, 0xFF, 0x05};  // "Пожар", one-byte length
  for (char16_t u : std::u16string(u"Пожар")) PutU16(shortForm, u);
  EXPECT_EQ(logwick::Cp1251ToUtf8(LoadString(dir, shortForm)), "Пожар");

  // 300 characters take the 16-bit length; one has no place in the code page.
  Bytes longForm = {0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01};
  for (int i = 0; i < 299; ++i) PutU16(longForm, u'Я');
  PutU16(longForm, 0x4E2D);
  EXPECT_EQ(LoadString(dir, longForm), std::string(299, '\xDF') + "?");
}

TEST(Archive, ShortDataEndsInEndOfFile) {
  TempDir dir;
  const Bytes cases[] = {
      {},                                          // no prefix at all
      {0xFF, 0x00},                                // cut inside the 16-bit length
      {0x05, 't', '7'},                            // fewer characters than the length
      {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // claims 4 GiB
      {0xFF, 0xFE, 0xFF, 0x03, 'a', 0},            // wide string cut short
  };
  for (const Bytes& b : cases) EXPECT_THROW(LoadString(dir, b), CArchiveException) << b.size();

#ifndef _WIN32
  // A stream of unknown size allocates only what arrives, not the 1 GiB claimed.
  Bytes claim = {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40, 'x', 'y'};
  FilePtr mem(fmemopen(claim.data(), claim.size(), "rb"));
  CArchive stream(mem.get(), CArchive::load, "memory");
  EXPECT_FALSE(stream.Remaining().has_value());
  EXPECT_THROW(stream.ReadString(), CArchiveException);
#endif
}
