// The fuzzer's bytes play the panel through a read-out. Input: flags (bit 0 search, bit 1 ГАЗ mode, bit 2
// the port fails to open), the serial (3 bytes), then per port read a mode byte and its reply. mode & 3:
// 0 silence; 1 a length (2 bytes) and raw bytes; 2 the request echoed, then raw bytes up to the expected
// length; 3 as 1; 2 and 3 make a data frame's checksum good. An exhausted input is silence and Cancel.
// Requests must be well formed; a list, when one is returned, survives a file and the report.
#include "fuzz/fuzz_support.h"
#include "link/frames.h"
#include "link/readout.h"
#include "lists/report.h"
#include "tests/link/test_ports.h"

namespace {

using namespace logwick;
using fuzz::Fail;

class FuzzPanelPort : public IPanelPort {
 public:
  FuzzPanelPort(fuzz::Input& in, std::atomic<bool>& cancel, bool failOpen)
      : m_in(in), m_cancel(cancel), m_failOpen(failOpen) {}

  bool Open(unsigned, unsigned baud, std::uint8_t parity) override {
    if (!((baud == 9600 && parity == 0) || (baud == 1200 && parity == 2))) Fail("unexpected line settings");
    return m_open = !m_failOpen;
  }

  void Write(const std::uint8_t* data, std::size_t length) override {
    if (!m_open) Fail("write to a closed port");
    m_request.assign(data, data + length);
    if (!IsData() && (length == 0 || data[0] != frames::kAddressStart)) Fail("unknown request");
    if (IsData() && !frames::ChecksumOk(data, length)) Fail("request with a bad checksum");
    if (!IsData() && std::any_of(data + 1, data + length, [](int b) { return b > 0x7F; }))
      Fail("addressing byte with bit 7 set");
  }

  void Read(std::uint8_t* buf, std::size_t capacity, std::size_t& count, std::size_t expected) override {
    if (!m_open) Fail("read from a closed port");
    if (expected > capacity) Fail("expects more than it can hold");
    count = 0;
    if (m_in.Empty()) return void(m_cancel = true);  // the user gives up on a silent panel
    const std::uint8_t mode = m_in.U8() & 3;
    if (mode == 0) return;
    std::vector<std::uint8_t> reply;
    if (mode == 2) {
      // Data replies share only the start and command bytes with their request.
      const std::size_t echoed = std::min({m_request.size(), expected, IsData() ? std::size_t{2} : expected});
      reply.assign(m_request.begin(), m_request.begin() + static_cast<std::ptrdiff_t>(echoed));
      const std::vector<std::uint8_t> more = m_in.Bytes(expected - echoed);
      reply.insert(reply.end(), more.begin(), more.end());
    } else {
      reply = m_in.Bytes(std::min<std::size_t>(m_in.Uint(2), capacity));
    }
    if (mode != 1 && !reply.empty() && IsData()) frames::Seal(reply.data(), reply.size());
    count = static_cast<std::size_t>(std::copy(reply.begin(), reply.end(), buf) - buf);
  }

  void Close() override { m_open = false; }
  void Pause(unsigned) override {}

 private:
  bool IsData() const { return !m_request.empty() && m_request[0] == frames::kDataStart; }

  fuzz::Input& m_in;
  std::atomic<bool>& m_cancel;
  bool m_failOpen, m_open = false;
  std::vector<std::uint8_t> m_request;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::uint8_t flags = in.U8();
  const ReadoutSettings settings{
      .autoSerial = (flags & 1) != 0, .selectedSerial = in.Uint(3), .gazMode = (flags & 2) != 0};
  std::atomic<bool> cancel{false};
  FuzzPanelPort port(in, cancel, flags & 4);
  test::RecordingView view;
  ReadoutResult result = RunReadout(settings, port, view, cancel);

  const bool ok = result.status == ReadoutStatus::Ok;
  const std::vector<std::string> warnings = view.Of("warning");
  if (std::ranges::find(warnings, "") != warnings.end()) Fail("a warning without a message");
  if (ok && !warnings.empty()) Fail("a warning on a successful reading");
  CT7KEventList list = fuzz::Sentinel();
  if (!PutReadListInPlace(std::move(result), list)) {
    if (ok) Fail("success without a list");
    return 0;
  }
  if (list.m_nPanelType != 1 && list.m_nPanelType != 2) Fail("a panel type the reader never gives");
  if (list.m_reserved != fuzz::Sentinel().m_reserved) Fail("the reserved block was not kept");
  if (!fuzz::SurvivesAFile(list)) Fail("a list read from a panel changed on its way through a file");
  std::size_t lines = 0;
  ForEachReportLine(list, {}, [&](std::string_view) { ++lines; });
  if (lines != 4 + list.GetCount()) Fail("the report lost events");
  return 0;
}
