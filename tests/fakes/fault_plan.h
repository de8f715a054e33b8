// FaultPlan: the one counter the faulty fakes share. Every call a faulty fake
// passes on is recorded in order under its operation name; a test may name
// one call, by its place in that order (counted from 1), that fails instead
// with a failure code the fake knows how to give. A sweep first runs the code
// under test once with nothing to fail, reads how many calls it made, then
// runs it again for every call number and every failure that call can give.
//
// One plan may serve several fakes at once (file system and registry), so the
// number counts across them. Single-threaded, like the objects under test.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavrolin::testing {

class FaultPlan {
 public:
  // The call numbered `nth` fails with `failure`; 0 fails nothing.
  void FailNth(int nth, int failure) {
    nth_ = nth;
    failure_ = failure;
  }
  // Forgets the calls seen and the failure planned.
  void Reset() {
    calls_.clear();
    nth_ = 0;
    fired_ = false;
  }

  // Records one call; answers the failure when this is the planned call.
  std::optional<int> Next(std::string_view operation) {
    calls_.emplace_back(operation);
    if (static_cast<int>(calls_.size()) != nth_) return std::nullopt;
    fired_ = true;
    return failure_;
  }

  const std::vector<std::string>& calls() const { return calls_; }
  bool fired() const { return fired_; }

 private:
  std::vector<std::string> calls_;
  int nth_ = 0;
  int failure_ = 0;
  bool fired_ = false;
};

}  // namespace kavrolin::testing
