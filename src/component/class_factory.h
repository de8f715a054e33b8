// The class factory: creates objects of the three classes by class name,
// ProgID or CLSID, hands each the platform services it was given, and counts
// the objects alive and the locks held, so the library knows when it may be
// unloaded. Thread-safe; objects it made may outlive it.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "base/text.h"
#include "component/dispatch.h"
#include "component/identifiers.h"
#include "platform/services.h"

namespace kavrolin::component {

// Takes or drops one server lock; an unbalanced drop leaves the count at zero.
void CountLock(std::atomic<int32_t>& locks, bool lock);

class ClassFactory {
 public:
  explicit ClassFactory(platform::Services services = platform::Services::Default());
  // Counts its objects in `objects`, a counter shared with others (the
  // library's own, for DllCanUnloadNow).
  ClassFactory(platform::Services services, std::shared_ptr<std::atomic<int32_t>> objects);

  // A new object with one reference, held by the result. Throws
  // AutomationError 429 "ActiveX component can't create object" when no class
  // answers to the name or CLSID.
  ObjectRef Create(TextView name_or_clsid) const;
  ObjectRef Create(const Guid& clsid) const;
  ObjectRef Create(ClassKind kind) const;

  // Keeps the library loaded while a host holds a lock.
  void LockServer(bool lock);

  int32_t live_objects() const { return objects_->load(); }
  int32_t locks() const { return locks_.load(); }
  // True when no object made here is alive and no lock is held.
  bool CanUnloadNow() const { return live_objects() == 0 && locks() == 0; }

  const platform::Services& services() const { return services_; }

 private:
  platform::Services services_;
  std::shared_ptr<std::atomic<int32_t>> objects_ = std::make_shared<std::atomic<int32_t>>(0);
  std::atomic<int32_t> locks_{0};
};

}  // namespace kavrolin::component
