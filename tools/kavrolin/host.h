// What the commands run against: the platform services the objects get, the
// prefix that maps Windows paths to host paths, and the three streams. Tests
// build one over a temporary prefix and string streams.
#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <utility>
#include <memory>
#include <vector>

#include "base/text.h"
#include "component/dispatch.h"
#include "kavrolin/host_paths.h"
#include "platform/message_box.h"
#include "platform/services.h"

namespace kavrolin::cli {

class ObjectSource;

struct Host {
  platform::Services services;
  std::shared_ptr<const HostPaths> prefix;  // none needed on Windows: paths are native
  std::istream* in = nullptr;
  std::ostream* out = nullptr;
  std::ostream* err = nullptr;
  // Whether `err` is a terminal: progress lines are shown only there.
  bool err_is_terminal = false;
  // A `reg import` of this many keys or more shows its progress there, a
  // quarter at a time.
  size_t large_import_keys = 2000;
  // Asked between polls by `journal --follow`; none: follow until interrupted.
  std::function<bool()> keep_following;
  // Where objects come from; none: the classes linked into the program.
  std::shared_ptr<ObjectSource> objects;

  // The process's services, KAVROLIN_PREFIX, the standard streams, and objects
  // made as an automation host makes them (see object_source.h).
  static Host Default();

  // A new object of the class named by class name, ProgID or CLSID text,
  // reaching the platform through `services`. Throws AutomationError 429.
  component::ObjectRef Create(TextView name, const platform::Services& services) const;
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
