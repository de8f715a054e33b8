#include "component/rizhi_object.h"

#include "component/class_tables.h"

namespace kavrolin::component {

RizhiObject::RizhiObject(platform::Services services)
    : DispatchObject(ClassKind::kRizhi), logic_(std::move(services)) {}

Variant RizhiObject::Call(const Member& member, CallArgs& args) {
  switch (member.dispid) {
    case rizhi_id::WriteLog: return logic_.WriteLog(args.text(0));
    default: throw ShellError(kMemberNotFound);
  }
}

}  // namespace kavrolin::component
