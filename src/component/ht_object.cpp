#include "component/ht_object.h"

#include <algorithm>
#include <tuple>

#include "component/class_tables.h"

namespace kavrolin::component {
namespace {

using toolkit::clsHT;
using Get = Text (clsHT::*)() const;
using Put = void (clsHT::*)(const Text&);

constexpr MemberKind kMethod = MemberKind::kMethod;

template <auto Function>
BoundMember<clsHT> Bind() {
  return BoundMember<clsHT>::Of<Function>();
}

bool Before(const HTObject::Binding& a, const HTObject::Binding& b) {
  return std::tie(a.dispid, a.kind) < std::tie(b.dispid, b.kind);
}

std::vector<HTObject::Binding> SortedBindings() {
  namespace id = ht_id;
  std::vector<HTObject::Binding> rows = {
      {id::INIFile, MemberKind::kPropertyPut, Bind<static_cast<Put>(&clsHT::INIFile)>()},
      {id::INIFile, MemberKind::kPropertyGet, Bind<static_cast<Get>(&clsHT::INIFile)>()},
      {id::LOGFile, MemberKind::kPropertyPut, Bind<static_cast<Put>(&clsHT::LOGFile)>()},
      {id::LOGFile, MemberKind::kPropertyGet, Bind<static_cast<Get>(&clsHT::LOGFile)>()},
      // INI
      {id::GetIniKeyValue, kMethod, Bind<&clsHT::GetIniKeyValue>()},
      {id::GetIniKeyList, kMethod, Bind<&clsHT::GetIniKeyList>()},
      {id::GetIniSectionList, kMethod, Bind<&clsHT::GetIniSectionList>()},
      {id::CalculateStr, kMethod, Bind<&clsHT::CalculateStr>()},
      {id::CreateIni, kMethod, Bind<&clsHT::CreateIni>()},
      {id::SetIniFormat, kMethod, Bind<&clsHT::SetIniFormat>()},
      {id::SetIniKeyValue, kMethod, Bind<&clsHT::SetIniKeyValue>()},
      {id::SetIniRemark, kMethod, Bind<&clsHT::SetIniRemark>()},
      {id::DelIniKey, kMethod, Bind<&clsHT::DelIniKey>()},
      {id::DelIniSection, kMethod, Bind<&clsHT::DelIniSection>()},
      // registry
      {id::SetRegKeyValue, kMethod, Bind<&clsHT::SetRegKeyValue>()},
      {id::GetRegKeyValue, kMethod, Bind<&clsHT::GetRegKeyValue>()},
      {id::DelRegKey, kMethod, Bind<&clsHT::DelRegKey>()},
      {id::DelRegKeyValue, kMethod, Bind<&clsHT::DelRegKeyValue>()},
      // text
      {id::HLeft, kMethod, Bind<&clsHT::HLeft>()},
      {id::FormatStrLn, kMethod, Bind<&clsHT::FormatStrLn>()},
      {id::StrDelimiter, kMethod, Bind<&clsHT::StrDelimiter>()},
      {id::StrReplaceRepeat, kMethod, Bind<&clsHT::StrReplaceRepeat>()},
      {id::StrReplaceComma, kMethod, Bind<&clsHT::StrReplaceComma>()},
      {id::ConverStrToByte, kMethod, Bind<&clsHT::ConverStrToByte>()},
      {id::ConverByteToStr, kMethod, Bind<&clsHT::ConverByteToStr>()},
      // log and scrambling
      {id::WriteLog, kMethod, Bind<&clsHT::WriteLog>()},
      {id::StringEnCrypt, kMethod, Bind<&clsHT::StringEnCrypt>()},
      {id::EncodeString, kMethod, Bind<&clsHT::EncodeString>()},
      {id::EncodeFile, kMethod, Bind<&clsHT::EncodeFile>()},
      // paths
      {id::FileKill, kMethod, Bind<&clsHT::FileKill>()},
      {id::ParsePath, kMethod, Bind<&clsHT::ParsePath>()},
      {id::GetPath, kMethod, Bind<&clsHT::GetPath>()},
      {id::ParseFileName, kMethod, Bind<&clsHT::ParseFileName>()},
      {id::GetFileExt, kMethod, Bind<&clsHT::GetFileExt>()},
      // number bases
      {id::Bin2Dec, kMethod, Bind<&clsHT::Bin2Dec>()},
      {id::Dec2Bin, kMethod, Bind<&clsHT::Dec2Bin>()},
      {id::Bin2Hex, kMethod, Bind<&clsHT::Bin2Hex>()},
      {id::Hex2Bin, kMethod, Bind<&clsHT::Hex2Bin>()},
      {id::Hex2Dec, kMethod, Bind<&clsHT::Hex2Dec>()},
      {id::CheckBitStatus, kMethod, Bind<&clsHT::CheckBitStatus>()},
      // system and probe
      {id::GetMachineName, kMethod, Bind<&clsHT::GetMachineName>()},
      {id::SetMachineName, kMethod, Bind<&clsHT::SetMachineName>()},
      {id::ExitWindows, kMethod, Bind<&clsHT::ExitWindows>()},
      {id::LockFunction, kMethod, Bind<&clsHT::LockFunction>()},
      {id::UnLockFunction, kMethod, Bind<&clsHT::UnLockFunction>()},
      {id::Ping, kMethod, Bind<&clsHT::Ping>()},
      // file system
      {id::CreateDirTree, kMethod, Bind<&clsHT::CreateDirTree>()},
      {id::GetFileSize, kMethod, Bind<&clsHT::GetFileSize>()},
      {id::GetFileLastModiTime, kMethod, Bind<&clsHT::GetFileLastModiTime>()},
      {id::DriveExists, kMethod, Bind<&clsHT::DriveExists>()},
      {id::FileExists, kMethod, Bind<&clsHT::FileExists>()},
      {id::FolderExists, kMethod, Bind<&clsHT::FolderExists>()},
      {id::DeleteFile, kMethod, Bind<&clsHT::DeleteFile>()},
      {id::DeleteFolder, kMethod, Bind<&clsHT::DeleteFolder>()},
      {id::GetBaseName, kMethod, Bind<&clsHT::GetBaseName>()},
      {id::GetDriveName, kMethod, Bind<&clsHT::GetDriveName>()},
      {id::GetExtensionName, kMethod, Bind<&clsHT::GetExtensionName>()},
      {id::GetFileName, kMethod, Bind<&clsHT::GetFileName>()},
      {id::GetParentFolderName, kMethod, Bind<&clsHT::GetParentFolderName>()},
      {id::GetSpecialFolder, kMethod, Bind<&clsHT::GetSpecialFolder>()},
  };
  std::sort(rows.begin(), rows.end(), Before);
  return rows;
}

}  // namespace

const std::vector<HTObject::Binding>& HTObject::Bindings() {
  static const std::vector<Binding> rows = SortedBindings();
  return rows;
}

HTObject::HTObject(platform::Services services)
    : DispatchObject(ClassKind::kHT), object_(std::move(services)) {}

Variant HTObject::Call(const Member& member, CallArgs& args) {
  const std::vector<Binding>& rows = Bindings();
  const auto found = std::lower_bound(rows.begin(), rows.end(), std::tie(member.dispid, member.kind),
                                      [](const Binding& row, const auto& key) {
                                        return std::tie(row.dispid, row.kind) < key;
                                      });
  if (found == rows.end() || found->dispid != member.dispid || found->kind != member.kind) {
    throw ShellError(kMemberNotFound);
  }
  return found->member(object_, args);
}

}  // namespace kavrolin::component
