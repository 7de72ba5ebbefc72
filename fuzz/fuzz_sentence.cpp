// Event bytes and message texts through the sentence decoder, the filter and the report. Input: flags (bit 0:
// texts as raw bytes, maybe not UTF-8; else converted from Windows-1251 as a load would), a text count, each
// text as a length byte and bytes, the filter (period flag, from and to as 8 bytes each, six kind flags, beam
// and device ranges), then 16-byte events. Each event gives a non-empty sentence, UTF-8 of the code page when
// the texts are; the report holds 4 header lines and the admitted events; 1251 bytes survive UTF-8.
#include "events/codec.h"
#include "fuzz/fuzz_support.h"
#include "lists/report.h"
#include "lists/report_formats.h"
#include "lists/t7k_ev_filter.h"

namespace {

using logwick::fuzz::Fail;
using logwick::fuzz::Input;

// UTF-8 of characters Windows-1251 has, as reports and the panel side need.
bool InCodePage(std::string_view s) { return logwick::Cp1251ToUtf8(logwick::Utf8ToCp1251(s)) == s; }

CT7KEvFilter ReadFilter(Input& in) {
  const auto i64 = [&in] {  // high half first
    const std::uint64_t hi = in.Uint(4);
    return static_cast<std::int64_t>(hi << 32 | in.Uint(4));
  };
  CT7KEvFilter f;
  f.m_bPeriod = in.U8() & 1, f.m_timeFrom = i64(), f.m_timeTo = i64();
  for (int bit = 0, kinds = in.U8(); std::int32_t * flag : {&f.m_bBeams, &f.m_bUnits, &f.m_bSlaves,
                                                            &f.m_bDevices, &f.m_bMessages, &f.m_bModes})
    *flag = (kinds >> bit++) & 1;
  for (std::uint32_t* limit : {&f.m_nFirstBeam, &f.m_nLastBeam, &f.m_nFirstDev, &f.m_nLastDev})
    *limit = in.U8();
  return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace logwick;
  Input in(data, size);
  const bool rawTexts = in.U8() & 1;

  CT7KEventList list;
  list.m_nPanelType = 1;
  bool textsValid = true;
  for (std::size_t i = 0, count = in.U8(); i < count && !in.Empty(); ++i) {
    const std::vector<std::uint8_t> raw = in.Bytes(in.U8());
    const std::string bytes(raw.begin(), raw.end());
    if (Utf8ToCp1251(Cp1251ToUtf8(bytes)) != bytes) Fail("Windows-1251 bytes changed through UTF-8");
    list.m_texts.push_back(rawTexts ? bytes : Cp1251ToUtf8(bytes));
    textsValid = textsValid && InCodePage(list.m_texts.back());
  }
  const CT7KEvFilter filter = ReadFilter(in);

  std::size_t admitted = 0;
  while (in.Left() >= CT7KEvent::kSize) {
    const CT7KEvent ev(in.Bytes(CT7KEvent::kSize).data());
    const std::string sentence = ev.GetText(list.m_texts);
    if (sentence.empty()) Fail("an event without a sentence");
    if (textsValid && !InCodePage(sentence)) Fail("a sentence outside the code page");
    if (!InCodePage(ev.GetTimeText())) Fail("a time text outside the code page");
    admitted += filter.Accept(ev);
    list.AddTail(ev);
  }

  std::size_t lines = 0;
  ForEachReportLine(
      list, [&](const CT7KEvent& ev) { return filter.Accept(ev); },
      [&](std::string_view line) {
        ++lines;
        if (textsValid && !InCodePage(line)) Fail("a report line outside the code page");
      });
  if (lines != 4 + admitted) Fail("the report and the filter disagree");

  if (std::FILE* sink = std::fopen("/dev/null", "wb")) {
    const ShownRows all(list, {});
    for (const ReportFormatName& f : kReportFormats) WriteReportAs(sink, "/dev/null", list, all, {f.format});
    std::fclose(sink);
  }
  return 0;
}
