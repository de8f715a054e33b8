// The binary interface of the library's exports on POSIX: status codes, the
// platform's GUID layout, and the two standard interfaces a class factory
// speaks (IUnknown, IClassFactory), laid out as the platform lays them out
// (one table of virtual operations, single inheritance).
//
// Beyond the standard interfaces the library offers one of its own,
// IKavrolinFactory, which hosts built from this project ask for: it creates
// an object with the host's platform services and hands back the dispatch
// object itself. A host built elsewhere uses the standard ones only.
#pragma once

#include <cstdint>

#include "component/dispatch.h"
#include "component/identifiers.h"
#include "platform/services.h"

namespace kavrolin::component {

using HResult = int32_t;
inline constexpr HResult kOk = 0;
inline constexpr HResult kFalse = 1;
inline constexpr HResult kNoInterface = static_cast<HResult>(0x80004002);
inline constexpr HResult kPointer = static_cast<HResult>(0x80004003);
inline constexpr HResult kFail = static_cast<HResult>(0x80004005);
inline constexpr HResult kOutOfMemory = static_cast<HResult>(0x8007000E);
inline constexpr HResult kNoAggregation = static_cast<HResult>(0x80040110);
inline constexpr HResult kClassNotAvailable = static_cast<HResult>(0x80040111);
inline constexpr HResult kSelfRegClass = static_cast<HResult>(0x80040201);  // SELFREG_E_CLASS

// A GUID as the platform holds it in memory (first three fields in the
// machine's byte order).
struct PlatformGuid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  uint8_t data4[8] = {};
};
static_assert(sizeof(PlatformGuid) == 16);

PlatformGuid ToPlatform(const Guid& guid);
Guid FromPlatform(const PlatformGuid& guid);

inline constexpr Guid kIidUnknown = Guid::Of("{00000000-0000-0000-C000-000000000046}");
inline constexpr Guid kIidClassFactory = Guid::Of("{00000001-0000-0000-C000-000000000046}");
inline constexpr Guid kIidDispatch = Guid::Of("{00020400-0000-0000-C000-000000000046}");
// The library's own factory interface (see above).
inline constexpr Guid kIidKavrolinFactory = Guid::Of("{5E0C1A7B-3D42-4F8E-9B61-2C7D9A4E8F13}");

class IUnknown {
 public:
  virtual HResult QueryInterface(const PlatformGuid* iid, void** object) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  ~IUnknown() = default;  // objects go by Release, never by delete
};

class IClassFactory : public IUnknown {
 public:
  virtual HResult CreateInstance(IUnknown* outer, const PlatformGuid* iid, void** object) = 0;
  virtual HResult LockServer(int32_t lock) = 0;

 protected:
  ~IClassFactory() = default;
};

class IKavrolinFactory : public IClassFactory {
 public:
  // A new object of the factory's class that reaches the platform through
  // `services`; `object` gets its one reference (null on failure).
  virtual HResult CreateWithServices(const platform::Services& services, DispatchObject** object) = 0;

 protected:
  ~IKavrolinFactory() = default;
};

// The exports' calling convention: the system's (stdcall) on 32-bit Windows,
// where a caller that assumed the C one would pop the arguments twice.
#if defined(_WIN32) && defined(__i386__)
#define KAVROLIN_EXPORT_CALL __stdcall
#else
#define KAVROLIN_EXPORT_CALL
#endif

// The signatures of the four exports, as a host looks them up.
extern "C" {
using DllGetClassObjectFn = HResult(KAVROLIN_EXPORT_CALL*)(const PlatformGuid* clsid,
                                                           const PlatformGuid* iid, void** object);
using DllCanUnloadNowFn = HResult(KAVROLIN_EXPORT_CALL*)();
using DllRegisterServerFn = HResult(KAVROLIN_EXPORT_CALL*)();
using DllUnregisterServerFn = HResult(KAVROLIN_EXPORT_CALL*)();
}

}  // namespace kavrolin::component
