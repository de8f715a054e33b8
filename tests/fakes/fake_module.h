// A component library that lies in the folder the test names, so nothing a
// test writes "beside the component" lands in the build tree.
#pragma once

#include "platform/module.h"

namespace kavrolin::testing {

class FakeModule : public platform::Module {
 public:
  explicit FakeModule(Text folder) : folder_(std::move(folder)) {}
  Text ComponentFolder() override { return folder_; }
  Text ComponentPath() override { return folder_ + u"\\libkavrolin.so"; }

 private:
  Text folder_;
};

}  // namespace kavrolin::testing
