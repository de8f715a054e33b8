#include "kavrolin/members_command.h"

#include <cctype>
#include <cstdio>
#include <ostream>

#include "component/class_tables.h"
#include "component/interface_source.h"
#include "kavrolin/cli.h"
#include "kavrolin/nearest_names.h"
#include "kavrolin/member_errors.h"

namespace kavrolin::cli {
namespace {

using json = nlohmann::ordered_json;
using component::Member;
using component::MemberKind;
using component::Parameter;

const char* KindWord(MemberKind kind) {
  switch (kind) {
    case MemberKind::kMethod: return "method";
    case MemberKind::kPropertyGet: return "propget";
    case MemberKind::kPropertyPut: return "propput";
  }
  return "method";
}

std::string Hex(int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

bool SameName(std::u16string_view name, const std::string& typed) {
  const std::string left = ToUtf8(name);
  if (left.size() != typed.size()) return false;
  for (size_t i = 0; i < left.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(left[i])) != std::tolower(static_cast<unsigned char>(typed[i]))) {
      return false;
    }
  }
  return true;
}

std::string ParameterText(const Parameter& p) {
  std::string text = p.direction == component::Direction::kInOut ? "[in, out] " : "[in] ";
  if (p.optional) text = text.substr(0, text.size() - 2) + ", optional] ";
  text += component::IdlTypeName(p.type) + " " + ToUtf8(p.name);
  if (const std::string value = component::IdlDefaultText(p); !value.empty()) text += " = " + value;
  return text;
}

std::string MemberLine(const Member& m) {
  std::string line = Hex(m.dispid) + " " + KindWord(m.kind) + " " + ToUtf8(m.name) + "(";
  for (size_t i = 0; i < m.params.size(); ++i) line += (i ? ", " : "") + ParameterText(m.params[i]);
  return line + ") -> " + component::IdlTypeName(m.result);
}

}  // namespace

json ClassJson(const component::ClassInfo& info, const std::optional<std::string>& only) {
  json members = json::array();
  for (const Member& m : component::TableOf(info.kind).members()) {
    if (only && !SameName(m.name, *only)) continue;
    json params = json::array();
    for (const Parameter& p : m.params) {
      const std::string value = component::IdlDefaultText(p);
      params.push_back({{"name", ToUtf8(p.name)},
                        {"type", component::IdlTypeName(p.type)},
                        {"direction", p.direction == component::Direction::kInOut ? "in, out" : "in"},
                        {"optional", p.optional},
                        {"default", value.empty() ? json(nullptr) : json(value)}});
    }
    members.push_back({{"name", ToUtf8(m.name)},
                       {"dispid", m.dispid},
                       {"dispid_hex", Hex(m.dispid)},
                       {"kind", KindWord(m.kind)},
                       {"params", std::move(params)},
                       {"result", component::IdlTypeName(m.result)}});
  }
  return {{"class", ToUtf8(info.name)},
          {"prog_id", ToUtf8(info.prog_id)},
          {"clsid", ToUtf8(info.clsid.ToText())},
          {"interface", ToUtf8(info.interface_name)},
          {"members", std::move(members)}};
}

int RunMembers(Host& host, const std::optional<std::string>& target, bool as_json) {
  std::vector<const component::ClassInfo*> classes;
  std::optional<std::string> only;
  if (target) {
    // A ProgID holds a point too: the class is the longest known prefix.
    std::string class_name = *target;
    const component::ClassInfo* info = component::FindClass(FromUtf8(class_name));
    if (!info) {
      if (const size_t dot = target->rfind('.'); dot != std::string::npos) {
        class_name = target->substr(0, dot);
        info = component::FindClass(FromUtf8(class_name));
        if (info) only = target->substr(dot + 1);
      }
    }
    if (!info) {
      *host.err << "kavrolin members: no class \"" << class_name << "\"" << DidYouMean(class_name, ClassNames())
                << '\n';
      return kExitUsage;
    }
    if (only && !component::TableOf(info->kind).DispidOf(FromUtf8(*only))) {
      std::vector<std::string> names;
      for (const Member& m : component::TableOf(info->kind).members()) names.push_back(ToUtf8(m.name));
      *host.err << "kavrolin members: " << ToUtf8(info->name) << " has no member \"" << *only << "\""
                << DidYouMean(*only, names) << '\n';
      return kExitUsage;
    }
    classes.push_back(info);
  } else {
    for (const component::ClassInfo& info : component::Classes()) classes.push_back(&info);
  }

  if (as_json) {
    json list = json::array();
    for (const auto* info : classes) list.push_back(ClassJson(*info, only));
    *host.out << list.dump() << '\n';
    return kExitOk;
  }
  for (const auto* info : classes) {
    *host.out << ToUtf8(info->name) << "  ProgID " << ToUtf8(info->prog_id) << "  CLSID "
              << ToUtf8(info->clsid.ToText()) << '\n';
    for (const Member& m : component::TableOf(info->kind).members()) {
      if (only && !SameName(m.name, *only)) continue;
      *host.out << "  " << MemberLine(m) << '\n';
    }
  }
  return kExitOk;
}

}  // namespace kavrolin::cli
