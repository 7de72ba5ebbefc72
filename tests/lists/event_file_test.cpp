// The event file: its byte stream, layout, limits and digest, checks on loading, and stores that fail safely;
// and the documents folder the event-file dialogs start in.
#include "lists/event_file.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <memory>

#ifndef _WIN32
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "tests/lists/child_process.h"
#endif

#include "events/codec.h"
#include "lists/byte_stream.h"
#include "lists/list_digest.h"
#include "lists/panel_types.h"
#include "lists/recovery_file.h"
#include "lists/report.h"
#include "lists/user_folders.h"
#include "tests/lists/list_samples.h"
#include "tests/lists/test_env.h"

using namespace logwick;
using namespace logwick::test;

// Under a name with another extension: only the tag inside counts.
static FileStatus LoadBytes(TempDir& dir, const Bytes& bytes, CT7KEventList& list) {
  WriteBytes(dir.File("in.bak"), bytes);
  return LoadEventFile(dir.File("in.bak"), list).status;
}

static Bytes StoreBytes(TempDir& dir, const CT7KEventList& list) {
  EXPECT_TRUE(StoreEventFile(dir.File("out.t7kev"), list).ok);
  return ReadBytes(dir.File("out.t7kev"));
}

static Bytes Slice(const Bytes& b, std::size_t at, std::size_t n) {
  return Bytes(b.begin() + at, b.begin() + at + n);
}

// Strings: an 8-bit length below 255, else 16 bits below 0xFFFE, else 32;
// 0xFF 0xFFFE marks 16-bit characters. Short data throws.
TEST(ByteStream, StringPrefixesWideStringsAndShortData) {
  TempDir dir;
  const auto load = [&](const Bytes& bytes) {
    WriteBytes(dir.File("s.bin"), bytes);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(dir.File("s.bin").c_str(), "rb"),
                                                      std::fclose);
    return CArchive(f.get(), CArchive::load, "s.bin").ReadString();
  };
  const std::pair<std::size_t, Bytes> cases[] = {{254, {0xFE}},
                                                 {255, {0xFF, 0xFF, 0x00}},
                                                 {0xFFFD, {0xFF, 0xFD, 0xFF}},
                                                 {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}}};
  for (const auto& [length, prefix] : cases) {
    const std::string s(length, '\xC0');
    std::string stored;
    CArchive ar(stored);
    ar.WriteString(s);
    ar.Close();
    EXPECT_EQ(stored, std::string(prefix.begin(), prefix.end()) + s) << length;
    EXPECT_EQ(load(Bytes(stored.begin(), stored.end())), s) << length;
  }
  // 300 characters take the 16-bit length; one has no place in the code page.
  Bytes wide = {0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01};
  for (int i = 0; i < 299; ++i) AppendLe16(wide, u'Я');
  AppendLe16(wide, 0x4E2D);
  EXPECT_EQ(load(wide), std::string(299, '\xDF') + "?");
  const Bytes cut[] = {
      {},                                          // no prefix at all
      {0xFF, 0x00},                                // cut inside the 16-bit length
      {0x05, 't', '7'},                            // fewer characters than the length
      {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // claims 4 GiB
      {0xFF, 0xFE, 0xFF, 0x03, 'a', 0},            // wide string cut short
  };
  for (const Bytes& b : cut) EXPECT_THROW(load(b), CArchiveException) << b.size();
}

TEST(EventFile, StoredLayoutIsByteExact) {
  TempDir dir;
  const CT7KEventList list = MakeFullList(3);
  const Bytes b = StoreBytes(dir, list);
  ASSERT_EQ(b.size(), 1189u);
  EXPECT_EQ(Slice(b, 0, 14), Bytes({0x05, 't', '7', 'k', 'e', 'v', 1, 0, 0, 0, 3, 0, 0, 0}));
  EXPECT_EQ(Slice(b, 14, 4), Bytes({5, 0, 0, 0}));                    // m_nReadSec first
  EXPECT_EQ(Slice(b, 34, 2), Bytes({0xDF, 0x07}));                    // m_nReadYear 2015
  EXPECT_EQ(Slice(b, 58, 5), Bytes({1, 0, 0, 0, 123}));               // panel type, serial number
  EXPECT_EQ(Slice(b, 66, 5), Bytes({0xD1, 0xEA, 0xEB, 0xE0, 0xE4}));  // "Склад"
  EXPECT_EQ(b[66 + 14], 'x');
  EXPECT_EQ(Slice(b, 83, 1020), Bytes(list.m_reserved.begin(), list.m_reserved.end()));
  EXPECT_EQ(Slice(b, 1103, 6), Bytes({2, 0, 0, 0, 16, 0xCF}));  // 2 texts, "П..."
  EXPECT_EQ(Slice(b, 1173, 16), Bytes(list[2].Raw().begin(), list[2].Raw().end()));
  EXPECT_EQ(Slice(StoreBytes(dir, CT7KEventList()), 0, 4), Bytes({3, '?', '?', '?'}));
}

// A panel history longer than a file holds: the file takes its newest events
// with the header, texts and reserved block; a shorter list goes whole.
TEST(EventFile, StoreThenLoadGivesTheSameListOrItsFileableHead) {
  TempDir dir;
  for (int type : {1, 2, 3}) {
    CT7KEventList list = MakeFullList(50), loaded;
    list.m_nPanelType = type;
    list.m_texts.push_back("");
    EXPECT_TRUE(LoadBytes(dir, StoreBytes(dir, list), loaded) == FileStatus::Done && loaded == list) << type;
    EXPECT_EQ(PanelTypeFromTag(PanelTypeTag(type)), type);
    EXPECT_EQ(FileableHead(list), list);
  }
  EXPECT_EQ(PanelTypeName(3), "Тарвел-7К(Apollo)");
  // Sample events depend on their place only: the longer list begins with the shorter.
  const CT7KEventList head = FileableHead(MakeFullList(CT7KEventList::kMaxEvents + 7));
  CT7KEventList loaded;
  EXPECT_EQ(head, MakeFullList(CT7KEventList::kMaxEvents));
  EXPECT_TRUE(LoadBytes(dir, StoreBytes(dir, head), loaded) == FileStatus::Done && loaded == head);
  // The digest is the SHA-256 of exactly the stored bytes, even the never-read block.
  const Bytes file = StoreBytes(dir, head);
  EXPECT_EQ(EventFileBytes(head), std::string(file.begin(), file.end()));
  EXPECT_EQ(EventListSha256(head), Sha256Of(file.data(), file.size()));
  loaded.m_reserved[1000] ^= 1;
  EXPECT_NE(EventListSha256(loaded), EventListSha256(head));
  EXPECT_EQ(HexOf(Sha256Of("", 0)), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(HexOf(Sha256Of("abc", 3)), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(EventFile, RefusedAndShortFilesChangeNothingCountsAndVersions) {
  TempDir dir;
  const CT7KEventList old = MakeFullList(4);
  // Letter case counts; "???" is what a never-filled list stores; the stored panel type (1) must be the
  // tag's. Then cuts inside the tag, the header, the reserved block, the texts, the events.
  const Bytes whole = BuildFile({.count = 2,
                                 .textCount = 1,
                                 .texts = {{3, 'a', 'b', 'c'}},
                                 .events = {MakeEvent(1, 1), MakeEvent(2, 2)}});
  std::vector<std::pair<Bytes, FileStatus>> cases;
  for (const std::string tag : {"T7kev", "???", "t7lev"})
    cases.emplace_back(BuildFile({.tag = tag}), FileStatus::FormatRefused);
  for (std::size_t size : {3u, 20u, 70u, 1000u, 1108u, 1111u, 1140u})
    cases.emplace_back(Slice(whole, 0, size), FileStatus::EndOfFile);
  for (const auto& [bytes, status] : cases) {
    CT7KEventList list = old;
    EXPECT_EQ(LoadBytes(dir, bytes, list), status) << bytes.size();
    EXPECT_EQ(list, old) << bytes.size();
  }
  CT7KEventList list = old;
  Bytes longer = whole;  // data after the last event is ignored
  longer.resize(whole.size() + 5, 0xEE);
  EXPECT_TRUE(LoadBytes(dir, longer, list) == FileStatus::Done && list.GetCount() == 2u);

  list = MakeFullList(4);
  EXPECT_EQ(LoadBytes(dir, BuildFile({.count = 100001}), list), FileStatus::FormatRefused);
  const FileLayout limit{.count = 100000,
                         .events = std::vector(100000, MakeEvent(0x3F20E305u, 4, {7, 0, 12}))};
  EXPECT_TRUE(LoadBytes(dir, BuildFile(limit), list) == FileStatus::Done && list.GetCount() == 100000u);
  for (std::uint32_t count : {0u, 0x80000000u}) {  // no texts, however the count is written
    list = MakeFullList(1);
    EXPECT_TRUE(LoadBytes(dir, BuildFile({.textCount = count}), list) == FileStatus::Done &&
                list.m_texts.empty());
  }
  // Version 0 has neither panel type nor serial number: type 1, serial 0.
  const FileLayout v0{.tag = "t7lev", .version = 0, .count = 1, .events = {MakeEvent(0x3F20E305u, 5, {9})}};
  ASSERT_EQ(LoadBytes(dir, BuildFile(v0), list), FileStatus::Done);
  EXPECT_EQ(std::tuple(list.m_nPanelType, list.m_nSerNum, list.ConfigNameText(), list[0].B(6)),
            std::tuple(1, 0, std::string("CONF-NAME"), 9));
  // Versions above 1 are read as version 1.
  ASSERT_EQ(LoadBytes(dir, BuildFile({.tag = "t7nev", .version = 7, .panelType = 3}), list),
            FileStatus::Done);
  EXPECT_EQ(std::make_pair(list.m_nPanelType, list.m_nSerNum), std::make_pair(3, 77));
}

TEST(EventFileStore, NothingIsLeftBehindOnSuccessOrFailure) {
  TempDir dir;
  const CT7KEventList list = MakeFullList(5);
  // A name near the longest a folder takes leaves no room for a suffix.
  const std::string longName = dir.File(std::string(241, 'a') + "Жж.t7kev");
  EXPECT_TRUE(StoreEventFile(longName, list).ok && WriteReportFile(longName, list, {}).ok);
  std::filesystem::create_directory(dir.File("sub"));  // in the way of the target
  EXPECT_FALSE(StoreEventFile(dir.File("sub"), list).ok || StoreEventFile(dir.File("none/b.t7kev"), list).ok);
  EXPECT_TRUE(std::filesystem::is_empty(dir.File("sub")));
  EXPECT_EQ(dir.EntryCount(), 2u);  // the long one and sub
  // Before a read-out: whether its target can be created, leaving nothing behind.
  EXPECT_TRUE(CheckCanCreate(dir.File("new.t7kev")).ok);
  EXPECT_FALSE(CheckCanCreate(dir.File("none/new.t7kev")).ok || CheckCanCreate(dir.Path().string()).ok);
  EXPECT_EQ(dir.EntryCount(), 2u);
}

// A store first removes what killed stores of the same target left behind, and nothing else: not another
// file's leftovers, not look-alikes, not the temporary file of a store still running (it holds it locked; on
// Windows, open).
TEST(EventFileStore, LeftoversOfKilledStoresGoWithTheNextStore) {
  TempDir dir;
  const std::string target = dir.File("site.t7kev");
  const std::vector<std::string> stale = {"site.t7kev.0badcafe.tmp", "site.t7kev.12345678.tmp"};
  const std::vector<std::string> others = {
      "site.t7kev.tmp",         "site.t7kev.0badcafg.tmp",  "site.t7kev.0badcafe.tmp.keep",
      "site.t7kev.0badcaf.tmp", "other.t7kev.0badcafe.tmp", "site.txt.0badcafe.tmp",
      "site.t7kev.deadbeef.tmp"};
  for (const auto& name : stale) WriteBytes(dir.File(name), {1});
  for (const auto& name : others) WriteBytes(dir.File(name), {2});
#ifdef _WIN32
  std::FILE* running = _wfopen(Utf8ToWide(dir.File(others.back())).c_str(), L"rb");
#else
  std::FILE* running = std::fopen(dir.File(others.back()).c_str(), "rb");
  ASSERT_TRUE(running && ::flock(::fileno(running), LOCK_EX) == 0);
#endif
  ASSERT_TRUE(running);
  EXPECT_TRUE(StoreEventFile(target, MakeFullList(2)).ok);
  std::fclose(running);
  for (const auto& name : stale) EXPECT_FALSE(std::filesystem::exists(dir.File(name))) << name;
  for (const auto& name : others) EXPECT_TRUE(std::filesystem::exists(dir.File(name))) << name;
  EXPECT_EQ(dir.EntryCount(), others.size() + 1);
}

// After a read-out whose target failed: the recovery file, named by panel and
// time, never replacing an earlier one.
TEST(EventFileStore, RecoveryFileNamedByPanelAndTime) {
  TempDir dir;
#ifdef _WIN32
  SetEnv("LOCALAPPDATA", Utf8Of(dir.Path()).c_str());
  const std::string folder = dir.File("Ormet\\Logwick\\recovered\\");
#else
  SetEnv("XDG_DATA_HOME", dir.Path().c_str());
  const std::string folder = dir.File("Ormet/logwick/recovered/");
#endif
  std::tm tm{
      .tm_sec = 12, .tm_min = 34, .tm_hour = 10, .tm_mday = 15, .tm_mon = 2, .tm_year = 124, .tm_isdst = -1};
  const std::time_t when = std::mktime(&tm);
  CT7KEventList list = MakeFullList(3);
  list.m_nSerNum = 4660;
  const RecoveryOutcome first = StoreRecoveryFile(list, when), second = StoreRecoveryFile(list, when);
  EXPECT_EQ(std::make_pair(first.path, second.path),
            std::make_pair(folder + "4660-20240315-103412.t7kev", folder + "4660-20240315-103412-2.t7kev"));
  for (const RecoveryOutcome& r : {first, second}) {
    CT7KEventList loaded;
    EXPECT_TRUE(r.ok && LoadEventFile(r.path, loaded).status == FileStatus::Done && loaded == list) << r.path;
  }
}

TEST(UserFolders, UserDirsEntryReadsTheFileAsTheShellWould) {
  const std::string home = "/home/инженер";
  const std::pair<const char*, const char*> cases[] = {
      {"XDG_DOCUMENTS_DIR=\"$HOME/Документы\"\n", "/home/инженер/Документы"},
      {"# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", ""},
      {"  XDG_DOCUMENTS_DIR = \"/srv/docs/\"", "/srv/docs"},
      {"XDG_DOCUMENTS_DIR=\"$HOME/\"\n", "/home/инженер"},
      {"XDG_DOCUMENTS_DIR=\"$HOME\"\n", "/home/инженер"},
      {"XDG_DOCUMENTS_DIR=\"$HOMEWORK/x\"\n", ""},
      {"XDG_DOCUMENTS_DIR=\"Documents\"\n", ""},
      {"XDG_DOCUMENTS_DIR=\"$HOME/A\"\nXDG_DOCUMENTS_DIR=\"$HOME/B\"\n", "/home/инженер/B"},
      {"XDG_DOCUMENTS_DIR=\"$HOME/A\"\nXDG_DOCUMENTS_DIR=\"relative\"\n", "/home/инженер/A"},
      {"XDG_DOCUMENTS_DIRS=\"$HOME/A\"\n", ""},
      {"#XDG_DOCUMENTS_DIR=\"$HOME/A\"\n", ""},
      {"XDG_DOCUMENTS_DIR=\"$HOME/Мои \\\"док\\\"\"\r\n", "/home/инженер/Мои \"док\""},
      {"XDG_DOCUMENTS_DIR=\"$HOME/never closed\n", ""},
      {"XDG_DOCUMENTS_DIR=$HOME/unquoted\n", ""},
      {"", ""},
  };
  for (const auto& [text, folder] : cases)
    EXPECT_EQ(UserDirsEntry(text, "XDG_DOCUMENTS_DIR", home), folder) << text;
}

#ifndef _WIN32
// A store that fails on a full disk (files may not grow past 16 KiB), or on a
// write-protected target (writing in place would be refused, so replacing by
// a rename must be too), keeps the old file and leaves nothing else.
TEST(EventFileStore, FailedStoresKeepTheOldFiles) {
  TempDir dir;
  const std::string events = dir.File("old.t7kev"), report = dir.File("old.txt");
  const Bytes oldBytes(1000, 'k');
  const CT7KEventList big = MakeFullList(2000);  // ~33 KB as file or report
  for (const std::string& f : {events, report}) WriteBytes(f, oldBytes);
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  const rlimit lim{16 * 1024, old.rlim_max};
  if (setrlimit(RLIMIT_FSIZE, &lim) != 0) GTEST_SKIP() << "cannot limit file sizes here";
  EXPECT_FALSE(StoreEventFile(events, big).ok || WriteReportFile(report, big, {}).ok);
  setrlimit(RLIMIT_FSIZE, &old);

  for (const std::string& f : {events, report}) ::chmod(f.c_str(), 0444);
  ::chmod(dir.Path().c_str(), 0777);
  // Root may write anything: the stores run as an ordinary user.
  ChildProcess stores([&] { return StoreEventFile(events, big).ok || WriteReportFile(report, big, {}).ok; },
                      {.asOrdinaryUser = true});
  EXPECT_EQ(stores.Wait(), 0);
  for (const std::string& f : {events, report}) EXPECT_EQ(ReadBytes(f), oldBytes) << f;
  EXPECT_EQ(dir.EntryCount(), 2u);
}

TEST(UserFolders, DocumentsFolderFallsBackToHomeOnlyWhenItIsMissing) {
  namespace fs = std::filesystem;
  TempDir dir;
  const std::string home = dir.File("home"), config = dir.File("config");
  fs::create_directories(home);
  fs::create_directories(config);
  ::setenv("HOME", home.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  EXPECT_EQ(DocumentsFolder(), home);  // no file, no ~/Documents
  fs::create_directory(home + "/Documents");
  EXPECT_EQ(DocumentsFolder(), home + "/Documents");  // what the file names by default
  std::ofstream(config + "/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Документы\"\n";
  EXPECT_EQ(DocumentsFolder(), home);  // named, but not there
  fs::create_directory(home + "/Документы");
  EXPECT_EQ(DocumentsFolder(), home + "/Документы");
  ::setenv("XDG_CONFIG_HOME", "relative", 1);  // ignored: ~/.config is read instead
  EXPECT_EQ(DocumentsFolder(), home + "/Documents");
  ::unsetenv("HOME");
  EXPECT_EQ(DocumentsFolder(), "");
}
#endif
