// Moving keys between a registry and its text form (platform/registry_text.h):
// what `kavrolin reg export` and `reg import` do. Works through the Registry
// interface alone, so any realisation (or a fake) can be exported and seeded.
//
// Each registry call is atomic; an import as a whole is not: it applies the
// keys in the order of the text and stops at the first call the registry
// refuses, keeping what it applied before. A text with a fault is refused by
// ParseRegText before anything is applied.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "platform/registry.h"
#include "rules/registry_text.h"

namespace kavrolin::platform {

// Appends to `out` the key `path` below `root` (empty: the root itself) with
// its values and, depth first, every key below it, sub-keys in the
// registry's order. kFileNotFound when the key is missing; other statuses as
// the registry answered them.
int32_t ExportKey(Registry& registry, RegHandle root, TextView path, rules::RegText& out);

// Every predefined root that holds keys or values, each as ExportKey does it.
int32_t ExportAll(Registry& registry, rules::RegText& out);

// Applies `text`: [-KEY] deletes the key with everything below it (a missing
// one is no fault), [KEY] makes it with every missing level, "name"=- deletes
// a value (a missing one is no fault), any other value is stored. Answers
// kSuccess, or the registry's status with `failed_line` set to the line of
// the key or value it refused.
int32_t ImportRegText(Registry& registry, const rules::RegText& text, size_t& failed_line);

}  // namespace kavrolin::platform
