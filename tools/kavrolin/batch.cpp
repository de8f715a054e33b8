#include "kavrolin/batch.h"

#include <istream>
#include <ostream>

#include "kavrolin/json_forms.h"

namespace kavrolin::cli {
namespace {

using json = nlohmann::ordered_json;
using component::Arguments;
using component::InvokeResult;
using component::MemberKind;

[[noreturn]] void Malformed(const std::string& why) {
  throw AutomationError(static_cast<int32_t>(ErrorNumber::kInvalidCall),
                        u"Invalid procedure call or argument: " + FromUtf8(why));
}

const std::string& StringField(const json& request, const char* key) {
  // find, not []: [] on a const object is undefined for a missing key.
  const auto it = request.find(key);
  if (it == request.end() || !it->is_string()) Malformed(std::string("\"") + key + "\" must be a string");
  return it->get_ref<const std::string&>();
}

// "a.Member" -> ("a", "Member"), split at the first point.
std::pair<std::string, std::string> SplitTarget(const std::string& target) {
  const size_t dot = target.find('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == target.size()) {
    Malformed("\"" + target + "\" is not OBJECT.MEMBER");
  }
  return {target.substr(0, dot), target.substr(dot + 1)};
}

Arguments ArgumentsOf(const json& request) {
  Arguments args;
  const auto it = request.find("args");
  if (it == request.end()) return args;
  if (!it->is_array()) Malformed("\"args\" must be an array");
  for (const json& arg : *it) args.push_back(ArgumentFromJson(arg));
  return args;
}

}  // namespace

BatchSession::BatchSession(const Host& host)
    : host_(host), messages_(std::make_shared<CollectingMessageBox>()), services_(host.services) {
  services_.message_box = messages_;
}

std::string BatchSession::Handle(std::string_view line) {
  messages_->Take();
  Arguments args;
  InvokeResult result;
  try {
    const json request = json::parse(line, nullptr, /*allow_exceptions=*/false);
    if (request.is_discarded() || !request.is_object()) Malformed("a line must be one JSON object");

    const auto object_of = [&](const std::string& name) -> component::ObjectRef {
      const auto it = objects_.find(name);
      if (it == objects_.end()) {
        throw AutomationError(component::kObjectRequired, u"Object required: " + FromUtf8(name));
      }
      return it->second;  // a reference of our own, should the call end the session's
    };

    if (request.contains("new")) {
      const std::string& name = StringField(request, "new");
      component::ObjectRef object = host_.Create(FromUtf8(StringField(request, "class")), services_);
      objects_[name] = std::move(object);
    } else if (request.contains("release")) {
      const std::string& name = StringField(request, "release");
      if (objects_.erase(name) == 0) {
        throw AutomationError(component::kObjectRequired, u"Object required: " + FromUtf8(name));
      }
    } else if (request.contains("call") || request.contains("get")) {
      const bool is_get = !request.contains("call");
      const auto [name, member] = SplitTarget(StringField(request, is_get ? "get" : "call"));
      args = ArgumentsOf(request);
      const component::ObjectRef object = object_of(name);
      result = object->Invoke(FromUtf8(member), is_get ? MemberKind::kPropertyGet : MemberKind::kMethod,
                              args);
    } else if (request.contains("put")) {
      const auto [name, member] = SplitTarget(StringField(request, "put"));
      if (!request.contains("value")) Malformed("\"put\" needs a \"value\"");
      args.push_back(ArgumentFromJson(request["value"]));
      const component::ObjectRef object = object_of(name);
      result = object->Invoke(FromUtf8(member), MemberKind::kPropertyPut, args);
    } else {
      Malformed("a line needs one of \"new\", \"call\", \"get\", \"put\", \"release\"");
    }
  } catch (const AutomationError& e) {
    result.value = Variant();
    result.error = e;
  } catch (const std::exception& e) {
    result.value = Variant();
    result.error = AutomationError(static_cast<int32_t>(ErrorNumber::kInvalidCall), FromUtf8(e.what()));
  }
  return Dump(CallJson(result, args, messages_->Take()));
}

int RunBatch(Host& host) {
  BatchSession session(host);
  std::string line;
  while (std::getline(*host.in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    *host.out << session.Handle(line) << '\n' << std::flush;
  }
  return 0;
}

}  // namespace kavrolin::cli
