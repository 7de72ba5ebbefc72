// Packed time stamps read as calendar times: their fields, whether they form a
// real date, the seconds between two of them, and their ISO-like text.
//
// The panel packs whatever its clock holds, so a stamp's fields may not form a
// date (month 0 or 13, 30 February, hour 25). Such a stamp has a bad date:
// it still orders and prints as packed, but it is no point on the calendar.
#pragma once

#include <cstdint>
#include <string>

#include "events/packed_time.h"

namespace logwick {

// Month 1-12, day within the month (leap years counted), hour 0-23, minute
// and second 0-59.
bool HasGoodDate(std::uint32_t stamp);
// Days of a month of a full year (e.g. 2024); 0 for a month outside 1-12.
int DaysInMonth(int year, int month);

// Seconds from 2000-01-01 00:00:00 to the stamp, as calendar times without a
// time zone. Meaningful only for a stamp with a good date.
std::int64_t CalendarSeconds(std::uint32_t stamp);

// "YYYY-MM-DD", then between and "HH:MM:SS" for a time: the fields as packed,
// also when they do not form a date.
void AppendIsoTime(std::string& out, std::uint32_t stamp, char between = 'T');
void AppendIsoDate(std::string& out, std::uint32_t stamp);
std::string IsoTime(std::uint32_t stamp, char between = 'T');

}  // namespace logwick
