// Services: the bundle through which the logic reaches the platform. Objects
// take one at construction; tests build one from fakes.
#pragma once

#include <memory>

#include "platform/clock.h"
#include "platform/echo.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/module.h"
#include "platform/payment_records.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/system_operations.h"
#include "platform/terminal_library.h"

namespace kavrolin::platform {

struct Services {
  std::shared_ptr<Clock> clock;
  std::shared_ptr<FileSystem> files;
  std::shared_ptr<MessageBox> message_box;
  std::shared_ptr<Module> module;
  std::shared_ptr<TerminalLibrary> terminal;
  std::shared_ptr<Profile> profile;
  std::shared_ptr<Registry> registry;
  std::shared_ptr<SystemOperations> system;
  std::shared_ptr<EchoService> echo;
  // The write-ahead payment records; none: transactions keep no records.
  std::shared_ptr<PaymentRecords> records;

  // The process's real services. On POSIX the prefix is KAVROLIN_PREFIX
  // (default ~/.kavrolin), read at each call.
  static Services Default();
};

}  // namespace kavrolin::platform
