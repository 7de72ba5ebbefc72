// An archive whose stored read-out and chunk blobs are the fuzzer's bytes (as a damaged disk or another
// program could leave them): every way of reading it either gives what was stored, checked against its
// SHA-256, or refuses with ArchiveError; nothing crashes, and nothing asks for more memory than the file
// could hold.
#include "fuzz/archive_sample.h"
#include "fuzz/fuzz_support.h"
#include "history/sqlite_db.h"

namespace {

using namespace logwick;

struct Setup {
  std::string path = fuzz::ScratchPath(".sqlite");
  std::unique_ptr<HistoryArchive> archive = fuzz::MakeSampleArchive(path);
  SqliteDb db = SqliteDb::OpenExisting(path);
  ~Setup() {
    archive.reset();
    for (const char* end : {"", "-wal", "-shm"}) std::remove((path + end).c_str());
  }
};

// Overwrites the blobs (a read-out's, the chunk's, the panel's, in kArchiveBlobs' order) and the
// counts beside them; false when the database refuses them (a NULL where none may be).
bool Store(SqliteDb& db, const std::vector<fuzz::Column>& blobs, std::int64_t eventCount,
           std::int64_t panelEvents, std::int64_t chunk) {
  try {
    SqliteTransaction tx(db);
    for (std::size_t i = 0; i < blobs.size(); ++i) {
      const std::string table = i < 4 ? "readout" : i == 4 ? "chunk" : "panel";
      SqliteStatement st =
          db.Prepare("UPDATE " + table + " SET " + fuzz::kArchiveBlobs[i] + " = ?1 WHERE ?2 IN (0, id)");
      (blobs[i] ? st.BindBlob(1, *blobs[i]) : st.BindNull(1)).Bind(2, i == 4 ? chunk : 0).Run();
    }
    db.Prepare("UPDATE readout SET event_count = ?1").Bind(1, eventCount).Run();
    db.Prepare("UPDATE panel SET events = ?1").Bind(1, panelEvents).Run();
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
  static const std::int64_t chunks = [] {
    SqliteStatement st = setup.db.Prepare("SELECT count(*) FROM chunk");
    return st.Step(), st.Int(0);
  }();
  fuzz::Input in(data, size);
  const std::uint32_t eventCount = in.Uint(4);
  const std::uint32_t panelEvents = in.Uint(4);
  const std::int64_t chunk = 1 + in.U8() % std::max<std::int64_t>(chunks, 1);
  if (!Store(setup.db, fuzz::ReadColumns(in, std::size(fuzz::kArchiveBlobs)), eventCount, panelEvents, chunk))
    return 0;

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
