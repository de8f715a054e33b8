// The dispatch face of clsHT. Its table lists every member from the start; a
// member whose service group has not been built yet answers error 445
// "clsHT.<Name> is not implemented yet", so hosts can tell it from a typing
// mistake (438). Members join as cases of Call's switch.
#pragma once

#include "component/dispatch.h"
#include "platform/services.h"
#include "toolkit/cls_ht.h"

namespace kavrolin::component {

class HTObject : public DispatchObject {
 public:
  explicit HTObject(platform::Services services);

 protected:
  Variant Call(const Member& member, CallArgs& args) override;

 private:
  toolkit::clsHT object_;
};

}  // namespace kavrolin::component
