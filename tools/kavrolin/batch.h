// `kavrolin batch`: one JSON request per input line, one JSON line out per
// input line, with named objects that live across lines.
//
//   {"new":"a","class":"clsHT"}             create (replacing an older "a")
//   {"call":"a.Member","args":[...]}        method call (or property get)
//   {"get":"a.Prop"} / {"put":"a.Prop","value":V}
//   {"release":"a"}
//
// Every non-blank line answers {"result":R,"args":[...],"messages":[...],
// "error":E}; blank lines are skipped without an answer. A line that is not
// such a request answers error 5 naming its line number (and, when it is no
// JSON, the parser's position and message), a name that is no object error
// 424; an error of a member names class, member and parameter in E's
// "detail". The batch goes on with the next line unless stopping on errors.
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

  // The answer line (without the newline) to request line `number` (from 1).
  // `failed`, when given, says whether the answer carries an error.
  std::string Handle(std::string_view line, size_t number = 1, bool* failed = nullptr);

 private:
  const Host& host_;
  std::shared_ptr<CollectingMessageBox> messages_;
  platform::Services services_;
  struct Named {
    component::ObjectRef object;
    Text class_name;  // as the "new" line named it
  };
  std::map<std::string, Named> objects_;
};

// Reads every line of host.in. Exit status 0 when every line was answered;
// with `stop_on_error`, 3 at the first line whose answer is an error.
int RunBatch(Host& host, bool stop_on_error = false);

}  // namespace kavrolin::cli
