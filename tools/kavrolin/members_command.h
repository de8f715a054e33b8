// `kavrolin members [CLASS[.MEMBER]] [--json]`: the classes (name, ProgID,
// CLSID) and their members as the type library describes them, read from the
// member tables: DISPID, kind (method, propget, propput), each parameter's
// name, type, direction ("in" or "in, out"), optional flag and declared
// default, and the result type. CLASS may be a class name or ProgID; an
// unknown class or member is a usage error with the nearest names as hints.
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "component/identifiers.h"
#include "component/member_table.h"
#include "kavrolin/host.h"

namespace kavrolin::cli {

int RunMembers(Host& host, const std::optional<std::string>& target, bool as_json);

// One class as `members --json` writes it; `only` keeps the rows of one
// member name (any kind) when given.
nlohmann::ordered_json ClassJson(const component::ClassInfo& info, const std::optional<std::string>& only);

}  // namespace kavrolin::cli
