// Writing the INI file a toolkit object names: keys, sections, remarks, and
// choosing the file from a folder and a name. In/out texts are written back
// as they crossed the ANSI code page.
#pragma once

#include "base/text.h"
#include "platform/profile.h"

namespace kavrolin::toolkit::ini {

// folder + "\" + name with exactly one backslash between them: trailing
// backslashes of the folder and leading ones of the name go; empty parts stay
// empty ("" and "a.ini" give "\a.ini").
Text JoinPath(const Text& folder, const Text& name);

// Sets strKey=strValue in strSection. True when the file was written.
bool SetIniKeyValue(platform::Profile& profile, const Text& ini_file, Text& strSection,
                    Text& strKey, Text& strValue);

// Puts the line ";" + strRemark under every header line of strSection (a line
// that, without blanks at either end, is "[" strSection "]", letter case
// exact). False when the file is missing or empty, the section is not listed
// (case-sensitive), or the file cannot be rewritten. The rewrite runs under
// the file's lock and keeps the file's ending as it was.
bool SetIniRemark(platform::Profile& profile, const Text& ini_file, const Text& strSection,
                  const Text& strRemark);

// strKey not empty: deletes that entry; empty: empties the section, keeping
// its header. The profile's report is the answer.
bool DelIniKey(platform::Profile& profile, const Text& ini_file, Text& strSection, Text& strKey);

// Deletes the section's header and entries. The profile's report is the answer.
bool DelIniSection(platform::Profile& profile, const Text& ini_file, Text& strSection);

}  // namespace kavrolin::toolkit::ini
