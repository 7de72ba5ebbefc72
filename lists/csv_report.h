// The events as CSV (RFC 4180) for spreadsheets: UTF-8 with a byte-order mark,
// CR LF after every row, ';' between fields unless another separator is given.
//
//   Время;Код;Вид;Луч;Устройство;Событие;Запись
//   2024-03-15 10:30:00;5;лучи;12;;Блокировка луча 12;80a7de60050...
//
// A field that holds the separator, '"', CR or LF is quoted, its quotes
// doubled; no other field is, and every other character is written as it is.
#pragma once

#include <string>
#include <string_view>

#include "lists/report_sink.h"
#include "lists/shown_rows.h"
#include "lists/t7k_event_list.h"

namespace logwick {

inline constexpr char kDefaultCsvSeparator = ';';

// One ASCII character that is no letter, digit, quote or line break.
bool IsUsableCsvSeparator(char c);

void AppendCsvField(std::string& out, std::string_view field, char separator);

void WriteCsvReport(ReportSink& sink, const CT7KEventList& list, const ShownRows& rows,
                    char separator = kDefaultCsvSeparator);

}  // namespace logwick
