// The member tables of the three classes, with their fixed DISPIDs. Every
// member of every class is listed, built or not; the DISPIDs never change.
#pragma once

#include <cstdint>

#include "component/identifiers.h"
#include "component/member_table.h"

namespace kavrolin::component {

namespace inter_face_id {
inline constexpr int32_t m_strFilePrn = 0x40030002;
inline constexpr int32_t m_strAppPath = 0x40030003;
inline constexpr int32_t m_strFanhui = 0x40030004;
inline constexpr int32_t m_strCardNo = 0x40030005;
inline constexpr int32_t m_strCardMoney = 0x40030006;
inline constexpr int32_t m_strSY = 0x40030007;
inline constexpr int32_t Sale = 0x60030000;
inline constexpr int32_t Inquery = 0x60030001;
inline constexpr int32_t VoidSale = 0x60030002;
inline constexpr int32_t VoidTH = 0x60030003;
inline constexpr int32_t Qita = 0x60030004;
inline constexpr int32_t GetCardNo = 0x60030005;
inline constexpr int32_t GetCardMoney = 0x60030006;
inline constexpr int32_t GetSY = 0x60030007;
inline constexpr int32_t GetFanhui = 0x60030008;
inline constexpr int32_t GetPrintTxt = 0x60030009;
inline constexpr int32_t Initialize = 0x6003000B;
}  // namespace inter_face_id

namespace rizhi_id {
inline constexpr int32_t WriteLog = 0x60030000;
}  // namespace rizhi_id

namespace ht_id {
inline constexpr int32_t SetRegKeyValue = 0x60030002;
inline constexpr int32_t GetRegKeyValue = 0x60030003;
inline constexpr int32_t DelRegKey = 0x60030004;
inline constexpr int32_t DelRegKeyValue = 0x60030005;
inline constexpr int32_t CalculateStr = 0x60030006;
inline constexpr int32_t CreateIni = 0x60030008;
inline constexpr int32_t SetIniFormat = 0x60030009;
inline constexpr int32_t SetIniKeyValue = 0x6003000B;
inline constexpr int32_t SetIniRemark = 0x6003000C;
inline constexpr int32_t DelIniKey = 0x6003000D;
inline constexpr int32_t DelIniSection = 0x6003000E;
inline constexpr int32_t INIFile = 0x68030001;
inline constexpr int32_t LOGFile = 0x68030000;
inline constexpr int32_t WriteLog = 0x6003000F;
inline constexpr int32_t StringEnCrypt = 0x60030010;
inline constexpr int32_t FileKill = 0x60030011;
inline constexpr int32_t ParsePath = 0x60030012;
inline constexpr int32_t GetPath = 0x60030013;
inline constexpr int32_t ParseFileName = 0x60030014;
inline constexpr int32_t GetFileExt = 0x60030015;
inline constexpr int32_t EncodeString = 0x60030016;
inline constexpr int32_t EncodeFile = 0x60030017;
inline constexpr int32_t Bin2Dec = 0x60030018;
inline constexpr int32_t Dec2Bin = 0x60030019;
inline constexpr int32_t Bin2Hex = 0x6003001A;
inline constexpr int32_t Hex2Bin = 0x6003001B;
inline constexpr int32_t Hex2Dec = 0x6003001C;
inline constexpr int32_t CheckBitStatus = 0x6003001D;
inline constexpr int32_t GetMachineName = 0x6003001E;
inline constexpr int32_t SetMachineName = 0x6003001F;
inline constexpr int32_t ExitWindows = 0x60030020;
inline constexpr int32_t HLeft = 0x60030021;
inline constexpr int32_t LockFunction = 0x60030022;
inline constexpr int32_t UnLockFunction = 0x60030023;
inline constexpr int32_t CreateDirTree = 0x60030024;
inline constexpr int32_t GetFileSize = 0x60030026;
inline constexpr int32_t FormatStrLn = 0x60030029;
inline constexpr int32_t GetFileLastModiTime = 0x6003002A;
inline constexpr int32_t GetIniKeyList = 0x6003002B;
inline constexpr int32_t GetIniSectionList = 0x6003002C;
inline constexpr int32_t GetIniKeyValue = 0x6003002D;
inline constexpr int32_t StrDelimiter = 0x6003002E;
inline constexpr int32_t StrReplaceRepeat = 0x6003002F;
inline constexpr int32_t StrReplaceComma = 0x60030030;
inline constexpr int32_t Ping = 0x6003003A;
inline constexpr int32_t ConverStrToByte = 0x6003003B;
inline constexpr int32_t ConverByteToStr = 0x6003003C;
inline constexpr int32_t DriveExists = 0x6003003E;
inline constexpr int32_t FileExists = 0x6003003F;
inline constexpr int32_t FolderExists = 0x60030040;
inline constexpr int32_t DeleteFile = 0x60030041;
inline constexpr int32_t DeleteFolder = 0x60030042;
inline constexpr int32_t GetBaseName = 0x60030043;
inline constexpr int32_t GetDriveName = 0x60030044;
inline constexpr int32_t GetExtensionName = 0x60030045;
inline constexpr int32_t GetFileName = 0x60030046;
inline constexpr int32_t GetParentFolderName = 0x60030047;
inline constexpr int32_t GetSpecialFolder = 0x60030048;
}  // namespace ht_id

const MemberTable& InterFaceTable();
const MemberTable& RizhiTable();
const MemberTable& HTTable();
const MemberTable& TableOf(ClassKind kind);

}  // namespace kavrolin::component
