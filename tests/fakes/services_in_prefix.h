// Services over a temporary prefix with a fake clock and a fake terminal; the
// profile engine keeps a cache of its own; the registry is registry.db and
// the payment records are payments.db in the temporary prefix. The component
// lies in C:\component inside the prefix, so nothing written beside it lands
// in the build tree. The system operations and
// the echo service are fakes: nothing here renames, shuts down or probes
// anything.
#pragma once

#include <memory>

#include "fakes/fake_clock.h"
#include "fakes/fake_module.h"
#include "fakes/fake_echo.h"
#include "fakes/fake_system_operations.h"
#include "fakes/fake_terminal.h"
#include "platform/posix/file_system.h"
#include "platform/posix/message_box.h"
#include "platform/posix/payment_records.h"
#include "platform/posix/profile.h"
#include "platform/posix/registry.h"
#include "platform/services.h"
#include "support/temp_dir.h"

namespace kavrolin::testing {

struct ServicesInPrefix {
  ServicesInPrefix()
      : prefix(std::make_shared<platform::posix::Prefix>(dir.path() / "pfx")),
        clock(std::make_shared<FakeClock>()),
        terminal(std::make_shared<FakeTerminal>()),
        system(std::make_shared<FakeSystemOperations>()),
        echo(std::make_shared<FakeEcho>()),
        records(std::make_shared<platform::posix::PosixPaymentRecords>(prefix)) {
    prefix->EnsureLayout();
    std::filesystem::create_directories(C("component"));
    services.clock = clock;
    services.files = std::make_shared<platform::posix::PosixFileSystem>(prefix);
    services.message_box = std::make_shared<platform::posix::StderrMessageBox>();
    services.module = std::make_shared<FakeModule>(u"C:\\component");
    services.terminal = terminal;
    services.profile = std::make_shared<platform::posix::PosixProfile>(
        prefix, services.files, std::make_shared<platform::posix::ProfileCache>());
    services.registry = std::make_shared<platform::posix::PosixRegistry>(prefix);
    services.system = system;
    services.echo = echo;
    services.records = records;
  }
  std::filesystem::path C(const std::filesystem::path& relative) const {
    return dir.path() / "pfx" / "drive_c" / relative;
  }

  TempDir dir;
  std::shared_ptr<platform::posix::Prefix> prefix;
  std::shared_ptr<FakeClock> clock;
  std::shared_ptr<FakeTerminal> terminal;
  std::shared_ptr<FakeSystemOperations> system;
  std::shared_ptr<FakeEcho> echo;
  std::shared_ptr<platform::posix::PosixPaymentRecords> records;
  platform::Services services;
};

}  // namespace kavrolin::testing
