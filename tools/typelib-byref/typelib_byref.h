// Makes the by-value text parameters that are marked [out] in a type library
// image (the MSFT format widl writes) by-reference texts (BSTR*).
//
// Why: widl writes a declared default value only for a parameter whose own
// type is a text or a number, never for a by-reference text (BSTR*), yet the
// library publishes optional by-reference texts with declared defaults. The
// type library pass therefore declares each such parameter as a by-value
// text with its default, flags and name, and this step changes only its type
// to the library's existing "pointer to text" type description. A by-value
// text is never legitimately [out], so no other parameter is touched.
//
// On success the image holds the change and the result counts the
// parameters changed; on a malformed image, or when the image has no
// "pointer to text" type description to point at, the result holds the
// reason and the image is left as it was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kavrolin::typelib {

struct ByRefResult {
  int changed = 0;
  std::string error;  // empty on success
};

ByRefResult MakeOutTextsByReference(std::vector<uint8_t>& image);

}  // namespace kavrolin::typelib
