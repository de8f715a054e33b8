// The Windows installer's registry table for the library: the same entries
// RegisterLibrary writes (one RegistrationEntries list), as a WiX include of
// RegistryValue elements that the installer package's component holds, so
// the package and DllRegisterServer cannot disagree.
#pragma once

#include <string>

#include "base/text.h"

namespace kavrolin::component {

// A "<Include>" document (UTF-8) with one RegistryValue (Root HKCR, Type
// string) per entry, for the server file `file_reference` in
// `folder_reference`: installer formatted texts such as "[#KavrolinDll]" and
// "[INSTALLDIR]", written as given; every other text is escaped for XML and
// for the installer's formatting ("[" and "]").
std::string InstallerRegistryInclude(TextView file_reference, TextView folder_reference);

}  // namespace kavrolin::component
