// What in a log deserves an engineer's doubt: clocks that went backwards or
// ahead of the reading, impossible dates, long silences, and entries that are
// no valid event.
//
// The list is newest first. A pair is two neighbouring rows; its finding goes
// to the newer event in the panel's order, the smaller row. Findings come by
// row, and on one row in the order of FindingKind.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "lists/event_predicate.h"
#include "lists/t7k_event_list.h"

namespace logwick {

enum class FindingKind : std::uint8_t {
  TimeBackwards,  // dated earlier than the next row (stamps compared as numbers)
  Future,         // dated after the list's read time
  BadDate,        // the time stamp's fields form no date
  Gap,            // more than the gap from the next row's time (good dates, forwards only)
  UnknownCode,    // a code that is no valid event
  ReadError,      // code 32766: the panel marked a data read error
  NoInformation,  // code 32767: an entry holding no information
};

// "time-backwards", "future", "bad-date", "gap", "unknown-code", "read-error",
// "no-information".
std::string_view FindingName(FindingKind kind);
// The same in Russian, for people: "время идёт назад", ...
std::string_view FindingTitle(FindingKind kind);

struct Finding {
  std::size_t row;  // counted from 0, the newest event
  FindingKind kind;
  std::uint32_t time;  // the row's time stamp
  friend bool operator==(const Finding&, const Finding&) = default;
};

struct IntegrityOptions {
  static constexpr std::uint32_t kDefaultGapDays = 30;
  std::uint32_t gapDays = kDefaultGapDays;  // a gap is longer than this many days
};

// The check, fed the rows in list order.
class IntegrityChecker {
 public:
  // The list gives the read time (a list read at 00/00/0000 00:00:00 is not
  // checked for future events).
  explicit IntegrityChecker(const CT7KEventList& list, IntegrityOptions options = {});
  void Add(const CT7KEvent& ev);
  // Every finding, including the last row's; the checker is done after it.
  std::vector<Finding> Finish();

 private:
  void CheckRow(const CT7KEvent& ev, const CT7KEvent* next);

  using Fields = std::array<std::int32_t, 6>;  // year down to second: orders like the calendar
  static Fields FieldsOfStamp(std::uint32_t stamp);

  std::optional<Fields> m_readTime;
  std::int64_t m_gapSeconds;
  std::optional<CT7KEvent> m_pending;  // the row that waits for its next row
  std::size_t m_row = 0;
  std::vector<Finding> m_findings;
};

std::vector<Finding> CheckIntegrity(const CT7KEventList& list, const EventPredicate& admit = {},
                                    IntegrityOptions options = {});

}  // namespace logwick
