#include "kavrolin/json_forms.h"

#include <cmath>
#include <limits>

#include "base/date_mask.h"
#include "base/local_time.h"

namespace kavrolin::cli {

using json = nlohmann::ordered_json;
namespace {

[[noreturn]] void BadArgument(const std::string& why) {
  throw AutomationError(static_cast<int32_t>(ErrorNumber::kInvalidCall),
                        u"Invalid procedure call or argument: " + FromUtf8(why));
}

std::string DateText(double date) {
  return ToUtf8(FormatDateMask(FromAutomationDate(date), kTimeStampMask));
}

template <class Array, class Item>
json ArrayJson(const char* key, const Array& array, Item item) {
  if (!array.has_bounds) return json{{key, nullptr}};
  json items = json::array();
  for (const auto& value : array.items) items.push_back(item(value));
  return json{{key, std::move(items)}, {"lbound", array.lbound}};
}

int32_t LboundOf(const json& object) {
  const auto it = object.find("lbound");
  if (it == object.end()) return 0;
  if (!it->is_number_integer() || *it < std::numeric_limits<int32_t>::min() ||
      *it > std::numeric_limits<int32_t>::max()) {
    BadArgument("\"lbound\" must be a 32-bit integer");
  }
  return it->get<int32_t>();
}

Variant ArrayFromJson(const json& object) {
  if (object.contains("texts")) {
    const json& items = object["texts"];
    if (items.is_null()) return TextArray::WithoutBounds();
    if (!items.is_array()) BadArgument("\"texts\" must be an array of strings or null");
    TextArray array;
    array.lbound = LboundOf(object);
    for (const json& item : items) {
      if (!item.is_string()) BadArgument("\"texts\" must be an array of strings or null");
      array.items.push_back(FromUtf8(item.get_ref<const std::string&>()));
    }
    return array;
  }
  const json& items = object["bytes"];
  if (items.is_null()) return ByteArray::WithoutBounds();
  if (!items.is_array()) BadArgument("\"bytes\" must be an array of numbers 0 to 255 or null");
  ByteArray array;
  array.lbound = LboundOf(object);
  for (const json& item : items) {
    if (!item.is_number_integer() || item < 0 || item > 255) {
      BadArgument("\"bytes\" must be an array of numbers 0 to 255 or null");
    }
    array.items.push_back(item.get<uint8_t>());
  }
  return array;
}

}  // namespace

json ToJson(const Variant& value) {
  switch (value.type()) {
    case VariantType::kEmpty: return nullptr;
    case VariantType::kNull: return json{{"null", true}};
    case VariantType::kInt16: return value.get<int16_t>();
    case VariantType::kInt32: return value.get<int32_t>();
    case VariantType::kDouble: {
      const double d = value.get<double>();
      // JSON has no infinities or NaN; the text form keeps them readable.
      if (!std::isfinite(d)) return ToUtf8(value.ToText());
      return d;
    }
    case VariantType::kBool: return value.get<bool>();
    case VariantType::kDate: return json{{"date", DateText(value.get<Date>().value)}};
    case VariantType::kText: return ToUtf8(value.get<Text>());
    case VariantType::kTextArray:
      return ArrayJson("texts", value.get<TextArray>(), [](const Text& t) { return ToUtf8(t); });
    case VariantType::kByteArray:
      return ArrayJson("bytes", value.get<ByteArray>(), [](uint8_t b) { return b; });
  }
  return nullptr;
}

json ToJson(const std::optional<Variant>& argument) {
  return argument ? ToJson(*argument) : json{{"omit", true}};
}

std::optional<Variant> ArgumentFromJson(const json& arg) {
  switch (arg.type()) {
    case json::value_t::null: return Variant(NullValue{});
    case json::value_t::boolean: return Variant(arg.get<bool>());
    case json::value_t::string: return Variant(FromUtf8(arg.get_ref<const std::string&>()));
    case json::value_t::number_integer:
    case json::value_t::number_unsigned:
    case json::value_t::number_float: return Variant(arg.get<double>());
    case json::value_t::object:
      if (arg.size() == 1 && arg.contains("omit") && arg["omit"] == true) return std::nullopt;
      if (arg.size() == 1 && arg.contains("null") && arg["null"] == true) return Variant(NullValue{});
      if (arg.contains("texts") != arg.contains("bytes")) {
        for (const auto& [key, unused] : arg.items()) {
          if (key != "texts" && key != "bytes" && key != "lbound") BadArgument("unknown key \"" + key + "\"");
        }
        return ArrayFromJson(arg);
      }
      break;
    default: break;
  }
  BadArgument("not an argument form: " + arg.dump());
}

json ErrorJson(const std::optional<AutomationError>& error, const std::string& detail) {
  if (!error) return nullptr;
  json out{{"number", error->number()}, {"description", ToUtf8(error->description())}};
  if (!detail.empty()) out["detail"] = detail;
  return out;
}

json CallJson(const component::InvokeResult& result, const component::Arguments& args,
              const std::vector<Text>& messages, const std::string& detail) {
  json out = json::object();
  out["result"] = ToJson(result.value);
  json args_json = json::array();
  for (const auto& arg : args) args_json.push_back(ToJson(arg));
  out["args"] = std::move(args_json);
  json messages_json = json::array();
  for (const Text& message : messages) messages_json.push_back(ToUtf8(message));
  out["messages"] = std::move(messages_json);
  out["error"] = ErrorJson(result.error, detail);
  return out;
}

std::string Dump(const json& value) {
  return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace kavrolin::cli
