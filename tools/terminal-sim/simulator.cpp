#include "simulator.h"

#include <charconv>
#include <limits>

namespace kavrolin::terminal_sim {
namespace {

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

std::string ZeroPadded(uint64_t value, size_t width) {
  std::string digits = std::to_string(value);
  if (digits.size() > width) return digits.substr(digits.size() - width);
  return std::string(width - digits.size(), '0') + digits;
}

std::string AmountText(std::string_view field) {
  const std::string_view trimmed = Trim(field);
  if (!AllDigits(trimmed)) return std::string(trimmed);
  const size_t first = trimmed.find_first_not_of('0');
  std::string hundredths(first == std::string_view::npos ? "" : trimmed.substr(first));
  if (hundredths.size() < 3) hundredths.insert(0, 3 - hundredths.size(), '0');
  const size_t whole = hundredths.size() - 2;
  return hundredths.substr(0, whole) + '.' + hundredths.substr(whole);
}

}  // namespace

std::string_view PickEntry(std::string_view list, char separator, uint64_t call) {
  for (uint64_t n = 1;; ++n) {
    const size_t end = list.find(separator);
    if (end == std::string_view::npos || n >= call) return list.substr(0, end);
    list.remove_prefix(end + 1);
  }
}

std::optional<int16_t> ResultCode(std::string_view entry) {
  entry = Trim(entry);
  if (!entry.empty() && entry.front() == '+') entry.remove_prefix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(entry.data(), entry.data() + entry.size(), value);
  if (entry.empty() || error != std::errc() || end != entry.data() + entry.size() ||
      value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int16_t>(value);
}

std::optional<uint64_t> ParseCount(std::string_view text, uint64_t cap) {
  text = Trim(text);
  if (!AllDigits(text)) return std::nullopt;
  uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) return cap;
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value < cap ? value : cap;
}

std::string AmountField(std::string_view request) {
  if (request == kInquiry || request.size() < 2 + kAmountBytes) return std::string(kAmountBytes, '0');
  return std::string(request.substr(2, kAmountBytes));
}

std::string DefaultResponse(std::string_view card, std::string_view amount, uint64_t index) {
  std::string response(card.substr(0, kCardBytes));
  response.resize(kCardBytes, ' ');
  response.append(amount.substr(0, kAmountBytes));
  response.resize(kCardBytes + kAmountBytes, ' ');
  response += ZeroPadded(index, kIndexDigits);
  return response;
}

std::string ReceiptText(std::string_view title, std::string_view slip, std::string_view response) {
  const auto field = [&](size_t at, size_t size) {
    return at < response.size() ? response.substr(at, size) : std::string_view();
  };
  std::string text;
  const auto line = [&](std::string_view label, std::string_view value) {
    text.append(label).append(value).append("\r\n");
  };
  line(title, "");
  line(slip, "");
  line("CARD NO: ", Trim(field(0, kCardBytes)));
  line("AMOUNT: ", AmountText(field(kCardBytes, kAmountBytes)));
  line("INDEX: ", Trim(field(kCardBytes + kAmountBytes, kIndexDigits)));
  return text;
}

std::string RecordLine(std::string_view request, std::string_view response) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string line;
  line.reserve(2 * (request.size() + response.size()) + 2);
  const auto append_hex = [&](std::string_view bytes) {
    for (unsigned char b : bytes) {
      line += kHex[b >> 4];
      line += kHex[b & 0x0f];
    }
  };
  append_hex(request);
  line += '\t';
  append_hex(response);
  line += '\n';
  return line;
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::string> FromHex(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes += static_cast<char>(high * 16 + low);
  }
  return bytes;
}

// `... response CODE "RECORD"`; the record runs to the line's last quote.
std::optional<RecordedAnswer> TraceAnswer(std::string_view line) {
  constexpr std::string_view kTag = " response ";
  const size_t tag = line.find(kTag);
  const size_t open = line.find('"', tag);
  const size_t close = line.rfind('"');
  if (tag == std::string_view::npos || open == std::string_view::npos || close <= open) return std::nullopt;
  std::string_view code_text = line.substr(tag + kTag.size(), open - tag - kTag.size());
  while (!code_text.empty() && code_text.back() == ' ') code_text.remove_suffix(1);
  const std::optional<int16_t> code = ResultCode(code_text);
  if (!code) return std::nullopt;
  RecordedAnswer answer{code, "", true};
  const std::string_view record = line.substr(open + 1, close - open - 1);
  for (size_t i = 0; i < record.size(); ++i) {
    if (record.substr(i, 2) == "\\x" && i + 3 < record.size()) {
      if (const auto byte = FromHex(record.substr(i + 2, 2))) {
        answer.response += *byte;
        i += 3;
        continue;
      }
    }
    answer.response += record[i];
  }
  return answer;
}

}  // namespace

std::vector<RecordedAnswer> RecordedAnswers(std::string_view trace) {
  std::vector<RecordedAnswer> answers;
  while (!trace.empty()) {
    const size_t end = trace.find('\n');
    std::string_view line = trace.substr(0, end);
    trace = end == std::string_view::npos ? std::string_view() : trace.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (const size_t tab = line.find('\t'); tab != std::string_view::npos) {
      if (const auto bytes = FromHex(line.substr(tab + 1)); bytes && FromHex(line.substr(0, tab))) {
        answers.push_back({std::nullopt, *bytes, false});
      }
      continue;
    }
    if (auto answer = TraceAnswer(line)) answers.push_back(std::move(*answer));
  }
  return answers;
}

}  // namespace kavrolin::terminal_sim
