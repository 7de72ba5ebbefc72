// The list's digest: the SHA-256 of exactly the bytes a stored event file holds.
#include "lists/list_digest.h"

#include <gtest/gtest.h>

#include "lists/event_file.h"
#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;

TEST(ListDigest, KnownVectors) {
  EXPECT_EQ(HexOf(Sha256Of("", 0)), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(HexOf(Sha256Of("abc", 3)), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(ListDigest, IsTheDigestOfTheStoredFile) {
  TempDir dir;
  const CT7KEventList list = MakeFullList(5000);
  ASSERT_TRUE(StoreEventFile(dir.File("a.t7kev"), list).ok);
  const Bytes file = ReadBytes(dir.File("a.t7kev"));
  EXPECT_EQ(EventFileBytes(list), std::string(file.begin(), file.end()));
  EXPECT_EQ(EventListSha256(list), Sha256Of(file.data(), file.size()));

  CT7KEventList other = list;
  other.m_reserved[1000] ^= 1;  // even the never-read block counts
  EXPECT_NE(EventListSha256(other), EventListSha256(list));
}
