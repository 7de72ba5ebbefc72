// The text report of an event list: four header lines that name the panel and
// the reading, then one line per exported event, "time text + blank +
// sentence". The file is Windows-1251 with CR LF after every line; the same
// lines in UTF-8 feed the list view and the terminal.
//
// A list stitched from several read-outs may carry gap marks, where events may
// have been lost between two of them; each is one line of its own between the
// events it separates, written only between two exported events, and marks
// with no exported event between them are written once.
#pragma once

#include <array>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lists/atomic_file.h"
#include "lists/t7k_event_list.h"

namespace logwick {

inline constexpr char kMsgReportWriteError[] = "Ошибка записи файла";
inline constexpr char kGapMarkLine[] = "--- возможен пропуск событий ---";

// Which events go into the report; an empty predicate admits every event.
using EventPredicate = std::function<bool(const CT7KEvent&)>;

// Gap marks of a list, ascending: a mark at i lies between list[i - 1] and
// list[i]. Plain lists have none.
using GapMarks = std::span<const std::size_t>;

// The header lines (UTF-8, without line ends).
std::array<std::string, 4> ReportHeaderLines(const CT7KEventList& list);

// Appends the row of one event (UTF-8, without line end) to out.
void AppendEventLine(std::string& out, const CT7KEvent& ev, const std::vector<std::string>& texts);

// Hands every line of the report to sink, in order (UTF-8, without line ends).
void ForEachReportLine(const CT7KEventList& list, const EventPredicate& admit,
                       const std::function<void(std::string_view)>& sink, GapMarks gaps = {});

// Writes the report bytes to an open binary stream; throws CFileException
// (naming path) when a write fails.
void WriteReport(std::FILE* out, const std::string& path, const CT7KEventList& list,
                 const EventPredicate& admit, GapMarks gaps = {});

// Writes the report file at path (UTF-8): all of it or, on failure, nothing.
StoreOutcome WriteReportFile(const std::string& path, const CT7KEventList& list, const EventPredicate& admit,
                             GapMarks gaps = {});

}  // namespace logwick
