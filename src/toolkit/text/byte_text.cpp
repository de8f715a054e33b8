#include "toolkit/text/byte_text.h"

#include <string>

#include "base/ansi.h"
#include "base/automation_error.h"

namespace kavrolin::toolkit::text {

Text HLeft(const Text& strIn, int32_t lngLen) {
  std::string bytes = ToAnsi(strIn);
  if (lngLen >= 0 && static_cast<size_t>(lngLen) < bytes.size()) {
    bytes.resize(static_cast<size_t>(lngLen));
  }
  // The conversion back drops a lead byte whose trail byte was cut away.
  return FromAnsi(bytes);
}

ByteArray ConverStrToByte(const Text& strData) {
  const std::string bytes = ToAnsi(strData);
  if (bytes.size() > static_cast<size_t>(kMaxByteTextLength)) {
    throw AutomationError(ErrorNumber::kOverflow);
  }
  if (bytes.empty()) return ByteArray::WithoutBounds();
  ByteArray result;
  result.lbound = 0;
  result.items.reserve(bytes.size() + 1);
  result.items.push_back(0);  // callers read the bytes from index 1
  for (const char b : bytes) result.items.push_back(static_cast<uint8_t>(b));
  return result;
}

Text ConverByteToStr(const ByteArray& buf) {
  if (!buf.has_bounds) throw AutomationError(ErrorNumber::kSubscriptOutOfRange);
  const std::string bytes(buf.items.begin(), buf.items.end());
  return FromAnsi(bytes);
}

}  // namespace kavrolin::toolkit::text
