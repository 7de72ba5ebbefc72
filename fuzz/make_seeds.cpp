// Writes the seed corpora of the three harnesses into a folder:
//   event_file/  event files of sample events (both format versions, every
//                tag, texts stored as 8-bit and as 16-bit characters)
//   readout/     whole read-outs recorded from the panel simulator, in the
//                reply format of fuzz_readout
//   sentence/    the sample events that walk through every sentence, with
//                sample message texts, in the format of fuzz_sentence
// Usage: logwick-fuzz-seeds FOLDER
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "events/codec.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/memory_files.h"
#include "link/readout.h"
#include "sim/event_generator.h"
#include "sim/virtual_panel.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using namespace logwick;

void Save(const fs::path& folder, const std::string& name, const Bytes& bytes) {
  fs::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

CT7KEventList SampleList(int panelType, std::size_t events, std::size_t texts, std::uint32_t seed) {
  CT7KEventList l;
  l.m_nPanelType = panelType;
  l.m_nSerNum = static_cast<std::int32_t>(1000 + seed);
  l.m_nReadDay = 15, l.m_nReadMonth = 3, l.m_nReadYear = 2024;
  l.m_nVerMajor = 3, l.m_nVerMinor = 2;
  const std::string name = Utf8ToCp1251("Объект " + std::to_string(seed));
  l.SetConfigNameBytes(name.data(), name.size());
  l.m_texts = SampleMessageTexts(texts);
  for (const CT7KEvent& ev : GenerateSampleEvents(events, seed)) l.AddTail(ev);
  return l;
}

// The same file as format version 0: no panel type and serial number fields.
Bytes AsVersion0(Bytes file) {
  const std::size_t versionAt = 1 + file[0];
  file[versionAt] = 0;
  file.erase(file.begin() + 58, file.begin() + 66);
  return file;
}

// The first text rewritten as 16-bit characters (FF FE FF, length, UTF-16LE).
Bytes WithWideText(const CT7KEventList& list) {
  Bytes file = fuzz::StoreToBytes(list);
  constexpr std::size_t kFirstText = 1107;
  const std::size_t len = file[kFirstText];
  const std::u16string_view text = u"Пожар в зоне 3";
  Bytes wide = {0xFF, 0xFE, 0xFF, static_cast<std::uint8_t>(text.size())};
  for (char16_t u : text) fuzz::PutUint(wide, u, 2);
  file.erase(file.begin() + kFirstText, file.begin() + kFirstText + 1 + len);
  file.insert(file.begin() + kFirstText, wide.begin(), wide.end());
  return file;
}

void EventFileSeeds(const fs::path& out) {
  int n = 0;
  auto save = [&](const Bytes& b) { Save(out, "seed-" + std::to_string(n++), b); };
  for (int type = 1; type <= 3; ++type) save(fuzz::StoreToBytes(SampleList(type, 3, 2, type)));
  save(fuzz::StoreToBytes(SampleList(1, 0, 0, 7)));
  save(fuzz::StoreToBytes(SampleList(1, 60, 16, 8)));
  save(fuzz::StoreToBytes(SampleList(2, 400, 40, 9)));
  save(AsVersion0(fuzz::StoreToBytes(SampleList(2, 5, 3, 10))));
  save(WithWideText(SampleList(1, 4, 2, 11)));
  CT7KEventList longText = SampleList(1, 2, 1, 12);
  longText.m_texts[0] = std::string(300, 'x');  // a 16-bit length prefix
  save(fuzz::StoreToBytes(longText));
}

// The simulator answering in-process; every reply the reader receives is
// recorded as fuzz_readout plays it.
class RecordingPort : public IPanelPort {
 public:
  RecordingPort(const sim::PanelConfig& config, Bytes& out) : m_panel(config), m_out(out) {}
  bool Open(unsigned, unsigned, std::uint8_t) override { return true; }
  void Write(const std::uint8_t* data, std::size_t length) override {
    std::vector<sim::Reply> replies;
    m_panel.Receive(data, length, replies);
    m_pending.clear();
    for (const sim::Reply& r : replies) m_pending.insert(m_pending.end(), r.bytes.begin(), r.bytes.end());
  }
  void Read(std::uint8_t* buf, std::size_t capacity, std::size_t& count, std::size_t) override {
    count = std::min(capacity, m_pending.size());
    std::copy_n(m_pending.begin(), count, buf);
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(count));
    fuzz::PutUint(m_out, count ? 1 : 0, 1);
    if (count) fuzz::PutUint(m_out, static_cast<std::uint32_t>(count), 2);
    m_out.insert(m_out.end(), buf, buf + count);
  }
  void Close() override {}
  void Pause(unsigned) override {}

 private:
  sim::VirtualPanel m_panel;
  Bytes& m_out;
  Bytes m_pending;
};

void RecordSession(const fs::path& out, const std::string& name, const sim::PanelConfig& config, bool search) {
  Bytes session;
  fuzz::PutUint(session, search ? 1 : 0, 1);
  fuzz::PutUint(session, config.serial, 3);
  RecordingPort port(config, session);
  fuzz::QuietView view;
  std::atomic<bool> cancel{false};
  CT7KEventList list;
  std::uint32_t serial = 0;
  ReadoutParams params;
  params.autoSerial = search;
  params.selectedSerial = config.serial;
  const int rc = RunReadout(params, port, view, cancel, list, serial);
  Save(out, name, session);
  std::printf("  %s: %zu bytes, %zu events, result %d\n", name.c_str(), session.size(), list.GetCount(), rc);
}

void ReadoutSeeds(const fs::path& out) {
  sim::PanelConfig small;
  small.eventCount = 40;
  small.blockSize = 8;
  small.ringPosition = 13;
  small.texts = {"Пожар склад 1", "Тревога цех 2", ""};
  RecordSession(out, "small", small, false);

  sim::PanelConfig searched = small;
  searched.deviceType = 4;
  searched.notReadyPolls = 1;
  searched.serial = 0x8A8A8A;  // bits 7, 15 and 23 set
  RecordSession(out, "searched", searched, true);

  sim::PanelConfig typical;
  typical.eventCount = 100;
  typical.blockSize = 16;
  typical.texts = SampleMessageTexts(6);
  RecordSession(out, "typical", typical, false);

  sim::PanelConfig unsupported = small;
  unsupported.deviceType = 9;
  RecordSession(out, "unsupported", unsupported, false);
}

void SentenceSeeds(const fs::path& out) {
  const std::vector<std::string> texts = SampleMessageTexts(kSampleMessageCount);
  const std::vector<CT7KEvent> events = GenerateSampleEvents(SampleCoverageEventCount() + 64, 3);
  constexpr std::size_t kPerSeed = 48;
  for (std::size_t first = 0, n = 0; first < events.size(); first += kPerSeed, ++n) {
    Bytes seed;
    fuzz::PutUint(seed, 0, 1);
    fuzz::PutUint(seed, static_cast<std::uint32_t>(texts.size()), 1);
    for (const std::string& t : texts) fuzz::PutShortString(seed, Utf8ToCp1251(t));
    fuzz::PutUint(seed, n % 2, 1);  // period on for every other seed
    for (std::uint32_t v : {0u, 1700000000u, 0u, 1800000000u}) fuzz::PutUint(seed, v, 4);
    fuzz::PutUint(seed, n % 3 == 2 ? 0x15 : 0x3F, 1);
    for (std::uint32_t v : {1u, 64u, 1u, 127u}) fuzz::PutUint(seed, v, 1);
    for (std::size_t i = first; i < events.size() && i < first + kPerSeed; ++i)
      seed.insert(seed.end(), events[i].Raw().begin(), events[i].Raw().end());
    Save(out, "seed-" + std::to_string(n), seed);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const fs::path out = argv[1];
  EventFileSeeds(out / "event_file");
  SentenceSeeds(out / "sentence");
  std::printf("recorded simulator sessions:\n");
  ReadoutSeeds(out / "readout");
  return 0;
}
