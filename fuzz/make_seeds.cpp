// Writes the seed corpora of the three harnesses into a folder:
//   event_file/  event files of sample events (both format versions, every
//                tag, texts stored as 8-bit and as 16-bit characters)
//   readout/     whole read-outs recorded from the panel simulator on a
//                pseudo-terminal, in the reply format of fuzz_readout
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
#include "link/comm_port.h"
#include "link/readout.h"
#include "sim/event_generator.h"
#include "sim/pty_panel.h"

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
  l.m_nReadDay = 15;
  l.m_nReadMonth = 3;
  l.m_nReadYear = 2024;
  l.m_nVerMajor = 3;
  l.m_nVerMinor = 2;
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

// UTF-16 code units of UTF-8 text (the sample texts stay in the BMP).
std::vector<char16_t> Utf16Of(const std::string& utf8) {
  std::vector<char16_t> out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    std::uint32_t cp = n == 1 ? c : c & (0x7F >> n);
    for (std::size_t k = 1; k < n && i + k < utf8.size(); ++k)
      cp = cp << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    out.push_back(static_cast<char16_t>(cp));
    i += n;
  }
  return out;
}

// The first text rewritten as 16-bit characters (FF FE FF, length, UTF-16LE).
Bytes WithWideText(const CT7KEventList& list) {
  Bytes file = fuzz::StoreToBytes(list);
  constexpr std::size_t kFirstText = 1107;
  const std::size_t len = file[kFirstText];
  const std::vector<char16_t> units = Utf16Of(list.m_texts.at(0));
  Bytes wide = {0xFF, 0xFE, 0xFF, static_cast<std::uint8_t>(units.size())};
  for (char16_t u : units) {
    wide.push_back(static_cast<std::uint8_t>(u));
    wide.push_back(static_cast<std::uint8_t>(u >> 8));
  }
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

// Records every reply the reader receives, as fuzz_readout plays them.
class RecordingPort : public IPanelPort {
 public:
  RecordingPort(IPanelPort& inner, Bytes& out) : m_inner(inner), m_out(out) {}
  bool Open(unsigned n, unsigned baud, std::uint8_t parity) override {
    return m_inner.Open(n, baud, parity);
  }
  void Write(const std::uint8_t* d, std::size_t n) override { m_inner.Write(d, n); }
  void Read(std::uint8_t* buf, std::size_t capacity, std::size_t& count,
            std::size_t expected) override {
    m_inner.Read(buf, capacity, count, expected);
    if (count == 0) {
      fuzz::PutU8(m_out, 0);
      return;
    }
    fuzz::PutU8(m_out, 1);
    fuzz::PutU16(m_out, static_cast<std::uint32_t>(count));
    m_out.insert(m_out.end(), buf, buf + count);
  }
  void Close() override { m_inner.Close(); }
  void Pause(unsigned) override {}

 private:
  IPanelPort& m_inner;
  Bytes& m_out;
};

class NoView : public IReadoutView {
 public:
  void SetStatus(const std::string&) override {}
  void SetVersionLine(const std::string&) override {}
  void SetCountLine(const std::string&) override {}
  void SetEventLine(const std::string&) override {}
  void ShowReadingLabel() override {}
  void SetButtonText(const std::string&) override {}
  void SetProgressRange(int, int) override {}
  void SetProgressPos(int) override {}
  void ShowWarning(const std::string&) override {}  // the result code is printed instead
};

bool RecordSession(const fs::path& out, const std::string& name, sim::PanelConfig config,
                   bool search) {
  sim::PtyPanel panel(config);
  std::string error;
  if (!panel.Open(error)) {
    std::fprintf(stderr, "seeds: no pseudo-terminal: %s\n", error.c_str());
    return false;
  }
  panel.Start();
  Bytes session;
  fuzz::PutU8(session, search ? 1 : 0);
  fuzz::PutU24(session, config.serial);
  CCommPort comm;
  comm.BindDevice(panel.DevicePath());
  RecordingPort port(comm, session);
  NoView view;
  std::atomic<bool> cancel{false};
  CT7KEventList list;
  std::uint32_t serial = 0;
  ReadoutParams params;
  params.autoSerial = search;
  params.selectedSerial = config.serial;
  const int rc = RunReadout(params, port, view, cancel, list, serial);
  panel.Stop();
  Save(out, name, session);
  std::printf("  %s: %zu bytes, %zu events, result %d\n", name.c_str(), session.size(),
              list.GetCount(), rc);
  return true;
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
    fuzz::PutU8(seed, 0);
    fuzz::PutU8(seed, static_cast<std::uint32_t>(texts.size()));
    for (const std::string& t : texts) fuzz::PutShortString(seed, Utf8ToCp1251(t));
    fuzz::PutU8(seed, n % 2);  // period on for every other seed
    fuzz::PutU32(seed, 0);
    fuzz::PutU32(seed, 1700000000u);
    fuzz::PutU32(seed, 0);
    fuzz::PutU32(seed, 1800000000u);
    fuzz::PutU8(seed, n % 3 == 2 ? 0x15 : 0x3F);
    for (std::uint32_t v : {1u, 64u, 1u, 127u}) fuzz::PutU8(seed, v);
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
  std::printf("recording simulator sessions:\n");
  ReadoutSeeds(out / "readout");
  return 0;
}
