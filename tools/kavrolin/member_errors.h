// Automation errors told in the caller's terms: which class, which member and,
// where one is at fault, which parameter by name and position, e.g.
// "clsHT.HLeft: argument not optional: lngLeftStringLen (2nd)". Unknown class
// and member names get the nearest existing names as hints.
#pragma once

#include <string>
#include <vector>

#include "base/automation_error.h"
#include "component/dispatch.h"

namespace kavrolin::cli {

// `class_name` as the caller typed it (class name, ProgID or CLSID text).
std::string DescribeCallError(TextView class_name, TextView member, component::MemberKind kind,
                              const component::Arguments& args, const AutomationError& error);

// "1st", "2nd", "3rd", "4th", ... "11th", "12th", "13th", "21st".
std::string Ordinal(size_t position);

// Every class's name and ProgID, for hints.
std::vector<std::string> ClassNames();

}  // namespace kavrolin::cli
