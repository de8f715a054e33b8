// `kavrolin call [--json] CLASS.MEMBER [ARG...]`: one object of CLASS, one
// call of MEMBER by name through the dispatch layer. Each ARG is passed as
// text and coerced to its parameter's type by dispatch; left-out trailing
// optional parameters stay left out. `CLASS.Prop=VALUE` is a property put.
//
// Plain output is the result's text form (an array one item per line). With
// --json the one output line is {"result":R,"args":[...],"messages":[...],
// "error":E}, E carrying a "detail" naming class, member and parameter. A
// failed call also says so on the error stream ("kavrolin call:
// clsHT.HLeft: argument not optional: lngLeftStringLen (2nd) (error 449)").
// Returns 0 when the call succeeded, 3 when it failed, 2 for a target that is
// not CLASS.MEMBER.
#pragma once

#include <string>
#include <vector>

#include "base/variant.h"
#include "kavrolin/host.h"

namespace kavrolin::cli {

int RunCall(Host& host, const std::string& target, const std::vector<std::string>& args, bool json);

// The plain text form of a result.
std::string PlainText(const Variant& value);

}  // namespace kavrolin::cli
