#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "events/t7k_event.h"

namespace {

// Just enough of an archive for an event: a byte vector, little-endian.
struct EndOfFile : std::runtime_error {
  EndOfFile() : std::runtime_error("end of file") {}
};

class FakeArchive {
 public:
  explicit FakeArchive(bool storing, std::vector<std::uint8_t> bytes = {})
      : m_storing(storing), m_bytes(std::move(bytes)) {}
  bool IsStoring() const { return m_storing; }
  void Write(const void* p, std::size_t n) {
    auto b = static_cast<const std::uint8_t*>(p);
    m_bytes.insert(m_bytes.end(), b, b + n);
  }
  void WriteU16(std::uint16_t v) { WriteLE(v, 2); }
  void WriteU32(std::uint32_t v) { WriteLE(v, 4); }
  std::size_t Read(void* p, std::size_t n) {
    n = std::min(n, m_bytes.size() - m_pos);
    std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos), n, static_cast<std::uint8_t*>(p));
    m_pos += n;
    return n;
  }
  std::uint16_t ReadU16() { return static_cast<std::uint16_t>(ReadLE(2)); }
  std::uint32_t ReadU32() { return ReadLE(4); }
  [[noreturn]] void ThrowEndOfFile() { throw EndOfFile(); }
  const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

 private:
  void WriteLE(std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) m_bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  std::uint32_t ReadLE(int n) {
    std::uint8_t b[4] = {};
    if (Read(b, static_cast<std::size_t>(n)) != static_cast<std::size_t>(n)) ThrowEndOfFile();
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
  }
  bool m_storing;
  std::vector<std::uint8_t> m_bytes;
  std::size_t m_pos = 0;
};

CT7KEvent WithStamp(std::uint32_t stamp) {
  CT7KEvent ev;
  ev.SetTimeStamp(stamp);
  return ev;
}

}  // namespace

TEST(EventRecord, TimeText) {
  EXPECT_EQ(CT7KEvent().GetTimeText(), "00/00/2000 00:00:00");
  EXPECT_EQ(WithStamp(0xFFFFFFFFu).GetTimeText(), "31/15/2063 31:63:63");
  const std::uint8_t raw[16] = {0x05, 0xE3, 0x20, 0x3F};
  EXPECT_EQ(CT7KEvent(raw).GetTimeText(), "16/12/2015 14:12:05");
  EXPECT_EQ(PackTimeStamp(2015, 12, 16, 14, 12, 5), 0x3F20E305u);
}

TEST(EventRecord, DatePartIsTheSameAllDay) {
  EXPECT_EQ(0x3F20E305u & CT7KEvent::kDateMask, 0x3F200000u);
  EXPECT_EQ(PackTimeStamp(2015, 12, 16, 0, 0, 0) & CT7KEvent::kDateMask, 0x3F200000u);
  EXPECT_EQ(PackTimeStamp(2015, 12, 16, 23, 59, 59) & CT7KEvent::kDateMask, 0x3F200000u);
  EXPECT_LT(PackTimeStamp(2015, 12, 16, 23, 59, 59), PackTimeStamp(2015, 12, 17, 0, 0, 0));
}

TEST(EventRecord, StoredFormIsTheRawRecord) {
  std::uint8_t raw[16];
  for (int i = 0; i < 16; ++i) raw[i] = static_cast<std::uint8_t>(0xF0 - 7 * i);
  const CT7KEvent original(raw);
  FakeArchive out(true);
  CT7KEvent(original).Serialize(out);
  EXPECT_EQ(out.Bytes(), std::vector<std::uint8_t>(raw, raw + 16));

  FakeArchive in(false, out.Bytes());
  CT7KEvent loaded;
  loaded.Serialize(in);
  EXPECT_EQ(loaded, original);
}

TEST(EventRecord, LoadingACutRecordThrowsAndKeepsWhatWasRead) {
  std::vector<std::uint8_t> bytes = {0x05, 0xE3, 0x20, 0x3F, 0x02, 0x00};
  bytes.resize(15, 0xAA);
  FakeArchive in(false, bytes);
  CT7KEvent ev;
  EXPECT_THROW(ev.Serialize(in), EndOfFile);
  EXPECT_EQ(ev.TimeStamp(), 0x3F20E305u);
  EXPECT_EQ(ev.Code(), 2);

  FakeArchive tooShortForTheCode(false, {1, 2, 3, 4, 5});
  EXPECT_THROW(CT7KEvent().Serialize(tooShortForTheCode), EndOfFile);
}
