// Synchronisation of the local archive with a shared server: the union of two
// sets of read-outs, each known by its SHA-256. Histories never travel: every
// archive stitches them from its read-outs, so two archives that hold the same
// read-outs show the same histories.
//
// The exchange is cheap when there is little to do. The server numbers its
// read-outs in the order they arrive; the local archive keeps two marks per
// server (history_archive.h), each with the SHA-256 of the read-out it names:
// the last local read-out known to be on the server and the last server
// number known to be here. Only what lies beyond the marks is compared, by
// SHA-256 sets, and only what the other side lacks travels, each read-out in
// a transaction of its own. A server that no longer holds what the marks name
// (put back from a copy, or replaced) is compared in full. An interrupted
// exchange leaves the marks where they were; the next one compares a little
// more and sends nothing twice. The sending mark passes a read-out only once
// the server was seen holding it in a later exchange, so that one sent just
// before the server crashed and lost its last commits is sent again.
//
// A read-out on the server that cannot be taken (odd values, too large, bytes
// that fail their SHA-256, not a valid event file) is skipped with a warning
// line and remembered, and the rest of the exchange goes on.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "history/history_archive.h"

namespace logwick {

// A read-out as one side lists it: its number on that side (the local filing
// order, or the server's arrival order), its SHA-256, panel and read time.
// A server's listing also says who sent it, how many bytes it takes, and what
// is odd about its listed values.
struct SyncEntry {
  std::int64_t id = 0;
  Sha256 sha{};
  PanelKey panel;
  ReadTime readTime{};
  // The server's only:
  std::string label;  // "№ SEQ на сервере: PANEL (с/н SERIAL), считано ..., отправил ROLE"
  bool serialKnown = true;
  std::uint64_t bytes = 0;
  std::string problem;  // why it cannot be taken, as far as the listing tells; empty when none
};

// A read-out whole, as it travels.
struct SyncReadout {
  CT7KEventList list;
  ReadoutOrigin origin;
  std::int64_t filedAt = 0;  // Unix time of its first filing
};

// The server's identity (a new one for every shared archive created, so marks
// never carry over to another) and the highest number it has given.
struct ServerState {
  std::string id;
  std::int64_t lastId = 0;
};

// A read-out fetched from the server: the read-out, or why it cannot be taken.
struct FetchedReadout {
  std::optional<SyncReadout> readout;
  std::string problem;
};

class ISyncLocal {
 public:
  virtual ~ISyncLocal() = default;
  virtual SyncMarks Marks(const std::string& server) = 0;
  virtual void SetMarks(const std::string& server, const SyncMarks& marks) = 0;
  virtual std::vector<SyncEntry> FiledAfter(std::int64_t id) = 0;  // in filing order
  virtual bool Holds(const Sha256& sha) = 0;
  virtual SyncReadout Load(std::int64_t id) = 0;
  virtual void File(const SyncReadout& readout) = 0;
  virtual std::vector<SkippedReadout> Skipped(const std::string& server) = 0;
  virtual void RememberSkipped(const SkippedReadout& skipped) = 0;
  virtual void ForgetSkipped(const std::string& server, const Sha256& sha) = 0;
};

class ISyncServer {
 public:
  virtual ~ISyncServer() = default;
  virtual std::string Name() const = 0;  // for messages; never holds a password
  virtual ServerState State() = 0;
  // Whether the server still numbers marks.fetchedThrough as the read-out
  // marks.fetchedSha and holds marks.sentSha (each where known).
  virtual bool StillHolds(const SyncMarks& marks) = 0;
  // Those of shas that the server holds, in any order.
  virtual std::vector<Sha256> Held(std::span<const Sha256> shas) = 0;
  // Stores one read-out in a transaction of its own; false when the server
  // held it already. SyncError::Kind::Busy when another session holds the
  // turn to store past the time limit, RowRefused when the server refuses it.
  virtual bool Put(const SyncReadout& readout, const Sha256& sha) = 0;
  // At most `limit` entries numbered after id, in arrival order.
  virtual std::vector<SyncEntry> FiledAfter(std::int64_t id, std::size_t limit) = 0;
  // The entry of the read-out with this SHA-256, if the server holds one.
  virtual std::optional<SyncEntry> Find(const Sha256& sha) = 0;
  // The read-out an entry lists, downloaded only if it takes at most
  // maxBytes, and checked column by column.
  virtual FetchedReadout Get(const SyncEntry& entry, std::uint64_t maxBytes) = 0;
};

enum class SyncStep { Connecting, Comparing, Sending, Fetching };

// "Соединение с сервером", ...: the step as the progress line names it.
const char* SyncStepText(SyncStep step);

struct SyncProgress {
  SyncStep step = SyncStep::Connecting;
  std::size_t done = 0;   // read-outs sent or fetched so far in this step
  std::size_t total = 0;  // to send or fetch in this step
};

// What a synchronisation shows while it runs: the command line draws its
// progress line, the desktop program forwards each call to its window.
class ISyncView {
 public:
  virtual ~ISyncView() = default;
  virtual void OnProgress(const SyncProgress& progress) = 0;
};

struct SyncCounts {
  std::size_t sent = 0;
  std::size_t fetched = 0;
  std::size_t skipped = 0;  // read-outs not taken from the server or refused by it
};

// What an exchange did, also when it stopped.
struct SyncReport {
  SyncCounts counts;
  bool restored = false;              // the server no longer held what the marks named: compared in full
  bool postponed = false;             // another session held the turn to store: nothing more was sent
  std::vector<std::string> warnings;  // one line per read-out skipped or refused
};

// The largest read-out (its columns added up) that is downloaded.
inline constexpr std::uint64_t kMaxReadoutBytes = 2u << 20;

// "[сервер восстановлен из копии или заменён: сверка полностью; ][сервер
// занят: отправка отложена; ]отправлено X, получено Y[, пропущено N]".
std::string SyncSummary(const SyncReport& report);
// "повреждено 1 чтение", "повреждены 4 чтения", "повреждено 5 чтений": the
// count agrees with its number. An exchange that skipped read-outs whose
// bytes fail their SHA-256 ends its warnings with "На сервере S " and this.
std::string DamagedText(std::size_t n);

// Sends the read-outs the server lacks, then fetches those the local archive
// lacks (oldest read time first, so that histories grow at their end); with
// retrySkipped, first the remembered skipped read-outs again. report grows
// as read-outs go. `cancel` is looked at before every read-out. Throws
// SyncError (SyncError::Kind::Cancelled on a cancel) and ArchiveError.
void SyncReadouts(ISyncLocal& local, ISyncServer& server, ISyncView& view, const std::atomic<bool>& cancel,
                  SyncReport& report, bool retrySkipped = false);

}  // namespace logwick
