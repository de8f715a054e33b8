#include "toolkit/system/key_lock.h"

#include <cstdint>

namespace kavrolin::toolkit::system {
namespace {

bool SetScreenSaverRunning(platform::SystemOperations& system, uint32_t running) {
  // Receives the previous setting, which nothing needs.
  int32_t previous = 0;
  return system.SystemParametersInfo(platform::kSpiSetScreenSaverRunning, running, &previous,
                                     platform::kSpifUpdateIniFile);
}

}  // namespace

bool LockFunction(platform::SystemOperations& system) {
  return SetScreenSaverRunning(system, UINT32_MAX);
}

bool UnLockFunction(platform::SystemOperations& system) {
  return SetScreenSaverRunning(system, 0);
}

}  // namespace kavrolin::toolkit::system
