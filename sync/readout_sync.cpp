#include "sync/readout_sync.h"

#include <algorithm>
#include <set>

#include "events/strformat.h"
#include "sync/sync_error.h"
#include "lists/panel_types.h"

namespace logwick {
namespace {

// SHA-256 sets go to the server in slices of this many, so that a first
// exchange of a large archive never builds one huge request.
constexpr std::size_t kHeldSlice = 2000;

constexpr const char* kStepTexts[] = {
    "Соединение с сервером",
    "Сравнение с сервером",
    "Отправка на сервер",
    "Получение с сервера",
};

void CheckCancel(const std::atomic<bool>& cancel, const ISyncServer& server) {
  if (cancel) throw SyncError(SyncError::Kind::Cancelled, server.Name());
}

// Those of shas that the server holds.
std::set<Sha256> HeldOnServer(ISyncServer& server, const std::vector<SyncEntry>& ours,
                              const std::atomic<bool>& cancel) {
  std::set<Sha256> held;
  for (std::size_t at = 0; at < ours.size(); at += kHeldSlice) {
    CheckCancel(cancel, server);
    std::vector<Sha256> slice;
    for (std::size_t i = at; i < std::min(ours.size(), at + kHeldSlice); ++i) slice.push_back(ours[i].sha);
    for (const Sha256& sha : server.Held(slice)) held.insert(sha);
  }
  return held;
}

// Moves the sending mark over the leading entries that the server was seen
// to hold.
void PassHeld(const std::vector<SyncEntry>& ours, const std::set<Sha256>& held, SyncMarks& marks) {
  for (const SyncEntry& e : ours) {
    if (!held.contains(e.sha)) break;
    marks.sentThrough = e.id;
  }
}

std::string Describe(const SyncEntry& e) {
  return StrFormat("№ %lld, %s с/н %d, прочитано %s", static_cast<long long>(e.id),
                   PanelTypeName(e.panel.type).c_str(), e.panel.serial, ReadTimeText(e.readTime).c_str());
}

// The mark passes only what the server was seen holding before this
// exchange: what is sent now is looked for again next time, so that a server
// that loses its last commits in a crash (asynchronous commit) is sent them
// again. Returns whether the server held everything beyond the mark.
bool Send(ISyncLocal& local, ISyncServer& server, ISyncView& view, const std::atomic<bool>& cancel,
          SyncCounts& counts, const std::string& serverId, SyncMarks& marks) {
  const std::vector<SyncEntry> ours = local.FiledAfter(marks.sentThrough);
  if (ours.empty()) return true;
  const std::set<Sha256> held = HeldOnServer(server, ours, cancel);
  std::vector<SyncEntry> missing;
  std::copy_if(ours.begin(), ours.end(), std::back_inserter(missing),
               [&](const SyncEntry& e) { return !held.contains(e.sha); });
  SyncProgress progress{SyncStep::Sending, 0, missing.size()};
  if (!missing.empty()) view.OnProgress(progress);
  for (const SyncEntry& e : missing) {
    CheckCancel(cancel, server);
    if (server.Put(local.Load(e.id), e.sha)) ++counts.sent;
    ++progress.done;
    view.OnProgress(progress);
  }
  const std::int64_t before = marks.sentThrough;
  PassHeld(ours, held, marks);
  if (marks.sentThrough != before) local.SetMarks(serverId, marks);
  return missing.empty();
}

void Fetch(ISyncLocal& local, ISyncServer& server, ISyncView& view, const std::atomic<bool>& cancel,
           SyncCounts& counts, const std::string& serverId, SyncMarks& marks, bool allHeld) {
  const std::vector<SyncEntry> theirs = server.FiledAfter(marks.fetchedThrough);
  if (theirs.empty()) return;
  std::vector<SyncEntry> missing;
  for (const SyncEntry& e : theirs) {
    CheckCancel(cancel, server);
    if (!local.Holds(e.sha)) missing.push_back(e);
  }
  // A read-out older than one filed already makes the panel's history be
  // folded again: filing oldest first avoids that where it can.
  std::stable_sort(missing.begin(), missing.end(),
                   [](const SyncEntry& a, const SyncEntry& b) { return a.readTime < b.readTime; });
  SyncProgress progress{SyncStep::Fetching, 0, missing.size()};
  if (!missing.empty()) view.OnProgress(progress);
  std::vector<const SyncEntry*> damaged;
  for (const SyncEntry& e : missing) {
    CheckCancel(cancel, server);
    const SyncReadout r = server.Get(e.id);
    if (EventListSha256(r.list) == e.sha) {
      local.File(r);
      ++counts.fetched;
    } else {
      damaged.push_back(&e);
    }
    ++progress.done;
    view.OnProgress(progress);
  }
  // A damaged read-out is looked at again next time: the mark stops short of it.
  marks.fetchedThrough = theirs.back().id;
  for (const SyncEntry* e : damaged) marks.fetchedThrough = std::min(marks.fetchedThrough, e->id - 1);
  // What was just filed here came from the server: the sending mark passes
  // over it, unless something sent now or filed meanwhile comes first.
  if (allHeld) {
    std::set<Sha256> onServer;
    for (const SyncEntry& e : theirs) onServer.insert(e.sha);
    PassHeld(local.FiledAfter(marks.sentThrough), onServer, marks);
  }
  local.SetMarks(serverId, marks);
  if (!damaged.empty()) {
    std::string which;
    for (const SyncEntry* e : damaged) which += (which.empty() ? "" : "; ") + Describe(*e);
    throw SyncError(SyncError::Kind::DamagedReadout, server.Name(), which);
  }
}

}  // namespace

const char* SyncStepText(SyncStep step) { return kStepTexts[static_cast<int>(step)]; }

void SyncReadouts(ISyncLocal& local, ISyncServer& server, ISyncView& view, const std::atomic<bool>& cancel,
                  SyncCounts& counts) {
  view.OnProgress({SyncStep::Comparing, 0, 0});
  const ServerState state = server.State();
  SyncMarks marks = local.Marks(state.id);
  // A server put back from an older copy numbers anew from below our mark:
  // everything is compared again.
  if (state.lastId < marks.fetchedThrough) marks = {};
  const bool allHeld = Send(local, server, view, cancel, counts, state.id, marks);
  Fetch(local, server, view, cancel, counts, state.id, marks, allHeld);
}

}  // namespace logwick
