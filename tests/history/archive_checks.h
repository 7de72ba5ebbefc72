// Checks on an archive file from outside the library.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "history/blob_codec.h"
#include "history/history_archive.h"
#include "history/sqlite_db.h"
#include "lists/report.h"

namespace logwick::test {

// Every chunk is held exactly as often as the read-outs and histories name it.
inline void ExpectChunksAccountedFor(const std::string& path) {
  SqliteDb db = SqliteDb::OpenExisting(path);
  std::map<std::int64_t, std::int64_t> named, refs;
  SqliteStatement recipes = db.Prepare("SELECT chunks FROM readout");
  while (recipes.Step())
    for (ChunkId id : DecodeChunkIds(recipes.Blob(0))) ++named[id];
  SqliteStatement histories = db.Prepare("SELECT pieces FROM panel");
  while (histories.Step())
    for (const HistoryPiece& p : DecodePieces(histories.Blob(0))) ++named[p.chunk];
  SqliteStatement chunks = db.Prepare("SELECT id, refs FROM chunk");
  while (chunks.Step()) refs[chunks.Int(0)] = chunks.Int(1);
  EXPECT_EQ(refs, named);
}

// The first value of a query on the file, as text ("" for no row).
inline std::string FirstText(const std::string& path, std::string_view sql) {
  SqliteDb db = SqliteDb::OpenExisting(path);
  SqliteStatement st = db.Prepare(sql);
  return st.Step() ? st.Text(0) : std::string();
}
// SQLite's own check of the file's structure.
inline std::string QuickCheck(const std::string& path) { return FirstText(path, "PRAGMA quick_check"); }

// A history as `archive show` prints it, gap marks included.
inline std::string ShowText(const PanelHistory& h, const EventPredicate& admit = {}) {
  std::string text;
  ForEachReportLine(
      h.list, admit, [&](std::string_view line) { (text += line) += '\n'; }, h.gapMarks);
  return text;
}

}  // namespace logwick::test
