// The events as JSON Lines for scripts: UTF-8, one JSON object per line, LF.
// The first line describes the list, every further line is one event:
//
//   {"panel": "Тарвел-7К", "serial": 4660, "read": "2024-03-15T10:34:12",
//    "version": "3.12", "released": "2019-11-20", "config": "...",
//    "sha256": "<the whole list's, as its event file>", "events": 2}
//   {"time": "2024-03-15T10:30:00", "code": 5, "kind": "лучи", "beam": 12,
//    "device": null, "text": "Блокировка луча 12", "raw": "<32 hex digits>"}
//
// (each object on one line). Times are the fields as stored, also when they
// form no date; "events" counts the lines that follow.
#pragma once

#include "lists/report_sink.h"
#include "lists/shown_rows.h"
#include "lists/t7k_event_list.h"

namespace logwick {

void WriteJsonLinesReport(ReportSink& sink, const CT7KEventList& list, const ShownRows& rows);

}  // namespace logwick
