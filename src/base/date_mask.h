// The date-mask formatter behind every time stamp and file date.
//
// Tokens, matched without regard to letter case, longest first:
//   yyyy four-digit year, yy two-digit year, y day of the year,
//   q quarter, mm two-digit month, m month, dd two-digit day, d day,
//   hh two-digit hour 00-23, h hour, nn two-digit minute, n minute,
//   ss two-digit second, s second, ww week of the year (weeks start on
//   Sunday; week 1 holds 1 January), w day of the week (1 = Sunday).
// "mm" / "m" mean minutes instead of month when the nearest token before them
// is an hour token. ":" is the time separator (":" on every system served).
// A backslash copies the next character; text in double quotes is copied
// without the quotes; every other character is copied.
#pragma once

#include <string>

#include "base/local_time.h"
#include "base/text.h"

namespace kavrolin {

Text FormatDateMask(const LocalTime& time, TextView mask);

// The masks the system's own files and records are written with: a time
// stamp ("2024-01-31 14:05:09") and a day ("20240131").
inline constexpr char16_t kTimeStampMask[] = u"yyyy-mm-dd hh:nn:ss";
inline constexpr char16_t kDayMask[] = u"yyyymmdd";

// The time stamp as FormatDateMask(time, kTimeStampMask) writes it, appended
// to `out` as ASCII bytes, without reading the mask (for the journal's lines).
void AppendTimeStamp(std::string& out, const LocalTime& time);

}  // namespace kavrolin
