// An archive whose stored read-out and chunk blobs are the fuzzer's bytes (as
// a damaged disk or another program could leave them): every way of reading
// it either gives what was stored, checked against its SHA-256, or refuses
// with ArchiveError; nothing crashes, and nothing asks for more memory than
// the file could hold.
#include <unistd.h>

#include "fuzz/archive_sample.h"
#include "fuzz/row_columns.h"
#include "history/sqlite_db.h"

namespace {

using namespace logwick;

struct Setup {
  std::string path = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                     "/logwick-fuzz-archive-" + std::to_string(getpid()) + ".sqlite";
  std::unique_ptr<HistoryArchive> archive = fuzz::MakeSampleArchive(path);
  SqliteDb db = SqliteDb::OpenExisting(path);
  std::int64_t chunks = 0;
  Setup() {
    SqliteStatement st = db.Prepare("SELECT count(*) FROM chunk");
    st.Step();
    chunks = st.Int(0);
  }
  ~Setup() {
    archive.reset();
    for (const char* end : {"", "-wal", "-shm"}) std::remove((path + end).c_str());
  }
};

// Overwrites the blobs; false when the database refuses them (a NULL where
// none may be).
bool Store(Setup& s, const std::vector<fuzz::Column>& blobs, std::uint32_t eventCount,
           std::uint32_t panelEvents, std::int64_t chunk) {
  try {
    SqliteTransaction tx(s.db);
    auto bind = [](SqliteStatement& st, int i, const fuzz::Column& c) {
      if (c)
        st.BindBlob(i, *c);
      else
        st.BindNull(i);
    };
    SqliteStatement readout = s.db.Prepare(
        "UPDATE readout SET config_name = ?1, reserved = ?2, texts = ?3, chunks = ?4, event_count = ?5");
    for (int i = 0; i < 4; ++i) bind(readout, i + 1, blobs[static_cast<std::size_t>(i)]);
    readout.Bind(5, static_cast<std::int64_t>(eventCount)).Run();
    SqliteStatement events = s.db.Prepare("UPDATE chunk SET events = ?1 WHERE id = ?2");
    bind(events, 1, blobs[4]);
    events.Bind(2, chunk).Run();
    SqliteStatement panel = s.db.Prepare("UPDATE panel SET pieces = ?1, gaps = ?2, events = ?3");
    bind(panel, 1, blobs[5]);
    bind(panel, 2, blobs[6]);
    panel.Bind(3, static_cast<std::int64_t>(panelEvents)).Run();
    tx.Commit();
    return true;
  } catch (const SqliteError&) {
    return false;
  }
}

template <class F>
void Refused(F&& f) {
  try {
    f();
  } catch (const ArchiveError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Setup setup;
  fuzz::Input in(data, size);
  const std::uint32_t eventCount = in.Uint(4);
  const std::uint32_t panelEvents = in.Uint(4);
  const std::int64_t chunk = 1 + in.U8() % std::max<std::int64_t>(setup.chunks, 1);
  const std::vector<fuzz::Column> blobs = fuzz::ReadColumns(in, std::size(fuzz::kArchiveBlobs));
  if (!Store(setup, blobs, eventCount, panelEvents, chunk)) return 0;

  HistoryArchive& a = *setup.archive;
  Refused([&] {
    if (const std::optional<CT7KEventList> l = a.Readout(1)) {
      const std::optional<ReadoutInfo> info = a.ReadoutInfoOf(1);
      if (!info || HexOf(EventListSha256(*l)) != info->sha256) fuzz::Fail("a read-out came back changed");
    }
  });
  Refused([&] { a.History({1, 4660}); });
  Refused([&] { a.History({1, 4660}, CT7KEventList::kMaxEvents); });
  Refused([&] { a.Panels(); });
  Refused([&] { a.ReadoutsFiledAfter(0); });
  return 0;
}
