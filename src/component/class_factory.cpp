#include "component/class_factory.h"

#include "component/ht_object.h"
#include "component/inter_face_object.h"
#include "component/rizhi_object.h"

namespace kavrolin::component {

ClassFactory::ClassFactory(platform::Services services) : services_(std::move(services)) {}

ClassFactory::ClassFactory(platform::Services services, std::shared_ptr<std::atomic<int32_t>> objects)
    : services_(std::move(services)), objects_(std::move(objects)) {}

ObjectRef ClassFactory::Create(TextView name_or_clsid) const {
  const ClassInfo* info = FindClass(name_or_clsid);
  if (!info) throw ShellError(kCannotCreateObject);
  return Create(info->kind);
}

ObjectRef ClassFactory::Create(const Guid& clsid) const {
  const ClassInfo* info = FindClass(clsid);
  if (!info) throw ShellError(kCannotCreateObject);
  return Create(info->kind);
}

ObjectRef ClassFactory::Create(ClassKind kind) const {
  ObjectRef object;
  switch (kind) {
    case ClassKind::kInterFace: object = MakeObject<InterFaceObject>(services_); break;
    case ClassKind::kRizhi: object = MakeObject<RizhiObject>(services_); break;
    case ClassKind::kHT: object = MakeObject<HTObject>(services_); break;
  }
  if (!object) throw ShellError(kCannotCreateObject);
  object->CountIn(objects_);
  return object;
}

void CountLock(std::atomic<int32_t>& locks, bool lock) {
  if (lock) {
    locks.fetch_add(1);
    return;
  }
  int32_t held = locks.load();
  while (held > 0 && !locks.compare_exchange_weak(held, held - 1)) {
  }
}

void ClassFactory::LockServer(bool lock) { CountLock(locks_, lock); }

}  // namespace kavrolin::component
