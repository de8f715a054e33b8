// The dispatch face of cls_Rizhi: WriteLog.
#pragma once

#include "component/dispatch.h"
#include "journal/cls_rizhi.h"
#include "platform/services.h"

namespace kavrolin::component {

class RizhiObject : public DispatchObject {
 public:
  explicit RizhiObject(platform::Services services);

 protected:
  Variant Call(const Member& member, CallArgs& args) override;

 private:
  journal::cls_Rizhi logic_;
};

}  // namespace kavrolin::component
