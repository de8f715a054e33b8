// The library's side of its four exports: the class factory object handed out
// for each class, the counts DllCanUnloadNow answers from, and registration
// through the registry service.
//
// Every function here answers a status code and never throws. Thread-safe.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "base/text.h"
#include "component/com_abi.h"
#include "platform/registry.h"
#include "platform/services.h"

namespace kavrolin::component {

// Objects alive and factory locks held, over every factory of the library.
struct LibraryCounts {
  std::shared_ptr<std::atomic<int32_t>> objects = std::make_shared<std::atomic<int32_t>>(0);
  std::atomic<int32_t> locks{0};
};

// The counts of this library, for the whole process.
LibraryCounts& ProcessCounts();

// DllGetClassObject: a factory for the class `clsid` that speaks `iid`
// (IUnknown, IClassFactory or IKavrolinFactory) into *object, with one
// reference. Objects its CreateInstance makes reach the platform through
// `services`. kClassNotAvailable for an unknown class, kNoInterface for
// another interface; *object is null on failure.
HResult GetClassObject(const PlatformGuid* clsid, const PlatformGuid* iid, void** object,
                       const platform::Services& services, LibraryCounts& counts);

// DllCanUnloadNow: kOk when no object and no lock remains, else kFalse.
HResult CanUnloadNow(const LibraryCounts& counts);

}  // namespace kavrolin::component
