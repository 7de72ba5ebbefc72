// The panel history archive: every read-out filed whole and unchanged, and
// each panel's read-outs stitched into one history (stitch.h), in one SQLite
// file that the desktop program and the command line may use at the same
// time. A read-out is known by the SHA-256 of its event-file form: filing the
// same one again files nothing.
//
// Nothing here trusts the file: one that is not a SQLite database, belongs to
// another program, is damaged or was written by a newer version is refused
// with ArchiveError naming it, and is never written to. Every change is one
// transaction: an interrupted one leaves the archive as it was.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "lists/list_digest.h"
#include "lists/t7k_event_list.h"

namespace logwick {

// A panel: its type (1 to 3, as in event files) and serial number.
struct PanelKey {
  std::int32_t type = 0;
  std::int32_t serial = 0;
  auto operator<=>(const PanelKey&) const = default;
};

// The panel clock at a reading: year, month, day, hour, minute, second.
using ReadTime = std::array<std::int32_t, 6>;
ReadTime ReadTimeOf(const CT7KEventList& list);
// "dd/mm/yyyy hh:mm:ss", as the report prints it.
std::string ReadTimeText(const ReadTime& t);

struct ReadoutOrigin {
  std::string source;    // the event file's path, or the port the panel was read on
  bool partial = false;  // the reading stopped during the event blocks
};

struct FilingResult {
  PanelKey panel;
  std::int64_t readout = 0;     // the read-out's number in the archive
  bool alreadyFiled = false;    // the same read-out was there before
  std::size_t events = 0;       // events in the read-out
  std::size_t newEvents = 0;    // how many events the panel's history grew by
  std::size_t knownEvents = 0;  // events - newEvents
  bool gapMarkSet = false;      // the history gained a gap mark
};

struct PanelSummary {
  PanelKey panel;
  std::string configName;  // of the newest read-out, UTF-8
  std::uint64_t events = 0;
  std::uint64_t readouts = 0;
  std::optional<std::uint32_t> firstEvent;  // packed time stamps of the oldest and newest events
  std::optional<std::uint32_t> lastEvent;
  ReadTime lastRead{};  // of the newest read-out
  std::uint64_t gapMarks = 0;
};

struct ReadoutInfo {
  std::int64_t id = 0;  // filing order
  PanelKey panel;
  std::string sha256;  // 64 hex digits
  ReadTime readTime{};
  std::size_t events = 0;
  std::string origin;
  bool partial = false;
  std::int64_t filedAt = 0;  // Unix time
};

// A panel's history as the desktop program and the commands show it: the
// newest read-out's header and texts with the history's events, newest first
// like a read-out (as many as asked for, without the event-file limit), and
// its gap marks: a mark at i lies between list[i - 1] and list[i].
struct PanelHistory {
  PanelKey panel;
  CT7KEventList list;
  std::vector<std::size_t> gapMarks;
  std::uint64_t totalEvents = 0;  // in the whole history
  std::uint64_t readouts = 0;
};

// How far this archive and one shared server have caught up with each other:
// every read-out filed here up to number sentThrough is on the server, and
// every one the server numbered up to fetchedThrough is here. Each mark keeps
// the SHA-256 of the read-out it names (zero where not known), so that a
// server put back from a copy, which numbers other read-outs alike, is told.
struct SyncMarks {
  std::int64_t sentThrough = 0;
  std::int64_t fetchedThrough = 0;
  Sha256 sentSha{};
  Sha256 fetchedSha{};
  bool operator==(const SyncMarks&) const = default;
};

// A read-out on a shared server that could not be taken (odd values, bytes
// that fail their SHA-256, not a valid event file): remembered, so that it is
// not downloaded again on every exchange, until it is tried again on request.
struct SkippedReadout {
  std::string server;  // the shared archive's id
  Sha256 sha{};        // as the server lists it
  std::int64_t seq = 0;
  std::optional<std::int32_t> serial;
  std::string warning;  // the line that told of it
};

class ArchiveError : public std::runtime_error {
 public:
  enum class Kind {  // in the order of their messages
    Missing,         // there is no archive at the path
    CannotOpen,      // the file cannot be opened or read
    Damaged,         // not a sound SQLite database
    Foreign,         // a database of another program
    NewerVersion,    // written by a newer version of the program
    Busy,            // another program held it past the time-out
    CannotWrite,     // a change could not be written (disk full, read-only, ...)
  };
  ArchiveError(Kind kind, const std::string& path, const std::string& detail = {});
  Kind GetKind() const { return m_kind; }
  const std::string& Path() const { return m_path; }

 private:
  Kind m_kind;
  std::string m_path;
};

class HistoryArchive {
 public:
  static constexpr std::int64_t kSchemaVersion = 3;

  // Opens the archive at path (UTF-8). A missing one is created when create
  // is set (with its folders) and refused with Kind::Missing otherwise.
  static std::unique_ptr<HistoryArchive> Open(const std::string& path, bool create);
  ~HistoryArchive();

  const std::string& Path() const;

  // Files one read-out (as read: newest event first) and stitches it into
  // its panel's history. filedAt is Unix time; by default, now.
  FilingResult File(const CT7KEventList& readout, const ReadoutOrigin& origin,
                    std::optional<std::int64_t> filedAt = std::nullopt);

  // Every panel, by type and serial number.
  std::vector<PanelSummary> Panels();
  // The panels with this serial number, of any type.
  std::vector<PanelKey> PanelsWithSerial(std::int32_t serial);
  // The panel's history with at most maxEvents of its newest events; none for
  // a panel the archive does not hold.
  std::optional<PanelHistory> History(const PanelKey& panel, std::size_t maxEvents = SIZE_MAX);
  // The panel's read-outs in read-time order.
  std::vector<ReadoutInfo> Readouts(const PanelKey& panel);
  // Every read-out filed after the one with this number, in filing order
  // (0: all), for passing them on elsewhere.
  std::vector<ReadoutInfo> ReadoutsFiledAfter(std::int64_t id);
  // What the archive knows of one read-out.
  std::optional<ReadoutInfo> ReadoutInfoOf(std::int64_t id);
  // One read-out exactly as it was filed (checked against its SHA-256).
  std::optional<CT7KEventList> Readout(std::int64_t id);
  // Whether a read-out with this SHA-256 is filed.
  bool HoldsReadout(const Sha256& sha);

  // The marks kept for the server with this id (zero for one never met).
  SyncMarks SyncMarksFor(const std::string& server);
  void SetSyncMarks(const std::string& server, const SyncMarks& marks);
  // The read-outs of a server (of every server when empty) that were skipped,
  // by server and number.
  std::vector<SkippedReadout> SkippedReadouts(const std::string& server = {});
  void RememberSkipped(const SkippedReadout& skipped);
  void ForgetSkipped(const std::string& server, const Sha256& sha);

 private:
  struct Impl;
  explicit HistoryArchive(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> m_impl;
};

}  // namespace logwick
