#include "toolkit/cls_ht.h"

#include "toolkit/ini/ini_reading.h"
#include "base/basic_random.h"
#include "platform/file_slots.h"
#include "toolkit/ini/ini_writing.h"
#include "toolkit/numbers/number_bases.h"
#include "toolkit/path/file_kill.h"
#include "toolkit/path/path_parts.h"
#include "toolkit/scramble/encode_file.h"
#include "toolkit/scramble/encode_string.h"
#include "toolkit/scramble/string_encrypt.h"
#include "toolkit/text/byte_text.h"
#include "toolkit/text/counting.h"
#include "toolkit/text/list_commas.h"
#include "toolkit/text/markers.h"
#include "toolkit/text/padding.h"
#include "toolkit/text/replace.h"

namespace kavrolin::toolkit {

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

}  // namespace kavrolin::toolkit
