#include "kavrolin/batch.h"

#include <istream>
#include <ostream>

#include "kavrolin/cli.h"
#include "kavrolin/json_forms.h"
#include "kavrolin/member_errors.h"

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

std::string BatchSession::Handle(std::string_view line, size_t number, bool* failed) {
  messages_->Take();
  Arguments args;
  InvokeResult result;
  std::string detail;
  const std::string at_line = "line " + std::to_string(number) + ": ";
  try {
    json request;
    try {
      request = json::parse(line);
    } catch (const json::parse_error& e) {
      // e.what() is "[json.exception.parse_error.101] parse error at ...": the part after the tag.
      const std::string what = e.what();
      const size_t tag = what.find("] ");
      Malformed(at_line + "not one JSON object: at byte " + std::to_string(e.byte) + ": " +
                (tag == std::string::npos ? what : what.substr(tag + 2)));
    }
    if (!request.is_object()) Malformed(at_line + "a line must be one JSON object");

    // The object named, and its class, for naming a failed member.
    Text class_name;
    Text member_name;
    MemberKind kind = MemberKind::kMethod;
    const auto object_of = [&](const std::string& name) -> component::ObjectRef {
      const auto it = objects_.find(name);
      if (it == objects_.end()) {
        throw AutomationError(component::kObjectRequired, u"Object required: " + FromUtf8(name));
      }
      class_name = it->second.class_name;
      return it->second.object;  // a reference of our own, should the call end the session's
    };
    const auto invoke = [&](const component::ObjectRef& object, const std::string& member) {
      member_name = FromUtf8(member);
      result = object->Invoke(member_name, kind, args);
      if (result.error) detail = DescribeCallError(class_name, member_name, kind, args, *result.error);
    };

    if (request.contains("new")) {
      const std::string& name = StringField(request, "new");
      const Text class_text = FromUtf8(StringField(request, "class"));
      if (!component::FindClass(class_text)) {
        detail = DescribeCallError(class_text, u"", MemberKind::kMethod, args, component::ShellError(component::kCannotCreateObject));
      }
      component::ObjectRef object = host_.Create(class_text, services_);
      objects_[name] = Named{std::move(object), class_text};
    } else if (request.contains("release")) {
      const std::string& name = StringField(request, "release");
      if (objects_.erase(name) == 0) {
        throw AutomationError(component::kObjectRequired, u"Object required: " + FromUtf8(name));
      }
    } else if (request.contains("call") || request.contains("get")) {
      const bool is_get = !request.contains("call");
      const auto [name, member] = SplitTarget(StringField(request, is_get ? "get" : "call"));
      args = ArgumentsOf(request);
      kind = is_get ? MemberKind::kPropertyGet : MemberKind::kMethod;
      invoke(object_of(name), member);
    } else if (request.contains("put")) {
      const auto [name, member] = SplitTarget(StringField(request, "put"));
      if (!request.contains("value")) Malformed("\"put\" needs a \"value\"");
      args.push_back(ArgumentFromJson(request["value"]));
      kind = MemberKind::kPropertyPut;
      invoke(object_of(name), member);
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
  if (failed) *failed = result.error.has_value();
  return Dump(CallJson(result, args, messages_->Take(), detail));
}

int RunBatch(Host& host, bool stop_on_error) {
  BatchSession session(host);
  std::string line;
  for (size_t number = 1; std::getline(*host.in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    bool failed = false;
    *host.out << session.Handle(line, number, &failed) << '\n' << std::flush;
    if (failed && stop_on_error) {
      *host.err << "kavrolin batch: stopped at line " << number << ", whose request failed\n";
      return kExitFailed;
    }
  }
  return kExitOk;
}

}  // namespace kavrolin::cli
