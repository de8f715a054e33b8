#include "component/win32/dual_object.h"

#include <ocidl.h>

#include <atomic>
#include <initializer_list>
#include <new>
#include <optional>
#include <utility>
#include <vector>

// The interfaces as widl declares them from Kavrolin.idl (generated into the
// build folder).
#include "Kavrolin.h"
#include "component/win32/error_report.h"
#include "component/win32/own_module.h"
#include "component/win32/variant_bridge.h"

namespace kavrolin::component::win32 {
namespace {

// The caller's arguments in declaration order; null = not passed.
using Slots = std::vector<const VARIANT*>;

struct RunResult {
  Variant value;
  std::optional<AutomationError> error;
  // The declaration index of an argument that could not be coerced.
  std::optional<size_t> bad_argument;
};

// An in/out array is what its member hands back (GetPrintTxt's receipt lines,
// read from a print file that the read deletes). A caller that passed it by
// value could never receive it: JScript passes everything by value, VBScript
// an Empty literal or a variable in parentheses. Such a call is refused before
// the member runs, so the print file stays.
bool CanReceive(const Parameter& param, const VARIANT& arg) {
  const bool array = param.type == DeclaredType::kTextArray || param.type == DeclaredType::kByteArray;
  return !(array && param.direction == Direction::kInOut) || (V_VT(&arg) & VT_BYREF) != 0;
}

// Coerces the arguments, runs the member through the dispatch layer and
// writes changed in/out values back to the caller's references.
RunResult Run(DispatchObject& object, const Member& member, const Slots& slots) {
  RunResult run;
  Arguments args(slots.size());
  for (size_t i = 0; i < slots.size(); ++i) {
    if (slots[i] == nullptr || IsLeftOut(*slots[i])) continue;
    // Arguments beyond the declared ones are counted by the dispatch layer (450).
    const DeclaredType type = i < member.params.size() ? member.params[i].type : DeclaredType::kVariant;
    if (i < member.params.size() && !CanReceive(member.params[i], *slots[i])) {
      run.error = AutomationError(ErrorNumber::kTypeMismatch);
      run.bad_argument = i;
      return run;
    }
    try {
      args[i] = ArgumentValue(*slots[i], type);
    } catch (const AutomationError& error) {
      run.error = error;
      run.bad_argument = i;
      return run;
    } catch (const std::bad_alloc&) {
      run.error = AutomationError(ErrorNumber::kOutOfMemory);
      return run;
    }
  }
  const Arguments passed = args;
  InvokeResult result = object.Invoke(member.dispid, member.kind, args);
  for (size_t i = 0; i < slots.size() && i < member.params.size(); ++i) {
    if (slots[i] == nullptr || !args[i] || member.params[i].direction != Direction::kInOut) continue;
    if (args[i] == passed[i]) continue;  // unchanged: the caller's own value stays as it was
    if (const HRESULT hr = WriteBack(*slots[i], *args[i]); FAILED(hr) && !result.error) {
      result.error = AutomationError(hr == E_OUTOFMEMORY ? ErrorNumber::kOutOfMemory
                                                         : ErrorNumber::kTypeMismatch);
    }
  }
  run.value = std::move(result.value);
  run.error = std::move(result.error);
  return run;
}

MemberKind KindOf(WORD flags) {
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return MemberKind::kPropertyPut;
  if (flags & DISPATCH_METHOD) return MemberKind::kMethod;
  return MemberKind::kPropertyGet;
}

// The shell's own numbers as the status codes automation callers know.
std::optional<HRESULT> DispatchStatusOf(int32_t number) {
  switch (number) {
    case kMemberNotFound: return DISP_E_MEMBERNOTFOUND;
    case kArgumentNotOptional: return DISP_E_PARAMNOTOPTIONAL;
    case kWrongArgumentCount: return DISP_E_BADPARAMCOUNT;
    default: return std::nullopt;
  }
}

HRESULT InvokeLate(DispatchObject& object, DISPID dispid, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* exception, UINT* arg_error) {
  if (params == nullptr || params->cNamedArgs > params->cArgs) return E_INVALIDARG;
  const Member* member = object.table().Find(static_cast<int32_t>(dispid), KindOf(flags));
  if (member == nullptr) return DISP_E_MEMBERNOTFOUND;

  // rgvarg holds the arguments last to first, the named ones at its start.
  const UINT count = params->cArgs, named = params->cNamedArgs;
  Slots slots(count - named, nullptr);
  std::vector<UINT> origin(count - named);  // rgvarg index of each slot
  for (UINT j = 0; j < count - named; ++j) {
    slots[j] = &params->rgvarg[count - 1 - j];
    origin[j] = count - 1 - j;
  }
  for (UINT i = 0; i < named; ++i) {
    const DISPID id = params->rgdispidNamedArgs[i];
    size_t index = 0;
    if (id == DISPID_PROPERTYPUT && !member->params.empty()) {
      index = member->params.size() - 1;  // the new value is a put's last parameter
    } else if (id >= 0 && static_cast<size_t>(id) < member->params.size()) {
      index = static_cast<size_t>(id);
    } else {
      if (arg_error) *arg_error = i;
      return DISP_E_PARAMNOTFOUND;
    }
    if (index >= slots.size()) {
      slots.resize(index + 1, nullptr);
      origin.resize(index + 1, 0);
    }
    if (slots[index] != nullptr) {
      if (arg_error) *arg_error = i;
      return DISP_E_PARAMNOTFOUND;  // the same parameter twice
    }
    slots[index] = &params->rgvarg[i];
    origin[index] = i;
  }

  const RunResult run = Run(object, *member, slots);
  if (run.error) {
    const int32_t number = run.error->number();
    constexpr auto kTypeMismatch = static_cast<int32_t>(ErrorNumber::kTypeMismatch);
    constexpr auto kOverflow = static_cast<int32_t>(ErrorNumber::kOverflow);
    if (run.bad_argument && (number == kTypeMismatch || number == kOverflow)) {
      if (arg_error) *arg_error = origin[*run.bad_argument];
      return number == kTypeMismatch ? DISP_E_TYPEMISMATCH : DISP_E_OVERFLOW;
    }
    if (const auto status = DispatchStatusOf(number)) return *status;
    if (exception == nullptr) return StatusOf(*run.error);
    FillExcepInfo(*run.error, object.class_info(), exception);
    return DISP_E_EXCEPTION;
  }
  if (result != nullptr) {
    VariantInit(result);
    if (member->result != DeclaredType::kNone) return ToVariant(run.value, /*script_arrays=*/false, result);
  }
  return S_OK;
}

HRESULT NamesToIds(const MemberTable& table, LPOLESTR* names, UINT count, DISPID* ids) {
  if (names == nullptr || ids == nullptr) return E_POINTER;
  if (count == 0) return S_OK;
  const auto text = [](LPOLESTR name) {
    return name ? TextView(reinterpret_cast<const char16_t*>(name)) : TextView();
  };
  HRESULT status = S_OK;
  const std::optional<int32_t> dispid = table.DispidOf(text(names[0]));
  ids[0] = dispid ? *dispid : DISPID_UNKNOWN;
  if (!dispid) status = DISP_E_UNKNOWNNAME;
  // Further names are parameters of that member, numbered from 0.
  const Member* member = nullptr;
  if (dispid) {
    for (const Member& m : table.members()) {
      if (m.dispid == *dispid && (member == nullptr || m.params.size() > member->params.size())) member = &m;
    }
  }
  for (UINT i = 1; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    for (size_t p = 0; member != nullptr && p < member->params.size(); ++p) {
      if (EqualsIgnoreCase(text(names[i]), member->params[p].name)) ids[i] = static_cast<DISPID>(p);
    }
    if (ids[i] == DISPID_UNKNOWN) status = DISP_E_UNKNOWNNAME;
  }
  return status;
}

// Where an early-bound operation's result goes.
struct EarlyOut {
  VARTYPE type = VT_EMPTY;
  void* slot = nullptr;
};

HRESULT CallEarly(DispatchObject& object, DISPID dispid, MemberKind kind, std::initializer_list<VARIANT> passed,
                  EarlyOut out) {
  const Member* member = object.table().Find(static_cast<int32_t>(dispid), kind);
  if (member == nullptr) return DISP_E_MEMBERNOTFOUND;
  Slots slots;
  for (const VARIANT& arg : passed) slots.push_back(&arg);
  const RunResult run = Run(object, *member, slots);
  if (run.error) {
    PostErrorInfo(*run.error, object.class_info());
    return StatusOf(*run.error);
  }
  if (out.slot != nullptr) return StoreResult(run.value, out.type, out.slot);
  return S_OK;
}

// The three kinds of early-bound argument the generated operations pass.
VARIANT Borrowed(VARTYPE type) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = type;
  return v;
}
VARIANT ByVal(VARTYPE type, BSTR value) {
  VARIANT v = Borrowed(type);
  V_BSTR(&v) = value;
  return v;
}
VARIANT ByVal(VARTYPE type, LONG value) {
  VARIANT v = Borrowed(type);
  V_I4(&v) = value;
  return v;
}
[[maybe_unused]] VARIANT ByVal(VARTYPE type, short value) {  // 16-bit integers and VARIANT_BOOL
  VARIANT v = Borrowed(type);
  V_I2(&v) = value;
  return v;
}
VARIANT ByVal(VARTYPE type, double value) {
  VARIANT v = Borrowed(type);
  V_R8(&v) = value;
  return v;
}
VARIANT ByVal(VARTYPE, const VARIANT& value) { return value; }
[[maybe_unused]] VARIANT ByVal(VARTYPE type, SAFEARRAY* value) {
  VARIANT v = Borrowed(type);
  V_ARRAY(&v) = value;
  return v;
}
// A null reference is an optional argument the caller left out.
VARIANT ByRef(VARTYPE type, void* reference) {
  if (reference == nullptr) {
    VARIANT v = Borrowed(VT_ERROR);
    V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
    return v;
  }
  VARIANT v = Borrowed(static_cast<VARTYPE>(type | VT_BYREF));
  V_BYREF(&v) = reference;
  return v;
}
EarlyOut Out(VARTYPE type, void* slot) { return {type, slot}; }

template <class Interface>
class DualObject : public Interface, public ISupportErrorInfo, public IProvideClassInfo {
 public:
  explicit DualObject(ObjectRef object) : object_(std::move(object)) {}
  virtual ~DualObject() = default;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, ToGuid(object_->class_info().iid))) {
      *out = static_cast<Interface*>(this);
    } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
      *out = static_cast<ISupportErrorInfo*>(this);
    } else if (IsEqualIID(iid, IID_IProvideClassInfo)) {
      *out = static_cast<IProvideClassInfo*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return references_.fetch_add(1) + 1; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = references_.fetch_sub(1) - 1;
    if (left == 0) delete this;
    return left;
  }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (info == nullptr) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return OwnTypeInfo(object_->class_info().iid, info);
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    return NamesToIds(object_->table(), names, count, ids);
  }
  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* arg_error) override {
    const Hold hold(this);
    return InvokeLate(*object_, dispid, flags, params, result, exception, arg_error);
  }

  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
    return IsEqualIID(iid, ToGuid(object_->class_info().iid)) ? S_OK : S_FALSE;
  }
  STDMETHODIMP GetClassInfo(ITypeInfo** info) override { return OwnTypeInfo(object_->class_info().clsid, info); }

 protected:
  HRESULT CallEarly(DISPID dispid, MemberKind kind, std::initializer_list<VARIANT> passed, EarlyOut out = {}) {
    const Hold hold(this);
    return win32::CallEarly(*object_, dispid, kind, passed, out);
  }

 private:
  // The call's own reference: the member may drop the caller's last one.
  struct Hold {
    explicit Hold(DualObject* self) : self(self) { self->AddRef(); }
    ~Hold() { self->Release(); }
    DualObject* self;
  };

  ObjectRef object_;
  std::atomic<ULONG> references_{1};
};

#include "component/win32/early_bound_classes.inc"

template <class T>
HRESULT Wrap(ObjectRef object, REFIID iid, void** out) {
  auto* wrapped = new (std::nothrow) T(std::move(object));
  if (wrapped == nullptr) return E_OUTOFMEMORY;
  const HRESULT hr = wrapped->QueryInterface(iid, out);
  wrapped->Release();  // the query's reference is the caller's
  return hr;
}

}  // namespace

HRESULT WrapObject(ObjectRef object, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (!object) return E_POINTER;
  switch (object->class_info().kind) {
    case ClassKind::kInterFace: return Wrap<clsInterFaceObject>(std::move(object), iid, out);
    case ClassKind::kHT: return Wrap<clsHTObject>(std::move(object), iid, out);
    case ClassKind::kRizhi: return Wrap<cls_RizhiObject>(std::move(object), iid, out);
  }
  return E_NOINTERFACE;
}

}  // namespace kavrolin::component::win32
