#include "component/server.h"

#include <new>

#include "component/class_factory.h"

namespace kavrolin::component {
namespace {

bool Is(const PlatformGuid* iid, const Guid& guid) { return FromPlatform(*iid) == guid; }

// Reference counting shared by the two objects below; each deletes itself
// when its last reference goes.
template <class Interface>
class Counted : public Interface {
 public:
  uint32_t AddRef() override { return references_.fetch_add(1) + 1; }
  uint32_t Release() override {
    const uint32_t left = references_.fetch_sub(1) - 1;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~Counted() = default;

 private:
  std::atomic<uint32_t> references_{1};
};

// An object as a host that speaks only the standard interfaces holds it: the
// dual interfaces are the Win32 shell's, so on POSIX it answers IUnknown only.
class ObjectUnknown final : public Counted<IUnknown> {
 public:
  explicit ObjectUnknown(ObjectRef object) : object_(std::move(object)) {}
  HResult QueryInterface(const PlatformGuid* iid, void** out) override {
    if (out == nullptr || iid == nullptr) return kPointer;
    *out = nullptr;
    if (!Is(iid, kIidUnknown)) return kNoInterface;
    AddRef();
    *out = static_cast<IUnknown*>(this);
    return kOk;
  }

 private:
  ObjectRef object_;  // keeps the object, and so the library's count, alive
};

class Factory final : public Counted<IKavrolinFactory> {
 public:
  Factory(ClassKind kind, platform::Services services, LibraryCounts& counts)
      : kind_(kind), services_(std::move(services)), counts_(counts) {}

  HResult QueryInterface(const PlatformGuid* iid, void** out) override {
    if (out == nullptr || iid == nullptr) return kPointer;
    *out = nullptr;
    if (!Is(iid, kIidUnknown) && !Is(iid, kIidClassFactory) && !Is(iid, kIidKavrolinFactory)) {
      return kNoInterface;
    }
    AddRef();
    *out = static_cast<IKavrolinFactory*>(this);
    return kOk;
  }

  HResult CreateInstance(IUnknown* outer, const PlatformGuid* iid, void** out) override {
    if (out == nullptr || iid == nullptr) return kPointer;
    *out = nullptr;
    if (outer != nullptr) return kNoAggregation;
    if (!Is(iid, kIidUnknown)) return kNoInterface;
    DispatchObject* object = nullptr;
    if (const HResult hr = CreateWithServices(services_, &object); hr != kOk) return hr;
    auto* unknown = new (std::nothrow) ObjectUnknown(ObjectRef::Adopt(object));
    if (unknown == nullptr) return kOutOfMemory;
    *out = static_cast<IUnknown*>(unknown);
    return kOk;
  }

  HResult LockServer(int32_t lock) override {
    CountLock(counts_.locks, lock != 0);
    return kOk;
  }

  HResult CreateWithServices(const platform::Services& services, DispatchObject** out) override {
    if (out == nullptr) return kPointer;
    *out = nullptr;
    try {
      ObjectRef object = ClassFactory(services, counts_.objects).Create(kind_);
      object->AddRef();  // the caller's reference; `object` drops its own
      *out = object.get();
      return kOk;
    } catch (const std::bad_alloc&) {
      return kOutOfMemory;
    } catch (...) {
      return kFail;
    }
  }

 private:
  ClassKind kind_;
  platform::Services services_;
  LibraryCounts& counts_;
};

}  // namespace

LibraryCounts& ProcessCounts() {
  static LibraryCounts* counts = new LibraryCounts;  // outlives every object, even at exit
  return *counts;
}

HResult GetClassObject(const PlatformGuid* clsid, const PlatformGuid* iid, void** object,
                       const platform::Services& services, LibraryCounts& counts) {
  if (object == nullptr || clsid == nullptr || iid == nullptr) return kPointer;
  *object = nullptr;
  const ClassInfo* info = FindClass(FromPlatform(*clsid));
  if (info == nullptr) return kClassNotAvailable;
  auto* factory = new (std::nothrow) Factory(info->kind, services, counts);
  if (factory == nullptr) return kOutOfMemory;
  const HResult hr = factory->QueryInterface(iid, object);
  factory->Release();  // the query's reference is the caller's
  return hr;
}

HResult CanUnloadNow(const LibraryCounts& counts) {
  return counts.objects->load() == 0 && counts.locks.load() == 0 ? kOk : kFalse;
}

}  // namespace kavrolin::component
