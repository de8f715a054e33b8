#include "rules/payment_log.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>

#include "rules/payment_state.h"

namespace kavrolin::rules {
namespace {

std::string Escaped(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (char c : field) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  return out;
}

std::optional<std::string> Unescaped(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      out += field[i];
      continue;
    }
    if (++i == field.size()) return std::nullopt;
    switch (field[i]) {
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case '\\': out += '\\'; break;
      default: return std::nullopt;
    }
  }
  return out;
}

class Line {
 public:
  explicit Line(char kind) { text_ += kind; }
  Line& Add(std::string_view utf8) {
    text_ += '\t';
    text_ += Escaped(utf8);
    return *this;
  }
  Line& Add(TextView text) { return Add(std::string_view(ToUtf8(text))); }
  Line& Add(int64_t number) { return Add(std::string_view(std::to_string(number))); }
  std::string Done() { return text_ + '\n'; }

 private:
  std::string text_;
};

std::vector<std::string_view> Split(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t from = 0;
  for (size_t tab; (tab = line.find('\t', from)) != std::string_view::npos; from = tab + 1) {
    fields.push_back(line.substr(from, tab - from));
  }
  fields.push_back(line.substr(from));
  return fields;
}

std::optional<int64_t> Number(std::string_view field) {
  int64_t value = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (error != std::errc() || end != field.data() + field.size() || field.empty()) return std::nullopt;
  return value;
}

// The fields of one line after its kind, decoded; nothing when any field is
// malformed or the count is not `count`.
std::optional<std::vector<std::string>> Fields(const std::vector<std::string_view>& raw, size_t count) {
  if (raw.size() != count + 1) return std::nullopt;
  std::vector<std::string> fields;
  for (size_t i = 1; i < raw.size(); ++i) {
    std::optional<std::string> field = Unescaped(raw[i]);
    if (!field) return std::nullopt;
    fields.push_back(std::move(*field));
  }
  return fields;
}

}  // namespace

std::string StartLine(int64_t id, int64_t pid, const PaymentStart& s) {
  return Line('S')
      .Add(id)
      .Add(pid)
      .Add(s.time)
      .Add(s.day)
      .Add(s.code)
      .Add(s.amount)
      .Add(s.cents)
      .Add(s.invoice)
      .Add(s.cashier)
      .Add(s.register_id)
      .Done();
}

std::string FinishLine(int64_t id, const PaymentOutcome& o) {
  return Line('F')
      .Add(id)
      .Add(int64_t{o.answered ? 1 : 0})
      .Add(int64_t{o.return_code})
      .Add(o.card)
      .Add(o.card_amount)
      .Add(o.index_number)
      .Add(o.failure)
      .Done();
}

std::string ResolveLine(int64_t id, TextView finding, TextView time) {
  return Line('R').Add(id).Add(finding).Add(time).Done();
}

std::vector<PaymentRecord> FoldPaymentLog(std::string_view log) {
  std::vector<PaymentRecord> records;
  std::map<int64_t, size_t> at;  // id -> position in records
  size_t from = 0;
  for (size_t end; (end = log.find('\n', from)) != std::string_view::npos; from = end + 1) {
    const std::vector<std::string_view> raw = Split(log.substr(from, end - from));
    if (raw[0].size() != 1) continue;
    const char kind = raw[0][0];
    const size_t count = kind == 'S' ? 10 : kind == 'F' ? 7 : kind == 'R' ? 3 : 0;
    if (count == 0) continue;
    const std::optional<std::vector<std::string>> f = Fields(raw, count);
    if (!f) continue;
    const std::optional<int64_t> id = Number((*f)[0]);
    if (!id) continue;
    const auto found = at.find(*id);
    if (kind == 'S') {
      const std::optional<int64_t> pid = Number((*f)[1]);
      const std::optional<int64_t> cents = Number((*f)[6]);
      if (found != at.end() || !pid || !cents) continue;
      PaymentRecord r;
      r.id = *id;
      r.pid = *pid;
      r.start = {FromUtf8((*f)[2]), FromUtf8((*f)[3]), FromUtf8((*f)[4]), FromUtf8((*f)[5]),
                 *cents,            FromUtf8((*f)[7]), FromUtf8((*f)[8]), FromUtf8((*f)[9])};
      at.emplace(*id, records.size());
      records.push_back(std::move(r));
      continue;
    }
    if (found == at.end()) continue;
    PaymentRecord& r = records[found->second];
    if (kind == 'F') {
      const std::optional<int64_t> answered = Number((*f)[1]);
      const std::optional<int64_t> code = Number((*f)[2]);
      if (!answered || !code) continue;
      TakeOutcome(r, {*answered != 0, static_cast<int32_t>(*code), FromUtf8((*f)[3]), FromUtf8((*f)[4]),
                      FromUtf8((*f)[5]), FromUtf8((*f)[6])});
    } else {
      TakeResolution(&r, FromUtf8((*f)[1]), FromUtf8((*f)[2]));
    }
  }
  return records;
}

ResolveStatus ResolveStatusOf(const std::vector<PaymentRecord>& records, int64_t id) {
  const auto found = std::find_if(records.begin(), records.end(), [&](const PaymentRecord& r) { return r.id == id; });
  return ResolveStatusOf(found == records.end() ? nullptr : &*found);
}

std::optional<int64_t> LastRecordId(std::string_view tail, bool whole) {
  if (!whole) {
    // The first line may be a part of one: only what follows a line end counts.
    const size_t end = tail.find('\n');
    tail = end == std::string_view::npos ? std::string_view() : tail.substr(end + 1);
  }
  const std::vector<PaymentRecord> records = FoldPaymentLog(tail);
  if (records.empty()) return std::nullopt;
  return std::max_element(records.begin(), records.end(),
                          [](const PaymentRecord& a, const PaymentRecord& b) { return a.id < b.id; })
      ->id;
}

}  // namespace kavrolin::rules
