#include "component/interface_source.h"

#include <cstdio>

#include "component/class_tables.h"

namespace kavrolin::component {
namespace {

std::string Narrow(std::u16string_view text) { return ToUtf8(text); }

// "C3C2B4C4-09D1-..." as the IDL's uuid() attribute wants it.
std::string Uuid(const Guid& guid) {
  const std::string text = ToUtf8(guid.ToText());
  return text.substr(1, text.size() - 2);
}

std::string Hex(int32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(value));
  return buffer;
}

struct TypeForms {
  const char* idl;      // as the IDL declares it
  const char* cpp;      // as the header widl writes declares it
  const char* vartype;  // the automation type tag
};

TypeForms FormsOf(DeclaredType type) {
  switch (type) {
    case DeclaredType::kText: return {"BSTR", "BSTR", "VT_BSTR"};
    case DeclaredType::kInt16: return {"short", "short", "VT_I2"};
    case DeclaredType::kInt32: return {"long", "LONG", "VT_I4"};
    case DeclaredType::kDouble: return {"double", "double", "VT_R8"};
    case DeclaredType::kBool: return {"VARIANT_BOOL", "VARIANT_BOOL", "VT_BOOL"};
    case DeclaredType::kTextArray: return {"SAFEARRAY(BSTR)", "SAFEARRAY*", "VT_ARRAY | VT_BSTR"};
    case DeclaredType::kByteArray: return {"SAFEARRAY(unsigned char)", "SAFEARRAY*", "VT_ARRAY | VT_UI1"};
    case DeclaredType::kVariant: return {"VARIANT", "VARIANT", "VT_VARIANT"};
    case DeclaredType::kExitMode: return {"ExitMode", "ExitMode", "VT_I4"};
    case DeclaredType::kSpecFolder: return {"SpecFolder", "SpecFolder", "VT_I4"};
    case DeclaredType::kNone: break;
  }
  return {"void", "void", "VT_EMPTY"};
}

bool IsEnum(DeclaredType type) {
  return type == DeclaredType::kExitMode || type == DeclaredType::kSpecFolder;
}

// A text as an IDL string literal.
std::string Quoted(std::u16string_view text) {
  std::string out = "\"";
  for (char c : Narrow(text)) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// The IDL form of a declared default, or "" when there is none.
std::string DefaultValue(const Parameter& p) {
  const Variant& value = p.default_value;
  if (value.is_empty()) return "";
  if (const bool* b = value.get_if<bool>()) return *b ? "-1" : "0";
  if (const int32_t* i = value.get_if<int32_t>()) return std::to_string(*i);
  if (const int16_t* i = value.get_if<int16_t>()) return std::to_string(*i);
  if (const Text* t = value.get_if<Text>()) return Quoted(*t);
  return "";
}

// widl writes no default for a by-reference text (see the header): such a
// parameter goes through the macros the prologue below defines.
bool IsDefaultedTextReference(const Parameter& p) {
  return p.direction == Direction::kInOut && p.type == DeclaredType::kText && p.default_value.get_if<Text>();
}

constexpr char kDefaultedTextMacros[] =
    "// A by-reference text with a declared default: widl writes defaults only\n"
    "// for parameters of a value type, so the type library pass\n"
    "// (-DKAVROLIN_TYPE_LIBRARY) declares it by value with its default, and\n"
    "// typelib-byref then makes it by-reference in the written type library.\n"
    "#ifdef KAVROLIN_TYPE_LIBRARY\n"
    "#define TEXT_DEFAULT(value) , defaultvalue(value)\n"
    "#define DEFAULTED_TEXT_REF BSTR\n"
    "#else\n"
    "#define TEXT_DEFAULT(value)\n"
    "#define DEFAULTED_TEXT_REF BSTR*\n"
    "#endif\n\n";

std::string IdlParameter(const Parameter& p) {
  std::string attributes = p.direction == Direction::kInOut ? "in, out" : "in";
  if (p.optional) attributes += ", optional";
  const std::string d = DefaultValue(p);
  if (IsDefaultedTextReference(p)) {
    return "[" + attributes + " TEXT_DEFAULT(" + d + ")] DEFAULTED_TEXT_REF " + Narrow(p.name);
  }
  if (!d.empty()) attributes += ", defaultvalue(" + d + ")";
  std::string type = FormsOf(p.type).idl;
  if (p.direction == Direction::kInOut) type += "*";
  return "[" + attributes + "] " + type + " " + Narrow(p.name);
}

const char* KindAttribute(MemberKind kind) {
  switch (kind) {
    case MemberKind::kPropertyGet: return ", propget";
    case MemberKind::kPropertyPut: return ", propput";
    case MemberKind::kMethod: break;
  }
  return "";
}

const char* KindPrefix(MemberKind kind) {
  switch (kind) {
    case MemberKind::kPropertyGet: return "get_";
    case MemberKind::kPropertyPut: return "put_";
    case MemberKind::kMethod: break;
  }
  return "";
}

const char* KindName(MemberKind kind) {
  switch (kind) {
    case MemberKind::kPropertyGet: return "MemberKind::kPropertyGet";
    case MemberKind::kPropertyPut: return "MemberKind::kPropertyPut";
    case MemberKind::kMethod: break;
  }
  return "MemberKind::kMethod";
}

std::string IdlMember(const Member& m) {
  std::string params;
  for (const Parameter& p : m.params) {
    if (!params.empty()) params += ", ";
    params += IdlParameter(p);
  }
  if (m.result != DeclaredType::kNone) {
    if (!params.empty()) params += ", ";
    params += std::string("[out, retval] ") + FormsOf(m.result).idl + "* result";
  }
  return "    [id(" + Hex(m.dispid) + ")" + KindAttribute(m.kind) + "] HRESULT " + Narrow(m.name) + "(" +
         params + ");\n";
}

std::string IdlEnum(const EnumInfo& info) {
  std::string text = "  typedef [uuid(" + Uuid(info.guid) + ")] enum " + Narrow(info.name) + " {\n";
  for (size_t i = 0; i < info.members.size(); ++i) {
    text += "    " + Narrow(info.members[i].first) + " = " + std::to_string(info.members[i].second) +
            (i + 1 < info.members.size() ? ",\n" : "\n");
  }
  return text + "  } " + Narrow(info.name) + ";\n\n";
}

std::string EarlyMember(const Member& m) {
  std::string signature, args;
  for (const Parameter& p : m.params) {
    const TypeForms forms = FormsOf(p.type);
    const std::string name = Narrow(p.name);
    if (!signature.empty()) signature += ", ";
    if (!args.empty()) args += ", ";
    if (p.direction == Direction::kInOut) {
      signature += std::string(forms.cpp) + "* " + name;
      args += std::string("ByRef(") + forms.vartype + ", " + name + ")";
    } else {
      signature += std::string(forms.cpp) + " " + name;
      args += std::string("ByVal(") + forms.vartype + ", " +
              (IsEnum(p.type) ? "static_cast<LONG>(" + name + ")" : name) + ")";
    }
  }
  std::string out;
  if (m.result != DeclaredType::kNone) {
    const TypeForms forms = FormsOf(m.result);
    if (!signature.empty()) signature += ", ";
    signature += std::string(forms.cpp) + "* result";
    out = std::string(", Out(") + forms.vartype + ", result)";
  }
  return "  STDMETHODIMP " + std::string(KindPrefix(m.kind)) + Narrow(m.name) + "(" + signature +
         ") override {\n    return CallEarly(" + Hex(m.dispid) + ", " + KindName(m.kind) + ", {" + args +
         "}" + out + ");\n  }\n";
}

constexpr char kGeneratedNote[] =
    "// Generated from the member tables (src/component/class_tables.cpp) by\n"
    "// kavrolin-interfaces; do not edit. A test regenerates it and compares.\n";

}  // namespace

std::string IdlTypeName(DeclaredType type) { return FormsOf(type).idl; }
std::string IdlDefaultText(const Parameter& parameter) { return DefaultValue(parameter); }

std::string LibraryIdl() {
  std::string idl = kGeneratedNote;
  idl += "import \"automation_base.idl\";\n\n";
  idl += kDefaultedTextMacros;
  idl += "[\n  uuid(" + Uuid(kLibId) + "),\n  version(" + std::to_string(kLibraryMajor) + "." +
         std::to_string(kLibraryMinor) + "),\n  lcid(" + Hex(static_cast<int32_t>(kLibraryLocale)) +
         ")\n]\nlibrary " + Narrow(kLibraryName) + "\n{\n";
  idl += "  importlib(\"stdole2.tlb\");\n\n";
  for (const ClassInfo& info : Classes()) idl += "  interface " + Narrow(info.interface_name) + ";\n";
  idl += "\n";
  idl += IdlEnum(ExitModeEnum());
  idl += IdlEnum(SpecFolderEnum());
  for (const ClassInfo& info : Classes()) {
    idl += "  [\n    uuid(" + Uuid(info.iid) + "),\n    hidden,\n    dual,\n    nonextensible,\n"
           "    oleautomation\n  ]\n  interface " + Narrow(info.interface_name) + " : IDispatch\n  {\n";
    for (const Member& m : TableOf(info.kind).members()) idl += IdlMember(m);
    idl += "  };\n\n";
    idl += "  [\n    uuid(" + Uuid(info.clsid) + ")\n  ]\n  coclass " + Narrow(info.name) +
           "\n  {\n    [default] interface " + Narrow(info.interface_name) + ";\n  };\n\n";
  }
  idl += "}\n";
  return idl;
}

std::string EarlyBoundMethods() {
  std::string text = kGeneratedNote;
  text += "// Included by component/win32/dual_object.cpp inside its namespace.\n\n";
  for (const ClassInfo& info : Classes()) {
    const std::string name = Narrow(info.name);
    text += "class " + name + "Object final : public DualObject<" + Narrow(info.interface_name) +
            "> {\n public:\n  using DualObject::DualObject;\n\n";
    for (const Member& m : TableOf(info.kind).members()) text += EarlyMember(m);
    text += "};\n\n";
  }
  return text;
}

}  // namespace kavrolin::component
