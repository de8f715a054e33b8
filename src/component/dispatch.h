// The dispatch layer: calls a member of an object by DISPID or by name, as a
// late-bound automation host does.
//
// Invoke finds the member's row, checks the argument count (449 "Argument not
// optional" when a required one is left out, 450 when too many are passed,
// 438 when no such member exists), coerces each passed value to its declared
// type (text, integers, double, boolean by the automation conversions; arrays
// must be arrays of the declared kind, else 13), fills left-out optional
// parameters with their declared default or their type's zero value, and runs
// the member. Whenever the member ran, its in/out parameters are written back
// into the caller's arguments, also when it then failed. Invoke never throws:
// every failure comes back as the error of its result.
//
// Lifetime: AddRef and Release are atomic; the object deletes itself when the
// last reference goes. Every Invoke holds a reference of its own for its whole
// duration, so a member may drop the caller's last reference safely. Calls on
// one object come from one thread at a time (apartment model).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "base/automation_error.h"
#include "base/variant.h"
#include "component/identifiers.h"
#include "component/member_table.h"

namespace kavrolin::component {

// The shell's own error numbers, with the runtime's texts.
inline constexpr int32_t kObjectRequired = 424;
inline constexpr int32_t kCannotCreateObject = 429;
inline constexpr int32_t kMemberNotFound = 438;
inline constexpr int32_t kActionNotSupported = 445;
inline constexpr int32_t kArgumentNotOptional = 449;
inline constexpr int32_t kWrongArgumentCount = 450;
AutomationError ShellError(int32_t number);

// One entry per passed argument, in declaration order; nullopt = left out.
using Arguments = std::vector<std::optional<Variant>>;

struct InvokeResult {
  Variant value;
  std::optional<AutomationError> error;
};

// The arguments as a member receives them: one value per declared parameter,
// already of the declared type. A member writes its in/out results into them.
class CallArgs {
 public:
  CallArgs(std::vector<Variant> values, std::vector<bool> supplied)
      : values_(std::move(values)), supplied_(std::move(supplied)) {}

  Variant& operator[](size_t i) { return values_.at(i); }
  const Variant& operator[](size_t i) const { return values_.at(i); }
  // False when an optional parameter was left out and holds its default.
  bool supplied(size_t i) const { return i < supplied_.size() && supplied_[i]; }
  size_t size() const { return values_.size(); }

  // The value of parameter i as its declared type.
  const Text& text(size_t i) const { return values_.at(i).get<Text>(); }
  int32_t int32(size_t i) const { return values_.at(i).get<int32_t>(); }
  int16_t int16(size_t i) const { return values_.at(i).get<int16_t>(); }
  double number(size_t i) const { return values_.at(i).get<double>(); }
  bool boolean(size_t i) const { return values_.at(i).get<bool>(); }

 private:
  std::vector<Variant> values_;
  std::vector<bool> supplied_;
};

class DispatchObject {
 public:
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;

  // The reference count after the change.
  uint32_t AddRef() noexcept;
  uint32_t Release() noexcept;

  InvokeResult Invoke(int32_t dispid, MemberKind kind, Arguments& args) noexcept;
  InvokeResult Invoke(TextView name, MemberKind kind, Arguments& args) noexcept;

  const ClassInfo& class_info() const { return InfoOf(kind_); }
  const MemberTable& table() const { return *table_; }

  // A counter that this object keeps raised while it lives (the factory's
  // object count). Set once, right after creation.
  void CountIn(std::shared_ptr<std::atomic<int32_t>> counter);

 protected:
  // `table` defaults to the class's own; a host-defined object may bring one
  // that outlives it.
  explicit DispatchObject(ClassKind kind, const MemberTable* table = nullptr);
  virtual ~DispatchObject();

  // Runs the member. May throw AutomationError (or anything else, which the
  // caller reports as an application-defined error).
  virtual Variant Call(const Member& member, CallArgs& args) = 0;

 private:
  InvokeResult InvokeMember(const Member* member, Arguments& args);

  ClassKind kind_;
  const MemberTable* table_;
  std::atomic<uint32_t> references_{1};
  std::shared_ptr<std::atomic<int32_t>> counter_;
};

// An owning reference to a DispatchObject: copying adds a reference,
// destruction releases one.
class ObjectRef {
 public:
  ObjectRef() = default;
  // Takes over a reference the caller already holds.
  static ObjectRef Adopt(DispatchObject* object) { return ObjectRef(object); }

  ObjectRef(const ObjectRef& other) : object_(other.object_) {
    if (object_) object_->AddRef();
  }
  ObjectRef(ObjectRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ObjectRef& operator=(ObjectRef other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~ObjectRef() { Reset(); }

  void Reset() noexcept {
    if (DispatchObject* object = std::exchange(object_, nullptr)) object->Release();
  }
  DispatchObject* get() const { return object_; }
  DispatchObject* operator->() const { return object_; }
  DispatchObject& operator*() const { return *object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  explicit ObjectRef(DispatchObject* object) : object_(object) {}
  DispatchObject* object_ = nullptr;
};

// A new object of an adapter class, with its one reference in the result.
template <class T, class... Args>
ObjectRef MakeObject(Args&&... args) {
  return ObjectRef::Adopt(new T(std::forward<Args>(args)...));
}

// A passed value as the declared type wants it. Throws AutomationError 13 for
// a value that cannot become that type, or the conversion's own error (6, 94).
Variant Coerce(const Variant& value, DeclaredType type);

}  // namespace kavrolin::component
