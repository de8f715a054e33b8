#include "component/interface_source.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "component/class_tables.h"

namespace kavrolin::component {
namespace {

std::string ReadSource(const std::string& name) {
  std::ifstream in(std::string(KAVROLIN_WIN32_SOURCE_DIR) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The lines of `text` that contain `needle`.
std::vector<std::string> LinesWith(const std::string& text, const std::string& needle) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.find(needle) != std::string::npos) lines.push_back(line);
  }
  return lines;
}

// The Win32 build compiles the committed copies: they must be what the tables
// say now. On a mismatch, regenerate with kavrolin-interfaces.
TEST(InterfaceSource, CommittedCopiesMatchTheTables) {
  struct Row {
    const char* label;
    const char* file;
    std::string generated;
  };
  const Row rows[] = {
      {"idl", kLibraryIdlFile, LibraryIdl()},
      {"early_bound", kEarlyBoundFile, EarlyBoundMethods()},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const std::string committed = ReadSource(row.file);
    ASSERT_FALSE(committed.empty()) << "missing " << row.file;
    EXPECT_EQ(committed, row.generated);
  }
}

// Declarations the type library must carry exactly, edges of the tables first:
// the first and last rows of each interface, every optional-parameter shape,
// the in/out array, the enumerations and a member without result.
TEST(InterfaceSource, IdlDeclaresMembersAsPublished) {
  struct Row {
    const char* label;
    const char* line;
  };
  const Row rows[] = {
      {"library_version_and_locale", "  version(17.0),"},
      {"library_lcid", "  lcid(0x00000409)"},
      {"library_id", "  uuid(C3C2B4C4-09D1-45DC-B700-965DCD76F78E),"},
      {"first_interface_member_get_first",
       "    [id(0x40030002), propget] HRESULT m_strFilePrn([out, retval] BSTR* result);"},
      {"interface_property_put",
       "    [id(0x40030007), propput] HRESULT m_strSY([in] BSTR m_strSY);"},
      {"last_interface_member",
       "    [id(0x6003000B)] HRESULT Initialize([in] BSTR strPath, [out, retval] VARIANT_BOOL* result);"},
      {"sale_types",
       "    [id(0x60030000)] HRESULT Sale([in] double str_JR, [in] long str_FPHM, [in] BSTR str_SYYH, "
       "[in] BSTR str_SYJID, [out, retval] VARIANT_BOOL* result);"},
      {"qita_text_amount",
       "    [id(0x60030004)] HRESULT Qita([in] BSTR str_JR, [in] long str_FPHM, [in] BSTR str_SYYH, "
       "[in] BSTR str_SYJID, [out, retval] VARIANT_BOOL* result);"},
      {"in_out_text_array",
       "    [id(0x60030009)] HRESULT GetPrintTxt([in, out] SAFEARRAY(BSTR)* strBuffer, "
       "[out, retval] VARIANT_BOOL* result);"},
      {"rizhi",
       "    [id(0x60030000)] HRESULT WriteLog([in] BSTR Text, [out, retval] VARIANT_BOOL* result);"},
      {"first_ht_member",
       "    [id(0x60030002)] HRESULT SetRegKeyValue([in, out] long* KeyRoot, [in, out] BSTR* KeyName, "
       "[in, out] BSTR* SubKeyName, [in, out] BSTR* SubKeyValue, [out, retval] VARIANT_BOOL* result);"},
      {"no_result", "    [id(0x60030008)] HRESULT CreateIni([in, out] BSTR* strDrv, [in, out] BSTR* strDir);"},
      {"optional_with_zero_default",
       "    [id(0x60030009)] HRESULT SetIniFormat([in, out, optional, defaultvalue(0)] long* lngLeftStringLen, "
       "[out, retval] VARIANT_BOOL* result);"},
      {"ht_put_before_get", "    [id(0x68030001), propput] HRESULT INIFile([in] BSTR New_IniPath);"},
      {"optional_without_default",
       "    [id(0x60030010)] HRESULT StringEnCrypt([in] BSTR strSource, [in, out] long* MA, "
       "[in, out, optional] BSTR* strTarget, [out, retval] BSTR* result);"},
      {"text_default_through_macros_bool_default_true",
       "    [id(0x60030029)] HRESULT FormatStrLn([in, out] BSTR* pStr, [in, out, optional] long* StrLng, "
       "[in, out, optional TEXT_DEFAULT(\" \")] DEFAULTED_TEXT_REF ShowStr, "
       "[in, out, optional, defaultvalue(-1)] VARIANT_BOOL* IsRightAlign, [out, retval] BSTR* result);"},
      {"mask_text_default",
       "    [id(0x6003002A)] HRESULT GetFileLastModiTime([in, out] BSTR* pFileName, "
       "[in, out, optional TEXT_DEFAULT(\"YYYYMMDDHHMM\")] DEFAULTED_TEXT_REF pMaskStr, [out, retval] BSTR* result);"},
      // The type library pass declares the defaulted texts by value (with
      // their defaults), the header pass by reference.
      {"type_library_pass_default", "#define TEXT_DEFAULT(value) , defaultvalue(value)"},
      {"type_library_pass_by_value", "#define DEFAULTED_TEXT_REF BSTR"},
      {"header_pass_no_default", "#define TEXT_DEFAULT(value)"},
      {"header_pass_by_reference", "#define DEFAULTED_TEXT_REF BSTR*"},
      {"bool_default_false",
       "    [id(0x60030041)] HRESULT DeleteFile([in] BSTR filespec, [in, out, optional, defaultvalue(0)] "
       "VARIANT_BOOL* force, [out, retval] VARIANT_BOOL* result);"},
      {"variant_in_int16_in_out",
       "    [id(0x60030006)] HRESULT CalculateStr([in] BSTR StrBeSeach, [in] VARIANT strFind, "
       "[in, out] short* Counter, [out, retval] VARIANT* result);"},
      {"byte_array_result",
       "    [id(0x6003003B)] HRESULT ConverStrToByte([in, out] BSTR* strData, "
       "[out, retval] SAFEARRAY(unsigned char)* result);"},
      {"enum_parameter",
       "    [id(0x60030020)] HRESULT ExitWindows([in] ExitMode ShutDownMode, [out, retval] VARIANT* result);"},
      {"last_ht_member",
       "    [id(0x60030048)] HRESULT GetSpecialFolder([in] SpecFolder folderspec, [out, retval] BSTR* result);"},
      {"exit_mode_enum", "  typedef [uuid(485FCC21-E5FF-490F-9739-0A22EDE0C20C)] enum ExitMode {"},
      {"exit_mode_last", "    EXIT_REBOOT = 2"},
      {"spec_folder_enum", "  typedef [uuid(DE7DAD82-E043-4D14-BFD4-ECE213DB97C7)] enum SpecFolder {"},
      {"spec_folder_first", "    WindowsFolder = 0,"},
      {"ht_interface", "    uuid(E82E406F-A143-4E7F-943B-857ACCC0B15C),"},
      {"rizhi_class", "    uuid(AD4BBBFB-4DAD-479E-9151-89957B5A8A43)"},
      {"default_interface", "    [default] interface _clsInterFace;"},
  };
  const std::string idl = LibraryIdl();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    int exact = 0;
    std::istringstream in(idl);
    for (std::string line; std::getline(in, line);) exact += line == row.line;
    EXPECT_EQ(exact, 1) << row.line;
  }
}

// Every row of every table is one operation of its interface, in table order,
// and one early-bound operation of its class.
TEST(InterfaceSource, EveryTableRowIsOneOperationInOrder) {
  const std::string idl = LibraryIdl();
  const std::string early = EarlyBoundMethods();
  const std::vector<std::string> operations = LinesWith(idl, "[id(0x");
  const std::vector<std::string> calls = LinesWith(early, "return CallEarly(");
  size_t index = 0;
  for (const ClassInfo& info : Classes()) {
    for (const Member& m : TableOf(info.kind).members()) {
      SCOPED_TRACE(ToUtf8(info.name) + "." + ToUtf8(m.name));
      ASSERT_LT(index, operations.size());
      EXPECT_NE(operations[index].find(" HRESULT " + ToUtf8(m.name) + "("), std::string::npos)
          << operations[index];
      char id[24];
      std::snprintf(id, sizeof id, "CallEarly(0x%08X,", static_cast<unsigned>(m.dispid));
      ASSERT_LT(index, calls.size());
      EXPECT_NE(calls[index].find(id), std::string::npos) << calls[index];
      ++index;
    }
  }
  EXPECT_EQ(operations.size(), index);
  EXPECT_EQ(calls.size(), index);
}

}  // namespace
}  // namespace kavrolin::component
