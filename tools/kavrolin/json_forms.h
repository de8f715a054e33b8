// The JSON forms of automation values used by `call --json` and `batch`.
//
//   empty -> null, Null -> {"null":true}, 16/32-bit integers and doubles ->
//   number, boolean -> true/false, text -> string (UTF-8), date ->
//   {"date":"yyyy-mm-dd hh:mm:ss"}, text array -> {"texts":[...],"lbound":n},
//   byte array -> {"bytes":[...],"lbound":n}, an array without bounds ->
//   {"texts":null} / {"bytes":null}.
//
// Arguments read the other way: string -> text, number -> double, true/false
// -> boolean, null or {"null":true} -> Null, {"omit":true} -> left out, and the
// array forms above ("lbound" defaults to 0).
#pragma once

#include <optional>

#include <nlohmann/json.hpp>

#include "base/automation_error.h"
#include "base/variant.h"
#include "component/dispatch.h"

namespace kavrolin::cli {

nlohmann::ordered_json ToJson(const Variant& value);
// An argument as the caller passed it; nullopt for {"omit":true}.
nlohmann::ordered_json ToJson(const std::optional<Variant>& argument);

// Throws AutomationError 5 for a JSON value that is none of the forms.
std::optional<Variant> ArgumentFromJson(const nlohmann::ordered_json& json);

// {"number":N,"description":"..."}, or null. A non-empty `detail` (which
// class, member and parameter the error is about) is added as "detail".
nlohmann::ordered_json ErrorJson(const std::optional<AutomationError>& error, const std::string& detail = "");

// One output line: {"result":R,"args":[...],"messages":[...],"error":E}.
nlohmann::ordered_json CallJson(const component::InvokeResult& result, const component::Arguments& args,
                                const std::vector<Text>& messages, const std::string& detail = "");

// The compact UTF-8 text of a JSON value, U+0000 as \u0000.
std::string Dump(const nlohmann::ordered_json& json);

}  // namespace kavrolin::cli
