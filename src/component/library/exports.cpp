// The four exports of the in-process server library (libkavrolin.so). Each
// call takes the process's platform services as they stand at that moment
// (KAVROLIN_PREFIX is read at each call).
#include "component/com_abi.h"
#include "component/registration.h"
#include "component/server.h"

using kavrolin::component::HResult;
using kavrolin::component::PlatformGuid;
namespace component = kavrolin::component;

#define KAVROLIN_EXPORT extern "C" __attribute__((visibility("default")))

KAVROLIN_EXPORT HResult DllGetClassObject(const PlatformGuid* clsid, const PlatformGuid* iid,
                                          void** object) {
  try {
    return component::GetClassObject(clsid, iid, object, kavrolin::platform::Services::Default(),
                                     component::ProcessCounts());
  } catch (...) {  // the services could not be made
    if (object != nullptr) *object = nullptr;
    return component::kFail;
  }
}

KAVROLIN_EXPORT HResult DllCanUnloadNow() { return component::CanUnloadNow(component::ProcessCounts()); }

KAVROLIN_EXPORT HResult DllRegisterServer() {
  try {
    const kavrolin::platform::Services services = kavrolin::platform::Services::Default();
    if (!services.registry) return component::kSelfRegClass;
    return component::RegisterLibrary(*services.registry, services.module->ComponentPath()) == 0
               ? component::kOk
               : component::kSelfRegClass;
  } catch (...) {
    return component::kSelfRegClass;
  }
}

KAVROLIN_EXPORT HResult DllUnregisterServer() {
  try {
    const kavrolin::platform::Services services = kavrolin::platform::Services::Default();
    if (!services.registry) return component::kSelfRegClass;
    return component::UnregisterLibrary(*services.registry) == 0 ? component::kOk
                                                                 : component::kSelfRegClass;
  } catch (...) {
    return component::kSelfRegClass;
  }
}
