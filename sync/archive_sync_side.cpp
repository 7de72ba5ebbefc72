#include "sync/archive_sync_side.h"

namespace logwick {
namespace {

Sha256 Sha256FromHex(const std::string& hex) {
  auto nibble = [](char c) { return static_cast<std::uint8_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10); };
  Sha256 sha{};
  for (std::size_t i = 0; i < sha.size() && 2 * i + 1 < hex.size(); ++i)
    sha[i] = static_cast<std::uint8_t>(nibble(hex[2 * i]) << 4 | nibble(hex[2 * i + 1]));
  return sha;
}

}  // namespace

HistoryArchive& ArchiveSyncSide::Archive() {
  if (!m_archive) {
    m_owned = HistoryArchive::Open(m_path, true);
    m_archive = m_owned.get();
  }
  return *m_archive;
}

void ArchiveSyncSide::SetMarks(const std::string& server, const SyncMarks& marks) {
  Archive().SetSyncMarks(server, marks);
}

std::vector<SyncEntry> ArchiveSyncSide::FiledAfter(std::int64_t id) {
  std::vector<SyncEntry> out;
  for (const ReadoutInfo& r : Archive().ReadoutsFiledAfter(id))
    out.push_back({r.id, Sha256FromHex(r.sha256), r.panel, r.readTime});
  return out;
}

SyncReadout ArchiveSyncSide::Load(std::int64_t id) {
  // Only read-outs the archive listed are asked for, and none is ever taken
  // out again.
  std::optional<ReadoutInfo> info = Archive().ReadoutInfoOf(id);
  std::optional<CT7KEventList> list = Archive().Readout(id);
  if (!info || !list)
    throw ArchiveError(ArchiveError::Kind::Damaged, Archive().Path(), "a read-out is missing");
  // The origin and filing time travel with the read-out.
  return {std::move(*list), {info->origin, info->partial}, info->filedAt};
}

void ArchiveSyncSide::File(const SyncReadout& readout) {
  Archive().File(readout.list, readout.origin, readout.filedAt);
}

}  // namespace logwick
