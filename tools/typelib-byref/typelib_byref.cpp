#include "typelib_byref.h"

#include <cstring>
#include <optional>

namespace kavrolin::typelib {
namespace {

// Layout of the MSFT image, as the platform's type library loader reads it.
constexpr uint32_t kMagic = 0x5446534D;  // "MSFT"
constexpr size_t kHeaderSize = 0x54;
constexpr size_t kVarFlagsAt = 0x14;
constexpr size_t kTypeInfoCountAt = 0x20;
constexpr uint32_t kHelpDllFlag = 0x100;
constexpr size_t kSegmentCount = 15;
constexpr size_t kSegmentEntrySize = 16;
constexpr size_t kTypeDescSegment = 9;
constexpr size_t kTypeInfoSize = 0x64;
constexpr size_t kMemOffsetAt = 0x04;
constexpr size_t kElementCountAt = 0x18;  // low word: functions
constexpr size_t kFuncArgCountAt = 0x14;  // in a function record
constexpr size_t kParamInfoSize = 12;     // type, name, flags

constexpr uint16_t kVtPtr = 26;
constexpr uint32_t kInlineText = 0x80080008;  // VT_BSTR written in place
constexpr uint32_t kParamOut = 0x2;           // PARAMFLAG_FOUT

class Image {
 public:
  explicit Image(std::vector<uint8_t>& bytes) : bytes_(bytes) {}

  std::optional<uint32_t> Read32(size_t at) const {
    if (at > bytes_.size() || bytes_.size() - at < 4) return std::nullopt;
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | bytes_[at + i];
    return value;
  }
  std::optional<uint16_t> Read16(size_t at) const {
    if (at > bytes_.size() || bytes_.size() - at < 2) return std::nullopt;
    return static_cast<uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
  }
  void Write32(size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<uint8_t>(value >> (8 * i));
  }

 private:
  std::vector<uint8_t>& bytes_;
};

struct Change {
  size_t at;
};

}  // namespace

ByRefResult MakeOutTextsByReference(std::vector<uint8_t>& bytes) {
  Image image(bytes);
  if (image.Read32(0) != kMagic) return {0, "not an MSFT type library"};
  const auto var_flags = image.Read32(kVarFlagsAt);
  const auto type_count = image.Read32(kTypeInfoCountAt);
  if (!var_flags || !type_count || *type_count > 0xFFFF) return {0, "truncated header"};
  const size_t segments_at = kHeaderSize + ((*var_flags & kHelpDllFlag) ? 4 : 0) + 4 * size_t{*type_count};

  auto segment = [&](size_t index) -> std::optional<std::pair<uint32_t, uint32_t>> {
    const auto offset = image.Read32(segments_at + index * kSegmentEntrySize);
    const auto length = image.Read32(segments_at + index * kSegmentEntrySize + 4);
    if (!offset || !length || *offset > bytes.size() || bytes.size() - *offset < *length) return std::nullopt;
    return std::pair{*offset, *length};
  };
  if (!image.Read32(segments_at + kSegmentCount * kSegmentEntrySize - 4)) return {0, "truncated segment table"};

  // The type description "pointer to text" that the by-reference texts of
  // the library already use.
  const auto descriptions = segment(kTypeDescSegment);
  if (!descriptions) return {0, "bad type description segment"};
  std::optional<uint32_t> pointer_to_text;
  for (uint32_t at = 0; at + 8 <= descriptions->second; at += 8) {
    if (image.Read16(descriptions->first + at) == kVtPtr &&
        image.Read32(descriptions->first + at + 4) == kInlineText) {
      pointer_to_text = at;
      break;
    }
  }

  const auto infos = segment(0);
  if (!infos || infos->second < size_t{*type_count} * kTypeInfoSize) return {0, "bad type information segment"};
  std::vector<Change> changes;
  for (uint32_t t = 0; t < *type_count; ++t) {
    const size_t info = infos->first + size_t{t} * kTypeInfoSize;
    const uint32_t functions = *image.Read32(info + kElementCountAt) & 0xFFFF;
    const uint32_t records = *image.Read32(info + kMemOffsetAt);
    if (functions == 0) continue;
    const auto block_size = image.Read32(records);
    if (!block_size || bytes.size() - records - 4 < *block_size) return {0, "bad member records"};
    size_t record = records + 4;
    const size_t block_end = record + *block_size;
    for (uint32_t f = 0; f < functions; ++f) {
      const auto info_word = image.Read32(record);
      const auto args = image.Read16(record + kFuncArgCountAt);
      if (!info_word || !args) return {0, "bad function record"};
      const size_t length = *info_word & 0xFFFF;
      if (length == 0 || record + length > block_end || size_t{*args} * kParamInfoSize > length) {
        return {0, "bad function record"};
      }
      const size_t params = record + length - size_t{*args} * kParamInfoSize;
      for (uint16_t p = 0; p < *args; ++p) {
        const size_t param = params + p * kParamInfoSize;
        if (image.Read32(param) == kInlineText && (*image.Read32(param + 8) & kParamOut)) changes.push_back({param});
      }
      record += length;
    }
  }
  if (changes.empty()) return {0, ""};
  if (!pointer_to_text) return {0, "no pointer-to-text type description to refer to"};
  for (const Change& c : changes) image.Write32(c.at, *pointer_to_text);
  return {static_cast<int>(changes.size()), ""};
}

}  // namespace kavrolin::typelib
