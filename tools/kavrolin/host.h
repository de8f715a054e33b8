// What the commands run against: the platform services the objects get, the
// prefix that maps Windows paths to host paths, and the three streams. Tests
// build one over a temporary prefix and string streams.
#pragma once

#include <iosfwd>
#include <utility>
#include <memory>
#include <vector>

#include "base/text.h"
#include "platform/message_box.h"
#include "platform/posix/prefix.h"
#include "platform/services.h"

namespace kavrolin::cli {

struct Host {
  platform::Services services;
  std::shared_ptr<const platform::posix::Prefix> prefix;
  std::istream* in = nullptr;
  std::ostream* out = nullptr;
  std::ostream* err = nullptr;

  // The process's services, KAVROLIN_PREFIX and the standard streams.
  static Host Default();
};

// A message box that keeps the texts shown until they are taken, for the
// "messages" of JSON output.
class CollectingMessageBox : public platform::MessageBox {
 public:
  void Show(TextView caption, TextView text) override { shown_.emplace_back(text); }
  std::vector<Text> Take() { return std::exchange(shown_, {}); }

 private:
  std::vector<Text> shown_;
};

}  // namespace kavrolin::cli
