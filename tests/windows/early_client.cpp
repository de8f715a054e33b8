// An early-bound host of Kavrolin.dll: creates the classes with
// CoCreateInstance after regsvr32 registered the library, calls through the
// dual interfaces' own tables of operations, reads failures through
// ISupportErrorInfo/GetErrorInfo, and reads the registered type library back
// to compare it with the member tables the library was built from.
// Run under Wine by run_clients.sh from a fresh folder of its own. Prints
// "ok <label>" or "FAIL <label> ..." per check and the marker line last;
// exits with the number of failures.
#include <windows.h>
#include <ocidl.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

#include "Kavrolin.h"
#include "component/class_tables.h"
#include "component/win32/own_module.h"

namespace component = kavrolin::component;
using component::win32::ToGuid;

namespace {

int failures = 0;

void Check(const char* label, bool passed, const std::string& detail = "") {
  std::printf("%s %s%s%s\n", passed ? "ok" : "FAIL", label, passed || detail.empty() ? "" : ": ",
              passed ? "" : detail.c_str());
  failures += passed ? 0 : 1;
}

std::string Narrow(const wchar_t* text) {
  std::string out;
  for (; text && *text; ++text) out += *text < 128 ? static_cast<char>(*text) : '?';
  return out;
}
std::string Narrow(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

std::string Hex(long value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08lX", static_cast<unsigned long>(value));
  return buffer;
}

// A BSTR owned for one scope.
class Bstr {
 public:
  explicit Bstr(const wchar_t* text = L"") : value_(SysAllocString(text)) {}
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR* out() {
    SysFreeString(value_);
    value_ = nullptr;
    return &value_;
  }
  BSTR* ref() { return &value_; }
  BSTR get() const { return value_; }
  std::wstring text() const { return value_ ? std::wstring(value_, SysStringLen(value_)) : std::wstring(); }

 private:
  BSTR value_;
};

template <class T>
T* Create(const component::ClassInfo& info) {
  T* object = nullptr;
  const GUID clsid = ToGuid(info.clsid), iid = ToGuid(info.iid);
  const HRESULT hr =
      CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, reinterpret_cast<void**>(&object));
  Check(("create_" + Narrow(info.name)).c_str(), SUCCEEDED(hr) && object, Hex(hr));
  return object;
}

void TransactionsThroughTheTable(const std::wstring& here) {
  _clsInterFace* pos = Create<_clsInterFace>(component::InfoOf(component::ClassKind::kInterFace));
  if (!pos) return;
  VARIANT_BOOL ok = 1;
  Bstr folder(here.c_str());
  Check("initialize", SUCCEEDED(pos->Initialize(folder.get(), &ok)) && ok == VARIANT_TRUE);
  Bstr cashier(L"01"), station(L"A1");
  Check("sale", SUCCEEDED(pos->Sale(12.34, 1, cashier.get(), station.get(), &ok)) && ok == VARIANT_TRUE);
  Bstr card;
  // The card field as the terminal filled it, padded to its 19 characters.
  Check("card_read_back", SUCCEEDED(pos->GetCardNo(card.out())) && card.text() == L"6222000000000009   ",
        Narrow(card.get()));
  Bstr card_property;
  Check("card_property_agrees",
        SUCCEEDED(pos->get_m_strCardNo(card_property.out())) && card_property.text() == card.text());
  SAFEARRAY* lines = nullptr;
  const HRESULT printed = pos->GetPrintTxt(&lines, &ok);
  LONG lower = -1, upper = -1;
  if (lines) {
    SafeArrayGetLBound(lines, 1, &lower);
    SafeArrayGetUBound(lines, 1, &upper);
  }
  Check("print_text_array", SUCCEEDED(printed) && ok == VARIANT_TRUE && lower == 0 && upper >= 3,
        Hex(printed) + " bounds " + std::to_string(lower) + ".." + std::to_string(upper));
  if (lines) SafeArrayDestroy(lines);
  pos->Release();
}

void ToolkitThroughTheTable(const std::wstring& here) {
  _clsHT* ht = Create<_clsHT>(component::InfoOf(component::ClassKind::kHT));
  if (!ht) return;
  Bstr ini((here + L"\\early.ini").c_str());
  Check("ini_path_put", SUCCEEDED(ht->put_INIFile(ini.get())));
  Bstr read;
  Check("ini_path_get", SUCCEEDED(ht->get_INIFile(read.out())) && read.text() == ini.text());
  Bstr section(L"Device"), key(L"Port"), value(L"COM2");
  VARIANT_BOOL ok = 0;
  Check("ini_write", SUCCEEDED(ht->SetIniKeyValue(section.ref(), key.ref(), value.ref(), &ok)) &&
                         ok == VARIANT_TRUE);
  Bstr got;
  Check("ini_read", SUCCEEDED(ht->GetIniKeyValue(section.ref(), key.ref(), got.out())) && got.text() == L"COM2",
        Narrow(got.get()));
  // Optional references left out as null pointers take their defaults.
  Bstr text(L"ab"), formatted;
  LONG width = 5;
  Check("optional_references_left_out",
        SUCCEEDED(ht->FormatStrLn(text.ref(), &width, nullptr, nullptr, formatted.out())) &&
            formatted.text() == L"   ab",
        Narrow(formatted.get()));
  // A failure: the status code carries the number, the error information its text.
  VARIANT null_value;
  VariantInit(&null_value);
  V_VT(&null_value) = VT_NULL;
  Bstr replaced;
  SetErrorInfo(0, nullptr);
  const HRESULT failed = ht->StrReplaceComma(null_value, replaced.out());
  Check("failure_status_code", failed == static_cast<HRESULT>(0x800A005E), Hex(failed));
  ISupportErrorInfo* support = nullptr;
  Check("supports_error_info",
        SUCCEEDED(ht->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support))) &&
            support->InterfaceSupportsErrorInfo(ToGuid(component::InfoOf(component::ClassKind::kHT).iid)) == S_OK);
  if (support) support->Release();
  IErrorInfo* info = nullptr;
  Bstr description;
  if (GetErrorInfo(0, &info) == S_OK && info) {
    info->GetDescription(description.out());
    info->Release();
  }
  Check("error_info_text", description.text() == L"Invalid use of Null", Narrow(description.get()));
  IProvideClassInfo* provide = nullptr;
  ITypeInfo* class_info = nullptr;
  TYPEATTR* attributes = nullptr;
  bool class_matches = false;
  if (SUCCEEDED(ht->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(&provide))) &&
      SUCCEEDED(provide->GetClassInfo(&class_info)) && SUCCEEDED(class_info->GetTypeAttr(&attributes))) {
    class_matches = IsEqualGUID(attributes->guid, ToGuid(component::InfoOf(component::ClassKind::kHT).clsid)) &&
                    attributes->typekind == TKIND_COCLASS;
    class_info->ReleaseTypeAttr(attributes);
  }
  if (class_info) class_info->Release();
  if (provide) provide->Release();
  Check("provides_class_info", class_matches);
  ht->Release();
}

// The parameter flags a table row stands for.
USHORT FlagsOf(const component::Parameter& p) {
  USHORT flags = PARAMFLAG_FIN;
  if (p.direction == component::Direction::kInOut) flags |= PARAMFLAG_FOUT;
  if (p.optional) flags |= PARAMFLAG_FOPT;
  if (p.optional && !p.default_value.is_empty()) flags |= PARAMFLAG_FHASDEFAULT;
  return flags;
}

INVOKEKIND InvokeKindOf(component::MemberKind kind) {
  switch (kind) {
    case component::MemberKind::kPropertyGet: return INVOKE_PROPERTYGET;
    case component::MemberKind::kPropertyPut: return INVOKE_PROPERTYPUT;
    case component::MemberKind::kMethod: break;
  }
  return INVOKE_FUNC;
}

void CompareInterface(ITypeLib* library, const component::ClassInfo& info) {
  const std::string name = Narrow(info.interface_name);
  ITypeInfo* type = nullptr;
  if (FAILED(library->GetTypeInfoOfGuid(ToGuid(info.iid), &type))) {
    Check(("typelib_" + name).c_str(), false, "interface missing");
    return;
  }
  // A dual interface answers its dispatch half first; the table half holds the
  // operations, its own after the seven inherited ones (cFuncs counts its own).
  HREFTYPE table_ref = 0;
  ITypeInfo* table = nullptr;
  if (SUCCEEDED(type->GetRefTypeOfImplType(-1, &table_ref))) type->GetRefTypeInfo(table_ref, &table);
  if (!table) {
    table = type;
    table->AddRef();
  }
  TYPEATTR* attributes = nullptr;
  table->GetTypeAttr(&attributes);
  const WORD wanted_flags = TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION;
  Check(("typelib_" + name + "_flags").c_str(), (attributes->wTypeFlags & wanted_flags) == wanted_flags,
        Hex(attributes->wTypeFlags));
  const auto& members = component::TableOf(info.kind).members();
  Check(("typelib_" + name + "_count").c_str(), attributes->cFuncs == members.size(),
        std::to_string(attributes->cFuncs));
  std::string differences;
  for (size_t i = 0; i < members.size() && i < attributes->cFuncs; ++i) {
    const component::Member& m = members[i];
    FUNCDESC* f = nullptr;
    if (FAILED(table->GetFuncDesc(static_cast<UINT>(i), &f))) continue;
    const size_t with_result = m.params.size() + (m.result != component::DeclaredType::kNone ? 1 : 0);
    bool same = f->memid == m.dispid && f->invkind == InvokeKindOf(m.kind) &&
                static_cast<size_t>(f->cParams) == with_result &&
                f->oVft == static_cast<SHORT>((7 + i) * sizeof(void*));
    for (size_t p = 0; same && p < m.params.size(); ++p) {
      same = f->lprgelemdescParam[p].paramdesc.wParamFlags == FlagsOf(m.params[p]);
    }
    if (same && with_result > m.params.size()) {
      same = f->lprgelemdescParam[m.params.size()].paramdesc.wParamFlags == (PARAMFLAG_FOUT | PARAMFLAG_FRETVAL);
    }
    if (!same) differences += " " + Narrow(m.name);
    table->ReleaseFuncDesc(f);
  }
  Check(("typelib_" + name + "_members").c_str(), differences.empty(), differences);
  table->ReleaseTypeAttr(attributes);
  table->Release();
  type->Release();
}

void CompareEnum(ITypeLib* library, const component::EnumInfo& info) {
  const std::string label = "typelib_enum_" + Narrow(info.name);
  ITypeInfo* type = nullptr;
  if (FAILED(library->GetTypeInfoOfGuid(ToGuid(info.guid), &type))) {
    Check(label.c_str(), false, "missing");
    return;
  }
  TYPEATTR* attributes = nullptr;
  type->GetTypeAttr(&attributes);
  bool same = attributes->typekind == TKIND_ENUM && attributes->cVars == info.members.size();
  for (UINT i = 0; same && i < attributes->cVars; ++i) {
    VARDESC* var = nullptr;
    type->GetVarDesc(i, &var);
    BSTR name = nullptr;
    UINT count = 0;
    type->GetNames(var->memid, &name, 1, &count);
    same = Narrow(name) == Narrow(info.members[i].first) && V_I4(var->lpvarValue) == info.members[i].second;
    SysFreeString(name);
    type->ReleaseVarDesc(var);
  }
  Check(label.c_str(), same);
  type->ReleaseTypeAttr(attributes);
  type->Release();
}

void RegisteredTypeLibrary() {
  ITypeLib* library = nullptr;
  const HRESULT hr = LoadRegTypeLib(ToGuid(component::kLibId), component::kLibraryMajor, component::kLibraryMinor,
                                    component::kLibraryLocale, &library);
  Check("typelib_registered", SUCCEEDED(hr), Hex(hr));
  if (FAILED(hr)) return;
  TLIBATTR* attributes = nullptr;
  library->GetLibAttr(&attributes);
  Check("typelib_version_locale", attributes->wMajorVerNum == 17 && attributes->wMinorVerNum == 0 &&
                                      attributes->lcid == 0x409);
  library->ReleaseTLibAttr(attributes);
  for (const component::ClassInfo& info : component::Classes()) CompareInterface(library, info);
  CompareEnum(library, component::ExitModeEnum());
  CompareEnum(library, component::SpecFolderEnum());
  library->Release();
}

}  // namespace

int main() {
  if (FAILED(CoInitialize(nullptr))) {
    std::puts("FAIL com_initialize");
    return 1;
  }
  wchar_t here[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, here);
  RegisteredTypeLibrary();
  TransactionsThroughTheTable(here);
  ToolkitThroughTheTable(here);
  CoUninitialize();
  std::printf("failures %d\nEARLY CLIENT DONE\n", failures);
  return failures;
}
