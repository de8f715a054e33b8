#include "component/dispatch.h"

#include <exception>

#include "component/class_tables.h"

namespace kavrolin::component {

AutomationError ShellError(int32_t number) {
  switch (number) {
    case kObjectRequired: return AutomationError(number, u"Object required");
    case kCannotCreateObject: return AutomationError(number, u"ActiveX component can't create object");
    case kMemberNotFound: return AutomationError(number, u"Object doesn't support this property or method");
    case kActionNotSupported: return AutomationError(number, u"Object doesn't support this action");
    case kArgumentNotOptional: return AutomationError(number, u"Argument not optional");
    case kWrongArgumentCount:
      return AutomationError(number, u"Wrong number of arguments or invalid property assignment");
    default: return AutomationError(number, AutomationError::StandardText(number));
  }
}

Variant Coerce(const Variant& value, DeclaredType type) {
  switch (type) {
    case DeclaredType::kText: return value.ToText();
    case DeclaredType::kInt16: return value.ToInt16();
    case DeclaredType::kInt32:
    case DeclaredType::kExitMode:
    case DeclaredType::kSpecFolder: return value.ToInt32();
    case DeclaredType::kDouble: return value.ToDouble();
    case DeclaredType::kBool: return value.ToBool();
    case DeclaredType::kTextArray: return value.get<TextArray>();
    case DeclaredType::kByteArray: return value.get<ByteArray>();
    case DeclaredType::kVariant:
    case DeclaredType::kNone: break;
  }
  return value;
}

DispatchObject::DispatchObject(ClassKind kind, const MemberTable* table)
    : kind_(kind), table_(table ? table : &TableOf(kind)) {}

DispatchObject::~DispatchObject() {
  if (counter_) counter_->fetch_sub(1);
}

void DispatchObject::CountIn(std::shared_ptr<std::atomic<int32_t>> counter) {
  if (counter_) return;
  counter_ = std::move(counter);
  if (counter_) counter_->fetch_add(1);
}

uint32_t DispatchObject::AddRef() noexcept { return references_.fetch_add(1) + 1; }

uint32_t DispatchObject::Release() noexcept {
  const uint32_t left = references_.fetch_sub(1) - 1;
  if (left == 0) delete this;
  return left;
}


InvokeResult DispatchObject::Invoke(int32_t dispid, MemberKind kind, Arguments& args) noexcept {
  return InvokeMember(table().Find(dispid, kind), args);
}

InvokeResult DispatchObject::Invoke(TextView name, MemberKind kind, Arguments& args) noexcept {
  return InvokeMember(table().Find(name, kind), args);
}

InvokeResult DispatchObject::InvokeMember(const Member* member, Arguments& args) {
  // The call's own reference: the member may drop the caller's last one.
  AddRef();
  struct Hold {
    DispatchObject* self;
    ~Hold() { self->Release(); }
  } hold{this};

  InvokeResult result;
  try {
    if (!member) throw ShellError(kMemberNotFound);
    const auto& params = member->params;
    if (args.size() > params.size()) throw ShellError(kWrongArgumentCount);

    std::vector<Variant> values;
    std::vector<bool> supplied;
    values.reserve(params.size());
    for (size_t i = 0; i < params.size(); ++i) {
      const Parameter& param = params[i];
      const bool passed = i < args.size() && args[i].has_value();
      if (passed) {
        values.push_back(Coerce(*args[i], param.type));
      } else if (param.optional) {
        values.push_back(param.default_value.is_empty() ? ZeroValue(param.type) : param.default_value);
      } else {
        throw ShellError(kArgumentNotOptional);
      }
      supplied.push_back(passed);
    }

    CallArgs call_args(std::move(values), std::move(supplied));
    const auto write_back = [&] {
      for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] && params[i].direction == Direction::kInOut) *args[i] = call_args[i];
      }
    };
    try {
      result.value = Call(*member, call_args);
    } catch (...) {
      write_back();
      throw;
    }
    write_back();
  } catch (const AutomationError& e) {
    result.value = Variant();
    result.error = e;
  } catch (const std::bad_alloc&) {
    result.value = Variant();
    result.error = AutomationError(ErrorNumber::kOutOfMemory);
  } catch (const std::exception& e) {
    result.value = Variant();
    result.error = AutomationError(ErrorNumber::kAutomation, FromUtf8(e.what()));
  } catch (...) {
    result.value = Variant();
    result.error = AutomationError(ErrorNumber::kAutomation);
  }
  return result;
}

}  // namespace kavrolin::component
