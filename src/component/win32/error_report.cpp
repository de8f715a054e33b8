#include "component/win32/error_report.h"

#include "component/win32/own_module.h"

namespace kavrolin::component::win32 {
namespace {

BSTR NewBstr(TextView text) {
  return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
}

}  // namespace

HRESULT StatusOf(const AutomationError& error) {
  const int32_t number = error.number();
  if (number > 0 && number <= 0xFFFF) return static_cast<HRESULT>(0x800A0000u | static_cast<uint32_t>(number));
  if (number < 0) return static_cast<HRESULT>(number);
  return E_FAIL;
}

void FillExcepInfo(const AutomationError& error, const ClassInfo& source, EXCEPINFO* info) {
  if (info == nullptr) return;
  *info = EXCEPINFO{};
  info->bstrSource = NewBstr(source.prog_id);
  info->bstrDescription = NewBstr(error.description());
  info->scode = StatusOf(error);
}

void PostErrorInfo(const AutomationError& error, const ClassInfo& source) {
  ICreateErrorInfo* create = nullptr;
  if (FAILED(CreateErrorInfo(&create))) return;  // the caller still gets the status code
  const GUID iid = ToGuid(source.iid);
  create->SetGUID(iid);
  const Text prog_id(source.prog_id);
  create->SetSource(const_cast<LPOLESTR>(reinterpret_cast<const OLECHAR*>(prog_id.c_str())));
  create->SetDescription(const_cast<LPOLESTR>(reinterpret_cast<const OLECHAR*>(error.description().c_str())));
  IErrorInfo* info = nullptr;
  if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
    SetErrorInfo(0, info);
    info->Release();
  }
  create->Release();
}

}  // namespace kavrolin::component::win32
