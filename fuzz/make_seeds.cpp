// Usage: logwick-fuzz-seeds FOLDER. Writes the seed corpora there: event_file/ sample files (both versions,
// every tag, 8- and 16-bit texts), readout/ simulator sessions as fuzz_readout plays them, sentence/ the
// sample events that walk through every sentence; where the synchronisation is built, server_row/ sample
// read-outs as a server lists and sends them, archive_blob/ the stored blobs of the sample archive.
#include "events/codec.h"
#include "fuzz/fuzz_support.h"
#include "link/readout.h"
#ifdef LOGWICK_WITH_SYNC
#include "fuzz/archive_sample.h"
#include "history/sqlite_db.h"
#include "sync/server_row.h"
#endif
#include "tests/link/test_ports.h"
#include "tests/lists/list_samples.h"

namespace {

namespace fs = std::filesystem;
using namespace logwick;
using test::Bytes;

void Save(const fs::path& folder, const std::string& name, const Bytes& bytes) {
  fs::create_directories(folder);
  test::WriteBytes(test::Utf8Of(folder / name), bytes);
}

// The tests' sample list of `events` events under panel type `type`.
CT7KEventList Sample(int type, std::size_t events) {
  CT7KEventList l = test::MakeFullList(events);
  l.m_nPanelType = type;
  return l;
}

void EventFileSeeds(const fs::path& out) {
  CT7KEventList longText = Sample(1, 2);
  longText.m_texts[0] = std::string(300, 'x');  // a 16-bit length prefix
  for (const CT7KEventList& l : {Sample(1, 3), Sample(2, 60), Sample(3, 400), CT7KEventList(), longText}) {
    const std::string file = EventFileBytes(l);
    Save(out, "type-" + std::to_string(l.m_nPanelType) + "-" + std::to_string(l.GetCount()),
         Bytes(file.begin(), file.end()));
  }
  // Format version 0 (no panel type nor serial), and a text of 16-bit characters: FF FE FF, length, UTF-16LE.
  Save(out, "version-0",
       test::BuildFile({.tag = "t7lev", .version = 0, .count = 5, .events = GenerateSampleEvents(5, 10)}));
  Bytes wide = {0xFF, 0xFE, 0xFF, 14};
  for (char16_t u : std::u16string_view(u"Пожар в зоне 3")) fuzz::PutUint(wide, u, 2);
  Save(out, "wide-text",
       test::BuildFile(
           {.count = 4, .textCount = 2, .texts = {wide, {1, 'a'}}, .events = GenerateSampleEvents(4, 11)}));
}

// A reading of the simulator answering in-process, its replies recorded as fuzz_readout plays them.
void RecordSession(const fs::path& out, const std::string& name, const sim::PanelConfig& config,
                   bool search) {
  test::ScriptedPort port(config);
  test::RecordingView view;
  std::atomic<bool> cancel{false};
  RunReadout({.autoSerial = search, .selectedSerial = config.serial}, port, view, cancel);
  Bytes session;
  fuzz::PutUint(session, search ? 1 : 0, 1);
  fuzz::PutUint(session, config.serial, 3);
  for (const Bytes& reply : port.answers) {
    fuzz::PutUint(session, reply.empty() ? 0 : 1, 1);
    if (!reply.empty()) fuzz::PutUint(session, static_cast<std::uint32_t>(reply.size()), 2);
    session.insert(session.end(), reply.begin(), reply.end());
  }
  Save(out, name, session);
}

void ReadoutSeeds(const fs::path& out) {
  sim::PanelConfig searched = test::SamplePanel(40, 13, 8), unsupported = searched;
  searched.serial = 0x8A8A8A;  // bits 7, 15 and 23 set
  searched.deviceType = 4, searched.notReadyPolls = 1;
  unsupported.deviceType = 9;
  RecordSession(out, "small", test::SamplePanel(40, 13, 8), false);
  RecordSession(out, "searched", searched, true);
  RecordSession(out, "typical", test::SamplePanel(100, 30, 16), false);
  RecordSession(out, "unsupported", unsupported, false);
}

void SentenceSeeds(const fs::path& out) {
  const std::vector<std::string> texts = SampleMessageTexts(kSampleMessageCount);
  const std::vector<CT7KEvent> events = GenerateSampleEvents(SampleCoverageEventCount() + 64, 3);
  constexpr std::size_t kPerSeed = 48;
  for (std::size_t first = 0, n = 0; first < events.size(); first += kPerSeed, ++n) {
    Bytes seed = {0, static_cast<std::uint8_t>(texts.size())};
    for (const std::string& t : texts) {
      const std::string text = Utf8ToCp1251(t).substr(0, 255);
      seed.push_back(static_cast<std::uint8_t>(text.size()));
      seed.insert(seed.end(), text.begin(), text.end());
    }
    fuzz::PutUint(seed, n % 2, 1);  // period on for every other seed
    for (std::uint32_t v : {0u, 1700000000u, 0u, 1800000000u}) fuzz::PutUint(seed, v, 4);
    for (std::uint32_t v : {n % 3 == 2 ? 0x15u : 0x3Fu, 1u, 64u, 1u, 127u}) fuzz::PutUint(seed, v, 1);
    for (std::size_t i = first; i < events.size() && i < first + kPerSeed; ++i)
      seed.insert(seed.end(), events[i].Raw().begin(), events[i].Raw().end());
    Save(out, "seed-" + std::to_string(n), seed);
  }
}

#ifdef LOGWICK_WITH_SYNC
fuzz::Column BigEndian(std::uint64_t v, int bytes) {
  Bytes out;
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  return out;
}

// A read-out's listing entry and its whole row, as the server sends them.
void ServerRowSeeds(const fs::path& out) {
  const CT7KEventList samples[] = {fuzz::ArchiveSampleReadout(), Sample(2, 3), Sample(3, 60)};
  int n = 0;
  for (const CT7KEventList& l : samples) {
    const Sha256 sha = EventListSha256(l);
    std::vector<fuzz::Column> columns{BigEndian(++n, 8), Bytes(sha.begin(), sha.end())};
    for (std::int32_t v : {l.m_nPanelType, l.m_nSerNum, l.m_nReadYear, l.m_nReadMonth, l.m_nReadDay,
                           l.m_nReadHour, l.m_nReadMin, l.m_nReadSec})
      columns.push_back(BigEndian(static_cast<std::uint32_t>(v), 4));
    columns.push_back(Bytes{'i', 'v', 'a', 'n', 'o', 'v'});
    columns.push_back(BigEndian(l.GetCount() * 16 + 2000, 8));
    for (const ServerColumnBytes& c : EncodeServerRow({l, {"/home/u/visit.t7kev", n == 2}, 1700000000}, sha))
      columns.push_back(c);
    Bytes seed;
    fuzz::PutColumns(seed, columns);
    Save(out, "seed-" + std::to_string(n), seed);
  }
}

// The sample archive's blobs as the harness overwrites them.
void ArchiveBlobSeeds(const fs::path& out) {
  const std::string path = (fs::temp_directory_path() / "logwick-fuzz-seed-archive.sqlite").string();
  fuzz::MakeSampleArchive(path).reset();
  {
    SqliteDb db = SqliteDb::OpenExisting(path);
    SqliteStatement r = db.Prepare(
        "SELECT r.config_name, r.reserved, r.texts, r.chunks, c.events, p.pieces, p.gaps, r.event_count, "
        "p.events, c.id FROM readout r, panel p, chunk c ORDER BY c.id");
    while (r.Step()) {
      Bytes seed;
      for (int i : {7, 8}) fuzz::PutUint(seed, static_cast<std::uint32_t>(r.Int(i)), 4);
      fuzz::PutUint(seed, static_cast<std::uint32_t>(r.Int(9) - 1), 1);
      std::vector<fuzz::Column> blobs;
      for (int i = 0; i < 7; ++i)
        blobs.push_back(r.IsNull(i) ? fuzz::Column() : Bytes(r.Blob(i).begin(), r.Blob(i).end()));
      fuzz::PutColumns(seed, blobs);
      Save(out, "seed-" + std::to_string(r.Int(9)), seed);
    }
  }
  for (const char* end : {"", "-wal", "-shm"}) std::remove((path + end).c_str());
}
#endif

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]), 2;
  EventFileSeeds(fs::path(argv[1]) / "event_file");
  SentenceSeeds(fs::path(argv[1]) / "sentence");
  ReadoutSeeds(fs::path(argv[1]) / "readout");
#ifdef LOGWICK_WITH_SYNC
  ServerRowSeeds(fs::path(argv[1]) / "server_row");
  ArchiveBlobSeeds(fs::path(argv[1]) / "archive_blob");
#endif
  return 0;
}
