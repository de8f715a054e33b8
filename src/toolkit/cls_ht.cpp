#include "toolkit/cls_ht.h"

#include "base/automation_error.h"
#include "toolkit/fs/dir_tree.h"
#include "toolkit/fs/file_facts.h"
#include "toolkit/fs/object_wrappers.h"
#include "toolkit/ini/ini_reading.h"
#include "base/basic_random.h"
#include "platform/common/file_slots.h"
#include "toolkit/ini/ini_writing.h"
#include "toolkit/numbers/number_bases.h"
#include "toolkit/path/file_kill.h"
#include "toolkit/path/path_parts.h"
#include "toolkit/scramble/encode_file.h"
#include "toolkit/scramble/encode_string.h"
#include "toolkit/scramble/string_encrypt.h"
#include "toolkit/probe/ping.h"
#include "toolkit/system/exit_windows.h"
#include "toolkit/system/key_lock.h"
#include "toolkit/system/machine_name.h"
#include "toolkit/registry/registry_reading.h"
#include "toolkit/registry/registry_writing.h"
#include "toolkit/text/byte_text.h"
#include "toolkit/text/counting.h"
#include "toolkit/text/list_commas.h"
#include "toolkit/text/markers.h"
#include "toolkit/text/padding.h"
#include "toolkit/text/replace.h"

namespace kavrolin::toolkit {
namespace {

// A bundle made without this service is a platform library that could not be
// loaded: the call fails as the runtime's failed load does.
template <class Service>
Service& Loaded(const std::shared_ptr<Service>& service) {
  if (!service) throw AutomationError(ErrorNumber::kDllLoad);
  return *service;
}

}  // namespace

clsHT::clsHT(platform::Services services) : services_(std::move(services)) {
  try {
    m_objFso = services_.files->CreateObject();
  } catch (...) {
    // Without it only the file-system wrappers fail, each to its fallback.
  }
}

clsHT::~clsHT() = default;

Text clsHT::GetIniKeyValue(Text& strSection, Text& strKey) {
  return ini::GetIniKeyValue(*services_.profile, m_strIniFile, strSection, strKey);
}

Text clsHT::GetIniKeyList(Text& strSection) {
  return ini::GetIniKeyList(*services_.profile, m_strIniFile, strSection);
}

Text clsHT::GetIniSectionList() { return ini::GetIniSectionList(*services_.profile, m_strIniFile); }

Variant clsHT::CalculateStr(const Text& StrBeSeach, const Variant& strFind, int16_t& Counter) {
  return text::CalculateStr(StrBeSeach, strFind, Counter);
}

void clsHT::CreateIni(Text& strDrv, Text& strDir) { m_strIniFile = ini::JoinPath(strDrv, strDir); }

bool clsHT::SetIniFormat(int32_t& lngLeftStringLen) { return true; }

bool clsHT::SetIniKeyValue(Text& strSection, Text& strKey, Text& strValue) {
  return ini::SetIniKeyValue(*services_.profile, m_strIniFile, strSection, strKey, strValue);
}

bool clsHT::SetIniRemark(const Text& strSection, const Text& strRemark) {
  return ini::SetIniRemark(*services_.profile, m_strIniFile, strSection, strRemark);
}

bool clsHT::DelIniKey(Text& strSection, Text& strKey) {
  return ini::DelIniKey(*services_.profile, m_strIniFile, strSection, strKey);
}

bool clsHT::DelIniSection(Text& strSection) {
  return ini::DelIniSection(*services_.profile, m_strIniFile, strSection);
}

// --- registry
bool clsHT::SetRegKeyValue(int32_t& KeyRoot, Text& KeyName, Text& SubKeyName, Text& SubKeyValue) {
  return registry::SetRegKeyValue(*services_.registry, KeyRoot, KeyName, SubKeyName, SubKeyValue);
}

Text clsHT::GetRegKeyValue(int32_t& KeyRoot, Text& KeyName, Text& SubKeyRef) {
  return registry::GetRegKeyValue(*services_.registry, KeyRoot, KeyName, SubKeyRef);
}

bool clsHT::DelRegKey(int32_t& KeyRoot, Text& KeyName) {
  return registry::DelRegKey(*services_.registry, KeyRoot, KeyName);
}

bool clsHT::DelRegKeyValue(int32_t& KeyRoot, Text& KeyName, Text& KeyValue) {
  return registry::DelRegKeyValue(*services_.registry, KeyRoot, KeyName, KeyValue);
}

Text clsHT::HLeft(const Text& strIn, int32_t lngLen) { return text::HLeft(strIn, lngLen); }

Text clsHT::FormatStrLn(Text& pStr, int32_t& StrLng, Text& ShowStr, bool& IsRightAlign) {
  return text::FormatStrLn(pStr, StrLng, ShowStr, IsRightAlign);
}

Text clsHT::StrDelimiter(const Variant& strText, const Text& strDelimiter1,
                         const Text& strDelimiter2) {
  return text::StrDelimiter(strText, strDelimiter1, strDelimiter2);
}

Text clsHT::StrReplaceRepeat(const Variant& strText, const Text& strFind, const Text& strReplace) {
  return text::StrReplaceRepeat(strText, strFind, strReplace);
}

Text clsHT::StrReplaceComma(const Variant& strText) { return text::StrReplaceComma(strText); }

ByteArray clsHT::ConverStrToByte(Text& strData) { return text::ConverStrToByte(strData); }

Text clsHT::ConverByteToStr(ByteArray& buf) { return text::ConverByteToStr(buf); }

// --- log

bool clsHT::WriteLog(const Text& strCode, const Text& strDesc) {
  return log::WriteLog(services_, m_strLogFile, m_logFolder, strCode, strDesc);
}

// --- scrambling

Text clsHT::StringEnCrypt(const Text& strSource, int32_t& MA, Text& strTarget) {
  return scramble::StringEnCrypt(*services_.message_box, BasicRandom::ThisThread(), strSource, MA,
                                 strTarget);
}

Variant clsHT::EncodeString(const Text& pString, int32_t pSeed) {
  return scramble::EncodeString(pString, pSeed);
}

bool clsHT::EncodeFile(Text& pFileS, Text& pFileD, int32_t& pSeed) {
  return scramble::EncodeFile(*services_.files, platform::FileSlots::ThisThread(), pFileS, pFileD,
                              pSeed);
}

// --- paths

bool clsHT::FileKill(Text& sFilename, bool& bDeleteReadOnly) {
  return path::FileKill(*services_.files, sFilename, bDeleteReadOnly);
}

Text clsHT::ParsePath(Text& sPathIn) { return path::ParsePath(sPathIn); }

Text clsHT::GetPath(Text& sPathIn) { return path::GetPath(sPathIn); }

Text clsHT::ParseFileName(Text& sFileIn) { return path::ParseFileName(sFileIn); }

Text clsHT::GetFileExt(Text& sFilename) { return path::GetFileExt(sFilename); }

// --- number bases

double clsHT::Bin2Dec(Text& InputData) { return numbers::Bin2Dec(*services_.message_box, InputData); }

Text clsHT::Dec2Bin(double& InputData) { return numbers::Dec2Bin(*services_.message_box, InputData); }

Text clsHT::Bin2Hex(Text& InputData) { return numbers::Bin2Hex(*services_.message_box, InputData); }

Text clsHT::Hex2Bin(Text& InputData) { return numbers::Hex2Bin(*services_.message_box, InputData); }

double clsHT::Hex2Dec(Text& InputData) { return numbers::Hex2Dec(*services_.message_box, InputData); }

bool clsHT::CheckBitStatus(double lngEnumValue, double lngCheckBitValue) {
  return numbers::CheckBitStatus(*services_.message_box, lngEnumValue, lngCheckBitValue);
}

// --- system

Text clsHT::GetMachineName() { return system::GetMachineName(Loaded(services_.system)); }

bool clsHT::SetMachineName(const Text& strComputerName) {
  return system::SetMachineName(Loaded(services_.system), strComputerName);
}

Variant clsHT::ExitWindows(int32_t ShutDownMode) {
  return system::ExitWindows(Loaded(services_.system), ShutDownMode);
}

bool clsHT::LockFunction() { return system::LockFunction(Loaded(services_.system)); }

bool clsHT::UnLockFunction() { return system::UnLockFunction(Loaded(services_.system)); }

// --- probe

bool clsHT::Ping(Text& t_IP) { return probe::Ping(Loaded(services_.echo), t_IP); }

// --- file system

bool clsHT::CreateDirTree(const Text& strTree) { return fs::CreateDirTree(*services_.files, strTree); }

int32_t clsHT::GetFileSize(Text& Filename) { return fs::GetFileSize(*services_.files, Filename); }

Text clsHT::GetFileLastModiTime(Text& pFileName, Text& pMaskStr) {
  return fs::GetFileLastModiTime(*services_.files, pFileName, pMaskStr);
}

bool clsHT::DriveExists(const Text& drivespec) { return fs::DriveExists(m_objFso.get(), drivespec); }

bool clsHT::FileExists(const Text& filespec) { return fs::FileExists(m_objFso.get(), filespec); }

bool clsHT::FolderExists(const Text& folderspec) {
  return fs::FolderExists(m_objFso.get(), folderspec);
}

bool clsHT::DeleteFile(const Text& filespec, bool& force) {
  return fs::DeleteFile(m_objFso.get(), filespec, force);
}

bool clsHT::DeleteFolder(const Text& folderspec, bool& force) {
  return fs::DeleteFolder(m_objFso.get(), folderspec, force);
}

Text clsHT::GetBaseName(const Text& path) { return fs::GetBaseName(m_objFso.get(), path); }

Text clsHT::GetDriveName(const Text& path) { return fs::GetDriveName(m_objFso.get(), path); }

Text clsHT::GetExtensionName(const Text& path) { return fs::GetExtensionName(m_objFso.get(), path); }

Text clsHT::GetFileName(const Text& pathspec) { return fs::GetFileName(m_objFso.get(), pathspec); }

Text clsHT::GetParentFolderName(const Text& path) {
  return fs::GetParentFolderName(m_objFso.get(), path);
}

Text clsHT::GetSpecialFolder(int32_t folderspec) {
  return fs::GetSpecialFolder(m_objFso.get(), folderspec);
}

}  // namespace kavrolin::toolkit
