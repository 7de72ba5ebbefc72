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

Bytes Sealed(Bytes body) { return fr::DataFrame(body); }

Bytes BlockReply(std::uint8_t blockSize, std::uint8_t fill) {
  Bytes body{0x81, blockSize};
  for (int i = 0; i < blockSize * 16; ++i) body.push_back(static_cast<std::uint8_t>(fill + i));
  return Sealed(body);
}

}  // namespace

TEST(Frames, ChecksumAndSerialPacking) {
  EXPECT_EQ(fr::Checksum(Bytes{0x81, 0x13}.data(), 2), 0x38);
  EXPECT_EQ(fr::DataFrame({0x81, 0x13}), (Bytes{0x81, 0x13, 0x38}));
  const Bytes good = Sealed({0x81, 0x10, 0xE8, 0x03});
  EXPECT_TRUE(fr::ChecksumOk(good.data(), good.size()));
  EXPECT_FALSE(fr::ChecksumOk(good.data(), good.size() - 1));
  EXPECT_FALSE(fr::ChecksumOk(good.data(), 0));

  // Bits 7, 15 and 23 travel in f; the kind sits in bits 3-6.
  EXPECT_EQ(fr::PackSerial(0x80, fr::kKindAssign), (std::array<std::uint8_t, 4>{0, 0, 0, 0x01}));
  EXPECT_EQ(fr::PackSerial(0x80, fr::kKindType), (std::array<std::uint8_t, 4>{0, 0, 0, 0x79}));
  EXPECT_EQ(fr::PackSerial(0x1FFFFFF, 0), (std::array<std::uint8_t, 4>{0x7F, 0x7F, 0x7F, 0x07}));
  for (std::uint32_t s : {0x3u, 0x80u, 0x8000u, 0x800000u, 0x123456u, 0xFFFFFFu, 0xA5C381u}) {
    const auto p = fr::PackSerial(s, fr::kKindType);
    for (auto b : p) EXPECT_LT(b, 0x80);
    EXPECT_EQ(fr::UnpackSerial(p.data()), s);
    EXPECT_EQ(fr::SerialKind(p[3]), fr::kKindType);
  }
}

TEST(Addressing, StartSearchSendsThePreambleThreeTimesWithPauses) {
  ScriptedPort port;
  EXPECT_EQ(StartSearch(port), 0);
  ASSERT_EQ(port.writes.size(), 3u);
  for (const auto& w : port.writes) EXPECT_EQ(w, (Bytes{0x80, 0x01, 0, 0, 0}));
  EXPECT_EQ(port.pauses, (std::vector<unsigned>{100, 100, 100}));
  EXPECT_TRUE(port.reads.empty());
}

TEST(Addressing, FindPanelAcceptsOnlyWellFormedReplies) {
  struct Case {
    Bytes reply;
    std::uint32_t serial;
  };
  const Case cases[] = {
      {{0x80, 0x7F, 0x7F, 0x7F, 0x07}, 0xFFFFFF},
      {{0x80, 0x34, 0x12, 0x00, 0x00}, 0x1234},
      {{0x80, 0x03, 0x00, 0x00, 0x00}, 3},
      {{0x80, 0x02, 0x00, 0x00, 0x00}, 0},        // 0, 1, 2 are never reported
      {{0x80, 0x7F, 0x7F, 0x7F, 0x07, 0x00}, 0},  // six bytes
      {{0x80, 0x7F, 0x7F, 0x7F}, 0},              // four bytes
      {{0x81, 0x34, 0x12, 0x00, 0x00}, 0},        // wrong start byte
      {{0x80, 0x80, 0x12, 0x00, 0x00}, 0},        // bit 7 in a serial byte
      {{0x80, 0x34, 0x12, 0x00, 0x08}, 0},        // f not below 08
      {{}, 0},                                    // silence
  };
  for (const auto& c : cases) {
    ScriptedPort port;
    port.replies.push_back(c.reply);
    EXPECT_EQ(FindPanel(port), c.serial) << ::testing::PrintToString(c.reply);
    ASSERT_EQ(port.writes.size(), 1u);
    EXPECT_EQ(port.writes[0], (Bytes{0x80, 0, 0, 0, 0}));
    EXPECT_EQ(port.reads[0].capacity, 16u);
    EXPECT_EQ(port.reads[0].expected, 5u);
  }
}

TEST(Addressing, SetPanelAddressWantsAnExactEchoAndTriesThreeTimes) {
  const Bytes request{0x80, 0x00, 0x00, 0x00, 0x01, 0x01};  // S = 80: bit 7 travels in f
  ScriptedPort ok;
  ok.replies = {{0x80, 0x00, 0x00, 0x00, 0x01, 0x02}, request};  // a wrong byte, then the echo
  EXPECT_EQ(SetPanelAddress(ok, 0x80, 1), 0);
  EXPECT_EQ(ok.writes, (std::vector<Bytes>{request, request}));
  EXPECT_EQ(ok.reads[0].expected, 6u);

  ScriptedPort failing;
  failing.replies = {{}, Bytes(request.begin(), request.end() - 1), request};
  failing.replies[2].push_back(0);  // seven bytes
  EXPECT_EQ(SetPanelAddress(failing, 0x80, 1), 3);
  EXPECT_EQ(failing.writes.size(), 3u);
}

TEST(Addressing, ReadPanelTypeChecksEchoAndValueBytes) {
  const Bytes request{0x80, 0x00, 0x00, 0x00, 0x79};
  ScriptedPort port;
  port.replies = {{0x80, 0x00, 0x00, 0x00, 0x79, 0x85, 0x00},  // type byte with bit 7
                  {0x80, 0x00, 0x00, 0x00, 0x79, 0x05, 0x11}};
  std::uint8_t type = 0, extra = 0;
  EXPECT_EQ(ReadPanelType(port, 0x80, type, extra), 0);
  EXPECT_EQ(port.writes[0], request);
  EXPECT_EQ(type, 5);
  EXPECT_EQ(extra, 0x11);
  EXPECT_EQ(port.reads[0].expected, 7u);

  ScriptedPort silent;
  EXPECT_EQ(ReadPanelType(silent, 0x80, type, extra), 3);
  EXPECT_EQ(silent.writes.size(), 3u);
}

TEST(DataLayer, TransactRetriesBadRepliesThenGivesUp) {
  // Bad checksum, wrong start byte, silence: three failed attempts.
  ScriptedPort port;
  Bytes badSum = Sealed({0x81, 0x13, 1, 2, 3, 4, 5, 6});
  badSum.back() ^= 1;
  port.replies = {badSum, Sealed({0x80, 0x13, 1, 2, 3, 4, 5, 6}), {}};
  DeviceInfo info;
  EXPECT_EQ(ReadDeviceInfo(port, info), 8);
  ASSERT_EQ(port.writes.size(), 3u);
  EXPECT_EQ(port.writes[0], (Bytes{0x81, 0x13, 0x38}));
  EXPECT_EQ(port.reads[0].capacity, 10u);
  EXPECT_EQ(port.reads[0].expected, 9u);

  // A good reply on the third attempt is taken.
  ScriptedPort third;
  third.replies = {{}, {}, Sealed({0x81, 0x13, 16, 12, 0xDA, 0x07, 2, 7})};
  EXPECT_EQ(ReadDeviceInfo(third, info), 0);
  EXPECT_EQ(info.releaseDay, 16);
  EXPECT_EQ(info.releaseMonth, 12);
  EXPECT_EQ(info.releaseYear, 2010);
  EXPECT_EQ(info.versionMajor, 2);
  EXPECT_EQ(info.versionMinor, 7);
}

TEST(DataLayer, WrongLengthOrCommandFailsAtOnce) {
  ScriptedPort shortReply;
  shortReply.replies = {Sealed({0x81, 0x13, 1, 2, 3, 4, 5})};
  DeviceInfo info;
  EXPECT_EQ(ReadDeviceInfo(shortReply, info), 8);
  EXPECT_EQ(shortReply.writes.size(), 1u);

  ScriptedPort wrongCommand;
  wrongCommand.replies = {Sealed({0x81, 0x14, 1, 2, 3, 4, 5, 6})};
  EXPECT_EQ(ReadDeviceInfo(wrongCommand, info), 8);
  EXPECT_EQ(wrongCommand.writes.size(), 1u);
}

TEST(DataLayer, LogInfoAndConfigInfoDecode) {
  ScriptedPort port;
  port.replies = {{0x81, 0x10, 0xE8, 0x03, 0x2A, 0x01, 0x05, 0xE3, 0x20, 0x3F, 0x02}};
  LogInfo log;
  ASSERT_EQ(ReadLogInfo(port, log), 0);
  EXPECT_EQ(port.writes[0], (Bytes{0x81, 0x0F, 0x24}));
  EXPECT_EQ(log.blockSize, 16);
  EXPECT_EQ(log.eventCount, 1000);
  EXPECT_EQ(log.ringPosition, 298);
  EXPECT_EQ(log.panelClock, 0x3F20E305u);

  Bytes body{0x81, 7};
  for (int i = 0; i < 16; ++i) body.push_back(static_cast<std::uint8_t>(0xC0 + i));
  ScriptedPort config;
  config.replies = {Sealed(body)};
  ConfigInfo info;
  ASSERT_EQ(ReadConfigInfo(config, info), 0);
  EXPECT_EQ(config.reads[0].capacity, 32u);
  EXPECT_EQ(config.reads[0].expected, 19u);
  EXPECT_EQ(info.textCount, 7);
  EXPECT_EQ(static_cast<std::uint8_t>(info.name[0]), 0xC0);
  EXPECT_EQ(static_cast<std::uint8_t>(info.name[15]), 0xCF);
  EXPECT_EQ(info.name[16], '\0');
}

TEST(DataLayer, MessageTextShortReplyIsEmptyText) {
  ScriptedPort port;
  Bytes body{0x81, 0x12};
  for (char c : std::string("Пожар\0\0\0\0\0\0\0\0\0\0\0", 16)) body.push_back(static_cast<std::uint8_t>(c));
  port.replies = {Sealed({0x81, 0x55}), Sealed(body)};
  MessageText text;
  text.fill('x');
  ASSERT_EQ(ReadMessageText(port, 9, text), 0);
  EXPECT_EQ(port.writes[0], (Bytes{0x81, 0x12, 0x09, static_cast<std::uint8_t>(0xAA ^ 0x81 ^ 0x12 ^ 9)}));
  EXPECT_EQ(text[0], '\0');
  ASSERT_EQ(ReadMessageText(port, 0, text), 0);
  EXPECT_EQ(std::string(text.data()), "Пожар");
  EXPECT_EQ(text[16], '\0');

  body[1] = 0x13;  // nineteen bytes with the wrong command byte
  ScriptedPort wrong;
  wrong.replies = {Sealed(body)};
  EXPECT_EQ(ReadMessageText(wrong, 0, text), 8);
  EXPECT_EQ(wrong.writes.size(), 1u);
}

TEST(EventBlock, SelectEchoMustMatchExactly) {
  ScriptedPort port;
  port.replies = {Sealed({0x81, 0x10, 0x2B, 0x01})};  // K = 0x012B, not 0x012A
  std::uint8_t out[64];
  EXPECT_EQ(ReadEventBlock(port, 0x012A, out, 4), 8);
  ASSERT_EQ(port.writes.size(), 1u);  // no fetch
  EXPECT_EQ(port.writes[0], Sealed({0x81, 0x10, 0x2A, 0x01}));
  EXPECT_EQ(port.reads[0].capacity, 8u);
  EXPECT_EQ(port.reads[0].expected, 5u);
}

TEST(EventBlock, PollsWhileNotReadyThenCopiesTheData) {
  ScriptedPort port;
  const Bytes select = Sealed({0x81, 0x10, 0x05, 0x00});
  port.replies = {select, Sealed({0x81, 0x00}), Sealed({0x81, 0x00}), BlockReply(4, 0x10)};
  std::uint8_t out[64] = {};
  ASSERT_EQ(ReadEventBlock(port, 5, out, 4), 0);
  EXPECT_EQ(port.writes.size(), 4u);
  EXPECT_EQ(port.writes[1], (Bytes{0x81, 0x11, 0x3A}));
  EXPECT_EQ(port.reads[1].capacity, 4u * 16 + 8);
  EXPECT_EQ(port.reads[1].expected, 4u * 16 + 3);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(out[i], 0x10 + i);
}

TEST(EventBlock, NeverReadyEndsAfter999Polls) {
  ScriptedPort port;
  port.responder = [](const Bytes& req) {
    return req[1] == 0x10 ? req : Sealed({0x81, 0x00});
  };
  std::uint8_t out[16 * 16];
  EXPECT_EQ(ReadEventBlock(port, 0, out, 16), 2);
  EXPECT_EQ(port.writes.size(), 1u + 999u);
}

TEST(EventBlock, BadFetchChecksumIsAFailedAttemptNotAPoll) {
  ScriptedPort port;
  Bytes bad = BlockReply(2, 0);
  bad.back() ^= 0xFF;
  port.responder = [bad](const Bytes& req) { return req[1] == 0x10 ? req : bad; };
  std::uint8_t out[32];
  EXPECT_EQ(ReadEventBlock(port, 0, out, 2), 8);
  EXPECT_EQ(port.writes.size(), 1u + 3u);
}
