// The component's own file on Windows: the DLL that holds this code, or the
// program it is linked into (GetModuleHandleExW from an address inside it,
// then GetModuleFileNameW).
#pragma once

#include <string>

#include "platform/module.h"

namespace kavrolin::platform::win32 {

// The full path of the component's own file.
std::wstring ComponentFile();
// Its folder, without a trailing "\" except for a drive root.
std::wstring ComponentFolderOf(const std::wstring& file);

class Win32Module : public Module {
 public:
  Text ComponentFolder() override;
  Text ComponentPath() override;
};

}  // namespace kavrolin::platform::win32
