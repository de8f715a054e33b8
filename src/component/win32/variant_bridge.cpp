#include "component/win32/variant_bridge.h"

#include <new>
#include <utility>

#include "base/automation_error.h"

namespace kavrolin::component::win32 {
namespace {

// Owns a VARIANT for the length of a conversion.
class ScopedVariant {
 public:
  ScopedVariant() { VariantInit(&value_); }
  ~ScopedVariant() { VariantClear(&value_); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
  VARIANT* get() { return &value_; }
  const VARIANT& operator*() const { return value_; }
  // Hands the value over; this one is empty afterwards.
  VARIANT Release() {
    VARIANT out = value_;
    VariantInit(&value_);
    return out;
  }

 private:
  VARIANT value_;
};

[[noreturn]] void ThrowFor(HRESULT hr) {
  if (hr == DISP_E_OVERFLOW) throw AutomationError(ErrorNumber::kOverflow);
  if (hr == E_OUTOFMEMORY) throw AutomationError(ErrorNumber::kOutOfMemory);
  throw AutomationError(ErrorNumber::kTypeMismatch);
}

Text TextOf(BSTR bstr) {
  return Text(reinterpret_cast<const char16_t*>(bstr), bstr ? SysStringLen(bstr) : 0);
}

// The value behind any level of by-reference indirection, copied.
void Dereference(const VARIANT& arg, ScopedVariant& out) {
  const HRESULT hr = VariantCopyInd(out.get(), const_cast<VARIANT*>(&arg));
  if (FAILED(hr)) ThrowFor(hr);
  // A reference to a script variable that itself holds a reference.
  if (V_VT(out.get()) & VT_BYREF) {
    ScopedVariant inner;
    if (const HRESULT hr2 = VariantCopyInd(inner.get(), out.get()); FAILED(hr2)) ThrowFor(hr2);
    VariantClear(out.get());
    *out.get() = inner.Release();
  }
}

// Visits the items of a one-dimensional array as VARIANTs.
template <class Visit>
void ForEachItem(SAFEARRAY* array, VARTYPE item_type, Visit visit) {
  LONG lower = 0, upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  for (LONG i = lower; i <= upper; ++i) {
    ScopedVariant item;
    V_VT(item.get()) = item_type;
    HRESULT hr = S_OK;
    if (item_type == VT_VARIANT) {
      hr = SafeArrayGetElement(array, &i, item.get());  // copies the VARIANT
    } else if (item_type == VT_BSTR) {
      hr = SafeArrayGetElement(array, &i, &V_BSTR(item.get()));
    } else {
      hr = SafeArrayGetElement(array, &i, &V_UI1(item.get()));
    }
    if (FAILED(hr)) ThrowFor(hr);
    visit(*item);
  }
}

LONG LowerBound(SAFEARRAY* array) {
  LONG lower = 0;
  SafeArrayGetLBound(array, 1, &lower);
  return lower;
}

TextArray ToTextArray(const VARIANT& value) {
  SAFEARRAY* array = V_ARRAY(&value);
  if (array == nullptr) return TextArray::WithoutBounds();
  if (SafeArrayGetDim(array) != 1) throw AutomationError(ErrorNumber::kTypeMismatch);
  TextArray texts{true, LowerBound(array), {}};
  ForEachItem(array, V_VT(&value) & VT_TYPEMASK, [&](const VARIANT& item) {
    texts.items.push_back(ArgumentValue(item, DeclaredType::kText).get<Text>());
  });
  return texts;
}

ByteArray ToByteArray(const VARIANT& value) {
  SAFEARRAY* array = V_ARRAY(&value);
  if (array == nullptr) return ByteArray::WithoutBounds();
  if (SafeArrayGetDim(array) != 1) throw AutomationError(ErrorNumber::kTypeMismatch);
  ByteArray bytes{true, LowerBound(array), {}};
  ForEachItem(array, V_VT(&value) & VT_TYPEMASK, [&](const VARIANT& item) {
    ScopedVariant byte;
    if (const HRESULT hr = VariantChangeType(byte.get(), const_cast<VARIANT*>(&item), 0, VT_UI1);
        FAILED(hr)) {
      ThrowFor(hr);
    }
    bytes.items.push_back(V_UI1(&*byte));
  });
  return bytes;
}

VARTYPE ScalarTypeOf(DeclaredType type) {
  switch (type) {
    case DeclaredType::kText: return VT_BSTR;
    case DeclaredType::kInt16: return VT_I2;
    case DeclaredType::kInt32:
    case DeclaredType::kExitMode:
    case DeclaredType::kSpecFolder: return VT_I4;
    case DeclaredType::kDouble: return VT_R8;
    case DeclaredType::kBool: return VT_BOOL;
    default: return VT_EMPTY;
  }
}

// A new SAFEARRAY of `items` with their lower bound, items stored by `put`.
template <class Items, class Put>
HRESULT MakeArray(VARTYPE item_type, LONG lower, const Items& items, Put put, SAFEARRAY** out) {
  SAFEARRAYBOUND bound{static_cast<ULONG>(items.size()), lower};
  SAFEARRAY* array = SafeArrayCreate(item_type, 1, &bound);
  if (array == nullptr) return E_OUTOFMEMORY;
  for (size_t i = 0; i < items.size(); ++i) {
    LONG index = lower + static_cast<LONG>(i);
    if (const HRESULT hr = put(array, &index, items[i]); FAILED(hr)) {
      SafeArrayDestroy(array);
      return hr;
    }
  }
  *out = array;
  return S_OK;
}

HRESULT PutText(SAFEARRAY* array, LONG* index, const Text& text, bool as_variant) {
  BSTR bstr = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
  if (bstr == nullptr) return E_OUTOFMEMORY;
  HRESULT hr;
  if (as_variant) {
    VARIANT item;
    V_VT(&item) = VT_BSTR;
    V_BSTR(&item) = bstr;
    hr = SafeArrayPutElement(array, index, &item);  // copies
  } else {
    hr = SafeArrayPutElement(array, index, bstr);  // copies
  }
  SysFreeString(bstr);
  return hr;
}

// Frees what a typed reference of `type` holds.
void FreeHeld(VARTYPE type, void* slot) {
  if (type == VT_BSTR) {
    SysFreeString(*static_cast<BSTR*>(slot));
  } else if (type & VT_ARRAY) {
    if (SAFEARRAY* held = *static_cast<SAFEARRAY**>(slot)) SafeArrayDestroy(held);
  } else if (type == VT_VARIANT) {
    VariantClear(static_cast<VARIANT*>(slot));
  }
}

// Converts `value` to `type` and moves it into `slot`, which holds nothing.
HRESULT StoreTyped(const Variant& value, VARTYPE type, void* slot) {
  ScopedVariant converted;
  if (type == VT_VARIANT) {
    if (HRESULT hr = ToVariant(value, /*script_arrays=*/false, converted.get()); FAILED(hr)) return hr;
    *static_cast<VARIANT*>(slot) = converted.Release();
    return S_OK;
  }
  if (type & VT_ARRAY) {
    const bool variants = (type & VT_TYPEMASK) == VT_VARIANT;
    if (HRESULT hr = ToVariant(value, variants, converted.get()); FAILED(hr)) return hr;
    if ((V_VT(&*converted) & VT_ARRAY) == 0) return DISP_E_TYPEMISMATCH;
    *static_cast<SAFEARRAY**>(slot) = V_ARRAY(&*converted);
    converted.Release();
    return S_OK;
  }
  ScopedVariant source;
  if (HRESULT hr = ToVariant(value, false, source.get()); FAILED(hr)) return hr;
  if (HRESULT hr = VariantChangeType(converted.get(), source.get(), VARIANT_ALPHABOOL, type); FAILED(hr)) {
    return hr;
  }
  VARIANT out = converted.Release();
  switch (type) {
    case VT_BSTR: *static_cast<BSTR*>(slot) = V_BSTR(&out); return S_OK;
    case VT_I2: *static_cast<SHORT*>(slot) = V_I2(&out); return S_OK;
    case VT_I4: *static_cast<LONG*>(slot) = V_I4(&out); return S_OK;
    case VT_R8: *static_cast<DOUBLE*>(slot) = V_R8(&out); return S_OK;
    case VT_BOOL: *static_cast<VARIANT_BOOL*>(slot) = V_BOOL(&out); return S_OK;
    case VT_DATE: *static_cast<DATE*>(slot) = V_DATE(&out); return S_OK;
    case VT_UI1: *static_cast<BYTE*>(slot) = V_UI1(&out); return S_OK;
    default: VariantClear(&out); return DISP_E_TYPEMISMATCH;
  }
}

}  // namespace

bool IsLeftOut(const VARIANT& arg) {
  const VARIANT* value = &arg;
  if (V_VT(value) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(value) != nullptr) value = V_VARIANTREF(value);
  return V_VT(value) == VT_ERROR && V_ERROR(value) == DISP_E_PARAMNOTFOUND;
}

Variant FromVariant(const VARIANT& arg) {
  ScopedVariant value;
  Dereference(arg, value);
  const VARIANT& v = *value;
  switch (V_VT(&v)) {
    case VT_EMPTY: return Variant();
    case VT_NULL: return Variant(NullValue{});
    case VT_I2: return Variant(static_cast<int16_t>(V_I2(&v)));
    case VT_I4: return Variant(static_cast<int32_t>(V_I4(&v)));
    case VT_R8: return Variant(static_cast<double>(V_R8(&v)));
    case VT_BOOL: return Variant(V_BOOL(&v) != VARIANT_FALSE);
    case VT_DATE: return Variant(Date{V_DATE(&v)});
    case VT_BSTR: return Variant(TextOf(V_BSTR(&v)));
    case VT_ARRAY | VT_UI1: return Variant(ToByteArray(v));
    case VT_ARRAY | VT_BSTR:
    case VT_ARRAY | VT_VARIANT: return Variant(ToTextArray(v));
    case VT_DISPATCH:
    case VT_UNKNOWN:
    case VT_ERROR: throw AutomationError(ErrorNumber::kTypeMismatch);
    default: break;
  }
  if (V_VT(&v) & VT_ARRAY) throw AutomationError(ErrorNumber::kTypeMismatch);
  // Other numbers (byte, single, currency, decimal, unsigned, 64-bit) as doubles.
  ScopedVariant number;
  if (const HRESULT hr = VariantChangeType(number.get(), const_cast<VARIANT*>(&v), 0, VT_R8); FAILED(hr)) {
    ThrowFor(hr);
  }
  return Variant(static_cast<double>(V_R8(&*number)));
}

Variant ArgumentValue(const VARIANT& arg, DeclaredType type) {
  ScopedVariant value;
  Dereference(arg, value);
  const VARTYPE held = V_VT(&*value);
  switch (type) {
    case DeclaredType::kVariant:
    case DeclaredType::kNone: return FromVariant(*value);
    case DeclaredType::kTextArray:
      if (held == VT_EMPTY) return Variant(TextArray::WithoutBounds());
      if (held != (VT_ARRAY | VT_BSTR) && held != (VT_ARRAY | VT_VARIANT)) {
        throw AutomationError(ErrorNumber::kTypeMismatch);
      }
      return Variant(ToTextArray(*value));
    case DeclaredType::kByteArray:
      if (held == VT_EMPTY) return Variant(ByteArray::WithoutBounds());
      if (held != (VT_ARRAY | VT_UI1) && held != (VT_ARRAY | VT_VARIANT)) {
        throw AutomationError(ErrorNumber::kTypeMismatch);
      }
      return Variant(ToByteArray(*value));
    default: break;
  }
  // Empty and Null go to the dispatch layer's own rules ("" / 0 / False, and
  // 94 "Invalid use of Null").
  if (held == VT_EMPTY) return Variant();
  if (held == VT_NULL) return Variant(NullValue{});
  ScopedVariant converted;
  const HRESULT hr =
      VariantChangeType(converted.get(), value.get(), VARIANT_ALPHABOOL, ScalarTypeOf(type));
  if (FAILED(hr)) ThrowFor(hr);
  return FromVariant(*converted);
}

HRESULT ToVariant(const Variant& value, bool script_arrays, VARIANT* out) {
  VariantInit(out);
  switch (value.type()) {
    case VariantType::kEmpty: return S_OK;
    case VariantType::kNull: V_VT(out) = VT_NULL; return S_OK;
    case VariantType::kInt16: V_VT(out) = VT_I2; V_I2(out) = value.get<int16_t>(); return S_OK;
    case VariantType::kInt32: V_VT(out) = VT_I4; V_I4(out) = value.get<int32_t>(); return S_OK;
    case VariantType::kDouble: V_VT(out) = VT_R8; V_R8(out) = value.get<double>(); return S_OK;
    case VariantType::kBool:
      V_VT(out) = VT_BOOL;
      V_BOOL(out) = value.get<bool>() ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    case VariantType::kDate: V_VT(out) = VT_DATE; V_DATE(out) = value.get<Date>().value; return S_OK;
    case VariantType::kText: {
      const Text& text = value.get<Text>();
      BSTR bstr = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
      if (bstr == nullptr) return E_OUTOFMEMORY;
      V_VT(out) = VT_BSTR;
      V_BSTR(out) = bstr;
      return S_OK;
    }
    case VariantType::kTextArray: {
      const TextArray& texts = value.get<TextArray>();
      const VARTYPE item = script_arrays ? VT_VARIANT : VT_BSTR;
      SAFEARRAY* array = nullptr;
      if (texts.has_bounds) {
        const HRESULT hr = MakeArray(
            item, texts.lbound, texts.items,
            [&](SAFEARRAY* a, LONG* i, const Text& t) { return PutText(a, i, t, script_arrays); }, &array);
        if (FAILED(hr)) return hr;
      }
      V_VT(out) = VT_ARRAY | item;
      V_ARRAY(out) = array;
      return S_OK;
    }
    case VariantType::kByteArray: {
      const ByteArray& bytes = value.get<ByteArray>();
      SAFEARRAY* array = nullptr;
      if (bytes.has_bounds) {
        const HRESULT hr = MakeArray(
            VT_UI1, bytes.lbound, bytes.items,
            [](SAFEARRAY* a, LONG* i, uint8_t b) { return SafeArrayPutElement(a, i, &b); }, &array);
        if (FAILED(hr)) return hr;
      }
      V_VT(out) = VT_ARRAY | VT_UI1;
      V_ARRAY(out) = array;
      return S_OK;
    }
  }
  return S_OK;
}

HRESULT WriteBack(const VARIANT& arg, const Variant& value) {
  if ((V_VT(&arg) & VT_BYREF) == 0 || V_BYREF(&arg) == nullptr) return S_OK;
  if (V_VT(&arg) == (VT_BYREF | VT_VARIANT)) {
    VARIANT* target = V_VARIANTREF(&arg);
    // A script variable that holds a reference of its own is written through it.
    if (V_VT(target) & VT_BYREF) return WriteBack(*target, value);
    ScopedVariant fresh;
    if (const HRESULT hr = ToVariant(value, /*script_arrays=*/true, fresh.get()); FAILED(hr)) return hr;
    VariantClear(target);
    *target = fresh.Release();
    return S_OK;
  }
  const VARTYPE type = V_VT(&arg) & ~VT_BYREF;
  void* slot = V_BYREF(&arg);
  // Converted first, so a failed conversion leaves the caller's value alone.
  union {
    BSTR bstr;
    SAFEARRAY* array;
    VARIANT variant;
    double number;
  } converted;
  if (const HRESULT hr = StoreTyped(value, type, &converted); FAILED(hr)) return hr;
  FreeHeld(type, slot);
  if (type == VT_VARIANT) {
    *static_cast<VARIANT*>(slot) = converted.variant;
  } else if (type & VT_ARRAY) {
    *static_cast<SAFEARRAY**>(slot) = converted.array;
  } else {
    // Scalars: copy just the referenced type's width.
    switch (type) {
      case VT_BSTR: *static_cast<BSTR*>(slot) = converted.bstr; break;
      case VT_I2: *static_cast<SHORT*>(slot) = *reinterpret_cast<SHORT*>(&converted); break;
      case VT_I4: *static_cast<LONG*>(slot) = *reinterpret_cast<LONG*>(&converted); break;
      case VT_R8: *static_cast<DOUBLE*>(slot) = converted.number; break;
      case VT_BOOL: *static_cast<VARIANT_BOOL*>(slot) = *reinterpret_cast<VARIANT_BOOL*>(&converted); break;
      case VT_DATE: *static_cast<DATE*>(slot) = converted.number; break;
      case VT_UI1: *static_cast<BYTE*>(slot) = *reinterpret_cast<BYTE*>(&converted); break;
      default: break;
    }
  }
  return S_OK;
}

HRESULT StoreResult(const Variant& value, VARTYPE type, void* out) {
  if (out == nullptr) return E_POINTER;
  return StoreTyped(value, type, out);
}

}  // namespace kavrolin::component::win32
