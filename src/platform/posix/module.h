// The component's own file on POSIX: the shared library that holds this code,
// or the program it is linked into.
#pragma once

#include <filesystem>
#include <memory>

#include "platform/module.h"
#include "platform/posix/prefix.h"

namespace kavrolin::platform::posix {

// The host path of the component's own file: the shared library holding this
// code, or the program it is linked into.
std::filesystem::path ComponentFile();

class PosixModule : public Module {
 public:
  explicit PosixModule(std::shared_ptr<const Prefix> prefix) : prefix_(std::move(prefix)) {}
  Text ComponentFolder() override;
  Text ComponentPath() override;

 private:
  std::shared_ptr<const Prefix> prefix_;
};

}  // namespace kavrolin::platform::posix
