// The type library step that makes [out] by-value texts by-reference, over
// small MSFT images built here field by field.
#include "typelib_byref.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kavrolin::typelib {
namespace {

constexpr uint32_t kInlineText = 0x80080008;  // VT_BSTR in place
constexpr uint32_t kInlineLong = 0x80030003;  // VT_I4 in place
constexpr uint32_t kIn = 0x1, kOut = 0x2, kRetval = 0x8, kOptional = 0x10, kHasDefault = 0x20;
constexpr uint16_t kVtPtr = 26;

struct ParamSpec {
  uint32_t type;
  uint32_t flags;
};

void Put32(std::vector<uint8_t>& image, size_t at, uint32_t value) {
  if (image.size() < at + 4) image.resize(at + 4);
  for (int i = 0; i < 4; ++i) image[at + i] = static_cast<uint8_t>(value >> (8 * i));
}
uint32_t Get32(const std::vector<uint8_t>& image, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | image[at + i];
  return value;
}

// An image with one interface whose functions take the given parameters.
// The type description segment holds "pointer to long" at offset 0 and, when
// asked, "pointer to text" at offset 8. `param_at` receives the offset of
// every parameter's type field, function by function.
std::vector<uint8_t> Image(const std::vector<std::vector<ParamSpec>>& functions, bool pointer_to_text,
                           std::vector<size_t>* param_at = nullptr) {
  std::vector<uint8_t> image;
  Put32(image, 0x00, 0x5446534D);  // "MSFT"
  Put32(image, 0x04, 0x00010002);
  Put32(image, 0x14, 0x41);  // no help library
  Put32(image, 0x20, 1);     // one type information
  const size_t segments = 0x54 + 4;
  const size_t infos = segments + 15 * 16;
  const size_t descriptions = infos + 0x64;
  const size_t description_size = pointer_to_text ? 16 : 8;
  const size_t block = descriptions + description_size;
  Put32(image, 0x54, 0);
  for (size_t s = 0; s < 15; ++s) {
    Put32(image, segments + s * 16, 0xFFFFFFFF);
    Put32(image, segments + s * 16 + 4, 0);
    Put32(image, segments + s * 16 + 8, 0xFFFFFFFF);
    Put32(image, segments + s * 16 + 12, 0x0F);
  }
  Put32(image, segments, static_cast<uint32_t>(infos));
  Put32(image, segments + 4, 0x64);
  Put32(image, segments + 9 * 16, static_cast<uint32_t>(descriptions));
  Put32(image, segments + 9 * 16 + 4, static_cast<uint32_t>(description_size));
  Put32(image, infos + 0x00, 3);  // an interface
  Put32(image, infos + 0x04, static_cast<uint32_t>(block));
  Put32(image, infos + 0x18, static_cast<uint32_t>(functions.size()));
  Put32(image, infos + 0x60, 0);
  Put32(image, descriptions, 0x7FFE0000 | kVtPtr);
  Put32(image, descriptions + 4, kInlineLong);
  if (pointer_to_text) {
    Put32(image, descriptions + 8, 0x7FFE0000 | kVtPtr);
    Put32(image, descriptions + 12, kInlineText);
  }
  size_t record = block + 4;
  for (size_t f = 0; f < functions.size(); ++f) {
    const size_t length = 24 + functions[f].size() * 12;
    Put32(image, record, static_cast<uint32_t>(length | f << 16));
    Put32(image, record + 4, 0x80190019);  // returns HRESULT
    Put32(image, record + 0x14, static_cast<uint32_t>(functions[f].size()));
    for (size_t p = 0; p < functions[f].size(); ++p) {
      const size_t at = record + 24 + p * 12;
      Put32(image, at, functions[f][p].type);
      Put32(image, at + 4, 0xFFFFFFFF);
      Put32(image, at + 8, functions[f][p].flags);
      if (param_at) param_at->push_back(at);
    }
    record += length;
  }
  Put32(image, block, static_cast<uint32_t>(record - block - 4));
  return image;
}

TEST(MakeOutTextsByReference, ChangesOnlyTheOutByValueTexts) {
  struct Row {
    const char* label;
    std::vector<std::vector<ParamSpec>> functions;
    std::vector<uint32_t> types_after;  // every parameter, in order
  };
  const uint32_t kPointerToText = 8;
  const Row rows[] = {
      {"no functions at all", {}, {}},
      {"a function without parameters", {{}}, {}},
      {"an [in, out] text by value becomes a pointer to text",
       {{{kInlineText, kIn | kOut | kOptional | kHasDefault}}},
       {kPointerToText}},
      {"an [in] text by value stays", {{{kInlineText, kIn}}}, {kInlineText}},
      {"a result that already points to text stays", {{{kPointerToText, kOut | kRetval}}}, {kPointerToText}},
      {"an [in, out] long by value stays", {{{kInlineLong, kIn | kOut}}}, {kInlineLong}},
      {"an [in, out] pointer to long stays", {{{0, kIn | kOut}}}, {0}},
      {"the last parameter of a later function",
       {{{kInlineText, kIn}}, {{kPointerToText, kIn | kOut}, {kInlineText, kIn | kOut | kOptional}}},
       {kInlineText, kPointerToText, kPointerToText}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    std::vector<size_t> params;
    std::vector<uint8_t> image = Image(row.functions, true, &params);
    const std::vector<uint8_t> before = image;
    const ByRefResult result = MakeOutTextsByReference(image);
    EXPECT_EQ(result.error, "");
    ASSERT_EQ(params.size(), row.types_after.size());
    int expected_changes = 0;
    for (size_t p = 0; p < params.size(); ++p) {
      EXPECT_EQ(Get32(image, params[p]), row.types_after[p]) << "parameter " << p;
      expected_changes += Get32(before, params[p]) != row.types_after[p];
      // Nothing but the type field moves: name and flags stay.
      EXPECT_EQ(Get32(image, params[p] + 8), Get32(before, params[p] + 8));
    }
    EXPECT_EQ(result.changed, expected_changes);
    EXPECT_EQ(image.size(), before.size());
  }
}

TEST(MakeOutTextsByReference, RefusesWhatItCannotChangeSafely) {
  const std::vector<std::vector<ParamSpec>> one_out_text = {{{kInlineText, kIn | kOut}}};
  struct Row {
    const char* label;
    std::vector<uint8_t> image;
  };
  std::vector<uint8_t> not_msft = Image(one_out_text, true);
  not_msft[0] = 'X';
  std::vector<uint8_t> truncated = Image(one_out_text, true);
  truncated.resize(0x60);
  std::vector<uint8_t> long_record = Image(one_out_text, true);
  const size_t block = Get32(long_record, 0x58 + 0 * 16) + 0x64 + 16;
  Put32(long_record, block + 4, 0x1000);  // a record longer than its block
  std::vector<uint8_t> far_block = Image(one_out_text, true);
  Put32(far_block, Get32(far_block, 0x58) + 4, 0xFFFFFF00);  // records past the end
  std::vector<uint8_t> too_many_args = Image(one_out_text, true);
  Put32(too_many_args, block + 4 + 0x14, 200);
  const Row rows[] = {
      {"an empty image", {}},
      {"a truncated image", truncated},
      {"not an MSFT image", not_msft},
      {"no pointer-to-text description to refer to", Image(one_out_text, false)},
      {"a record longer than its block", long_record},
      {"member records past the end of the image", far_block},
      {"more parameters than the record holds", too_many_args},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    std::vector<uint8_t> image = row.image;
    const ByRefResult result = MakeOutTextsByReference(image);
    EXPECT_NE(result.error, "");
    EXPECT_EQ(result.changed, 0);
    EXPECT_EQ(image, row.image);
  }
}

}  // namespace
}  // namespace kavrolin::typelib
