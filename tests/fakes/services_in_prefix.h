// Services over a temporary prefix with a fake clock and a fake terminal; the
// profile engine keeps a cache of its own; the registry is registry.db in the
// temporary prefix.
#pragma once

#include <memory>

#include "fakes/fake_clock.h"
#include "fakes/fake_terminal.h"
#include "platform/posix/file_system.h"
#include "platform/posix/message_box.h"
#include "platform/posix/module.h"
#include "platform/posix/profile.h"
#include "platform/posix/registry.h"
#include "platform/services.h"
#include "support/temp_dir.h"

namespace kavrolin::testing {

struct ServicesInPrefix {
  ServicesInPrefix()
      : prefix(std::make_shared<platform::posix::Prefix>(dir.path() / "pfx")),
        clock(std::make_shared<FakeClock>()),
        terminal(std::make_shared<FakeTerminal>()) {
    prefix->EnsureLayout();
    services.clock = clock;
    services.files = std::make_shared<platform::posix::PosixFileSystem>(prefix);
    services.message_box = std::make_shared<platform::posix::StderrMessageBox>();
    services.module = std::make_shared<platform::posix::PosixModule>(prefix);
    services.terminal = terminal;
    services.profile = std::make_shared<platform::posix::PosixProfile>(
        prefix, services.files, std::make_shared<platform::posix::ProfileCache>());
    services.registry = std::make_shared<platform::posix::PosixRegistry>(prefix);
  }
  std::filesystem::path C(const std::filesystem::path& relative) const {
    return dir.path() / "pfx" / "drive_c" / relative;
  }

  TempDir dir;
  std::shared_ptr<platform::posix::Prefix> prefix;
  std::shared_ptr<FakeClock> clock;
  std::shared_ptr<FakeTerminal> terminal;
  platform::Services services;
};

}  // namespace kavrolin::testing
