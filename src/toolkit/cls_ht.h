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
#include "platform/common/file_system_object.h"
#include "platform/services.h"
#include "toolkit/log/log_file.h"

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

  // --- log
  // Guarded: true when the line was written. Stores the resolved file in
  // LOGFile; a folder keeps its meaning for later calls (log/log_file.h).
  bool WriteLog(const Text& strCode, const Text& strDesc);

  // --- scrambling
  // Guarded: failures go to the message box and answer empty text. MA comes
  // back made positive; strTarget receives the result.
  Text StringEnCrypt(const Text& strSource, int32_t& MA, Text& strTarget);
  Variant EncodeString(const Text& pString, int32_t pSeed);  // unguarded
  bool EncodeFile(Text& pFileS, Text& pFileD, int32_t& pSeed);  // guarded; changes nothing

  // --- paths
  bool FileKill(Text& sFilename, bool& bDeleteReadOnly);  // guarded; changes nothing
  // Unguarded: overflow for texts past 32,767 units. They change nothing.
  Text ParsePath(Text& sPathIn);
  Text GetPath(Text& sPathIn);
  Text ParseFileName(Text& sFileIn);
  Text GetFileExt(Text& sFilename);

  // --- number bases (unguarded; bad input goes to the message box).
  // Hex2Bin and Hex2Dec put InputData in capitals; the others change nothing.
  double Bin2Dec(Text& InputData);
  Text Dec2Bin(double& InputData);
  Text Bin2Hex(Text& InputData);
  Text Hex2Bin(Text& InputData);
  double Hex2Dec(Text& InputData);
  bool CheckBitStatus(double lngEnumValue, double lngCheckBitValue);
  // --- system (unguarded; the platform service reports, it does not throw)
  Text GetMachineName();                          // "(未知)" when the name cannot be had
  bool SetMachineName(const Text& strComputerName);
  Variant ExitWindows(int32_t ShutDownMode);      // always the empty variant
  bool LockFunction();                            // the platform call's outcome
  bool UnLockFunction();                          // the platform call's outcome

  // --- probe (unguarded: bad address texts raise 9, 13 or 6)
  bool Ping(Text& t_IP);

  // --- file system (guarded: each answers its fallback on any failure)
  bool CreateDirTree(const Text& strTree);
  int32_t GetFileSize(Text& Filename);
  Text GetFileLastModiTime(Text& pFileName, Text& pMaskStr);
  bool DriveExists(const Text& drivespec);
  bool FileExists(const Text& filespec);
  bool FolderExists(const Text& folderspec);
  bool DeleteFile(const Text& filespec, bool& force);
  bool DeleteFolder(const Text& folderspec, bool& force);
  Text GetBaseName(const Text& path);
  Text GetDriveName(const Text& path);
  Text GetExtensionName(const Text& path);
  Text GetFileName(const Text& pathspec);
  Text GetParentFolderName(const Text& path);
  Text GetSpecialFolder(int32_t folderspec);

 private:
  platform::Services services_;
  Text m_strIniFile;
  Text m_strLogFile;
  std::unique_ptr<platform::FileSystemObject> m_objFso;  // null when it could not be made
  log::LogFolder m_logFolder;  // the folder LOGFile named, while it still leads to it
};

}  // namespace kavrolin::toolkit
