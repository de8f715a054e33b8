// The text rules of INI files, on bytes of the ANSI code page, as the
// platform's profile functions read and edit them. Pure: no files.
//
// Lines end at CR, LF or CR LF. A line is trimmed of bytes up to 0x20 at both
// ends. "[" name "]" (the last "]") is a section header, the name trimmed; a
// line starting with ";" is a remark; key "=" value is an entry, both trimmed,
// one pair of matching quotes around the value removed; any other line is no
// entry. Entries before the first header belong to the section named "".
// Names match without regard to ASCII letter case (the trail byte of a
// double-byte character is never folded).
//
// Repeats read as the platform reads them: a value is looked up in the first
// section of its name only, and there in the first line of its key; the key
// list of a section names every key line of that first section, repeats
// included; the section list names every header line, repeats included.
// Writes of a value go to that first section too; deleting a key or a
// section removes every copy of it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/ansi.h"

namespace kavrolin::rules::ini {

struct Edit {
  enum class Outcome {
    kUnchanged,  // the file keeps its bytes; nothing to write
    kChanged,    // `bytes` is the new file
    kRefused,    // the write is not made; the writer answers false
  };
  Outcome outcome = Outcome::kUnchanged;
  std::string bytes;
};

class IniText {
 public:
  // Parses any bytes up to kMaxBytes (std::length_error past it). `code_page`
  // tells which bytes lead a two-byte character; std::invalid_argument when
  // the host cannot use it.
  IniText(std::string bytes, int code_page);
  // Holds views into its own bytes: not to be copied.
  IniText(const IniText&) = delete;
  IniText& operator=(const IniText&) = delete;

  // The same as IniText(bytes, before.code_page()), for bytes that are
  // `before`'s with one stretch changed (an edit of it): only the lines the
  // change touches are parsed, the others are taken from `before`.
  static std::shared_ptr<const IniText> Edited(const IniText& before, std::string bytes);

  const std::string& bytes() const { return bytes_; }
  int code_page() const { return codec_.code_page(); }

  // The largest text: its offsets fit 32 bits.
  static constexpr size_t kMaxBytes = 0xFFFFFFFE;

  // Offsets into bytes(), not views: an edit takes the lines it leaves alone
  // over by copying them, shifted by a constant where they moved.
  struct Line {
    uint32_t start = 0;  // first byte
    uint32_t end = 0;    // end of the text, before its line end
    uint32_t next = 0;   // start of the next line (after its line end)
    enum class Kind : uint8_t { kOther, kHeader, kEntry } kind = Kind::kOther;
    uint32_t name_at = 0, name_size = 0;    // header name or entry key, trimmed
    uint32_t value_at = 0, value_size = 0;  // entry value, trimmed, quotes removed
  };
  struct Section {
    std::string_view name;
    int header = -1;  // line index of the header; -1 for the nameless section
    size_t first = 0; // first line after the header
    size_t end = 0;   // one past its last line
  };

  const std::vector<Line>& lines() const { return lines_; }
  std::string_view NameOf(const Line& line) const { return View(line.name_at, line.name_size); }
  std::string_view ValueOf(const Line& line) const { return View(line.value_at, line.value_size); }
  const std::vector<Section>& sections() const { return sections_; }
  bool SameName(std::string_view a, std::string_view b) const;
  // The first section named `name` (the nameless one before any header only
  // when it holds lines); null when there is none.
  const Section* FirstSection(std::string_view name) const;
  // The first entry line of `key` in `section`; null when there is none.
  const Line* FirstKey(const Section& section, std::string_view key) const;

 private:
  struct Unparsed {};
  std::string_view View(uint32_t at, uint32_t size) const {
    return size == 0 ? std::string_view() : std::string_view(bytes_.data() + at, size);
  }
  IniText(std::string bytes, const AnsiCodec& codec, Unparsed);
  // The line that starts at `pos` (below all.size()).
  static Line ParseLine(std::string_view all, size_t pos);
  // The sections, from the lines.
  void IndexSections();

  std::string bytes_;
  AnsiCodec codec_;
  std::vector<Line> lines_;
  std::vector<Section> sections_;
};

// GetPrivateProfileString over a parsed file (null: a missing file).
uint32_t AnswerGetString(const IniText* text, const char* section, const char* key,
                         const char* default_value, char* buffer, uint32_t size);

// The file after WritePrivateProfileString / WritePrivateProfileSection.
Edit EditForWriteString(const IniText& text, const char* section, const char* key,
                        const char* value);
Edit EditForWriteSection(const IniText& text, const char* section, const char* entries);

}  // namespace kavrolin::rules::ini
