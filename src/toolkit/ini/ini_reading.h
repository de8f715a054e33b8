// Reading the INI file a toolkit object names: one value, the keys of a
// section, the sections. In/out section and key texts are written back as
// they crossed the ANSI code page. A missing file, section or key reads as
// the empty text.
#pragma once

#include "base/text.h"
#include "platform/profile.h"

namespace kavrolin::toolkit::ini {

// The read buffer every reader declares: 32,767 bytes.
inline constexpr uint32_t kReadBuffer = 32767;

Text GetIniKeyValue(platform::Profile& profile, const Text& ini_file, Text& strSection,
                    Text& strKey);
Text GetIniKeyList(platform::Profile& profile, const Text& ini_file, Text& strSection);
// The whole buffer is declared, so no section goes unlisted below 32,765
// bytes of names.
Text GetIniSectionList(platform::Profile& profile, const Text& ini_file);

}  // namespace kavrolin::toolkit::ini
