#include "lists/archive.h"

#include <gtest/gtest.h>

#include <memory>

#include "events/codec.h"
#include "events/t7k_event.h"
#include "tests/lists/test_files.h"

using namespace logwick::test;

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

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

Bytes Prefix(const Bytes& b, std::size_t n) { return Bytes(b.begin(), b.begin() + n); }

}  // namespace

TEST(Archive, StringPrefixesByLength) {
  TempDir dir;
  struct Case {
    std::size_t length;
    Bytes prefix;
  };
  const Case cases[] = {
      {0, {0x00}},
      {254, {0xFE}},
      {255, {0xFF, 0xFF, 0x00}},
      {0xFFFD, {0xFF, 0xFD, 0xFF}},
      {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
      {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    std::string s(c.length, '\xC0');
    if (!s.empty()) s.back() = 'z';
    Bytes stored = StoreString(dir, s);
    ASSERT_EQ(stored.size(), c.prefix.size() + c.length);
    EXPECT_EQ(Prefix(stored, c.prefix.size()), c.prefix);
    EXPECT_EQ(LoadString(dir, stored), s);
  }
}

TEST(Archive, WideStringsLoadAsWindows1251) {
  TempDir dir;
  // "Пожар" in UTF-16LE with a one-byte length.
  Bytes shortForm = {0xFF, 0xFE, 0xFF, 0x05};
  for (char16_t u : std::u16string(u"Пожар")) PutU16(shortForm, u);
  EXPECT_EQ(logwick::Cp1251ToUtf8(LoadString(dir, shortForm)), "Пожар");

  // 300 characters: the length takes the 16-bit form; one character has no
  // place in the code page and becomes '?'.
  Bytes longForm = {0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01};
  for (int i = 0; i < 299; ++i) PutU16(longForm, u'Я');
  PutU16(longForm, 0x4E2D);
  std::string loaded = LoadString(dir, longForm);
  ASSERT_EQ(loaded.size(), 300u);
  EXPECT_EQ(loaded.front(), '\xDF');
  EXPECT_EQ(loaded.back(), '?');
}

TEST(Archive, ShortDataEndsInEndOfFile) {
  TempDir dir;
  const Bytes cases[] = {
      {},                              // no prefix at all
      {0xFF, 0x00},                    // cut inside the 16-bit length
      {0x05, 't', '7'},                // fewer characters than the length
      {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // claims 4 GiB
      {0xFF, 0xFE, 0xFF, 0x03, 'a', 0},            // wide string cut short
  };
  for (const Bytes& b : cases) {
    SCOPED_TRACE(b.size());
    EXPECT_THROW(LoadString(dir, b), CArchiveException);
  }
}

TEST(Archive, EventCutShortRaisesEndOfFile) {
  TempDir dir;
  const std::string path = dir.File("ev.bin");
  WriteBytes(path, Bytes(15, 0x11));
  FilePtr f(std::fopen(path.c_str(), "rb"));
  CArchive ar(f.get(), CArchive::load, path);
  CT7KEvent ev;
  EXPECT_THROW(ev.Serialize(ar), CArchiveException);
  EXPECT_EQ(ev.TimeStamp(), 0x11111111u);  // what was read stays
}

TEST(Archive, RemainingTracksTheFileAndIsUnknownForStreams) {
  TempDir dir;
  const std::string path = dir.File("r.bin");
  WriteBytes(path, Bytes(5000, 1));
  FilePtr f(std::fopen(path.c_str(), "rb"));
  CArchive ar(f.get(), CArchive::load, path);
  EXPECT_EQ(ar.Remaining(), 5000u);
  ar.ReadU32();
  EXPECT_EQ(ar.Remaining(), 4996u);
  Bytes block(4500);
  EXPECT_EQ(ar.Read(block.data(), block.size()), 4500u);
  EXPECT_EQ(ar.Read(block.data(), block.size()), 496u);
  EXPECT_EQ(ar.Remaining(), 0u);

#ifndef _WIN32
  // A stream of unknown size still refuses a string longer than its data,
  // without first allocating what the prefix claims.
  Bytes claim = {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40, 'x', 'y'};
  FilePtr mem(fmemopen(claim.data(), claim.size(), "rb"));
  CArchive stream(mem.get(), CArchive::load, "memory");
  EXPECT_FALSE(stream.Remaining().has_value());
  EXPECT_THROW(stream.ReadString(), CArchiveException);
#endif
}

TEST(Archive, FailingFileRaisesFileError) {
  TempDir dir;
  FilePtr f(std::fopen(dir.Path().string().c_str(), "rb"));  // a folder
  if (!f) GTEST_SKIP() << "folders cannot be opened as files here";
  CArchive ar(f.get(), CArchive::load, dir.Path().string());
  try {
    ar.ReadU8();
    FAIL() << "no exception";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_strFileName, dir.Path().string());
    EXPECT_FALSE(e.m_strOsError.empty());
  }
}
