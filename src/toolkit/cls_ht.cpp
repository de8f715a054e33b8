#include "toolkit/cls_ht.h"

#include "toolkit/ini/ini_reading.h"
#include "toolkit/ini/ini_writing.h"
#include "toolkit/registry/registry_reading.h"
#include "toolkit/registry/registry_writing.h"
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

}  // namespace kavrolin::toolkit
