// The simulated panel's own side of the line: framing of a byte stream and the
// faults the read-out tests do not already play.
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

TEST(VirtualPanel, FramesSplitOrAmidNoiseAndDamagedReplies) {
  PanelConfig c;
  c.serial = 0x123456;
  c.faults.badChecksumOn = {3};
  VirtualPanel p(c);
  const Bytes info = fr::DataFrame({0x81, 0x13});
  EXPECT_TRUE(Feed(p, info).empty());  // no bus address yet
  EXPECT_TRUE(Feed(p, Assign(0x123457)).empty());  // another panel's address frame

  const Bytes assign = Assign(c.serial);
  EXPECT_TRUE(Feed(p, {0x00, 0x7F, assign[0], assign[1], assign[2]}).empty());
  EXPECT_EQ(Feed(p, {assign[3], assign[4], assign[5]}), (std::vector<Bytes>{assign}));

  Bytes damaged = info;
  damaged[2] ^= 1;
  EXPECT_TRUE(Feed(p, damaged).empty());  // a damaged request gets no answer
  for (bool good : {true, false}) {       // replies 2 and 3; the third is damaged
    const auto replies = Feed(p, info);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].size(), 9u);
    EXPECT_EQ(fr::ChecksumOk(replies[0].data(), 9), good);
  }
}
