// Member tables: what a class's dispatch interface offers. One row per member
// and kind (a property's get and put are two rows under one DISPID), with each
// parameter's declared type, direction, optional flag and declared default.
// The dispatch layer coerces arguments and checks counts from these rows.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "base/variant.h"

namespace kavrolin::component {

enum class MemberKind { kMethod, kPropertyGet, kPropertyPut };

// Declared types at the boundary. kNone is the result of a member that
// returns nothing. ExitMode and SpecFolder travel as 32-bit integers.
enum class DeclaredType {
  kNone, kText, kInt16, kInt32, kDouble, kBool, kTextArray, kByteArray, kVariant, kExitMode,
  kSpecFolder,
};

enum class Direction { kIn, kInOut };

struct Parameter {
  std::u16string_view name;
  DeclaredType type = DeclaredType::kText;
  Direction direction = Direction::kIn;
  bool optional = false;
  // The declared default of an optional parameter; empty when it has none,
  // and the parameter then takes its type's zero value when left out.
  Variant default_value;
};

struct Member {
  std::u16string_view name;
  int32_t dispid = 0;
  MemberKind kind = MemberKind::kMethod;
  std::vector<Parameter> params;
  DeclaredType result = DeclaredType::kNone;

  size_t RequiredCount() const;
};

class MemberTable {
 public:
  MemberTable(std::u16string_view class_name, std::vector<Member> members);

  std::u16string_view class_name() const { return class_name_; }
  const std::vector<Member>& members() const { return members_; }

  // The row for a DISPID and kind. A method call and a property get find each
  // other's rows, as automation lets either reach a parameterless member.
  const Member* Find(int32_t dispid, MemberKind kind) const;
  // The same by name, without regard to letter case.
  const Member* Find(TextView name, MemberKind kind) const;
  // The DISPID a name stands for (any kind); nullopt when no member has it.
  std::optional<int32_t> DispidOf(TextView name) const;

 private:
  template <class Match>
  const Member* FindWhere(MemberKind kind, Match match) const;

  std::u16string_view class_name_;
  std::vector<Member> members_;
};

// The zero value of a declared type: "" for text, 0, False, an array without
// bounds, an empty variant.
Variant ZeroValue(DeclaredType type);

}  // namespace kavrolin::component
