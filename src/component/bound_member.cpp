#include "component/bound_member.h"

namespace kavrolin::component {
namespace {

// The enumerations are 32-bit integers to the member that receives them.
DeclaredType Carried(DeclaredType type) {
  return type == DeclaredType::kExitMode || type == DeclaredType::kSpecFolder ? DeclaredType::kInt32 : type;
}

}  // namespace

Signature SignatureOf(const Member& member) {
  Signature signature;
  for (const Parameter& p : member.params) signature.params.push_back({Carried(p.type), p.direction});
  signature.result = Carried(member.result);
  return signature;
}

}  // namespace kavrolin::component
