#include "component/class_tables.h"

namespace kavrolin::component {
namespace {

using T = DeclaredType;

Parameter In(std::u16string_view name, T type) { return {name, type, Direction::kIn, false, {}}; }
Parameter Ref(std::u16string_view name, T type) { return {name, type, Direction::kInOut, false, {}}; }
Parameter Optional(Parameter p, Variant default_value = {}) {
  p.optional = true;
  p.default_value = std::move(default_value);
  return p;
}

Member Method(std::u16string_view name, int32_t dispid, std::vector<Parameter> params, T result) {
  return {name, dispid, MemberKind::kMethod, std::move(params), result};
}

// A property's get and put rows; the put takes the new value as its one
// parameter. The order of the rows is the order of the interface's operations:
// clsInterFace's public variables come get first, clsHT's properties put first.
enum class Order { kGetFirst, kPutFirst };
void Property(std::vector<Member>& rows, std::u16string_view name, int32_t dispid,
              std::u16string_view put_name, T type, Order order = Order::kPutFirst) {
  const Member put{name, dispid, MemberKind::kPropertyPut, {In(put_name, type)}, T::kNone};
  const Member get{name, dispid, MemberKind::kPropertyGet, {}, type};
  if (order == Order::kGetFirst) {
    rows.insert(rows.end(), {get, put});
  } else {
    rows.insert(rows.end(), {put, get});
  }
}

std::vector<Member> InterFaceMembers() {
  namespace id = inter_face_id;
  std::vector<Member> rows;
  Property(rows, u"m_strFilePrn", id::m_strFilePrn, u"m_strFilePrn", T::kText, Order::kGetFirst);
  Property(rows, u"m_strAppPath", id::m_strAppPath, u"m_strAppPath", T::kText, Order::kGetFirst);
  Property(rows, u"m_strFanhui", id::m_strFanhui, u"m_strFanhui", T::kText, Order::kGetFirst);
  Property(rows, u"m_strCardNo", id::m_strCardNo, u"m_strCardNo", T::kText, Order::kGetFirst);
  Property(rows, u"m_strCardMoney", id::m_strCardMoney, u"m_strCardMoney", T::kText, Order::kGetFirst);
  Property(rows, u"m_strSY", id::m_strSY, u"m_strSY", T::kText, Order::kGetFirst);
  const auto amount_params = [](T amount_type) {
    return std::vector<Parameter>{In(u"str_JR", amount_type), In(u"str_FPHM", T::kInt32),
                                  In(u"str_SYYH", T::kText), In(u"str_SYJID", T::kText)};
  };
  rows.push_back(Method(u"Sale", id::Sale, amount_params(T::kDouble), T::kBool));
  rows.push_back(Method(u"Inquery", id::Inquery, {}, T::kBool));
  rows.push_back(Method(u"VoidSale", id::VoidSale, amount_params(T::kDouble), T::kBool));
  rows.push_back(Method(u"VoidTH", id::VoidTH, amount_params(T::kDouble), T::kBool));
  rows.push_back(Method(u"Qita", id::Qita, amount_params(T::kText), T::kBool));
  rows.push_back(Method(u"GetCardNo", id::GetCardNo, {}, T::kText));
  rows.push_back(Method(u"GetCardMoney", id::GetCardMoney, {}, T::kText));
  rows.push_back(Method(u"GetSY", id::GetSY, {}, T::kText));
  rows.push_back(Method(u"GetFanhui", id::GetFanhui, {}, T::kText));
  rows.push_back(Method(u"GetPrintTxt", id::GetPrintTxt, {Ref(u"strBuffer", T::kTextArray)}, T::kBool));
  rows.push_back(Method(u"Initialize", id::Initialize, {In(u"strPath", T::kText)}, T::kBool));
  return rows;
}

std::vector<Member> HTMembers() {
  namespace id = ht_id;
  std::vector<Member> r;
  r.push_back(Method(u"SetRegKeyValue", id::SetRegKeyValue,
                     {Ref(u"KeyRoot", T::kInt32), Ref(u"KeyName", T::kText),
                      Ref(u"SubKeyName", T::kText), Ref(u"SubKeyValue", T::kText)},
                     T::kBool));
  r.push_back(Method(u"GetRegKeyValue", id::GetRegKeyValue,
                     {Ref(u"KeyRoot", T::kInt32), Ref(u"KeyName", T::kText), Ref(u"SubKeyRef", T::kText)},
                     T::kText));
  r.push_back(Method(u"DelRegKey", id::DelRegKey, {Ref(u"KeyRoot", T::kInt32), Ref(u"KeyName", T::kText)},
                     T::kBool));
  r.push_back(Method(u"DelRegKeyValue", id::DelRegKeyValue,
                     {Ref(u"KeyRoot", T::kInt32), Ref(u"KeyName", T::kText), Ref(u"KeyValue", T::kText)},
                     T::kBool));
  r.push_back(Method(u"CalculateStr", id::CalculateStr,
                     {In(u"StrBeSeach", T::kText), In(u"strFind", T::kVariant), Ref(u"Counter", T::kInt16)},
                     T::kVariant));
  r.push_back(Method(u"CreateIni", id::CreateIni, {Ref(u"strDrv", T::kText), Ref(u"strDir", T::kText)},
                     T::kNone));
  r.push_back(Method(u"SetIniFormat", id::SetIniFormat,
                     {Optional(Ref(u"lngLeftStringLen", T::kInt32), int32_t{0})}, T::kBool));
  r.push_back(Method(u"SetIniKeyValue", id::SetIniKeyValue,
                     {Ref(u"strSection", T::kText), Ref(u"strKey", T::kText), Ref(u"strValue", T::kText)},
                     T::kBool));
  r.push_back(Method(u"SetIniRemark", id::SetIniRemark,
                     {In(u"strSection", T::kText), In(u"strRemark", T::kText)}, T::kBool));
  r.push_back(Method(u"DelIniKey", id::DelIniKey, {Ref(u"strSection", T::kText), Ref(u"strKey", T::kText)},
                     T::kBool));
  r.push_back(Method(u"DelIniSection", id::DelIniSection, {Ref(u"strSection", T::kText)}, T::kBool));
  Property(r, u"INIFile", id::INIFile, u"New_IniPath", T::kText);
  Property(r, u"LOGFile", id::LOGFile, u"New_IniPath", T::kText);
  r.push_back(Method(u"WriteLog", id::WriteLog, {In(u"strCode", T::kText), In(u"strDesc", T::kText)},
                     T::kBool));
  r.push_back(Method(u"StringEnCrypt", id::StringEnCrypt,
                     {In(u"strSource", T::kText), Ref(u"MA", T::kInt32),
                      Optional(Ref(u"strTarget", T::kText))},
                     T::kText));
  r.push_back(Method(u"FileKill", id::FileKill,
                     {Ref(u"sFilename", T::kText), Optional(Ref(u"bDeleteReadOnly", T::kBool))}, T::kBool));
  r.push_back(Method(u"ParsePath", id::ParsePath, {Ref(u"sPathIn", T::kText)}, T::kText));
  r.push_back(Method(u"GetPath", id::GetPath, {Ref(u"sPathIn", T::kText)}, T::kText));
  r.push_back(Method(u"ParseFileName", id::ParseFileName, {Ref(u"sFileIn", T::kText)}, T::kText));
  r.push_back(Method(u"GetFileExt", id::GetFileExt, {Ref(u"sFilename", T::kText)}, T::kText));
  r.push_back(Method(u"EncodeString", id::EncodeString, {In(u"pString", T::kText), In(u"pSeed", T::kInt32)},
                     T::kVariant));
  r.push_back(Method(u"EncodeFile", id::EncodeFile,
                     {Ref(u"pFileS", T::kText), Ref(u"pFileD", T::kText), Ref(u"pSeed", T::kInt32)}, T::kBool));
  r.push_back(Method(u"Bin2Dec", id::Bin2Dec, {Ref(u"InputData", T::kText)}, T::kDouble));
  r.push_back(Method(u"Dec2Bin", id::Dec2Bin, {Ref(u"InputData", T::kDouble)}, T::kText));
  r.push_back(Method(u"Bin2Hex", id::Bin2Hex, {Ref(u"InputData", T::kText)}, T::kText));
  r.push_back(Method(u"Hex2Bin", id::Hex2Bin, {Ref(u"InputData", T::kText)}, T::kText));
  r.push_back(Method(u"Hex2Dec", id::Hex2Dec, {Ref(u"InputData", T::kText)}, T::kDouble));
  r.push_back(Method(u"CheckBitStatus", id::CheckBitStatus,
                     {In(u"lngEnumValue", T::kDouble), In(u"lngCheckBitValue", T::kDouble)}, T::kBool));
  r.push_back(Method(u"GetMachineName", id::GetMachineName, {}, T::kText));
  r.push_back(Method(u"SetMachineName", id::SetMachineName, {In(u"strComputerName", T::kText)}, T::kBool));
  r.push_back(Method(u"ExitWindows", id::ExitWindows, {In(u"ShutDownMode", T::kExitMode)}, T::kVariant));
  r.push_back(Method(u"HLeft", id::HLeft, {In(u"strIn", T::kText), In(u"lngLen", T::kInt32)}, T::kText));
  r.push_back(Method(u"LockFunction", id::LockFunction, {}, T::kBool));
  r.push_back(Method(u"UnLockFunction", id::UnLockFunction, {}, T::kBool));
  r.push_back(Method(u"CreateDirTree", id::CreateDirTree, {In(u"strTree", T::kText)}, T::kBool));
  r.push_back(Method(u"GetFileSize", id::GetFileSize, {Ref(u"Filename", T::kText)}, T::kInt32));
  r.push_back(Method(u"FormatStrLn", id::FormatStrLn,
                     {Ref(u"pStr", T::kText), Optional(Ref(u"StrLng", T::kInt32)),
                      Optional(Ref(u"ShowStr", T::kText), Text(u" ")),
                      Optional(Ref(u"IsRightAlign", T::kBool), true)},
                     T::kText));
  r.push_back(Method(u"GetFileLastModiTime", id::GetFileLastModiTime,
                     {Ref(u"pFileName", T::kText), Optional(Ref(u"pMaskStr", T::kText), Text(u"YYYYMMDDHHMM"))},
                     T::kText));
  r.push_back(Method(u"GetIniKeyList", id::GetIniKeyList, {Ref(u"strSection", T::kText)}, T::kText));
  r.push_back(Method(u"GetIniSectionList", id::GetIniSectionList, {}, T::kText));
  r.push_back(Method(u"GetIniKeyValue", id::GetIniKeyValue,
                     {Ref(u"strSection", T::kText), Ref(u"strKey", T::kText)}, T::kText));
  r.push_back(Method(u"StrDelimiter", id::StrDelimiter,
                     {In(u"strText", T::kVariant), In(u"strDelimiter1", T::kText), In(u"strDelimiter2", T::kText)},
                     T::kText));
  r.push_back(Method(u"StrReplaceRepeat", id::StrReplaceRepeat,
                     {In(u"strText", T::kVariant), In(u"strFind", T::kText), In(u"strReplace", T::kText)},
                     T::kText));
  r.push_back(Method(u"StrReplaceComma", id::StrReplaceComma, {In(u"strText", T::kVariant)}, T::kText));
  r.push_back(Method(u"Ping", id::Ping, {Ref(u"t_IP", T::kText)}, T::kBool));
  r.push_back(Method(u"ConverStrToByte", id::ConverStrToByte, {Ref(u"strData", T::kText)}, T::kByteArray));
  r.push_back(Method(u"ConverByteToStr", id::ConverByteToStr, {Ref(u"buf", T::kByteArray)}, T::kText));
  r.push_back(Method(u"DriveExists", id::DriveExists, {In(u"drivespec", T::kText)}, T::kBool));
  r.push_back(Method(u"FileExists", id::FileExists, {In(u"filespec", T::kText)}, T::kBool));
  r.push_back(Method(u"FolderExists", id::FolderExists, {In(u"folderspec", T::kText)}, T::kBool));
  r.push_back(Method(u"DeleteFile", id::DeleteFile,
                     {In(u"filespec", T::kText), Optional(Ref(u"force", T::kBool), false)}, T::kBool));
  r.push_back(Method(u"DeleteFolder", id::DeleteFolder,
                     {In(u"folderspec", T::kText), Optional(Ref(u"force", T::kBool), false)}, T::kBool));
  r.push_back(Method(u"GetBaseName", id::GetBaseName, {In(u"path", T::kText)}, T::kText));
  r.push_back(Method(u"GetDriveName", id::GetDriveName, {In(u"path", T::kText)}, T::kText));
  r.push_back(Method(u"GetExtensionName", id::GetExtensionName, {In(u"path", T::kText)}, T::kText));
  r.push_back(Method(u"GetFileName", id::GetFileName, {In(u"pathspec", T::kText)}, T::kText));
  r.push_back(Method(u"GetParentFolderName", id::GetParentFolderName, {In(u"path", T::kText)}, T::kText));
  r.push_back(Method(u"GetSpecialFolder", id::GetSpecialFolder, {In(u"folderspec", T::kSpecFolder)}, T::kText));
  return r;
}

}  // namespace

const MemberTable& InterFaceTable() {
  static const MemberTable table(u"clsInterFace", InterFaceMembers());
  return table;
}

const MemberTable& RizhiTable() {
  static const MemberTable table(
      u"cls_Rizhi", {Method(u"WriteLog", rizhi_id::WriteLog, {In(u"Text", T::kText)}, T::kBool)});
  return table;
}

const MemberTable& HTTable() {
  static const MemberTable table(u"clsHT", HTMembers());
  return table;
}

const MemberTable& TableOf(ClassKind kind) {
  switch (kind) {
    case ClassKind::kInterFace: return InterFaceTable();
    case ClassKind::kRizhi: return RizhiTable();
    case ClassKind::kHT: break;
  }
  return HTTable();
}

}  // namespace kavrolin::component
