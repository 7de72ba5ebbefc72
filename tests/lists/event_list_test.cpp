// The event file format: layout, limits and the checks on loading.
#include <gtest/gtest.h>

#include "lists/event_file.h"
#include "lists/panel_types.h"
#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;

namespace {

// Under a name with another extension: only the tag inside counts.
LoadStatus LoadBytes(TempDir& dir, const Bytes& bytes, CT7KEventList& list) {
  const std::string path = dir.File("in.bak");
  WriteBytes(path, bytes);
  return LoadEventFile(path, list).status;
}

Bytes StoreBytes(TempDir& dir, const CT7KEventList& list) {
  const std::string path = dir.File("out.t7kev");
  EXPECT_TRUE(StoreEventFile(path, list).ok);
  return ReadBytes(path);
}

Bytes Slice(const Bytes& b, std::size_t at, std::size_t n) { return Bytes(b.begin() + at, b.begin() + at + n); }

}  // namespace

TEST(PanelTypes, NamesTagsAndLookup) {
  EXPECT_EQ(PanelTypeName(3), "Тарвел-7К(Apollo)");
  EXPECT_EQ(PanelTypeName(4), "???");
  EXPECT_EQ(PanelTypeTag(2), "t7lev");
  EXPECT_EQ(PanelTypeTag(0), "???");
  EXPECT_EQ(PanelTypeFromTag("t7nev"), 3);
  EXPECT_EQ(PanelTypeFromTag("???"), 0);
}

TEST(EventFile, StoredLayoutIsByteExact) {
  TempDir dir;
  CT7KEventList list = MakeFullList(3);
  Bytes b = StoreBytes(dir, list);
  ASSERT_EQ(b.size(), 1189u);
  EXPECT_EQ(Slice(b, 0, 14), Bytes({0x05, 't', '7', 'k', 'e', 'v', 1, 0, 0, 0, 3, 0, 0, 0}));
  EXPECT_EQ(Slice(b, 14, 4), Bytes({5, 0, 0, 0}));        // m_nReadSec first
  EXPECT_EQ(Slice(b, 34, 2), Bytes({0xDF, 0x07}));        // m_nReadYear 2015
  EXPECT_EQ(Slice(b, 58, 5), Bytes({1, 0, 0, 0, 123}));   // panel type, serial number
  EXPECT_EQ(Slice(b, 66, 5), Bytes({0xD1, 0xEA, 0xEB, 0xE0, 0xE4}));  // "Склад"
  EXPECT_EQ(b[66 + 14], 'x');
  EXPECT_EQ(Slice(b, 83, 1020), Bytes(list.m_reserved.begin(), list.m_reserved.end()));
  EXPECT_EQ(Slice(b, 1103, 6), Bytes({2, 0, 0, 0, 16, 0xCF}));  // 2 texts, "П..."
  EXPECT_EQ(Slice(b, 1173, 16), Bytes(list[2].Raw().begin(), list[2].Raw().end()));
}

TEST(EventFile, StoreThenLoadGivesTheSameList) {
  TempDir dir;
  for (int type : {1, 2, 3}) {
    CT7KEventList list = MakeFullList(50);
    list.m_nPanelType = type;
    list.m_texts.push_back("");
    list.m_texts.push_back(std::string(300, 'w'));  // the 16-bit length form
    CT7KEventList loaded;
    ASSERT_EQ(LoadBytes(dir, StoreBytes(dir, list), loaded), LoadStatus::Loaded) << type;
    EXPECT_EQ(loaded, list) << type;
  }
}

TEST(EventFile, EventCountLimit) {
  TempDir dir;
  const CT7KEventList old = MakeFullList(4);
  CT7KEventList list = old;
  FileLayout layout;
  layout.count = 100001;
  EXPECT_EQ(LoadBytes(dir, BuildFile(layout), list), LoadStatus::FormatRefused);
  layout.count = 100000;  // passes the check, then the file ends before its events
  EXPECT_EQ(LoadBytes(dir, BuildFile(layout), list), LoadStatus::EndOfFile);
  EXPECT_EQ(list, old);
  layout.events.assign(100000, MakeEvent(0x3F20E305u, 4, {7, 0, 12}));
  ASSERT_EQ(LoadBytes(dir, BuildFile(layout), list), LoadStatus::Loaded);
  EXPECT_EQ(list.GetCount(), 100000u);
}

TEST(EventFile, RefusedFilesChangeNothing) {
  TempDir dir;
  const CT7KEventList old = MakeFullList(4);
  const std::pair<std::string, std::uint32_t> cases[] = {
      {"T7kev", 1},  // letter case counts
      {"???", 1},    // what a never-filled list stores
      {"t7lev", 1},  // stored panel type differs from the tag's
  };
  for (const auto& [tag, type] : cases) {
    FileLayout layout;
    layout.tag = tag, layout.panelType = type;
    CT7KEventList list = old;
    EXPECT_EQ(LoadBytes(dir, BuildFile(layout), list), LoadStatus::FormatRefused) << tag;
    EXPECT_EQ(list, old) << tag;
  }
  Bytes never = StoreBytes(dir, CT7KEventList());
  EXPECT_EQ(Slice(never, 0, 4), Bytes({3, '?', '?', '?'}));
}

TEST(EventFile, FormatVersions) {
  TempDir dir;
  FileLayout v0;
  v0.tag = "t7lev", v0.version = 0, v0.count = 1;
  v0.events = {MakeEvent(0x3F20E305u, 5, {9})};
  CT7KEventList list;
  ASSERT_EQ(LoadBytes(dir, BuildFile(v0), list), LoadStatus::Loaded);
  EXPECT_EQ(list.m_nPanelType, 1);
  EXPECT_EQ(list.m_nSerNum, 0);
  EXPECT_EQ(list.m_nReadYear, 2020);
  EXPECT_EQ(list.ConfigNameText(), "CONF-NAME");
  EXPECT_EQ(list.m_reserved[0], 0xAB);
  EXPECT_EQ(list[0].B(6), 9);

  FileLayout v7;  // read as version 1
  v7.version = 7, v7.tag = "t7nev", v7.panelType = 3;
  ASSERT_EQ(LoadBytes(dir, BuildFile(v7), list), LoadStatus::Loaded);
  EXPECT_EQ(list.m_nPanelType, 3);
  EXPECT_EQ(list.m_nSerNum, 77);
}

TEST(EventFile, TextCounts) {
  TempDir dir;
  for (std::uint32_t count : {0u, 0x80000000u}) {
    FileLayout layout;
    layout.textCount = count;
    CT7KEventList list = MakeFullList(1);
    ASSERT_EQ(LoadBytes(dir, BuildFile(layout), list), LoadStatus::Loaded);
    EXPECT_TRUE(list.m_texts.empty()) << count;
  }
  FileLayout wide;
  wide.textCount = 2;
  Bytes w = {0xFF, 0xFE, 0xFF, 0x03};
  for (char16_t u : std::u16string(u"Цех")) PutU16(w, u);
  wide.texts = {ShortText(Utf8ToCp1251("Склад")), w};
  CT7KEventList list;
  ASSERT_EQ(LoadBytes(dir, BuildFile(wide), list), LoadStatus::Loaded);
  EXPECT_EQ(list.m_texts, std::vector<std::string>({"Склад", "Цех"}));
}

TEST(EventFile, ShortFilesChangeNothing) {
  TempDir dir;
  const CT7KEventList old = MakeFullList(4);
  FileLayout full;
  full.count = 2, full.textCount = 1;
  full.texts = {ShortText("abc")};
  full.events = {MakeEvent(1, 1), MakeEvent(2, 2)};
  const Bytes whole = BuildFile(full);
  // Cuts inside the tag, the header, the reserved block, the texts, the events.
  for (std::size_t size : {0u, 3u, 20u, 70u, 1000u, 1108u, 1111u, 1140u}) {
    CT7KEventList list = old;
    EXPECT_EQ(LoadBytes(dir, Slice(whole, 0, size), list), LoadStatus::EndOfFile) << size;
    EXPECT_EQ(list, old) << size;
  }
  FileLayout texts;  // claims far beyond the file's bytes
  texts.textCount = 0x7FFFFFFF;
  CT7KEventList list = old;
  EXPECT_EQ(LoadBytes(dir, BuildFile(texts), list), LoadStatus::EndOfFile);

  Bytes longer = whole;  // data after the last event is ignored
  longer.resize(whole.size() + 5, 0xEE);
  ASSERT_EQ(LoadBytes(dir, longer, list), LoadStatus::Loaded);
  EXPECT_EQ(list.GetCount(), 2u);
}
