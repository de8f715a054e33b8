// `kavrolin batch`: one JSON request per input line, one JSON line out per
// input line, with named objects that live across lines.
//
//   {"new":"a","class":"clsHT"}             create (replacing an older "a")
//   {"call":"a.Member","args":[...]}        method call (or property get)
//   {"get":"a.Prop"} / {"put":"a.Prop","value":V}
//   {"release":"a"}
//
// Every line answers {"result":R,"args":[...],"messages":[...],"error":E}. A
// line that is not such a request answers error 5, a name that is no object
// error 424; the batch always goes on with the next line.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "component/class_factory.h"
#include "kavrolin/host.h"

namespace kavrolin::cli {

class BatchSession {
 public:
  explicit BatchSession(platform::Services services);

  // The answer line (without the newline) to one request line.
  std::string Handle(std::string_view line);

 private:
  std::shared_ptr<CollectingMessageBox> messages_;
  component::ClassFactory factory_;
  std::map<std::string, component::ObjectRef> objects_;
};

// Reads every line of host.in; returns the exit status (0).
int RunBatch(Host& host);

}  // namespace kavrolin::cli
