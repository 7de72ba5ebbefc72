// The event file format: layout, limits and the checks on loading.
#include <gtest/gtest.h>

#include "lists/event_file.h"
#include "lists/panel_types.h"
#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;

namespace {

LoadStatus LoadBytes(TempDir& dir, const Bytes& bytes, CT7KEventList& list,
                     const std::string& name = "in.t7kev") {
  const std::string path = dir.File(name);
  WriteBytes(path, bytes);
  return LoadEventFile(path, list).status;
}

Bytes StoreBytes(TempDir& dir, const CT7KEventList& list) {
  const std::string path = dir.File("out.t7kev");
  EXPECT_TRUE(StoreEventFile(path, list).ok);
  return ReadBytes(path);
}

}  // namespace

TEST(PanelTypes, NamesTagsAndLookup) {
  EXPECT_EQ(PanelTypeName(1), "Тарвел-7К");
  EXPECT_EQ(PanelTypeName(3), "Тарвел-7К(Apollo)");
  EXPECT_EQ(PanelTypeName(0), "???");
  EXPECT_EQ(PanelTypeName(4), "???");
  EXPECT_EQ(PanelTypeTag(2), "t7lev");
  EXPECT_EQ(PanelTypeTag(-1), "???");
  EXPECT_EQ(PanelTypeFromTag("t7nev"), 3);
  EXPECT_EQ(PanelTypeFromTag("T7KEV"), 0);
  EXPECT_EQ(PanelTypeFromTag("???"), 0);
  EXPECT_EQ(PanelTypeFromTag(""), 0);
}

TEST(EventFile, StoredLayoutIsByteExact) {
  TempDir dir;
  CT7KEventList list = MakeFullList(3);
  Bytes b = StoreBytes(dir, list);
  ASSERT_EQ(b.size(), 1189u);
  const Bytes start = {0x05, 't', '7', 'k', 'e', 'v', 1, 0, 0, 0, 3, 0, 0, 0};
  EXPECT_EQ(Bytes(b.begin(), b.begin() + 14), start);
  EXPECT_EQ(b[14], 5);    // m_nReadSec
  EXPECT_EQ(b[34], 0xDF); // m_nReadYear 2015 = 0x07DF
  EXPECT_EQ(b[35], 0x07);
  EXPECT_EQ(b[58], 1);    // panel type
  EXPECT_EQ(b[62], 123);  // serial number
  EXPECT_EQ(Bytes(b.begin() + 66, b.begin() + 71), Bytes({0xD1, 0xEA, 0xEB, 0xE0, 0xE4}));
  EXPECT_EQ(b[66 + 14], 'x');
  EXPECT_EQ(b[83], list.m_reserved[0]);
  EXPECT_EQ(b[1102], list.m_reserved[1019]);
  EXPECT_EQ(b[1103], 2);     // text count
  EXPECT_EQ(b[1107], 16);    // first text's length byte
  EXPECT_EQ(b[1108], 0xCF);  // 'П' in Windows-1251
  const auto& last = list[2].Raw();
  EXPECT_EQ(Bytes(b.end() - 16, b.end()), Bytes(last.begin(), last.end()));
}

TEST(EventFile, StoreThenLoadGivesTheSameList) {
  TempDir dir;
  for (int type : {1, 2, 3}) {
    SCOPED_TRACE(type);
    CT7KEventList list = MakeFullList(50);
    list.m_nPanelType = type;
    list.m_texts.push_back("");
    list.m_texts.push_back(std::string(300, 'w'));  // the 16-bit length form
    CT7KEventList loaded;
    ASSERT_EQ(LoadBytes(dir, StoreBytes(dir, list), loaded), LoadStatus::Loaded);
    EXPECT_EQ(loaded, list);
  }
}

TEST(EventFile, ExtensionDoesNotMatter) {
  TempDir dir;
  CT7KEventList list = MakeFullList(2), loaded;
  EXPECT_EQ(LoadBytes(dir, StoreBytes(dir, list), loaded, "copy.bak"), LoadStatus::Loaded);
  EXPECT_EQ(loaded, list);
}

TEST(EventFile, EventCountLimit) {
  TempDir dir;
  const CT7KEventList old = MakeFullList(4);

  CT7KEventList list = old;
  FileSpec spec;
  spec.count = 100001;
  EXPECT_EQ(LoadBytes(dir, BuildFile(spec), list), LoadStatus::FormatRefused);
  EXPECT_EQ(list, old);

  // 100000 passes the check; this file then ends before its events.
  spec.count = 100000;
  EXPECT_EQ(LoadBytes(dir, BuildFile(spec), list), LoadStatus::EndOfFile);
  EXPECT_EQ(list, old);

  spec.events.assign(100000, MakeEvent(0x3F20E305u, 4, {7, 0, 12}));
  ASSERT_EQ(LoadBytes(dir, BuildFile(spec), list), LoadStatus::Loaded);
  EXPECT_EQ(list.GetCount(), 100000u);
}

TEST(EventFile, RefusedTagsAndPanelTypes) {
  TempDir dir;
  const CT7KEventList old = MakeFullList(4);
  const std::pair<std::string, std::uint32_t> cases[] = {
      {"T7kev", 1},  // letter case counts
      {"???", 1},    // what a never-filled list stores
      {"t7lev", 1},  // stored panel type differs from the tag's
      {"t7kev", 3},
  };
  for (const auto& [tag, type] : cases) {
    SCOPED_TRACE(tag + " " + std::to_string(type));
    FileSpec spec;
    spec.tag = tag;
    spec.panelType = type;
    CT7KEventList list = old;
    EXPECT_EQ(LoadBytes(dir, BuildFile(spec), list), LoadStatus::FormatRefused);
    EXPECT_EQ(list, old);  // nothing of the refused file leaks in
  }

  CT7KEventList never;
  CT7KEventList list = old;
  Bytes b = StoreBytes(dir, never);
  EXPECT_EQ(Bytes(b.begin(), b.begin() + 4), Bytes({3, '?', '?', '?'}));
  EXPECT_EQ(LoadBytes(dir, b, list), LoadStatus::FormatRefused);
}

TEST(EventFile, FormatVersions) {
  TempDir dir;
  FileSpec v0;
  v0.tag = "t7lev";
  v0.version = 0;
  v0.count = 1;
  v0.events = {MakeEvent(0x3F20E305u, 5, {9})};
  CT7KEventList list;
  ASSERT_EQ(LoadBytes(dir, BuildFile(v0), list), LoadStatus::Loaded);
  EXPECT_EQ(list.m_nPanelType, 1);
  EXPECT_EQ(list.m_nSerNum, 0);
  EXPECT_EQ(list.m_nReadYear, 2020);
  EXPECT_EQ(list.ConfigNameText(), "CONF-NAME");
  EXPECT_EQ(list.m_reserved[0], 0xAB);
  ASSERT_EQ(list.GetCount(), 1u);
  EXPECT_EQ(list[0].B(6), 9);

  FileSpec v7;
  v7.version = 7;  // read as version 1
  v7.tag = "t7nev";
  v7.panelType = 3;
  ASSERT_EQ(LoadBytes(dir, BuildFile(v7), list), LoadStatus::Loaded);
  EXPECT_EQ(list.m_nPanelType, 3);
  EXPECT_EQ(list.m_nSerNum, 77);
}

TEST(EventFile, TextCounts) {
  TempDir dir;
  for (std::uint32_t count : {0u, 0x80000000u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(count);
    FileSpec spec;
    spec.textCount = count;
    CT7KEventList list = MakeFullList(1);
    ASSERT_EQ(LoadBytes(dir, BuildFile(spec), list), LoadStatus::Loaded);
    EXPECT_TRUE(list.m_texts.empty());
  }

  FileSpec wide;
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
  FileSpec full;
  full.count = 2;
  full.textCount = 1;
  full.texts = {ShortText("abc")};
  full.events = {MakeEvent(1, 1), MakeEvent(2, 2)};
  const Bytes whole = BuildFile(full);

  // Cut inside the tag, the header, the reserved block, the texts and the
  // events: every cut is the end-of-file error and leaves the list alone.
  for (std::size_t size : {0u, 3u, 20u, 70u, 1000u, 1108u, 1111u, 1114u, 1140u}) {
    SCOPED_TRACE(size);
    CT7KEventList list = old;
    EXPECT_EQ(LoadBytes(dir, Bytes(whole.begin(), whole.begin() + size), list),
              LoadStatus::EndOfFile);
    EXPECT_EQ(list, old);
  }

  // Claims far beyond the file's bytes end at once.
  FileSpec texts;
  texts.textCount = 0x7FFFFFFF;
  CT7KEventList list = old;
  EXPECT_EQ(LoadBytes(dir, BuildFile(texts), list), LoadStatus::EndOfFile);
  EXPECT_EQ(list, old);

  // Data after the last event is ignored.
  Bytes longer = whole;
  longer.resize(whole.size() + 5, 0xEE);
  ASSERT_EQ(LoadBytes(dir, longer, list), LoadStatus::Loaded);
  EXPECT_EQ(list.GetCount(), 2u);
  EXPECT_EQ(list.m_texts, std::vector<std::string>({"abc"}));
}
