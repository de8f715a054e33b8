#include "component/member_table.h"

#include <optional>

namespace kavrolin::component {

size_t Member::RequiredCount() const {
  size_t count = 0;
  for (size_t i = 0; i < params.size(); ++i) {
    if (!params[i].optional) count = i + 1;
  }
  return count;
}

MemberTable::MemberTable(std::u16string_view class_name, std::vector<Member> members)
    : class_name_(class_name), members_(std::move(members)) {}

template <class Match>
const Member* MemberTable::FindWhere(MemberKind kind, Match match) const {
  const Member* reading = nullptr;  // the other reading kind, used when no exact row exists
  for (const Member& member : members_) {
    if (!match(member)) continue;
    if (member.kind == kind) return &member;
    const bool both_read = kind != MemberKind::kPropertyPut && member.kind != MemberKind::kPropertyPut;
    if (both_read && !reading) reading = &member;
  }
  return reading;
}

const Member* MemberTable::Find(int32_t dispid, MemberKind kind) const {
  return FindWhere(kind, [dispid](const Member& m) { return m.dispid == dispid; });
}

const Member* MemberTable::Find(TextView name, MemberKind kind) const {
  return FindWhere(kind, [name](const Member& m) { return EqualsIgnoreCase(m.name, name); });
}

std::optional<int32_t> MemberTable::DispidOf(TextView name) const {
  for (const Member& member : members_) {
    if (EqualsIgnoreCase(member.name, name)) return member.dispid;
  }
  return std::nullopt;
}

Variant ZeroValue(DeclaredType type) {
  switch (type) {
    case DeclaredType::kText: return Text();
    case DeclaredType::kInt16: return int16_t{0};
    case DeclaredType::kInt32:
    case DeclaredType::kExitMode:
    case DeclaredType::kSpecFolder: return int32_t{0};
    case DeclaredType::kDouble: return 0.0;
    case DeclaredType::kBool: return false;
    case DeclaredType::kTextArray: return TextArray::WithoutBounds();
    case DeclaredType::kByteArray: return ByteArray::WithoutBounds();
    case DeclaredType::kNone:
    case DeclaredType::kVariant: break;
  }
  return Variant();
}

}  // namespace kavrolin::component
