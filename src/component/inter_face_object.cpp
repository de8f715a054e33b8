#include "component/inter_face_object.h"

#include "component/class_tables.h"

namespace kavrolin::component {

InterFaceObject::InterFaceObject(platform::Services services)
    : DispatchObject(ClassKind::kInterFace), logic_(std::move(services)) {}

Text* InterFaceObject::PropertyOf(int32_t dispid) {
  namespace id = inter_face_id;
  switch (dispid) {
    case id::m_strFilePrn: return &logic_.m_strFilePrn;
    case id::m_strAppPath: return &logic_.m_strAppPath;
    case id::m_strFanhui: return &logic_.m_strFanhui;
    case id::m_strCardNo: return &logic_.m_strCardNo;
    case id::m_strCardMoney: return &logic_.m_strCardMoney;
    case id::m_strSY: return &logic_.m_strSY;
    default: return nullptr;
  }
}

Variant InterFaceObject::Call(const Member& member, CallArgs& args) {
  namespace id = inter_face_id;
  if (Text* property = PropertyOf(member.dispid)) {
    if (member.kind == MemberKind::kPropertyPut) {
      *property = args.text(0);
      return Variant();
    }
    return *property;
  }
  switch (member.dispid) {
    case id::Sale: return logic_.Sale(args.number(0), args.int32(1), args.text(2), args.text(3));
    case id::Inquery: return logic_.Inquery();
    case id::VoidSale: return logic_.VoidSale(args.number(0), args.int32(1), args.text(2), args.text(3));
    case id::VoidTH: return logic_.VoidTH(args.number(0), args.int32(1), args.text(2), args.text(3));
    case id::Qita: return logic_.Qita(args.text(0), args.int32(1), args.text(2), args.text(3));
    case id::GetCardNo: return logic_.GetCardNo();
    case id::GetCardMoney: return logic_.GetCardMoney();
    case id::GetSY: return logic_.GetSY();
    case id::GetFanhui: return logic_.GetFanhui();
    case id::GetPrintTxt: {
      TextArray buffer = args[0].get<TextArray>();
      const bool read = logic_.GetPrintTxt(buffer);
      args[0] = std::move(buffer);
      return read;
    }
    case id::Initialize: return logic_.Initialize(args.text(0));
    default: throw ShellError(kMemberNotFound);
  }
}

}  // namespace kavrolin::component
