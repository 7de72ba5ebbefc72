// A read-out row as a hostile server could send it, every column: first its listing entry, then the whole
// row. Nothing crashes; an entry's line stays one line; a row taken as a read-out is one this program may
// file: a valid event file with the row's SHA-256, that goes back to a server unchanged.
#include "fuzz/fuzz_support.h"
#include "sync/readout_check.h"
#include "sync/server_row.h"

namespace {

using namespace logwick;

std::vector<ServerColumn> Spans(const std::vector<fuzz::Column>& columns) {
  std::vector<ServerColumn> out;
  for (const fuzz::Column& c : columns) out.push_back(c ? ServerColumn(*c) : std::nullopt);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const SyncEntry e = DecodeServerEntry(Spans(fuzz::ReadColumns(in, kServerEntryWidth)));
  if (std::ranges::any_of(e.label, [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
    fuzz::Fail("a listed read-out's line holds a control character");

  const ServerRowCheck row = DecodeServerRow(Spans(fuzz::ReadColumns(in, kServerRowWidth)));
  if (row.readout.has_value() == !row.problem.empty())
    fuzz::Fail("a row is both taken and refused, or neither");
  if (!row.readout || !ReadoutProblem(row.readout->list, row.sha).empty()) return 0;
  const SyncReadout& r = *row.readout;
  if (EventListSha256(r.list) != row.sha) fuzz::Fail("a read-out taken under another SHA-256");
  if (r.list.GetCount() > CT7KEventList::kMaxEvents) fuzz::Fail("more events than an event file holds");
  if (!fuzz::SurvivesAFile(r.list)) fuzz::Fail("a read-out taken is not its event file");
  const ServerRowCheck back = DecodeServerRow(Spans(EncodeServerRow(r, row.sha)));
  if (!back.readout || !(back.readout->list == r.list) || back.readout->filedAt != r.filedAt ||
      back.readout->origin.source != OriginName(r.origin.source))
    fuzz::Fail("a read-out sent back is not the same");
  return 0;
}
