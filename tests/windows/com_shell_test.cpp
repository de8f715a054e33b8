// The Win32 shell's late-bound path over a member table of the test's own:
// what IDispatch::Invoke does with the VARIANTs automation callers pass.
// Runs under Wine (a Windows build).
#include "component/win32/dual_object.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/automation_error.h"

namespace kavrolin::component::win32 {
namespace {

using T = DeclaredType;

Parameter In(std::u16string_view name, T type) { return {name, type, Direction::kIn, false, {}}; }
Parameter Ref(std::u16string_view name, T type) { return {name, type, Direction::kInOut, false, {}}; }

const MemberTable& FakeTable() {
  static const MemberTable table(
      u"clsHT",
      {
          {u"Echo", 1, MemberKind::kMethod, {In(u"value", T::kText)}, T::kText},
          {u"Twice", 2, MemberKind::kMethod, {Ref(u"number", T::kInt32)}, T::kBool},
          {u"Pad", 3, MemberKind::kMethod,
           {Ref(u"text", T::kText), {u"fill", T::kText, Direction::kInOut, true, Variant(u"*")}}, T::kText},
          {u"Lines", 4, MemberKind::kMethod, {Ref(u"buffer", T::kTextArray)}, T::kBool},
          {u"Fail", 5, MemberKind::kMethod, {}, T::kBool},
          {u"Value", 6, MemberKind::kPropertyPut, {In(u"value", T::kText)}, T::kNone},
          {u"Value", 6, MemberKind::kPropertyGet, {}, T::kText},
      });
  return table;
}

class FakeObject final : public DispatchObject {
 public:
  FakeObject() : DispatchObject(ClassKind::kHT, &FakeTable()) {}

 protected:
  Variant Call(const Member& member, CallArgs& args) override {
    switch (member.dispid) {
      case 1: return args.text(0);
      case 2: args[0] = args.int32(0) * 2; return true;
      case 3: return args.text(0) + args.text(1);
      case 4: args[0] = TextArray{true, 0, {u"", u"a", u"b"}}; return true;
      case 5: throw AutomationError(ErrorNumber::kFileNotFound);
      case 6:
        if (member.kind == MemberKind::kPropertyPut) {
          value_ = args.text(0);
          return Variant();
        }
        return value_;
    }
    return Variant();
  }

 private:
  Text value_;
};

// A VARIANT owned by the test.
struct Var {
  VARIANT v;
  Var() { VariantInit(&v); }
  ~Var() { VariantClear(&v); }
  Var(const Var&) = delete;
  static void Text(VARIANT* v, const wchar_t* text) {
    V_VT(v) = VT_BSTR;
    V_BSTR(v) = SysAllocString(text);
  }
};

std::wstring TextOf(const VARIANT& v) {
  return V_VT(&v) == VT_BSTR ? std::wstring(V_BSTR(&v), SysStringLen(V_BSTR(&v))) : L"<not text>";
}

class ComShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(WrapObject(MakeObject<FakeObject>(), IID_IDispatch, reinterpret_cast<void**>(&dispatch_)), S_OK);
  }
  void TearDown() override {
    if (dispatch_) dispatch_->Release();
  }

  // Calls `dispid` with `args` given first to last (rgvarg holds them reversed).
  HRESULT Call(DISPID dispid, std::vector<VARIANT*> args, VARIANT* result, WORD flags = DISPATCH_METHOD) {
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(**it);
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    DISPID put = DISPID_PROPERTYPUT;
    if (flags == DISPATCH_PROPERTYPUT) {
      params.rgdispidNamedArgs = &put;
      params.cNamedArgs = 1;
    }
    exception_ = EXCEPINFO{};
    arg_error_ = 99;
    const HRESULT hr = dispatch_->Invoke(dispid, IID_NULL, 0, flags, &params, result, &exception_, &arg_error_);
    // The callee may have replaced what a by-value VARIANT held only through
    // references; copy the slots back so the test's VARIANTs own their values.
    for (size_t i = 0; i < args.size(); ++i) *args[i] = reversed[args.size() - 1 - i];
    return hr;
  }

  IDispatch* dispatch_ = nullptr;
  EXCEPINFO exception_{};
  UINT arg_error_ = 0;
};

TEST_F(ComShellTest, NamesAreFoundWithoutRegardToCase) {
  struct Row {
    const char* label;
    const wchar_t* name;
    HRESULT status;
    DISPID id;
  };
  const Row rows[] = {
      {"empty_name", L"", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN},
      {"unknown", L"NoSuchMember", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN},
      {"exact", L"Echo", S_OK, 1},
      {"upper", L"ECHO", S_OK, 1},
      {"property", L"value", S_OK, 6},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    LPOLESTR names[] = {const_cast<LPOLESTR>(row.name)};
    DISPID id = 12345;
    EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, names, 1, 0, &id), row.status);
    EXPECT_EQ(id, row.id);
  }
}

TEST_F(ComShellTest, ArgumentsAreCoercedToTheDeclaredType) {
  struct Row {
    const char* label;
    VARTYPE type;
    double number;  // for the numeric and boolean rows
    HRESULT status;
    const wchar_t* text;
  };
  const Row rows[] = {
      {"empty_is_empty_text", VT_EMPTY, 0, S_OK, L""},
      {"int32", VT_I4, 5, S_OK, L"5"},
      {"negative_int16", VT_I2, -3, S_OK, L"-3"},
      {"double", VT_R8, 1.5, S_OK, L"1.5"},
      {"boolean_as_word", VT_BOOL, -1, S_OK, L"True"},
      {"null_is_invalid_use", VT_NULL, 0, DISP_E_EXCEPTION, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    Var arg, result;
    V_VT(&arg.v) = row.type;
    if (row.type == VT_I4) V_I4(&arg.v) = static_cast<LONG>(row.number);
    if (row.type == VT_I2) V_I2(&arg.v) = static_cast<SHORT>(row.number);
    if (row.type == VT_R8) V_R8(&arg.v) = row.number;
    if (row.type == VT_BOOL) V_BOOL(&arg.v) = static_cast<VARIANT_BOOL>(row.number);
    EXPECT_EQ(Call(1, {&arg.v}, &result.v), row.status);
    if (row.text) {
      EXPECT_EQ(TextOf(result.v), row.text);
    } else {
      EXPECT_EQ(exception_.scode, static_cast<SCODE>(0x800A005E));
    }
    SysFreeString(exception_.bstrSource);
    SysFreeString(exception_.bstrDescription);
  }
}

TEST_F(ComShellTest, ByReferenceArgumentsAreWrittenBack) {
  // A script variable (VT_BYREF|VT_VARIANT) holding a 16-bit integer.
  Var variable, result;
  V_VT(&variable.v) = VT_I2;
  V_I2(&variable.v) = 3;
  VARIANT by_variant;
  V_VT(&by_variant) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&by_variant) = &variable.v;
  EXPECT_EQ(Call(2, {&by_variant}, &result.v), S_OK);
  EXPECT_EQ(V_VT(&variable.v), VT_I4);
  EXPECT_EQ(V_I4(&variable.v), 6);
  EXPECT_EQ(V_VT(&result.v), VT_BOOL);
  EXPECT_EQ(V_BOOL(&result.v), VARIANT_TRUE);

  // A typed reference keeps its type.
  BSTR text = SysAllocString(L"4");
  VARIANT by_text;
  V_VT(&by_text) = VT_BYREF | VT_BSTR;
  V_BSTRREF(&by_text) = &text;
  EXPECT_EQ(Call(2, {&by_text}, nullptr), S_OK);
  EXPECT_EQ(std::wstring(text), L"8");
  SysFreeString(text);

  // A value that is no number: type mismatch on argument 0, nothing written.
  BSTR word = SysAllocString(L"x");
  V_BSTRREF(&by_text) = &word;
  EXPECT_EQ(Call(2, {&by_text}, nullptr), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(arg_error_, 0u);
  EXPECT_EQ(std::wstring(word), L"x");
  SysFreeString(word);
}

TEST_F(ComShellTest, LeftOutOptionalsTakeTheirDefault) {
  struct Row {
    const char* label;
    bool pass_marker;  // DISP_E_PARAMNOTFOUND in place of the argument
  };
  for (const Row& row : {Row{"missing", false}, Row{"param_not_found", true}}) {
    SCOPED_TRACE(row.label);
    Var text, marker, result;
    Var::Text(&text.v, L"ab");
    V_VT(&marker.v) = VT_ERROR;
    V_ERROR(&marker.v) = DISP_E_PARAMNOTFOUND;
    std::vector<VARIANT*> args{&text.v};
    if (row.pass_marker) args.push_back(&marker.v);
    EXPECT_EQ(Call(3, args, &result.v), S_OK);
    EXPECT_EQ(TextOf(result.v), L"ab*");
  }
}

TEST_F(ComShellTest, TextArraysReachScriptVariablesAsArraysOfVariants) {
  Var variable;  // an unassigned script variable
  VARIANT by_variant;
  V_VT(&by_variant) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&by_variant) = &variable.v;
  EXPECT_EQ(Call(4, {&by_variant}, nullptr), S_OK);
  ASSERT_EQ(V_VT(&variable.v), VT_ARRAY | VT_VARIANT);
  LONG lower = -1, upper = -1;
  SafeArrayGetLBound(V_ARRAY(&variable.v), 1, &lower);
  SafeArrayGetUBound(V_ARRAY(&variable.v), 1, &upper);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 2);
  Var item;
  LONG index = 2;
  ASSERT_EQ(SafeArrayGetElement(V_ARRAY(&variable.v), &index, &item.v), S_OK);
  EXPECT_EQ(TextOf(item.v), L"b");
}

TEST_F(ComShellTest, FailuresComeBackAsExceptionsOrDispatchCodes) {
  Var result;
  EXPECT_EQ(Call(5, {}, &result.v), DISP_E_EXCEPTION);
  EXPECT_EQ(exception_.scode, static_cast<SCODE>(0x800A0035));
  EXPECT_EQ(std::wstring(exception_.bstrDescription), L"File not found");
  EXPECT_EQ(std::wstring(exception_.bstrSource), L"Kavrolin.clsHT");
  SysFreeString(exception_.bstrSource);
  SysFreeString(exception_.bstrDescription);

  struct Row {
    const char* label;
    DISPID dispid;
    size_t args;
    HRESULT status;
  };
  const Row rows[] = {
      {"required_left_out", 1, 0, DISP_E_PARAMNOTOPTIONAL},
      {"too_many", 1, 2, DISP_E_BADPARAMCOUNT},
      {"unknown_member", 77, 0, DISP_E_MEMBERNOTFOUND},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    Var a, b;
    Var::Text(&a.v, L"x");
    Var::Text(&b.v, L"y");
    std::vector<VARIANT*> args{&a.v, &b.v};
    args.resize(row.args);
    EXPECT_EQ(Call(row.dispid, args, nullptr), row.status);
  }
}

TEST_F(ComShellTest, PropertyPutThenGet) {
  Var value, result;
  Var::Text(&value.v, L"C:\\pos.ini");
  EXPECT_EQ(Call(6, {&value.v}, nullptr, DISPATCH_PROPERTYPUT), S_OK);
  EXPECT_EQ(Call(6, {}, &result.v, DISPATCH_PROPERTYGET), S_OK);
  EXPECT_EQ(TextOf(result.v), L"C:\\pos.ini");
}

}  // namespace
}  // namespace kavrolin::component::win32
