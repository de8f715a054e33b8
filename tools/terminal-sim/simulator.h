// The pure part of the substitute terminal library: how its settings read,
// what it answers and what it leaves behind. No environment, no files, no
// clock: menu_app.cpp gathers those and calls these functions. Thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavrolin::terminal_sim {

inline constexpr size_t kResponseBytes = 43;
inline constexpr size_t kCardBytes = 19;
inline constexpr size_t kAmountBytes = 12;
inline constexpr size_t kIndexDigits = 12;
inline constexpr std::string_view kInquiry = "06";

// Entry number `call` (1-based) of a `separator`-separated list; calls past
// the end take the last entry. The empty list gives an empty entry.
std::string_view PickEntry(std::string_view list, char separator, uint64_t call);

// The code an entry of the result list stands for: a decimal 16-bit integer
// (optional sign, surrounding blanks allowed); nothing for anything else.
std::optional<int16_t> ResultCode(std::string_view entry);

// A non-negative decimal count, at most `cap` (larger values give `cap`);
// nothing for text that is not such a count.
std::optional<uint64_t> ParseCount(std::string_view text, uint64_t cap);

// The request's amount field (bytes 3-14): twelve zeros for the inquiry and
// for a request too short to hold the field.
std::string AmountField(std::string_view request);

// The default answer, exactly 43 bytes: the card (ANSI bytes) padded with
// spaces or cut to 19 bytes, the 12-byte amount field, the index number as 12
// digits (its last 12 when larger).
std::string DefaultResponse(std::string_view card, std::string_view amount, uint64_t index);

// The receipt for a response, as ANSI bytes with CR LF after every line:
// `title` and `slip` (already ANSI), then the card number, the amount as 0.00
// and the index number taken from the response's fields. An amount field that
// is not all digits is shown as it stands, without its surrounding blanks.
std::string ReceiptText(std::string_view title, std::string_view slip, std::string_view response);

// One record line: the request bytes in lowercase hexadecimal, a tab, the
// response bytes in lowercase hexadecimal, a line feed.
std::string RecordLine(std::string_view request, std::string_view response);

// One answer a trace recorded: the return code (none when the trace does not
// hold it) and the response bytes as UTF-8 text or raw bytes (see below).
struct RecordedAnswer {
  std::optional<int16_t> code;
  std::string response;
  bool utf8 = false;  // true: text to convert to the ANSI code page
};

// The answers of a trace, in the order they were given. Two forms are read,
// line by line, and other lines are skipped: the payment records' support
// trace (payments-trace.txt: `... response CODE "RECORD"`, the record's
// control characters and backslashes as \xNN, UTF-8), and the record file
// above (request hex, a tab, response hex), which holds no return code.
std::vector<RecordedAnswer> RecordedAnswers(std::string_view trace);

}  // namespace kavrolin::terminal_sim
