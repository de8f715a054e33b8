// Reading a registry value as text for the toolkit object. The key path and
// the value name are written back as they crossed the ANSI code page.
//
// Unguarded: the registry's reports become the result, nothing is thrown
// besides what running out of memory raises. The key is opened for reading
// only, so a key the caller may only read can still be read. Only texts
// handed to the registry come back changed: the value name is not when the
// key cannot be opened.
#pragma once

#include <cstdint>
#include <string>

#include "base/text.h"
#include "platform/registry.h"

namespace kavrolin::toolkit::registry {

// The read buffer: a value whose data is larger cannot be read.
inline constexpr uint32_t kReadBuffer = 1024;

// The value SubKeyRef of KeyName below the root KeyRoot:
// - REG_SZ and REG_EXPAND_SZ: the data up to its first zero byte, from the
//   ANSI code page; environment references stay as written;
// - REG_DWORD: the decimal text of the unsigned 32-bit value, its four bytes
//   least significant first (256 -> "256", 0xFFFFFFFF -> "4294967295");
// - any other type: the empty text.
// The empty text also for a missing key or value, an unknown root, data over
// kReadBuffer bytes, and whatever else the registry refuses.
Text GetRegKeyValue(platform::Registry& registry, int32_t& KeyRoot, Text& KeyName, Text& SubKeyRef);

// The ANSI form of an in/out text handed to the registry; the caller's
// variable gets the text as it comes back from the code page (characters the
// code page cannot hold become "?").
std::string CrossToAnsi(Text& text);

}  // namespace kavrolin::toolkit::registry
