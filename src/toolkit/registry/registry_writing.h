// Writing and deleting registry keys and values for the toolkit object. Every
// call opens its key, does one thing and closes it again. In/out texts are
// written back as they crossed the ANSI code page.
//
// Unguarded: the registry's reports become the result, nothing is thrown
// besides what running out of memory raises.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "platform/registry.h"

namespace kavrolin::toolkit::registry {

// The rights the toolkit asks for when it makes or opens a key to change it:
// query and set value, create and enumerate sub-keys, notify, create link and
// read control.
inline constexpr uint32_t kChangeRights = 0x2003F;

// Makes or opens KeyName below KeyRoot (every missing level with it) and
// stores SubKeyValue as the REG_SZ value SubKeyName: the text in the ANSI code
// page with its terminating zero. An empty SubKeyValue is stored as a single
// space, and the caller's variable gets " " too (only when the key could be
// opened). True when both steps succeeded.
bool SetRegKeyValue(platform::Registry& registry, int32_t& KeyRoot, Text& KeyName, Text& SubKeyName,
                    Text& SubKeyValue);

// Deletes the key KeyName below KeyRoot. True only when it was deleted: a
// missing key, a key that still has sub-keys, a root (empty KeyName) and a
// store that refuses the change answer false.
bool DelRegKey(platform::Registry& registry, int32_t& KeyRoot, Text& KeyName);

// Deletes the value KeyValue of KeyName below KeyRoot (the key opened with
// the most rights the store grants). True when the value is gone afterwards:
// deleted, or not there. False when the key cannot be opened or the deletion
// of an existing value was refused.
bool DelRegKeyValue(platform::Registry& registry, int32_t& KeyRoot, Text& KeyName, Text& KeyValue);

}  // namespace kavrolin::toolkit::registry
