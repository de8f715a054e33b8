#include "base/date_mask.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace kavrolin {
namespace {

void AppendNumber(Text& out, int64_t value, int width) {
  if (value < 0) {
    out += u'-';
    value = -value;
  }
  char16_t digits[24];
  int n = 0;
  do {
    digits[n++] = static_cast<char16_t>(u'0' + value % 10);
    value /= 10;
  } while (value > 0);
  for (int pad = n; pad < width; ++pad) out += u'0';
  while (n > 0) out += digits[--n];
}

// How many of the letter start the mask here, at most `limit`.
size_t RunLength(TextView rest, char16_t letter, size_t limit) {
  size_t n = 0;
  while (n < rest.size() && n < limit && AsciiLower(rest[n]) == letter) ++n;
  return n;
}

// Week of the year: weeks start on Sunday and week 1 holds 1 January.
int WeekOfYear(const LocalTime& t) {
  LocalTime first = t;
  first.month = 1;
  first.day = 1;
  return (DayOfYear(t) - 1 + DayOfWeek(first) - 1) / 7 + 1;
}

}  // namespace

Text FormatDateMask(const LocalTime& time, TextView mask) {
  Text out;
  out.reserve(mask.size() + 8);
  bool hour_before = false;  // the nearest token so far is an hour token
  size_t i = 0;
  while (i < mask.size()) {
    const TextView rest = mask.substr(i);
    const char16_t c = AsciiLower(rest[0]);
    size_t length = 1;
    bool token = true;
    bool hour_token = false;
    switch (c) {
      case u'y':
        length = RunLength(rest, u'y', 4);
        if (length == 4) AppendNumber(out, time.year, 4);
        else if (length >= 2) length = 2, AppendNumber(out, (time.year % 100 + 100) % 100, 2);
        else AppendNumber(out, DayOfYear(time), 1);
        break;
      case u'q':
        AppendNumber(out, (static_cast<int64_t>(time.month) - 1) / 3 + 1, 1);
        break;
      case u'm':
        length = RunLength(rest, u'm', 2);
        AppendNumber(out, hour_before ? time.minute : time.month, static_cast<int>(length));
        break;
      case u'd':
        length = RunLength(rest, u'd', 2);
        AppendNumber(out, time.day, static_cast<int>(length));
        break;
      case u'h':
        length = RunLength(rest, u'h', 2);
        AppendNumber(out, time.hour, static_cast<int>(length));
        hour_token = true;
        break;
      case u'n':
        length = RunLength(rest, u'n', 2);
        AppendNumber(out, time.minute, static_cast<int>(length));
        break;
      case u's':
        length = RunLength(rest, u's', 2);
        AppendNumber(out, time.second, static_cast<int>(length));
        break;
      case u'w':
        length = RunLength(rest, u'w', 2);
        AppendNumber(out, length == 2 ? WeekOfYear(time) : DayOfWeek(time), 1);
        break;
      case u'\\':
        token = false;
        // Copies the next character; a backslash ending the mask copies nothing.
        if (rest.size() > 1) out += rest[1];
        length = rest.size() > 1 ? 2 : 1;
        break;
      case u'"': {
        token = false;
        const size_t close = rest.find(u'"', 1);
        const size_t end = close == TextView::npos ? rest.size() : close;
        out += rest.substr(1, end - 1);
        length = close == TextView::npos ? rest.size() : close + 1;
        break;
      }
      default:
        // ":" is the time separator, ":" on every system served; the rest is
        // copied as it stands.
        token = false;
        out += rest[0];
        break;
    }
    if (token) hour_before = hour_token;
    i += length;
  }
  return out;
}

void AppendTimeStamp(std::string& out, const LocalTime& time) {
  const int fields[] = {time.month, time.day, time.hour, time.minute, time.second};
  const bool in_range = time.year >= 0 && time.year <= 9999 &&
                        std::all_of(std::begin(fields), std::end(fields),
                                    [](int field) { return field >= 0 && field <= 99; });
  if (!in_range) {
    const Text stamp = FormatDateMask(time, kTimeStampMask);
    out.append(stamp.begin(), stamp.end());
    return;
  }
  // The common case, written into its places at once.
  char stamp[] = "0000-00-00 00:00:00";
  stamp[0] = static_cast<char>('0' + time.year / 1000);
  stamp[1] = static_cast<char>('0' + time.year / 100 % 10);
  stamp[2] = static_cast<char>('0' + time.year / 10 % 10);
  stamp[3] = static_cast<char>('0' + time.year % 10);
  for (size_t f = 0; f < std::size(fields); ++f) {
    stamp[5 + 3 * f] = static_cast<char>('0' + fields[f] / 10);
    stamp[6 + 3 * f] = static_cast<char>('0' + fields[f] % 10);
  }
  out.append(stamp, sizeof stamp - 1);
}

}  // namespace kavrolin
