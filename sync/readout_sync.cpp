#include "sync/readout_sync.h"

#include <algorithm>
#include <set>

#include "events/strformat.h"
#include "lists/panel_types.h"
#include "sync/readout_check.h"
#include "sync/sync_error.h"

namespace logwick {
namespace {

// SHA-256 sets go to the server in slices of this many, and its listings come
// in pages of this many, so that a first exchange of a large archive never
// builds one huge request or answer.
constexpr std::size_t kHeldSlice = 2000;
constexpr std::size_t kListPage = 1000;

constexpr const char* kStepTexts[] = {
    "Соединение с сервером",
    "Сравнение с сервером",
    "Отправка на сервер",
    "Получение с сервера",
};

constexpr char kRestoredText[] = "сервер восстановлен из копии или заменён: сверка полностью";
constexpr char kPostponedText[] = "сервер занят: отправка отложена";

// Which of a Russian noun's three forms goes with n: 1 (21, 101 ...) чтение,
// 2 to 4 (22 ...) чтения, else чтений.
int PluralForm(std::size_t n) {
  if (n % 10 == 1 && n % 100 != 11) return 0;
  if (n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 12 || n % 100 > 14)) return 1;
  return 2;
}

constexpr const char* kDamagedTexts[] = {"повреждено %zu чтение", "повреждены %zu чтения",
                                         "повреждено %zu чтений"};

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
    marks.sentSha = e.sha;
  }
}

// One exchange: both sides, the server's id and the marks kept for it.
struct Exchange {
  ISyncLocal& local;
  ISyncServer& server;
  ISyncView& view;
  const std::atomic<bool>& cancel;
  SyncReport& report;
  std::string serverId;
  SyncMarks marks;
  std::size_t damaged = 0;  // skipped for bytes that fail their SHA-256

  bool Send();
  void Fetch(bool allHeld);
  void RetrySkipped();
  // Files the read-out an entry lists, or skips it saying why.
  void Take(const SyncEntry& e);
  void Skip(const SyncEntry& e, const std::string& reason);
};

// The mark passes only what the server was seen holding before this
// exchange: what is sent now is looked for again next time, so that a server
// that loses its last commits in a crash (asynchronous commit) is sent them
// again. Returns whether the server held everything beyond the mark.
bool Exchange::Send() {
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
    try {
      if (server.Put(local.Load(e.id), e.sha)) ++report.counts.sent;
    } catch (const SyncError& error) {
      // Another session holds the turn to store: nothing more can be sent
      // now, and what the server holds can still be fetched.
      if (error.GetKind() == SyncError::Kind::Busy) {
        report.postponed = true;
        break;
      }
      if (error.GetKind() != SyncError::Kind::RowRefused) throw;
      ++report.counts.skipped;
      report.warnings.push_back(
          StrFormat("Чтение %s (с/н %d), считано %s, не отправлено: сервер его не принял (%s)",
                    PanelTypeName(e.panel.type).c_str(), e.panel.serial, ReadTimeText(e.readTime).c_str(),
                    error.Detail().c_str()));
    }
    ++progress.done;
    view.OnProgress(progress);
  }
  const SyncMarks before = marks;
  PassHeld(ours, held, marks);
  if (marks != before) local.SetMarks(serverId, marks);
  return missing.empty();
}

void Exchange::Skip(const SyncEntry& e, const std::string& reason) {
  const std::string warning = "Пропущено чтение " + e.label + ": " + reason;
  ++report.counts.skipped;
  report.warnings.push_back(warning);
  local.RememberSkipped(
      {serverId, e.sha, e.id, e.serialKnown ? std::optional(e.panel.serial) : std::nullopt, warning});
}

void Exchange::Take(const SyncEntry& e) {
  if (!e.problem.empty()) return Skip(e, e.problem);
  // Sizes are known before anything is downloaded.
  if (e.bytes > kMaxReadoutBytes)
    return Skip(
        e, StrFormat("размер %llu байт, больше допустимых %llu", static_cast<unsigned long long>(e.bytes),
                     static_cast<unsigned long long>(kMaxReadoutBytes)));
  const FetchedReadout fetched = server.Get(e, kMaxReadoutBytes);
  if (!fetched.readout) return Skip(e, fetched.problem);
  if (const std::string problem = ReadoutProblem(fetched.readout->list, e.sha); !problem.empty()) {
    damaged += problem == kShaMismatch;
    return Skip(e, problem);
  }
  local.File(*fetched.readout);
  ++report.counts.fetched;
}

void Exchange::Fetch(bool allHeld) {
  std::set<Sha256> skipped;
  for (const SkippedReadout& s : local.Skipped(serverId)) skipped.insert(s.sha);
  std::set<Sha256> listed;
  SyncProgress progress{SyncStep::Fetching, 0, 0};
  for (;;) {
    const std::vector<SyncEntry> page = server.FiledAfter(marks.fetchedThrough, kListPage);
    if (page.empty()) break;
    std::vector<SyncEntry> missing;
    for (const SyncEntry& e : page) {
      CheckCancel(cancel, server);
      listed.insert(e.sha);
      if (!skipped.contains(e.sha) && !local.Holds(e.sha)) missing.push_back(e);
    }
    // A read-out older than one filed already makes the panel's history be
    // folded again: filing oldest first avoids that where it can.
    std::stable_sort(missing.begin(), missing.end(),
                     [](const SyncEntry& a, const SyncEntry& b) { return a.readTime < b.readTime; });
    progress.total += missing.size();
    if (!missing.empty()) view.OnProgress(progress);
    for (const SyncEntry& e : missing) {
      CheckCancel(cancel, server);
      Take(e);
      ++progress.done;
      view.OnProgress(progress);
    }
    marks.fetchedThrough = page.back().id;
    marks.fetchedSha = page.back().problem.empty() ? page.back().sha : Sha256{};
    local.SetMarks(serverId, marks);
    if (page.size() < kListPage) break;
  }
  // What was just filed here came from the server: the sending mark passes
  // over it, unless something sent now or filed meanwhile comes first.
  if (allHeld && !listed.empty()) {
    const SyncMarks before = marks;
    PassHeld(local.FiledAfter(marks.sentThrough), listed, marks);
    if (marks != before) local.SetMarks(serverId, marks);
  }
}

// Each remembered read-out is looked for again: one the server no longer
// holds, or that is here by now, is forgotten; one that is now sound is filed.
void Exchange::RetrySkipped() {
  const std::vector<SkippedReadout> remembered = local.Skipped(serverId);
  SyncProgress progress{SyncStep::Fetching, 0, remembered.size()};
  for (const SkippedReadout& s : remembered) {
    CheckCancel(cancel, server);
    const std::optional<SyncEntry> e = local.Holds(s.sha) ? std::nullopt : server.Find(s.sha);
    if (e) {
      const std::size_t skippedBefore = report.counts.skipped;
      Take(*e);
      if (report.counts.skipped == skippedBefore) local.ForgetSkipped(serverId, s.sha);
    } else {
      local.ForgetSkipped(serverId, s.sha);
    }
    ++progress.done;
    view.OnProgress(progress);
  }
}

}  // namespace

const char* SyncStepText(SyncStep step) { return kStepTexts[static_cast<int>(step)]; }

std::string SyncSummary(const SyncReport& r) {
  std::string out;
  if (r.restored) (out += kRestoredText) += "; ";
  if (r.postponed) (out += kPostponedText) += "; ";
  out += StrFormat("отправлено %zu, получено %zu", r.counts.sent, r.counts.fetched);
  if (r.counts.skipped > 0) out += StrFormat(", пропущено %zu", r.counts.skipped);
  return out;
}

void SyncReadouts(ISyncLocal& local, ISyncServer& server, ISyncView& view, const std::atomic<bool>& cancel,
                  SyncReport& report, bool retrySkipped) {
  view.OnProgress({SyncStep::Comparing, 0, 0});
  const ServerState state = server.State();
  Exchange x{local, server, view, cancel, report, state.id, local.Marks(state.id)};
  // A server put back from an older copy, or replaced under the same id,
  // numbers other read-outs than the marks name: everything is compared
  // again, and the marks start over.
  if (x.marks != SyncMarks{} && (state.lastId < x.marks.fetchedThrough || !server.StillHolds(x.marks))) {
    report.restored = true;
    x.marks = {};
    local.SetMarks(state.id, x.marks);
  }
  const bool allHeld = x.Send();
  if (retrySkipped) x.RetrySkipped();
  x.Fetch(allHeld);
  if (x.damaged > 0) report.warnings.push_back("На сервере " + server.Name() + " " + DamagedText(x.damaged));
}

std::string DamagedText(std::size_t n) { return StrFormat(kDamagedTexts[PluralForm(n)], n); }

}  // namespace logwick
