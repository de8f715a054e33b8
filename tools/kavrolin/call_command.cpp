#include "kavrolin/call_command.h"

#include <ostream>

#include "kavrolin/cli.h"
#include "kavrolin/json_forms.h"
#include "kavrolin/member_errors.h"

namespace kavrolin::cli {

std::string PlainText(const Variant& value) {
  if (value.is_null()) return "Null";
  if (const auto* texts = value.get_if<TextArray>()) {
    std::string out;
    for (size_t i = 0; i < texts->items.size(); ++i) out += (i ? "\n" : "") + ToUtf8(texts->items[i]);
    return out;
  }
  if (const auto* bytes = value.get_if<ByteArray>()) {
    std::string out;
    for (size_t i = 0; i < bytes->items.size(); ++i) out += (i ? " " : "") + std::to_string(bytes->items[i]);
    return out;
  }
  return ToUtf8(value.ToText());
}

int RunCall(Host& host, const std::string& target, const std::vector<std::string>& texts, bool json) {
  // The class may be a ProgID ("Kavrolin.clsHT") and a put's value may hold
  // dots, so the member starts after the last dot before any "=".
  const size_t dot = target.rfind('.', target.find('='));
  if (dot == std::string::npos || dot == 0 || dot + 1 == target.size() || target[dot + 1] == '=') {
    *host.err << "kavrolin call: \"" << target << "\" is not CLASS.MEMBER (or CLASS.Prop=VALUE)\n";
    return kExitUsage;
  }
  const std::string class_name = target.substr(0, dot);
  std::string member = target.substr(dot + 1);

  component::Arguments args;
  component::MemberKind kind = component::MemberKind::kMethod;
  if (const size_t eq = member.find('='); eq != std::string::npos) {
    if (!texts.empty()) {
      *host.err << "kavrolin call: a property put takes no further arguments\n";
      return 2;
    }
    args.emplace_back(Variant(FromUtf8(member.substr(eq + 1))));
    member.resize(eq);
    kind = component::MemberKind::kPropertyPut;
  }
  for (const std::string& text : texts) args.emplace_back(Variant(FromUtf8(text)));

  platform::Services services = host.services;
  auto messages = std::make_shared<CollectingMessageBox>();
  if (json) services.message_box = messages;

  component::InvokeResult result;
  try {
    const component::ObjectRef object = host.Create(FromUtf8(class_name), services);
    result = object->Invoke(FromUtf8(member), kind, args);
  } catch (const AutomationError& e) {
    result.error = e;
  }

  const std::string detail =
      result.error ? DescribeCallError(FromUtf8(class_name), FromUtf8(member), kind, args, *result.error) : "";
  if (json) {
    *host.out << Dump(CallJson(result, args, messages->Take(), detail)) << '\n';
  } else if (kind != component::MemberKind::kPropertyPut && !result.error) {
    *host.out << PlainText(result.value) << '\n';
  }
  if (!result.error) return kExitOk;
  *host.err << "kavrolin call: " << detail << " (error " << result.error->number() << ")\n";
  return kExitFailed;
}

}  // namespace kavrolin::cli
