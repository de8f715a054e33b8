#include "platform/services.h"

#include "platform/posix/clock.h"
#include "platform/posix/echo.h"
#include "platform/posix/file_system.h"
#include "platform/posix/message_box.h"
#include "platform/posix/module.h"
#include "platform/posix/payment_records.h"
#include "platform/posix/prefix.h"
#include "platform/posix/profile.h"
#include "platform/posix/registry.h"
#include "platform/posix/system_operations.h"
#include "platform/posix/terminal_library.h"

namespace kavrolin::platform {
namespace {

// One terminal library per process: it is loaded once and kept.
std::shared_ptr<TerminalLibrary> ProcessTerminal() {
  static const auto terminal = std::make_shared<posix::PosixTerminalLibrary>();
  return terminal;
}

}  // namespace

Services Services::Default() {
  auto prefix = std::make_shared<const posix::Prefix>(posix::Prefix::DefaultRoot());
  Services services;
  services.clock = std::make_shared<posix::PosixClock>();
  services.files = std::make_shared<posix::PosixFileSystem>(prefix);
  services.message_box = std::make_shared<posix::StderrMessageBox>();
  services.module = std::make_shared<posix::PosixModule>(prefix);
  services.terminal = ProcessTerminal();
  services.profile = std::make_shared<posix::PosixProfile>(prefix, services.files);
  services.registry = std::make_shared<posix::PosixRegistry>(prefix);
  services.system = std::make_shared<posix::PosixSystemOperations>(prefix, services.files);
  services.echo = std::make_shared<posix::PosixEcho>();
  services.records = std::make_shared<posix::PosixPaymentRecords>(prefix);
  return services;
}

}  // namespace kavrolin::platform
