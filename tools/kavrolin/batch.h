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

#include "component/dispatch.h"
#include "kavrolin/host.h"

namespace kavrolin::cli {

class BatchSession {
 public:
  // Objects come from `host` and reach the platform through its services.
  explicit BatchSession(const Host& host);

  // The answer line (without the newline) to one request line.
  std::string Handle(std::string_view line);

 private:
  const Host& host_;
  std::shared_ptr<CollectingMessageBox> messages_;
  platform::Services services_;
  std::map<std::string, component::ObjectRef> objects_;
};

// Reads every line of host.in; returns the exit status (0).
int RunBatch(Host& host);

}  // namespace kavrolin::cli
