#include "kavrolin/member_errors.h"

#include <cctype>

#include "component/class_tables.h"
#include "kavrolin/nearest_names.h"

namespace kavrolin::cli {
namespace {

using component::MemberKind;
using component::Parameter;

// The runtime's description with a lower-case first letter, to follow a colon.
std::string Lowered(const AutomationError& error) {
  std::string text = ToUtf8(error.description());
  if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  return text;
}

std::string Named(const Parameter& p, size_t index) { return ToUtf8(p.name) + " (" + Ordinal(index + 1) + ")"; }

// The first passed argument the declared type refuses, if any.
const Parameter* Refused(const component::Member& member, const component::Arguments& args, size_t& index) {
  for (index = 0; index < args.size() && index < member.params.size(); ++index) {
    if (!args[index]) continue;
    try {
      component::Coerce(*args[index], member.params[index].type);
    } catch (const AutomationError&) {
      return &member.params[index];
    }
  }
  return nullptr;
}

}  // namespace

std::string Ordinal(size_t n) {
  const char* suffix = "th";
  if (n % 100 < 11 || n % 100 > 13) {
    if (n % 10 == 1) suffix = "st";
    if (n % 10 == 2) suffix = "nd";
    if (n % 10 == 3) suffix = "rd";
  }
  return std::to_string(n) + suffix;
}

std::vector<std::string> ClassNames() {
  std::vector<std::string> names;
  for (const component::ClassInfo& info : component::Classes()) {
    names.push_back(ToUtf8(info.name));
    names.push_back(ToUtf8(info.prog_id));
  }
  return names;
}

std::string DescribeCallError(TextView class_name, TextView member_name, MemberKind kind,
                              const component::Arguments& args, const AutomationError& error) {
  const component::ClassInfo* info = component::FindClass(class_name);
  if (!info) {
    return "no class \"" + ToUtf8(class_name) + "\" (" + ToUtf8(error.description()) + ")" +
           DidYouMean(ToUtf8(class_name), ClassNames());
  }
  const component::MemberTable& table = component::TableOf(info->kind);
  const std::string where = ToUtf8(info->name) + "." + ToUtf8(member_name);
  const component::Member* member = table.Find(member_name, kind);
  if (!member) {
    std::vector<std::string> names;
    for (const component::Member& m : table.members()) names.push_back(ToUtf8(m.name));
    return where + ": " + Lowered(error) + DidYouMean(ToUtf8(member_name), names);
  }
  const std::string named = ToUtf8(info->name) + "." + ToUtf8(member->name);
  const auto& params = member->params;
  if (error.number() == component::kArgumentNotOptional) {
    for (size_t i = 0; i < params.size(); ++i) {
      if (!params[i].optional && (i >= args.size() || !args[i])) {
        return named + ": " + Lowered(error) + ": " + Named(params[i], i);
      }
    }
  }
  if (error.number() == component::kWrongArgumentCount && args.size() > params.size()) {
    return named + ": " + Lowered(error) + ": takes " + std::to_string(params.size()) + ", " +
           std::to_string(args.size()) + " passed";
  }
  size_t index = 0;
  if (const Parameter* p = Refused(*member, args, index)) {
    return named + ": " + Lowered(error) + ": " + Named(*p, index);
  }
  return named + ": " + Lowered(error);
}

}  // namespace kavrolin::cli
