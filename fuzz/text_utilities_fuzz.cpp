// The text utilities, the path parsing and the string scrambling on any
// texts and numbers. Invariants: HLeft never answers more bytes than asked;
// ConverByteToStr(ConverStrToByte(s)) is U+0000 followed by s through the
// code page; FormatStrLn never cuts; StrReplaceRepeat leaves no strFind
// behind unless it gave up and answered strText unchanged; encoding an ASCII
// text twice with one seed gives it back.
#include <algorithm>

#include "base/ansi.h"
#include "base/automation_error.h"
#include "base/basic_random.h"
#include "toolkit/path/path_parts.h"
#include "toolkit/scramble/encode_string.h"
#include "toolkit/scramble/string_encrypt.h"
#include "toolkit/text/byte_text.h"
#include "toolkit/text/counting.h"
#include "toolkit/text/list_commas.h"
#include "toolkit/text/markers.h"
#include "toolkit/text/padding.h"
#include "toolkit/text/replace.h"
#include "fuzz_support.h"

using namespace kavrolin;
namespace text = kavrolin::toolkit::text;

namespace {

Text AnyText(FuzzedDataProvider& data, size_t max_units) {
  return data.ConsumeBool() ? fuzz::FromAlphabet(data, u"ab ,'0NULnul\x4E2D\x20AC\xD800\x0000", max_units)
                            : fuzz::Units(data, max_units);
}

Variant AnyVariant(FuzzedDataProvider& data) {
  switch (data.ConsumeIntegralInRange(0, 5)) {
    case 0: return Variant(NullValue{});
    case 1: return Variant(data.ConsumeIntegral<int32_t>());
    case 2: return Variant(data.ConsumeFloatingPoint<double>());
    case 3: return Variant(data.ConsumeBool());
    case 4: return Variant(TextArray{true, 0, {AnyText(data, 8)}});
    default: return Variant(AnyText(data, 64));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  try {
    switch (data.ConsumeIntegralInRange(0, 9)) {
      case 0: {
        const Text s = AnyText(data, 64);
        const int32_t length = data.ConsumeIntegralInRange(-2, 140);
        const Text left = text::HLeft(s, length);
        if (length >= 0) FUZZ_CHECK(ToAnsi(left).size() <= static_cast<size_t>(length));
        break;
      }
      case 1: {
        const Text s = AnyText(data, 64);
        const ByteArray array = text::ConverStrToByte(s);
        if (s.empty()) break;
        FUZZ_CHECK(text::ConverByteToStr(array) == u'\0' + FromAnsi(ToAnsi(s)));
        break;
      }
      case 2: {
        ByteArray array{data.ConsumeBool(), data.ConsumeIntegral<int32_t>(), {}};
        const std::string raw = data.ConsumeRandomLengthString(64);
        array.items.assign(raw.begin(), raw.end());
        if (!array.has_bounds) array.items.clear();
        try { text::ConverByteToStr(array); } catch (const AutomationError& e) { FUZZ_CHECK(e.number() == 9); }
        break;
      }
      case 3: {
        int16_t counter = data.ConsumeIntegral<int16_t>();
        const Variant find = AnyVariant(data);
        text::CalculateStr(AnyText(data, 64), find, counter);
        break;
      }
      case 4:
        text::StrReplaceComma(AnyVariant(data));
        break;
      case 5: {
        const Variant s = AnyVariant(data);
        const Text one = AnyText(data, 4), two = AnyText(data, 4);
        text::StrDelimiter(s, one, two);
        break;
      }
      case 6: {
        const Text s = AnyText(data, 32);
        const int32_t width = data.ConsumeIntegralInRange<int32_t>(-5, 4096);
        Text fill = AnyText(data, 3);
        const bool right = data.ConsumeBool();
        const Text padded = text::FormatStrLn(s, width, fill, right);
        FUZZ_CHECK(padded.size() == std::max<size_t>(s.size(), width > 0 ? width : 0));
        FUZZ_CHECK(right ? padded.ends_with(s) : padded.starts_with(s));
        break;
      }
      case 7: {
        const Text s = AnyText(data, 128);
        const Text find = AnyText(data, 4), replacement = AnyText(data, 4);
        const Text out = text::StrReplaceRepeat(Variant(s), find, replacement);
        FUZZ_CHECK(out == s || find.empty() || out.find(find) == Text::npos);
        break;
      }
      case 8: {
        const Text path = data.ConsumeBool() ? fuzz::FromAlphabet(data, u"\\/.:aB*? ", 48) : fuzz::Units(data, 64);
        toolkit::path::ParsePath(path);
        toolkit::path::GetPath(path);
        toolkit::path::ParseFileName(path);
        toolkit::path::GetFileExt(path);
        break;
      }
      default: {
        const Text s = AnyText(data, 64);
        const int32_t seed = data.ConsumeIntegral<int32_t>();
        if (data.ConsumeBool()) {
          const Variant once = toolkit::scramble::EncodeString(s, seed);
          if (once.type() == VariantType::kText) {
            const Variant twice = toolkit::scramble::EncodeString(once.get<Text>(), seed);
            // ASCII stays ASCII; a double-byte code may flip to one the code
            // page lacks ("?"), which no second pass can undo.
            const bool ascii = std::all_of(s.begin(), s.end(), [](char16_t c) { return c < 0x80; });
            if (twice.type() == VariantType::kText && ascii) {
              FUZZ_CHECK(twice.get<Text>() == s);
            }
          }
        } else {
          fuzz::CountingMessageBox box;
          BasicRandom generator(data.ConsumeIntegral<uint32_t>());
          int32_t ma = seed;
          Text target = AnyText(data, 4);
          toolkit::scramble::StringEnCrypt(box, generator, s, ma, target);
        }
      }
    }
  } catch (const AutomationError& e) {
    // The members' documented refusals; anything else escaping is a finding.
    FUZZ_CHECK(e.number() == 5 || e.number() == 6 || e.number() == 7 || e.number() == 9 ||
               e.number() == 13 || e.number() == 94);
  }
  return 0;
}
