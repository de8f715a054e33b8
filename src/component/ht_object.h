// The dispatch face of clsHT: every row of its member table runs the clsHT
// member of that name through one BoundMember (bound_member.h), so each
// member's in/out arguments come back the same way.
#pragma once

#include <cstdint>
#include <vector>

#include "component/bound_member.h"
#include "component/dispatch.h"
#include "platform/services.h"
#include "toolkit/cls_ht.h"

namespace kavrolin::component {

class HTObject : public DispatchObject {
 public:
  explicit HTObject(platform::Services services);

  // The member each table row runs, one per row, for proving that the rows
  // and the members agree.
  struct Binding {
    int32_t dispid;
    MemberKind kind;
    BoundMember<toolkit::clsHT> member;
  };
  static const std::vector<Binding>& Bindings();

 protected:
  Variant Call(const Member& member, CallArgs& args) override;

 private:
  toolkit::clsHT object_;
};

}  // namespace kavrolin::component
