// The dispatch face of clsInterFace: its six text properties and eleven
// methods. GetPrintTxt writes the receipt lines back into its in/out array.
#pragma once

#include "component/dispatch.h"
#include "platform/services.h"
#include "transaction/cls_inter_face.h"

namespace kavrolin::component {

class InterFaceObject : public DispatchObject {
 public:
  explicit InterFaceObject(platform::Services services);

  // The plain object behind the dispatch face, for hosts that hold it typed.
  transaction::clsInterFace& logic() { return logic_; }

 protected:
  Variant Call(const Member& member, CallArgs& args) override;

 private:
  Text* PropertyOf(int32_t dispid);

  transaction::clsInterFace logic_;
};

}  // namespace kavrolin::component
