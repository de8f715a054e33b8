#include "rules/ini_text.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace kavrolin::rules::ini {
namespace {

constexpr const char* kLineEnd = "\r\n";

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Names written by a caller are trimmed as the file's are.
std::string_view Name(const char* s) { return Trim(std::string_view(s)); }

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

Edit Changed(std::string bytes) { return Edit{Edit::Outcome::kChanged, std::move(bytes)}; }
Edit Refused() { return Edit{Edit::Outcome::kRefused, {}}; }

// Copies a name list as the platform does: each name and a zero, one more zero;
// a list that does not fit ends cut, with two zeros, and answers size - 2.
uint32_t CopyList(const std::vector<std::string_view>& names, char* buffer, uint32_t size) {
  std::string list;
  for (std::string_view n : names) {
    list.append(n);
    list.push_back('\0');
  }
  if (size == 1) {
    buffer[0] = '\0';
    return 0;
  }
  if (list.size() + 1 <= size) {
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    if (list.empty()) buffer[1] = '\0';
    return static_cast<uint32_t>(list.size());
  }
  std::memcpy(buffer, list.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

}  // namespace

IniText::IniText(std::string bytes, int code_page) : bytes_(std::move(bytes)), codec_(code_page) {
  if (bytes_.size() > kMaxBytes) throw std::length_error("INI text too long");
  const std::string_view all(bytes_);
  size_t count = 1;
  for (const char* at = all.data(); (at = static_cast<const char*>(std::memchr(
                                         at, '\n', all.data() + all.size() - at))) != nullptr;
       ++at) {
    ++count;
  }
  lines_.reserve(count);
  for (size_t pos = 0; pos < all.size(); pos = lines_.back().next) {
    lines_.push_back(ParseLine(all, pos));
  }
  IndexSections();
}

IniText::IniText(std::string bytes, const AnsiCodec& codec, Unparsed)
    : bytes_(std::move(bytes)), codec_(codec) {
  if (bytes_.size() > kMaxBytes) throw std::length_error("INI text too long");
}

IniText::Line IniText::ParseLine(std::string_view all, size_t pos) {
  // The text is at most kMaxBytes long: every offset fits.
  const auto at = [&all](std::string_view part) { return static_cast<uint32_t>(part.data() - all.data()); };
  const auto size = [](std::string_view part) { return static_cast<uint32_t>(part.size()); };
  Line line;
  line.start = static_cast<uint32_t>(pos);
  // A CR is looked for only before the LF: a file of LF lines is not searched
  // to its end for each line.
  const char* lf = static_cast<const char*>(std::memchr(all.data() + pos, '\n', all.size() - pos));
  const size_t limit = lf != nullptr ? static_cast<size_t>(lf - all.data()) : all.size();
  const char* cr = static_cast<const char*>(std::memchr(all.data() + pos, '\r', limit - pos));
  const size_t end = cr != nullptr ? static_cast<size_t>(cr - all.data()) : limit;
  size_t next = end;
  if (end < all.size()) {
    next = (all[end] == '\r' && end + 1 < all.size() && all[end + 1] == '\n') ? end + 2 : end + 1;
  }
  line.end = static_cast<uint32_t>(end);
  line.next = static_cast<uint32_t>(next);

  const std::string_view text = Trim(all.substr(pos, end - pos));
  if (text.empty()) return line;
  if (text.front() == '[') {
    const size_t close = text.rfind(']');
    if (close != std::string_view::npos && close > 0) {
      line.kind = Line::Kind::kHeader;
      const std::string_view name = Trim(text.substr(1, close - 1));
      line.name_at = at(name);
      line.name_size = size(name);
      return line;
    }
  }
  if (text.front() == ';') return line;
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos) return line;
  line.kind = Line::Kind::kEntry;
  const std::string_view name = Trim(text.substr(0, equals));
  std::string_view value = Trim(text.substr(equals + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  line.name_at = at(name);
  line.name_size = size(name);
  line.value_at = at(value);
  line.value_size = size(value);
  return line;
}

void IniText::IndexSections() {
  sections_.clear();
  sections_.push_back(Section{std::string_view(), -1, 0, 0});
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind != Line::Kind::kHeader) continue;
    sections_.back().end = i;
    sections_.push_back(Section{NameOf(lines_[i]), static_cast<int>(i), i + 1, 0});
  }
  sections_.back().end = lines_.size();
}

std::shared_ptr<const IniText> IniText::Edited(const IniText& before, std::string bytes) {
  const std::string_view old(before.bytes_);
  std::shared_ptr<IniText> text(new IniText(std::move(bytes), before.codec_, Unparsed{}));
  const std::string_view now(text->bytes_);

  // The unchanged head and tail, compared in blocks first.
  const size_t shorter = std::min(old.size(), now.size());
  size_t head = 0;
  constexpr size_t kBlock = 64;
  while (head + kBlock <= shorter &&
         std::memcmp(old.data() + head, now.data() + head, kBlock) == 0) {
    head += kBlock;
  }
  while (head < shorter && old[head] == now[head]) ++head;
  size_t tail = 0;
  const size_t tail_room = shorter - head;
  while (tail + kBlock <= tail_room &&
         std::memcmp(old.data() + old.size() - tail - kBlock,
                     now.data() + now.size() - tail - kBlock, kBlock) == 0) {
    tail += kBlock;
  }
  while (tail < tail_room && old[old.size() - 1 - tail] == now[now.size() - 1 - tail]) ++tail;

  // Offsets wrap modulo 2^32, so one addition moves a line either way.
  const ptrdiff_t shift = static_cast<ptrdiff_t>(now.size()) - static_cast<ptrdiff_t>(old.size());
  const auto moved = static_cast<uint32_t>(shift);
  const auto rebase = [moved](Line* first, Line* last) {
    for (Line* line = first; line != last; ++line) {
      line->start += moved;
      line->end += moved;
      line->next += moved;
      line->name_at += moved;
      line->value_at += moved;
    }
  };

  std::vector<Line>& lines = text->lines_;
  lines.reserve(before.lines_.size() + 4);
  // A line is decided by its bytes up to its line end and the byte after a CR:
  // lines whose next line starts inside the head are unchanged.
  const auto unchanged_head = std::partition_point(
      before.lines_.begin(), before.lines_.end(), [head](const Line& l) { return l.next < head; });
  lines.assign(before.lines_.begin(), unchanged_head);
  const size_t i = static_cast<size_t>(unchanged_head - before.lines_.begin());
  size_t pos = lines.empty() ? 0 : lines.back().next;

  // From the change on, parse until a line starts inside the tail where one
  // started before; from there on the lines are the old ones, moved.
  const size_t tail_start = now.size() - tail;
  while (pos < now.size()) {
    if (pos >= tail_start) {
      const size_t old_pos = static_cast<size_t>(static_cast<ptrdiff_t>(pos) - shift);
      const auto same = std::lower_bound(before.lines_.begin() + static_cast<ptrdiff_t>(i),
                                         before.lines_.end(), old_pos,
                                         [](const Line& l, size_t p) { return l.start < p; });
      if (same != before.lines_.end() && same->start == old_pos) {
        const size_t from = lines.size();
        lines.insert(lines.end(), same, before.lines_.end());
        rebase(lines.data() + from, lines.data() + lines.size());
        break;
      }
    }
    lines.push_back(ParseLine(now, pos));
    pos = lines.back().next;
  }
  text->IndexSections();
  return text;
}

bool IniText::SameName(std::string_view a, std::string_view b) const {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    // ASCII is never a lead byte: most names never ask the code page.
    if (x >= 0x80 && codec_.IsLeadByte(x) && i + 1 < a.size()) {
      // A double-byte character: both bytes must match exactly.
      if (x != y || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

const IniText::Section* IniText::FirstSection(std::string_view name) const {
  for (const auto& s : sections_) {
    // The nameless section before any header counts only when it holds lines.
    if (SameName(s.name, name) && (s.header >= 0 || s.first < s.end)) return &s;
  }
  return nullptr;
}

const IniText::Line* IniText::FirstKey(const Section& section, std::string_view key) const {
  for (size_t i = section.first; i < section.end; ++i) {
    if (lines_[i].kind == Line::Kind::kEntry && SameName(NameOf(lines_[i]), key)) return &lines_[i];
  }
  return nullptr;
}

uint32_t AnswerGetString(const IniText* text, const char* section, const char* key,
                         const char* default_value, char* buffer, uint32_t size) {
  if (buffer == nullptr || size == 0) return 0;
  if (section == nullptr || key == nullptr) {
    // As the platform lists them: every header line, and every key line of
    // the first section of the name, repeats included.
    std::vector<std::string_view> names;
    if (text != nullptr && section == nullptr) {
      for (const auto& s : text->sections()) {
        if (s.header >= 0) names.push_back(s.name);
      }
    } else if (text != nullptr) {
      if (const IniText::Section* s = text->FirstSection(Name(section))) {
        for (size_t i = s->first; i < s->end; ++i) {
          if (text->lines()[i].kind == IniText::Line::Kind::kEntry) names.push_back(text->NameOf(text->lines()[i]));
        }
      }
    }
    return CopyList(names, buffer, size);
  }
  std::string_view answer;
  bool found = false;
  if (text != nullptr) {
    if (const IniText::Section* s = text->FirstSection(Name(section))) {
      if (const IniText::Line* line = text->FirstKey(*s, Name(key))) {
        answer = text->ValueOf(*line);
        found = true;
      }
    }
  }
  if (!found) {
    answer = default_value ? std::string_view(default_value) : std::string_view();
    while (!answer.empty() && answer.back() == ' ') answer.remove_suffix(1);
  }
  const size_t n = std::min<size_t>(answer.size(), size - 1);
  std::memcpy(buffer, answer.data(), n);
  buffer[n] = '\0';
  return static_cast<uint32_t>(n);
}

namespace {

// Removes every section of the name (header to the next header).
Edit DeleteSections(const IniText& text, std::string_view name) {
  const std::string& bytes = text.bytes();
  std::string out;
  size_t kept_from = 0;
  bool any = false;
  for (const auto& s : text.sections()) {
    if (s.header < 0 || !text.SameName(s.name, name)) continue;
    any = true;
    const size_t from = text.lines()[s.header].start;
    const size_t to = s.end < text.lines().size() ? text.lines()[s.end].start : bytes.size();
    out.append(bytes, kept_from, from - kept_from);
    kept_from = to;
  }
  if (!any) return {};
  out.append(bytes, kept_from, std::string::npos);
  return Changed(std::move(out));
}

// The byte offset after which a new line can go below line `i`, and whether a
// line end must come first (the line ends the file without one).
size_t AfterLine(const IniText& text, size_t i, bool* needs_line_end) {
  const auto& line = text.lines()[i];
  *needs_line_end = line.next == line.end;
  return line.next;
}

std::string Insert(const std::string& bytes, size_t at, bool line_end_first, std::string_view add) {
  std::string out = bytes.substr(0, at);
  if (line_end_first) out += kLineEnd;
  out.append(add);
  out.append(bytes, at, std::string::npos);
  return out;
}

std::string AppendSection(const std::string& bytes, std::string_view name, std::string_view body) {
  std::string out = bytes;
  if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += kLineEnd;
  out += '[';
  out.append(name);
  out += ']';
  out += kLineEnd;
  out.append(body);
  return out;
}

}  // namespace

Edit EditForWriteString(const IniText& text, const char* section, const char* key,
                        const char* value) {
  if (section == nullptr) return Refused();  // the platform's flush call: nothing to write
  const std::string_view s = Name(section);
  if (HasLineBreak(section)) return Refused();
  if (key == nullptr) return DeleteSections(text, s);
  const std::string_view k = Name(key);
  if (HasLineBreak(key) || k.empty() || k.find('=') != std::string_view::npos || k.front() == ';' ||
      k.front() == '[') {
    return value == nullptr ? Edit{} : Refused();
  }
  const std::string& bytes = text.bytes();

  if (value == nullptr) {  // delete the key wherever the section stands
    std::string out;
    size_t kept_from = 0;
    bool any = false;
    for (const auto& sec : text.sections()) {
      if (!text.SameName(sec.name, s)) continue;
      for (size_t i = sec.first; i < sec.end; ++i) {
        const auto& line = text.lines()[i];
        if (line.kind != IniText::Line::Kind::kEntry || !text.SameName(text.NameOf(line), k)) continue;
        any = true;
        out.append(bytes, kept_from, line.start - kept_from);
        kept_from = line.next;
      }
    }
    if (!any) return {};
    out.append(bytes, kept_from, std::string::npos);
    return Changed(std::move(out));
  }

  const std::string_view v(value);
  if (HasLineBreak(v)) return Refused();
  // The value goes to the first section of the name, the one reads see.
  const IniText::Section* first = text.FirstSection(s);
  if (first != nullptr) {
    if (const IniText::Line* line = text.FirstKey(*first, k)) {
      std::string replaced(text.NameOf(*line));
      replaced += '=';
      replaced.append(v);
      if (std::string_view(bytes).substr(line->start, line->end - line->start) == replaced) return {};
      std::string out = bytes.substr(0, line->start) + replaced;
      out.append(bytes, line->end, std::string::npos);
      return Changed(std::move(out));
    }
  }
  std::string entry(k);
  entry += '=';
  entry.append(v);
  entry += kLineEnd;
  if (first == nullptr) {
    if (s.empty()) return Changed(entry + bytes);  // the nameless section starts the file
    return Changed(AppendSection(bytes, s, entry));
  }
  // After the section's last entry, or right after its header.
  int after = first->header;
  for (size_t i = first->first; i < first->end; ++i) {
    if (text.lines()[i].kind == IniText::Line::Kind::kEntry) after = static_cast<int>(i);
  }
  if (after < 0) return Changed(entry + bytes);
  bool line_end_first = false;
  const size_t at = AfterLine(text, static_cast<size_t>(after), &line_end_first);
  return Changed(Insert(bytes, at, line_end_first, entry));
}

Edit EditForWriteSection(const IniText& text, const char* section, const char* entries) {
  if (section == nullptr || HasLineBreak(section)) return Refused();
  const std::string_view s = Name(section);
  if (entries == nullptr) return DeleteSections(text, s);
  std::string body;
  for (const char* e = entries; *e != '\0'; e += std::strlen(e) + 1) {
    const std::string_view entry(e);
    if (HasLineBreak(entry) || Trim(entry).front() == '[') return Refused();
    body.append(entry);
    body += kLineEnd;
  }
  const std::string& bytes = text.bytes();
  const IniText::Section* first = nullptr;
  for (const auto& sec : text.sections()) {
    if (sec.header >= 0 && text.SameName(sec.name, s)) {
      first = &sec;
      break;
    }
  }
  if (first == nullptr) return Changed(AppendSection(bytes, s, body));
  // The first section's lines give way to the entries; later copies go.
  const auto& header = text.lines()[first->header];
  const size_t to = first->end < text.lines().size() ? text.lines()[first->end].start : bytes.size();
  std::string out = bytes.substr(0, header.next);
  if (header.next == header.end && !body.empty()) out += kLineEnd;
  out += body;
  out.append(bytes, to, std::string::npos);
  // Later sections of the same name are removed from the result.
  const IniText rebuilt(out, text.code_page());
  std::string cleaned;
  size_t kept_from = 0;
  bool seen_first = false;
  for (const auto& sec : rebuilt.sections()) {
    if (sec.header < 0 || !text.SameName(sec.name, s)) continue;
    if (!seen_first) {
      seen_first = true;
      continue;
    }
    const size_t from = rebuilt.lines()[sec.header].start;
    const size_t end = sec.end < rebuilt.lines().size() ? rebuilt.lines()[sec.end].start : out.size();
    cleaned.append(out, kept_from, from - kept_from);
    kept_from = end;
  }
  cleaned.append(out, kept_from, std::string::npos);
  if (cleaned == bytes) return {};
  return Changed(std::move(cleaned));
}

}  // namespace kavrolin::rules::ini
