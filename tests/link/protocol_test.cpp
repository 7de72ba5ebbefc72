// The panel protocol against a scripted line: frame bytes, checks, retries and
// result codes.
#include <gtest/gtest.h>

#include "link/frames.h"
#include "link/protocol.h"
#include "tests/link/test_ports.h"

using namespace logwick;
using namespace logwick::test;
namespace fr = logwick::frames;

namespace {

Bytes Sealed(const Bytes& body) { return fr::DataFrame(body); }

Bytes BlockReply(std::uint8_t blockSize) {
  Bytes body{0x81, blockSize};
  for (int i = 0; i < blockSize * 16; ++i) body.push_back(static_cast<std::uint8_t>(0x10 + i));
  return Sealed(body);
}

}  // namespace

TEST(Frames, ChecksumAndSerialPacking) {
  EXPECT_EQ(fr::DataFrame({0x81, 0x13}), (Bytes{0x81, 0x13, 0x38}));
  const Bytes good = Sealed({0x81, 0x10, 0xE8, 0x03});
  EXPECT_TRUE(fr::ChecksumOk(good.data(), good.size()));
  EXPECT_FALSE(fr::ChecksumOk(good.data(), good.size() - 1));
  // Bits 24 and up are never sent; bits 7, 15 and 23 travel in f.
  EXPECT_EQ(fr::PackSerial(0x1FFFFFF, 0), (std::array<std::uint8_t, 4>{0x7F, 0x7F, 0x7F, 0x07}));
  for (std::uint32_t s : {0x80u, 0x8000u, 0x800000u, 0xA5C381u}) {
    const auto p = fr::PackSerial(s, fr::kKindType);
    for (auto b : p) EXPECT_LT(b, 0x80);
    EXPECT_EQ(fr::UnpackSerial(p.data()), s);
  }
}

TEST(Addressing, SearchAndDiscovery) {
  ScriptedPort search;
  EXPECT_EQ(StartSearch(search), 0);
  EXPECT_EQ(search.writes, std::vector<Bytes>(3, Bytes{0x80, 0x01, 0, 0, 0}));
  EXPECT_EQ(search.pauses, (std::vector<unsigned>{100, 100, 100}));
  EXPECT_TRUE(search.reads.empty());

  const std::pair<Bytes, std::uint32_t> cases[] = {
      {{0x80, 0x7F, 0x7F, 0x7F, 0x07}, 0xFFFFFF},
      {{0x80, 0x03, 0x00, 0x00, 0x00}, 3},
      {{0x80, 0x02, 0x00, 0x00, 0x00}, 0},        // 0, 1, 2 are never reported
      {{0x80, 0x7F, 0x7F, 0x7F, 0x07, 0x00}, 0},  // six bytes
      {{0x81, 0x34, 0x12, 0x00, 0x00}, 0},        // wrong start byte
      {{0x80, 0x34, 0x12, 0x80, 0x00}, 0},        // bit 7 in a serial byte
      {{0x80, 0x34, 0x12, 0x00, 0x08}, 0},        // f not below 08
      {{}, 0},
  };
  for (const auto& [reply, serial] : cases) {
    ScriptedPort port;
    port.replies = {reply};
    EXPECT_EQ(FindPanel(port), serial) << ::testing::PrintToString(reply);
    EXPECT_EQ(port.writes, (std::vector<Bytes>{{0x80, 0, 0, 0, 0}}));
    EXPECT_EQ(port.reads[0].capacity, 16u);
    EXPECT_EQ(port.reads[0].expected, 5u);
  }
}

TEST(Addressing, AddressAndTypeWantExactEchoesWithinThreeAttempts) {
  const Bytes assign{0x80, 0x00, 0x00, 0x00, 0x01, 0x01};  // S = 80: bit 7 travels in f
  ScriptedPort ok;
  ok.replies = {{0x80, 0x00, 0x00, 0x00, 0x01, 0x02}, assign};
  EXPECT_EQ(SetPanelAddress(ok, 0x80, 1), 0);
  EXPECT_EQ(ok.writes, (std::vector<Bytes>{assign, assign}));
  EXPECT_EQ(ok.reads[0].expected, 6u);
  ScriptedPort failing;
  failing.replies = {{}, Bytes(assign.begin(), assign.end() - 1), assign};
  failing.replies[2].push_back(0);  // seven bytes
  EXPECT_EQ(SetPanelAddress(failing, 0x80, 1), 3);
  EXPECT_EQ(failing.writes.size(), 3u);

  ScriptedPort type;
  type.replies = {{0x80, 0x00, 0x00, 0x00, 0x79, 0x85, 0x00},  // type byte with bit 7
                  {0x80, 0x00, 0x00, 0x00, 0x79, 0x05, 0x11}};
  std::uint8_t t = 0, extra = 0;
  EXPECT_EQ(ReadPanelType(type, 0x80, t, extra), 0);
  EXPECT_EQ(type.writes[0], (Bytes{0x80, 0x00, 0x00, 0x00, 0x79}));
  EXPECT_EQ(type.reads[0].expected, 7u);
  EXPECT_EQ(t, 5);
  EXPECT_EQ(extra, 0x11);
  ScriptedPort silent;
  EXPECT_EQ(ReadPanelType(silent, 0x80, t, extra), 3);
  EXPECT_EQ(silent.writes.size(), 3u);
}

TEST(DataLayer, TransactRetriesBadRepliesButNotWrongLengths) {
  Bytes badSum = Sealed({0x81, 0x13, 1, 2, 3, 4, 5, 6});
  badSum.back() ^= 1;
  const Bytes good = Sealed({0x81, 0x13, 16, 12, 0xDA, 0x07, 2, 7});
  ScriptedPort third;  // bad checksum, wrong start byte, then a good reply
  third.replies = {badSum, Sealed({0x80, 0x13, 1, 2, 3, 4, 5, 6}), good};
  DeviceInfo info;
  ASSERT_EQ(ReadDeviceInfo(third, info), 0);
  EXPECT_EQ(third.writes, std::vector<Bytes>(3, Bytes{0x81, 0x13, 0x38}));
  EXPECT_EQ(third.reads[0].capacity, 10u);
  EXPECT_EQ(third.reads[0].expected, 9u);
  EXPECT_EQ(info.releaseDay, 16);
  EXPECT_EQ(info.releaseMonth, 12);
  EXPECT_EQ(info.releaseYear, 2010);
  EXPECT_EQ(info.versionMajor, 2);
  EXPECT_EQ(info.versionMinor, 7);

  ScriptedPort silent;
  EXPECT_EQ(ReadDeviceInfo(silent, info), 8);
  EXPECT_EQ(silent.writes.size(), 3u);

  // A sound frame of the wrong length or command fails at once.
  for (const Bytes& reply : {Sealed({0x81, 0x13, 1, 2, 3, 4, 5}), Sealed({0x81, 0x14, 1, 2, 3, 4, 5, 6})}) {
    ScriptedPort port;
    port.replies = {reply};
    EXPECT_EQ(ReadDeviceInfo(port, info), 8);
    EXPECT_EQ(port.writes.size(), 1u);
  }
}

TEST(DataLayer, LogConfigAndTextRepliesDecode) {
  ScriptedPort log;
  log.replies = {{0x81, 0x10, 0xE8, 0x03, 0x2A, 0x01, 0x05, 0xE3, 0x20, 0x3F, 0x02}};
  LogInfo li;
  ASSERT_EQ(ReadLogInfo(log, li), 0);
  EXPECT_EQ(log.writes[0], (Bytes{0x81, 0x0F, 0x24}));
  EXPECT_EQ(li.blockSize, 16);
  EXPECT_EQ(li.eventCount, 1000);
  EXPECT_EQ(li.ringPosition, 298);
  EXPECT_EQ(li.panelClock, 0x3F20E305u);

  Bytes body{0x81, 7};
  for (int i = 0; i < 16; ++i) body.push_back(static_cast<std::uint8_t>(0xC0 + i));
  ScriptedPort config;
  config.replies = {Sealed(body)};
  ConfigInfo ci;
  ASSERT_EQ(ReadConfigInfo(config, ci), 0);
  EXPECT_EQ(config.reads[0].capacity, 32u);
  EXPECT_EQ(config.reads[0].expected, 19u);
  EXPECT_EQ(ci.textCount, 7);
  EXPECT_EQ(static_cast<std::uint8_t>(ci.name[15]), 0xCF);
  EXPECT_EQ(ci.name[16], '\0');

  // Texts: the short reply is an empty text; nineteen bytes need command 12.
  body[1] = 0x12;
  ScriptedPort text;
  text.replies = {Sealed({0x81, 0x55}), Sealed(body)};
  MessageText t;
  t.fill('x');
  ASSERT_EQ(ReadMessageText(text, 9, t), 0);
  EXPECT_EQ(text.writes[0], (Bytes{0x81, 0x12, 0x09, 0xAA ^ 0x81 ^ 0x12 ^ 9}));
  EXPECT_EQ(t[0], '\0');
  ASSERT_EQ(ReadMessageText(text, 0, t), 0);
  EXPECT_EQ(static_cast<std::uint8_t>(t[15]), 0xCF);
  EXPECT_EQ(t[16], '\0');
  body[1] = 0x13;
  ScriptedPort wrong;
  wrong.replies = {Sealed(body)};
  EXPECT_EQ(ReadMessageText(wrong, 0, t), 8);
  EXPECT_EQ(wrong.writes.size(), 1u);
}

TEST(EventBlock, SelectEchoNotReadyPollsAndFailures) {
  ScriptedPort wrongEcho;
  wrongEcho.replies = {Sealed({0x81, 0x10, 0x2B, 0x01})};  // K = 0x012B, not 0x012A
  std::uint8_t out[16 * 16] = {};
  EXPECT_EQ(ReadEventBlock(wrongEcho, 0x012A, out, 4), 8);
  EXPECT_EQ(wrongEcho.writes, (std::vector<Bytes>{Sealed({0x81, 0x10, 0x2A, 0x01})}));  // no fetch
  EXPECT_EQ(wrongEcho.reads[0].capacity, 8u);
  EXPECT_EQ(wrongEcho.reads[0].expected, 5u);

  ScriptedPort port;
  port.replies = {Sealed({0x81, 0x10, 0x05, 0x00}), Sealed({0x81, 0x00}), Sealed({0x81, 0x00}),
                  BlockReply(4)};
  ASSERT_EQ(ReadEventBlock(port, 5, out, 4), 0);
  EXPECT_EQ(port.writes.size(), 4u);
  EXPECT_EQ(port.writes[3], (Bytes{0x81, 0x11, 0x3A}));
  EXPECT_EQ(port.reads[1].capacity, 4u * 16 + 8);
  EXPECT_EQ(port.reads[1].expected, 4u * 16 + 3);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(out[i], 0x10 + i);

  // A panel that stays "not ready": 999 fetches, then 2. A damaged block is a
  // failed attempt, not a poll: three of them end the reading with 8.
  ScriptedPort never;
  never.responder = [](const Bytes& req) { return req[1] == 0x10 ? req : Sealed({0x81, 0x00}); };
  EXPECT_EQ(ReadEventBlock(never, 0, out, 16), 2);
  EXPECT_EQ(never.writes.size(), 1u + 999u);
  Bytes bad = BlockReply(2);
  bad.back() ^= 0xFF;
  ScriptedPort damaged;
  damaged.responder = [bad](const Bytes& req) { return req[1] == 0x10 ? req : bad; };
  EXPECT_EQ(ReadEventBlock(damaged, 0, out, 2), 8);
  EXPECT_EQ(damaged.writes.size(), 1u + 3u);
}
