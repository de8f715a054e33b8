#include "component/win32/com_class_factory.h"

#include <atomic>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include "component/win32/dual_object.h"
#include "component/win32/own_module.h"

namespace kavrolin::component::win32 {
namespace {

class ComClassFactory final : public ::IClassFactory {
 public:
  // Takes over the reference held on `factory`.
  explicit ComClassFactory(IKavrolinFactory* factory) : factory_(factory) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    AddRef();
    *out = static_cast<::IClassFactory*>(this);
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return references_.fetch_add(1) + 1; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = references_.fetch_sub(1) - 1;
    if (left == 0) delete this;
    return left;
  }

  STDMETHODIMP CreateInstance(::IUnknown* outer, REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    try {
      DispatchObject* object = nullptr;
      const HResult hr = factory_->CreateWithServices(platform::Services::Default(), &object);
      if (hr != kOk) return hr;
      return WrapObject(ObjectRef::Adopt(object), iid, out);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (...) {  // the services could not be made
      return E_FAIL;
    }
  }
  STDMETHODIMP LockServer(BOOL lock) override { return factory_->LockServer(lock ? 1 : 0); }

 private:
  ~ComClassFactory() { factory_->Release(); }

  IKavrolinFactory* factory_;
  std::atomic<ULONG> references_{1};
};

}  // namespace

HRESULT GetComClassObject(REFCLSID clsid, REFIID iid, void** out, LibraryCounts& counts) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  const PlatformGuid class_id = ToPlatform(FromGuid(clsid));
  const PlatformGuid factory_iid = ToPlatform(kIidKavrolinFactory);
  void* portable = nullptr;
  // The services given here are unused: CreateInstance passes its own.
  const HResult hr = GetClassObject(&class_id, &factory_iid, &portable, platform::Services{}, counts);
  if (hr == kClassNotAvailable) return CLASS_E_CLASSNOTAVAILABLE;
  if (hr != kOk) return hr;
  auto* factory = new (std::nothrow) ComClassFactory(static_cast<IKavrolinFactory*>(portable));
  if (factory == nullptr) {
    static_cast<IKavrolinFactory*>(portable)->Release();
    return E_OUTOFMEMORY;
  }
  const HRESULT status = factory->QueryInterface(iid, out);
  factory->Release();
  return status;
}

HRESULT KeptComClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  // Never released: the module's class objects live as long as it does.
  static std::mutex mutex;
  static std::vector<std::pair<GUID, ::IUnknown*>> kept;
  const std::lock_guard lock(mutex);
  ::IUnknown* factory = nullptr;
  for (const auto& [id, object] : kept) {
    if (IsEqualGUID(id, clsid)) factory = object;
  }
  if (factory == nullptr) {
    void* made = nullptr;
    if (const HRESULT hr = GetComClassObject(clsid, IID_IUnknown, &made, ProcessCounts()); FAILED(hr)) return hr;
    factory = static_cast<::IUnknown*>(made);
    try {
      kept.emplace_back(clsid, factory);
    } catch (const std::bad_alloc&) {
      factory->Release();
      return E_OUTOFMEMORY;
    }
  }
  return factory->QueryInterface(iid, out);
}

}  // namespace kavrolin::component::win32
