// clsHT: the toolkit object. It holds the INI file path, the log file path and
// a file-system object made with it; every member forwards to the function of
// its service group (ini/, text/, ...), handing over the state it needs.
//
// Guarded members catch every failure and answer their fallback; unguarded
// ones let an AutomationError reach the caller. Each member's comment says
// which. Objects are used on one thread at a time.
#pragma once

#include <cstdint>
#include <memory>

#include "base/text.h"
#include "base/variant.h"
#include "platform/file_system_object.h"
#include "platform/services.h"

namespace kavrolin::toolkit {

class clsHT {
 public:
  // Makes the object's file-system object; when that fails the object is
  // still usable and the file-system wrappers answer their fallbacks.
  explicit clsHT(platform::Services services);
  ~clsHT();
  clsHT(const clsHT&) = delete;
  clsHT& operator=(const clsHT&) = delete;

  // --- the two path properties: stored and returned exactly as given
  Text INIFile() const { return m_strIniFile; }
  void INIFile(const Text& New_IniPath) { m_strIniFile = New_IniPath; }
  Text LOGFile() const { return m_strLogFile; }
  void LOGFile(const Text& New_IniPath) { m_strLogFile = New_IniPath; }

  // --- INI reading (unguarded). In/out texts come back as they crossed the
  // ANSI code page.
  Text GetIniKeyValue(Text& strSection, Text& strKey);
  Text GetIniKeyList(Text& strSection);  // names, each followed by U+0000
  Text GetIniSectionList();              // names, each followed by U+0000
  Variant CalculateStr(const Text& StrBeSeach, const Variant& strFind, int16_t& Counter);

  // --- INI writing
  void CreateIni(Text& strDrv, Text& strDir);        // unguarded
  bool SetIniFormat(int32_t& lngLeftStringLen);      // guarded; changes nothing
  bool SetIniKeyValue(Text& strSection, Text& strKey, Text& strValue);  // guarded
  bool SetIniRemark(const Text& strSection, const Text& strRemark);     // guarded
  bool DelIniKey(Text& strSection, Text& strKey);    // unguarded
  bool DelIniSection(Text& strSection);              // unguarded

  // --- registry (unguarded). KeyRoot is a predefined root's handle value;
  // in/out texts come back as they crossed the ANSI code page.
  bool SetRegKeyValue(int32_t& KeyRoot, Text& KeyName, Text& SubKeyName, Text& SubKeyValue);
  Text GetRegKeyValue(int32_t& KeyRoot, Text& KeyName, Text& SubKeyRef);
  bool DelRegKey(int32_t& KeyRoot, Text& KeyName);
  bool DelRegKeyValue(int32_t& KeyRoot, Text& KeyName, Text& KeyValue);

  // --- text utilities
  Text HLeft(const Text& strIn, int32_t lngLen);
  Text FormatStrLn(Text& pStr, int32_t& StrLng, Text& ShowStr, bool& IsRightAlign);
  Text StrDelimiter(const Variant& strText, const Text& strDelimiter1, const Text& strDelimiter2);
  Text StrReplaceRepeat(const Variant& strText, const Text& strFind, const Text& strReplace);
  Text StrReplaceComma(const Variant& strText);
  ByteArray ConverStrToByte(Text& strData);
  Text ConverByteToStr(ByteArray& buf);

 private:
  platform::Services services_;
  Text m_strIniFile;
  Text m_strLogFile;
  std::unique_ptr<platform::FileSystemObject> m_objFso;  // null when it could not be made
};

}  // namespace kavrolin::toolkit
