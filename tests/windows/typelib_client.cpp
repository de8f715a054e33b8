// Reads the registered type library of Kavrolin.dll back with LoadRegTypeLib
// after regsvr32 and compares it with the published surface written out by
// hand below: the library's identity, every class (CLSID, ProgID, threading
// model, default interface), every interface (IID, flags, member order,
// DISPIDs, invoke kinds, parameter names, types, flags and default values)
// and the two enumerations. The tables here are deliberately not taken from
// the component's own member tables, so a mistake made in those tables shows
// up here as a disagreement.
// Run under Wine by run_clients.sh from a fresh folder of its own. Prints
// "ok <label>" or "FAIL <label> ..." per check and the marker line last;
// exits with the number of failures.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

namespace {

int failures = 0;

void Check(const std::string& label, bool passed, const std::string& detail = "") {
  std::printf("%s %s%s%s\n", passed ? "ok" : "FAIL", label.c_str(), passed || detail.empty() ? "" : ": ",
              passed ? "" : detail.c_str());
  failures += passed ? 0 : 1;
}

std::string Narrow(const wchar_t* text) {
  std::string out;
  for (; text && *text; ++text) out += *text < 128 ? static_cast<char>(*text) : '?';
  return out;
}

std::string Hex(unsigned long value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08lX", value);
  return buffer;
}

GUID GuidOf(const wchar_t* text) {
  GUID guid{};
  CLSIDFromString(const_cast<LPOLESTR>(text), &guid);
  return guid;
}

// ---- the published surface ----

constexpr USHORT kIn = PARAMFLAG_FIN;
constexpr USHORT kInOut = PARAMFLAG_FIN | PARAMFLAG_FOUT;

struct Param {
  const char* type;        // "BSTR", "long*", "SAFEARRAY(BSTR)*", "ExitMode", ...
  const wchar_t* name;     // nullptr: the name is not published
  USHORT flags;
  bool has_default = false;
  const wchar_t* default_text = nullptr;  // a text default, else default_number
  long default_number = 0;
};

Param In(const char* type, const wchar_t* name) { return {type, name, kIn}; }
// An in/out parameter: passed by reference.
Param Ref(const char* type, const wchar_t* name) { return {type, name, kInOut}; }
Param Optional(Param p) {
  p.flags |= PARAMFLAG_FOPT;
  return p;
}
Param Default(Param p, long number) {
  p = Optional(p);
  p.flags |= PARAMFLAG_FHASDEFAULT;
  p.has_default = true;
  p.default_number = number;
  return p;
}
Param Default(Param p, const wchar_t* text) {
  p = Default(p, 0L);
  p.default_text = text;
  return p;
}

struct Function {
  MEMBERID id;
  INVOKEKIND kind;
  const wchar_t* name;
  std::vector<Param> params;
  const char* result;  // the [out, retval] parameter's type, nullptr for none
};

Function Method(MEMBERID id, const wchar_t* name, std::vector<Param> params, const char* result) {
  return {id, INVOKE_FUNC, name, std::move(params), result};
}
Function Get(MEMBERID id, const wchar_t* name) { return {id, INVOKE_PROPERTYGET, name, {}, "BSTR*"}; }
// The value a property put takes carries no name in a type library (the
// compiler leaves the last parameter of a put unnamed), so none is compared.
Function Put(MEMBERID id, const wchar_t* name) { return {id, INVOKE_PROPERTYPUT, name, {In("BSTR", nullptr)}, nullptr}; }

struct Class {
  const wchar_t* name;
  const wchar_t* prog_id;
  const wchar_t* clsid;
  const wchar_t* interface_name;
  const wchar_t* iid;
  std::vector<Function> functions;
};

std::vector<Function> InterFaceFunctions() {
  const std::vector<Param> amount = {In("double", L"str_JR"), In("long", L"str_FPHM"), In("BSTR", L"str_SYYH"),
                                     In("BSTR", L"str_SYJID")};
  std::vector<Function> f;
  const wchar_t* properties[] = {L"m_strFilePrn", L"m_strAppPath", L"m_strFanhui",
                                 L"m_strCardNo",  L"m_strCardMoney", L"m_strSY"};
  MEMBERID id = 0x40030002;
  for (const wchar_t* p : properties) {
    f.push_back(Get(id, p));
    f.push_back(Put(id, p));
    ++id;
  }
  f.push_back(Method(0x60030000, L"Sale", amount, "VARIANT_BOOL*"));
  f.push_back(Method(0x60030001, L"Inquery", {}, "VARIANT_BOOL*"));
  f.push_back(Method(0x60030002, L"VoidSale", amount, "VARIANT_BOOL*"));
  f.push_back(Method(0x60030003, L"VoidTH", amount, "VARIANT_BOOL*"));
  f.push_back(Method(0x60030004, L"Qita",
                     {In("BSTR", L"str_JR"), In("long", L"str_FPHM"), In("BSTR", L"str_SYYH"),
                      In("BSTR", L"str_SYJID")},
                     "VARIANT_BOOL*"));
  f.push_back(Method(0x60030005, L"GetCardNo", {}, "BSTR*"));
  f.push_back(Method(0x60030006, L"GetCardMoney", {}, "BSTR*"));
  f.push_back(Method(0x60030007, L"GetSY", {}, "BSTR*"));
  f.push_back(Method(0x60030008, L"GetFanhui", {}, "BSTR*"));
  f.push_back(Method(0x60030009, L"GetPrintTxt", {Ref("SAFEARRAY(BSTR)*", L"strBuffer")}, "VARIANT_BOOL*"));
  f.push_back(Method(0x6003000B, L"Initialize", {In("BSTR", L"strPath")}, "VARIANT_BOOL*"));
  return f;
}

std::vector<Function> HTFunctions() {
  const char* b = "VARIANT_BOOL*";
  const char* t = "BSTR*";
  return {
      Method(0x60030002, L"SetRegKeyValue",
             {Ref("long*", L"KeyRoot"), Ref("BSTR*", L"KeyName"), Ref("BSTR*", L"SubKeyName"),
              Ref("BSTR*", L"SubKeyValue")},
             b),
      Method(0x60030003, L"GetRegKeyValue",
             {Ref("long*", L"KeyRoot"), Ref("BSTR*", L"KeyName"), Ref("BSTR*", L"SubKeyRef")}, t),
      Method(0x60030004, L"DelRegKey", {Ref("long*", L"KeyRoot"), Ref("BSTR*", L"KeyName")}, b),
      Method(0x60030005, L"DelRegKeyValue",
             {Ref("long*", L"KeyRoot"), Ref("BSTR*", L"KeyName"), Ref("BSTR*", L"KeyValue")}, b),
      Method(0x60030006, L"CalculateStr",
             {In("BSTR", L"StrBeSeach"), In("VARIANT", L"strFind"), Ref("short*", L"Counter")}, "VARIANT*"),
      Method(0x60030008, L"CreateIni", {Ref("BSTR*", L"strDrv"), Ref("BSTR*", L"strDir")}, nullptr),
      Method(0x60030009, L"SetIniFormat", {Default(Ref("long*", L"lngLeftStringLen"), 0L)}, b),
      Method(0x6003000B, L"SetIniKeyValue",
             {Ref("BSTR*", L"strSection"), Ref("BSTR*", L"strKey"), Ref("BSTR*", L"strValue")}, b),
      Method(0x6003000C, L"SetIniRemark", {In("BSTR", L"strSection"), In("BSTR", L"strRemark")}, b),
      Method(0x6003000D, L"DelIniKey", {Ref("BSTR*", L"strSection"), Ref("BSTR*", L"strKey")}, b),
      Method(0x6003000E, L"DelIniSection", {Ref("BSTR*", L"strSection")}, b),
      Put(0x68030001, L"INIFile"),
      Get(0x68030001, L"INIFile"),
      Put(0x68030000, L"LOGFile"),
      Get(0x68030000, L"LOGFile"),
      Method(0x6003000F, L"WriteLog", {In("BSTR", L"strCode"), In("BSTR", L"strDesc")}, b),
      Method(0x60030010, L"StringEnCrypt",
             {In("BSTR", L"strSource"), Ref("long*", L"MA"), Optional(Ref("BSTR*", L"strTarget"))}, t),
      Method(0x60030011, L"FileKill",
             {Ref("BSTR*", L"sFilename"), Optional(Ref("VARIANT_BOOL*", L"bDeleteReadOnly"))}, b),
      Method(0x60030012, L"ParsePath", {Ref("BSTR*", L"sPathIn")}, t),
      Method(0x60030013, L"GetPath", {Ref("BSTR*", L"sPathIn")}, t),
      Method(0x60030014, L"ParseFileName", {Ref("BSTR*", L"sFileIn")}, t),
      Method(0x60030015, L"GetFileExt", {Ref("BSTR*", L"sFilename")}, t),
      Method(0x60030016, L"EncodeString", {In("BSTR", L"pString"), In("long", L"pSeed")}, "VARIANT*"),
      Method(0x60030017, L"EncodeFile",
             {Ref("BSTR*", L"pFileS"), Ref("BSTR*", L"pFileD"), Ref("long*", L"pSeed")}, b),
      Method(0x60030018, L"Bin2Dec", {Ref("BSTR*", L"InputData")}, "double*"),
      Method(0x60030019, L"Dec2Bin", {Ref("double*", L"InputData")}, t),
      Method(0x6003001A, L"Bin2Hex", {Ref("BSTR*", L"InputData")}, t),
      Method(0x6003001B, L"Hex2Bin", {Ref("BSTR*", L"InputData")}, t),
      Method(0x6003001C, L"Hex2Dec", {Ref("BSTR*", L"InputData")}, "double*"),
      Method(0x6003001D, L"CheckBitStatus", {In("double", L"lngEnumValue"), In("double", L"lngCheckBitValue")},
             b),
      Method(0x6003001E, L"GetMachineName", {}, t),
      Method(0x6003001F, L"SetMachineName", {In("BSTR", L"strComputerName")}, b),
      Method(0x60030020, L"ExitWindows", {In("ExitMode", L"ShutDownMode")}, "VARIANT*"),
      Method(0x60030021, L"HLeft", {In("BSTR", L"strIn"), In("long", L"lngLen")}, t),
      Method(0x60030022, L"LockFunction", {}, b),
      Method(0x60030023, L"UnLockFunction", {}, b),
      Method(0x60030024, L"CreateDirTree", {In("BSTR", L"strTree")}, b),
      Method(0x60030026, L"GetFileSize", {Ref("BSTR*", L"Filename")}, "long*"),
      Method(0x60030029, L"FormatStrLn",
             {Ref("BSTR*", L"pStr"), Optional(Ref("long*", L"StrLng")), Default(Ref("BSTR*", L"ShowStr"), L" "),
              Default(Ref("VARIANT_BOOL*", L"IsRightAlign"), -1L)},
             t),
      Method(0x6003002A, L"GetFileLastModiTime",
             {Ref("BSTR*", L"pFileName"), Default(Ref("BSTR*", L"pMaskStr"), L"YYYYMMDDHHMM")}, t),
      Method(0x6003002B, L"GetIniKeyList", {Ref("BSTR*", L"strSection")}, t),
      Method(0x6003002C, L"GetIniSectionList", {}, t),
      Method(0x6003002D, L"GetIniKeyValue", {Ref("BSTR*", L"strSection"), Ref("BSTR*", L"strKey")}, t),
      Method(0x6003002E, L"StrDelimiter",
             {In("VARIANT", L"strText"), In("BSTR", L"strDelimiter1"), In("BSTR", L"strDelimiter2")}, t),
      Method(0x6003002F, L"StrReplaceRepeat",
             {In("VARIANT", L"strText"), In("BSTR", L"strFind"), In("BSTR", L"strReplace")}, t),
      Method(0x60030030, L"StrReplaceComma", {In("VARIANT", L"strText")}, t),
      Method(0x6003003A, L"Ping", {Ref("BSTR*", L"t_IP")}, b),
      Method(0x6003003B, L"ConverStrToByte", {Ref("BSTR*", L"strData")}, "SAFEARRAY(unsigned char)*"),
      Method(0x6003003C, L"ConverByteToStr", {Ref("SAFEARRAY(unsigned char)*", L"buf")}, t),
      Method(0x6003003E, L"DriveExists", {In("BSTR", L"drivespec")}, b),
      Method(0x6003003F, L"FileExists", {In("BSTR", L"filespec")}, b),
      Method(0x60030040, L"FolderExists", {In("BSTR", L"folderspec")}, b),
      Method(0x60030041, L"DeleteFile", {In("BSTR", L"filespec"), Default(Ref("VARIANT_BOOL*", L"force"), 0L)}, b),
      Method(0x60030042, L"DeleteFolder", {In("BSTR", L"folderspec"), Default(Ref("VARIANT_BOOL*", L"force"), 0L)},
             b),
      Method(0x60030043, L"GetBaseName", {In("BSTR", L"path")}, t),
      Method(0x60030044, L"GetDriveName", {In("BSTR", L"path")}, t),
      Method(0x60030045, L"GetExtensionName", {In("BSTR", L"path")}, t),
      Method(0x60030046, L"GetFileName", {In("BSTR", L"pathspec")}, t),
      Method(0x60030047, L"GetParentFolderName", {In("BSTR", L"path")}, t),
      Method(0x60030048, L"GetSpecialFolder", {In("SpecFolder", L"folderspec")}, t),
  };
}

std::vector<Class> Classes() {
  return {
      {L"clsInterFace", L"Kavrolin.clsInterFace", L"{9F78969F-20F8-4D3E-AA8F-96A282178F6A}", L"_clsInterFace",
       L"{EB46F9CA-CEDC-4F67-AAE2-167D06674D96}", InterFaceFunctions()},
      {L"clsHT", L"Kavrolin.clsHT", L"{8B834EB1-A42C-40CA-8B86-DAEFBCE66A39}", L"_clsHT",
       L"{E82E406F-A143-4E7F-943B-857ACCC0B15C}", HTFunctions()},
      {L"cls_Rizhi", L"Kavrolin.cls_Rizhi", L"{AD4BBBFB-4DAD-479E-9151-89957B5A8A43}", L"_cls_Rizhi",
       L"{10318D01-BAB8-49C2-BFEC-C1DC4900B0C3}",
       {Method(0x60030000, L"WriteLog", {In("BSTR", L"Text")}, "VARIANT_BOOL*")}},
  };
}

struct Enumeration {
  const wchar_t* name;
  const wchar_t* guid;
  std::vector<std::pair<const wchar_t*, long>> members;
};

std::vector<Enumeration> Enumerations() {
  return {
      {L"ExitMode", L"{485FCC21-E5FF-490F-9739-0A22EDE0C20C}",
       {{L"EXIT_LOGOFF", 0}, {L"EXIT_SHUTDOWN", 1}, {L"EXIT_REBOOT", 2}}},
      {L"SpecFolder", L"{DE7DAD82-E043-4D14-BFD4-ECE213DB97C7}",
       {{L"WindowsFolder", 0}, {L"SystemFolder", 1}, {L"TemporaryFolder", 2}}},
  };
}

constexpr wchar_t kLibId[] = L"{C3C2B4C4-09D1-45DC-B700-965DCD76F78E}";

// ---- reading the type library ----

// A type description in the spelling the tables above use.
std::string TypeText(ITypeInfo* owner, const TYPEDESC& d) {
  switch (d.vt) {
    case VT_PTR: return TypeText(owner, *d.lptdesc) + "*";
    case VT_SAFEARRAY: return "SAFEARRAY(" + TypeText(owner, *d.lptdesc) + ")";
    case VT_BSTR: return "BSTR";
    case VT_I2: return "short";
    case VT_I4: return "long";
    case VT_R8: return "double";
    case VT_BOOL: return "VARIANT_BOOL";
    case VT_VARIANT: return "VARIANT";
    case VT_UI1: return "unsigned char";
    case VT_HRESULT: return "HRESULT";
    case VT_USERDEFINED: {
      ITypeInfo* referred = nullptr;
      BSTR name = nullptr;
      if (SUCCEEDED(owner->GetRefTypeInfo(d.hreftype, &referred))) {
        referred->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
        referred->Release();
      }
      const std::string text = Narrow(name);
      SysFreeString(name);
      return text;
    }
    default: return "vt" + std::to_string(d.vt);
  }
}

std::string DefaultText(const Param& p) {
  return p.default_text ? "\"" + Narrow(p.default_text) + "\"" : std::to_string(p.default_number);
}

// What the library says about one parameter, as a list of differences.
std::string CompareParam(ITypeInfo* owner, const ELEMDESC& e, const Param& want, const std::wstring& name) {
  std::string differences;
  const std::string type = TypeText(owner, e.tdesc);
  if (type != want.type) differences += " type " + type;
  const USHORT flags = e.paramdesc.wParamFlags;
  if (flags != want.flags) differences += " flags " + Hex(flags) + " want " + Hex(want.flags);
  if (want.name && name != want.name) differences += " named " + Narrow(name.c_str());
  if (!want.has_default) return differences;
  if (!(flags & PARAMFLAG_FHASDEFAULT) || !e.paramdesc.pparamdescex) return differences + " no default";
  VARIANT value;
  VariantInit(&value);
  if (FAILED(VariantCopy(&value, &e.paramdesc.pparamdescex->varDefaultValue))) return differences + " bad default";
  bool same = false;
  if (want.default_text) {
    same = V_VT(&value) == VT_BSTR && std::wstring(V_BSTR(&value), SysStringLen(V_BSTR(&value))) == want.default_text;
  } else if (SUCCEEDED(VariantChangeType(&value, &value, 0, VT_I4))) {
    same = V_I4(&value) == want.default_number;
  }
  VariantClear(&value);
  if (!same) differences += " default is not " + DefaultText(want);
  return differences;
}

std::string CompareFunction(ITypeInfo* table, UINT index, const Function& want, bool own_names) {
  FUNCDESC* f = nullptr;
  if (FAILED(table->GetFuncDesc(index, &f))) return " missing";
  std::string differences;
  if (f->memid != want.id) differences += " id " + Hex(static_cast<unsigned long>(f->memid));
  if (f->invkind != want.kind) differences += " kind " + std::to_string(f->invkind);
  // The table's own operations follow the seven of IUnknown and IDispatch.
  if (f->oVft != static_cast<SHORT>((7 + index) * sizeof(void*))) differences += " slot " + std::to_string(f->oVft);
  if (f->callconv != CC_STDCALL) differences += " callconv " + std::to_string(f->callconv);
  if (TypeText(table, f->elemdescFunc.tdesc) != "HRESULT") differences += " returns no HRESULT";
  // Names by id: a property's put and get share one id, and the answer holds
  // the names of the first of them; parameter names are compared where that
  // answer is this function's.
  BSTR names[16] = {};
  UINT count = 0;
  table->GetNames(f->memid, names, 16, &count);
  if (count == 0 || Narrow(names[0]) != Narrow(want.name)) differences += " named " + Narrow(names[0]);
  std::vector<std::wstring> param_names(f->cParams + 1);
  for (UINT i = 1; i < count && i <= static_cast<UINT>(f->cParams); ++i) param_names[i - 1] = names[i] ? names[i] : L"";
  for (UINT i = 0; i < count; ++i) SysFreeString(names[i]);
  const size_t wanted_count = want.params.size() + (want.result ? 1 : 0);
  if (static_cast<size_t>(f->cParams) != wanted_count) {
    differences += " " + std::to_string(f->cParams) + " parameters";
  } else {
    for (size_t p = 0; p < want.params.size(); ++p) {
      Param check = want.params[p];
      if (!own_names) check.name = nullptr;
      const std::string d = CompareParam(table, f->lprgelemdescParam[p], check, param_names[p]);
      if (!d.empty()) differences += " [" + std::to_string(p) + "]" + d;
    }
    if (want.result) {
      const ELEMDESC& r = f->lprgelemdescParam[want.params.size()];
      if (TypeText(table, r.tdesc) != want.result) differences += " result " + TypeText(table, r.tdesc);
      if (r.paramdesc.wParamFlags != (PARAMFLAG_FOUT | PARAMFLAG_FRETVAL)) {
        differences += " result flags " + Hex(r.paramdesc.wParamFlags);
      }
    }
  }
  // A trailing array of variants (vararg) is no part of the surface.
  if (f->cParamsOpt == -1) differences += " vararg";
  table->ReleaseFuncDesc(f);
  return differences;
}

// The value under HKEY_CLASSES_ROOT\KEY, NAME ("" for the default value).
std::wstring ClassesRootValue(const std::wstring& key, const wchar_t* name) {
  wchar_t buffer[512] = {};
  DWORD size = sizeof buffer;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
    return L"(missing)";
  }
  return buffer;
}

void CompareClass(ITypeLib* library, const Class& want) {
  const std::string label = "class_" + Narrow(want.name);
  CLSID from_prog_id{};
  const HRESULT found = CLSIDFromProgID(want.prog_id, &from_prog_id);
  Check(label + "_prog_id", SUCCEEDED(found) && IsEqualGUID(from_prog_id, GuidOf(want.clsid)), Hex(found));
  const std::wstring clsid_key = std::wstring(L"CLSID\\") + want.clsid;
  Check(label + "_apartment", ClassesRootValue(clsid_key + L"\\InprocServer32", L"ThreadingModel") == L"Apartment",
        Narrow(ClassesRootValue(clsid_key + L"\\InprocServer32", L"ThreadingModel").c_str()));
  Check(label + "_prog_id_key", ClassesRootValue(clsid_key + L"\\ProgID", L"") == want.prog_id,
        Narrow(ClassesRootValue(clsid_key + L"\\ProgID", L"").c_str()));

  ITypeInfo* coclass = nullptr;
  if (FAILED(library->GetTypeInfoOfGuid(GuidOf(want.clsid), &coclass))) {
    Check(label, false, "no coclass with its CLSID");
    return;
  }
  TYPEATTR* attributes = nullptr;
  coclass->GetTypeAttr(&attributes);
  BSTR name = nullptr;
  coclass->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
  Check(label + "_coclass", attributes->typekind == TKIND_COCLASS && Narrow(name) == Narrow(want.name) &&
                                (attributes->wTypeFlags & TYPEFLAG_FCANCREATE) && attributes->cImplTypes == 1,
        Narrow(name) + " flags " + Hex(attributes->wTypeFlags));
  SysFreeString(name);
  coclass->ReleaseTypeAttr(attributes);
  HREFTYPE ref = 0;
  INT impl_flags = 0;
  ITypeInfo* default_interface = nullptr;
  TYPEATTR* interface_attributes = nullptr;
  if (SUCCEEDED(coclass->GetRefTypeOfImplType(0, &ref)) && SUCCEEDED(coclass->GetImplTypeFlags(0, &impl_flags)) &&
      SUCCEEDED(coclass->GetRefTypeInfo(ref, &default_interface))) {
    default_interface->GetTypeAttr(&interface_attributes);
  }
  Check(label + "_default_interface",
        interface_attributes && IsEqualGUID(interface_attributes->guid, GuidOf(want.iid)) &&
            (impl_flags & IMPLTYPEFLAG_FDEFAULT),
        "flags " + Hex(impl_flags));
  if (interface_attributes) default_interface->ReleaseTypeAttr(interface_attributes);
  if (default_interface) default_interface->Release();
  coclass->Release();
}

void CompareInterface(ITypeLib* library, const Class& want) {
  const std::string label = "interface_" + Narrow(want.interface_name);
  ITypeInfo* type = nullptr;
  if (FAILED(library->GetTypeInfoOfGuid(GuidOf(want.iid), &type))) {
    Check(label, false, "no interface with its IID");
    return;
  }
  BSTR name = nullptr;
  type->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
  Check(label + "_name", Narrow(name) == Narrow(want.interface_name), Narrow(name));
  SysFreeString(name);
  // A dual interface answers its dispatch half; its table half holds the
  // operations.
  HREFTYPE table_ref = 0;
  ITypeInfo* table = nullptr;
  if (SUCCEEDED(type->GetRefTypeOfImplType(-1, &table_ref))) type->GetRefTypeInfo(table_ref, &table);
  TYPEATTR* dispatch_attributes = nullptr;
  type->GetTypeAttr(&dispatch_attributes);
  Check(label + "_dispatch_half", dispatch_attributes->typekind == TKIND_DISPATCH && table != nullptr);
  const WORD dispatch_wanted = TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE;
  Check(label + "_dispatch_half_flags", (dispatch_attributes->wTypeFlags & dispatch_wanted) == dispatch_wanted,
        Hex(dispatch_attributes->wTypeFlags));
  type->ReleaseTypeAttr(dispatch_attributes);
  // Late-bound callers find every member's DISPID by name through the
  // dispatch half, whatever the letter case.
  std::string unmatched;
  for (const Function& f : want.functions) {
    std::wstring upper = f.name;
    for (wchar_t& c : upper) c = static_cast<wchar_t>(towupper(c));
    LPOLESTR names[] = {const_cast<LPOLESTR>(upper.c_str())};
    MEMBERID id = MEMBERID_NIL;
    if (FAILED(type->GetIDsOfNames(names, 1, &id)) || id != f.id) unmatched += " " + Narrow(f.name);
  }
  Check(label + "_ids_by_name", unmatched.empty(), unmatched);
  if (!table) {
    type->Release();
    return;
  }
  TYPEATTR* attributes = nullptr;
  table->GetTypeAttr(&attributes);
  const WORD wanted = TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION;
  Check(label + "_flags", (attributes->wTypeFlags & wanted) == wanted && attributes->typekind == TKIND_INTERFACE,
        Hex(attributes->wTypeFlags));
  Check(label + "_guid", IsEqualGUID(attributes->guid, GuidOf(want.iid)));
  // The table derives from IDispatch.
  HREFTYPE base_ref = 0;
  ITypeInfo* base = nullptr;
  BSTR base_name = nullptr;
  if (SUCCEEDED(table->GetRefTypeOfImplType(0, &base_ref)) && SUCCEEDED(table->GetRefTypeInfo(base_ref, &base))) {
    base->GetDocumentation(MEMBERID_NIL, &base_name, nullptr, nullptr, nullptr);
    base->Release();
  }
  Check(label + "_derives_from_dispatch", Narrow(base_name) == "IDispatch", Narrow(base_name));
  SysFreeString(base_name);
  Check(label + "_count", attributes->cFuncs == want.functions.size(), std::to_string(attributes->cFuncs));
  for (UINT i = 0; i < want.functions.size() && i < attributes->cFuncs; ++i) {
    bool first_with_id = true;
    for (UINT j = 0; j < i; ++j) first_with_id = first_with_id && want.functions[j].id != want.functions[i].id;
    const std::string d = CompareFunction(table, i, want.functions[i], first_with_id);
    const char* kind = want.functions[i].kind == INVOKE_PROPERTYPUT   ? "_put"
                       : want.functions[i].kind == INVOKE_PROPERTYGET ? "_get"
                                                                      : "";
    Check(label + "_" + Narrow(want.functions[i].name) + kind, d.empty(), d);
  }
  table->ReleaseTypeAttr(attributes);
  table->Release();
  type->Release();
}

void CompareEnumeration(ITypeLib* library, const Enumeration& want) {
  const std::string label = "enum_" + Narrow(want.name);
  ITypeInfo* type = nullptr;
  if (FAILED(library->GetTypeInfoOfGuid(GuidOf(want.guid), &type))) {
    Check(label, false, "no enumeration with its GUID");
    return;
  }
  TYPEATTR* attributes = nullptr;
  type->GetTypeAttr(&attributes);
  BSTR name = nullptr;
  type->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
  Check(label + "_kind", attributes->typekind == TKIND_ENUM && Narrow(name) == Narrow(want.name), Narrow(name));
  SysFreeString(name);
  Check(label + "_count", attributes->cVars == want.members.size(), std::to_string(attributes->cVars));
  for (UINT i = 0; i < attributes->cVars && i < want.members.size(); ++i) {
    VARDESC* var = nullptr;
    if (FAILED(type->GetVarDesc(i, &var))) continue;
    BSTR member = nullptr;
    UINT count = 0;
    type->GetNames(var->memid, &member, 1, &count);
    VARIANT value;
    VariantInit(&value);
    VariantCopy(&value, var->lpvarValue);
    const bool numeric = SUCCEEDED(VariantChangeType(&value, &value, 0, VT_I4));
    Check(label + "_" + Narrow(want.members[i].first),
          var->varkind == VAR_CONST && Narrow(member) == Narrow(want.members[i].first) && numeric &&
              V_I4(&value) == want.members[i].second,
          Narrow(member) + " = " + (numeric ? std::to_string(V_I4(&value)) : "?"));
    VariantClear(&value);
    SysFreeString(member);
    type->ReleaseVarDesc(var);
  }
  type->ReleaseTypeAttr(attributes);
  type->Release();
}

void CompareLibrary() {
  ITypeLib* library = nullptr;
  const HRESULT hr = LoadRegTypeLib(GuidOf(kLibId), 17, 0, 0x409, &library);
  Check("library_registered", SUCCEEDED(hr), Hex(hr));
  if (FAILED(hr)) return;
  TLIBATTR* attributes = nullptr;
  library->GetLibAttr(&attributes);
  Check("library_identity", IsEqualGUID(attributes->guid, GuidOf(kLibId)) && attributes->wMajorVerNum == 17 &&
                                attributes->wMinorVerNum == 0 && attributes->lcid == 0x409,
        std::to_string(attributes->wMajorVerNum) + "." + std::to_string(attributes->wMinorVerNum) + " lcid " +
            Hex(attributes->lcid));
  library->ReleaseTLibAttr(attributes);
  BSTR name = nullptr;
  library->GetDocumentation(-1, &name, nullptr, nullptr, nullptr);
  Check("library_name", Narrow(name) == "Kavrolin", Narrow(name));
  SysFreeString(name);
  // Three classes, three dual interfaces (each a dispatch and a table half
  // under one GUID), two enumerations.
  Check("library_type_count", library->GetTypeInfoCount() == 3 + 3 + 2, std::to_string(library->GetTypeInfoCount()));
  for (const Class& c : Classes()) {
    CompareClass(library, c);
    CompareInterface(library, c);
  }
  for (const Enumeration& e : Enumerations()) CompareEnumeration(library, e);
  library->Release();
}

bool KeyExists(const std::wstring& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

// The registration as the platform's RegisterTypeLib writes it: the version
// key in hexadecimal under the library's locale, nothing under a decimal key.
void CompareRegistrationKeys() {
  const std::wstring library = std::wstring(L"TypeLib\\") + kLibId;
  Check("library_key_hexadecimal_locale_409", KeyExists(library + L"\\11.0\\409\\win32"), "");
  Check("library_no_decimal_key", !KeyExists(library + L"\\17.0"), "");
  Check("library_no_neutral_locale", !KeyExists(library + L"\\11.0\\0"), "");
  BSTR path = nullptr;
  const HRESULT hr = QueryPathOfRegTypeLib(GuidOf(kLibId), 17, 0, 0x409, &path);
  Check("library_path_is_the_dll", SUCCEEDED(hr) && path != nullptr &&
                                       std::wstring(path).find(L"Kavrolin.dll") != std::wstring::npos,
        SUCCEEDED(hr) ? Narrow(path) : Hex(hr));
  SysFreeString(path);
}

}  // namespace

int main() {
  if (FAILED(CoInitialize(nullptr))) {
    std::puts("FAIL com_initialize");
    return 1;
  }
  CompareLibrary();
  CompareRegistrationKeys();
  CoUninitialize();
  std::printf("failures %d\nTYPELIB CLIENT DONE\n", failures);
  return failures;
}
