#include "platform/services.h"

#include "platform/win32/clock.h"
#include "platform/win32/echo.h"
#include "platform/win32/file_system.h"
#include "platform/win32/message_box.h"
#include "platform/win32/module.h"
#include "platform/win32/payment_records.h"
#include "platform/win32/profile.h"
#include "platform/win32/registry.h"
#include "platform/win32/system_operations.h"
#include "platform/win32/terminal_library.h"

namespace kavrolin::platform {
namespace {

// One terminal library per process: it is loaded once and kept.
std::shared_ptr<TerminalLibrary> ProcessTerminal() {
  static const auto terminal = std::make_shared<win32::Win32TerminalLibrary>();
  return terminal;
}

}  // namespace

Services Services::Default() {
  Services services;
  services.clock = std::make_shared<win32::Win32Clock>();
  services.files = std::make_shared<win32::Win32FileSystem>();
  services.message_box = std::make_shared<win32::Win32MessageBox>();
  services.module = std::make_shared<win32::Win32Module>();
  services.terminal = ProcessTerminal();
  services.profile = std::make_shared<win32::Win32Profile>(services.files);
  services.registry = std::make_shared<win32::Win32Registry>();
  services.system = std::make_shared<win32::Win32SystemOperations>();
  services.echo = std::make_shared<win32::Win32Echo>();
  services.records = win32::Win32PaymentRecords::Default();
  return services;
}

}  // namespace kavrolin::platform
