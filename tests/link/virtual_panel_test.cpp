// The simulated panel's own side of the line: framing of a byte stream, the
// ring, and the faults it plays on request.
#include <gtest/gtest.h>

#include "link/frames.h"
#include "sim/virtual_panel.h"

using namespace logwick;
using namespace logwick::sim;
namespace fr = logwick::frames;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<Bytes> Feed(VirtualPanel& p, const Bytes& bytes) {
  std::vector<Reply> out;
  p.Receive(bytes.data(), bytes.size(), out);
  std::vector<Bytes> r;
  for (auto& x : out) r.push_back(x.bytes);
  return r;
}

Bytes Assign(std::uint32_t serial) {
  const auto s = fr::PackSerial(serial, fr::kKindAssign);
  return {0x80, s[0], s[1], s[2], s[3], 1};
}

}  // namespace

TEST(VirtualPanel, FramesSplitOrPrecededByNoiseAreStillUnderstood) {
  PanelConfig c;
  c.serial = 0x123456;
  VirtualPanel p(c);
  EXPECT_TRUE(Feed(p, fr::DataFrame({0x81, 0x13})).empty());  // no bus address yet

  Bytes assign = Assign(c.serial);
  EXPECT_TRUE(Feed(p, {0x00, 0x7F, assign[0], assign[1], assign[2]}).empty());
  EXPECT_EQ(Feed(p, {assign[3], assign[4], assign[5]}), (std::vector<Bytes>{assign}));
  EXPECT_EQ(p.BusAddress(), 1);

  Bytes request = fr::DataFrame({0x81, 0x13});
  Bytes damaged = request;
  damaged[2] ^= 1;
  EXPECT_TRUE(Feed(p, damaged).empty());  // a damaged request gets no answer
  const auto replies = Feed(p, request);
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].size(), 9u);
  EXPECT_TRUE(fr::ChecksumOk(replies[0].data(), 9));

  EXPECT_TRUE(Feed(p, Assign(0x123457)).empty());  // another panel's address frame
}

TEST(VirtualPanel, BlocksWrapRoundTheRingOldestFirst) {
  PanelConfig c;
  c.eventCount = 10;
  c.ringPosition = 3;
  c.blockSize = 4;
  VirtualPanel p(c);
  Feed(p, Assign(c.serial));
  Feed(p, fr::DataFrame({0x81, 0x10, 8, 0}));  // slots 8, 9, 0, 1
  const auto r = Feed(p, fr::DataFrame({0x81, 0x11}));
  ASSERT_EQ(r.size(), 1u);
  ASSERT_EQ(r[0].size(), 4u * 16 + 3);
  const auto& ev = p.EventsNewestFirst();
  const std::size_t ages[] = {4, 3, 2, 1};  // newest is slot 2 (age 0)
  for (std::size_t i = 0; i < 4; ++i)
    EXPECT_TRUE(std::equal(ev[ages[i]].Raw().begin(), ev[ages[i]].Raw().end(), r[0].begin() + 2 + 16 * i))
        << i;
}

TEST(VirtualPanel, FaultsOnRequest) {
  PanelConfig c;
  c.notReadyPolls = 2;
  c.faults.badChecksumOn = {2};
  c.faults.silentOn = {Request::Type};
  VirtualPanel p(c);
  const auto first = Feed(p, Assign(c.serial));
  ASSERT_EQ(first.size(), 1u);
  auto s = fr::PackSerial(c.serial, fr::kKindType);
  EXPECT_TRUE(Feed(p, {0x80, s[0], s[1], s[2], s[3]}).empty());
  const auto second = Feed(p, fr::DataFrame({0x81, 0x0F}));
  ASSERT_EQ(second.size(), 1u);
  EXPECT_FALSE(fr::ChecksumOk(second[0].data(), second[0].size()));

  Feed(p, fr::DataFrame({0x81, 0x10, 0, 0}));
  EXPECT_EQ(Feed(p, fr::DataFrame({0x81, 0x11}))[0].size(), 3u);
  EXPECT_EQ(Feed(p, fr::DataFrame({0x81, 0x11}))[0].size(), 3u);
  EXPECT_EQ(Feed(p, fr::DataFrame({0x81, 0x11}))[0].size(), 16u * 16 + 3);
}
