#include "toolkit/system/machine_name.h"

#include <string>

#include "base/ansi.h"

namespace kavrolin::toolkit::system {
namespace {

constexpr uint32_t kNameBufferSize = 255;

}  // namespace

Text GetMachineName(platform::SystemOperations& system) {
  std::string buffer(kNameBufferSize, '\0');
  // The size the system writes back is not needed: the name ends at its zero.
  uint32_t size = kNameBufferSize;
  const bool known = system.GetComputerName(buffer.data(), size);
  const Text text = FromAnsi(buffer);
  if (!known) return u"(未知)";
  return text.substr(0, text.find(u'\0'));
}

bool SetMachineName(platform::SystemOperations& system, const Text& strComputerName) {
  return system.SetComputerName(ToAnsi(strComputerName).c_str());
}

}  // namespace kavrolin::toolkit::system
