// A clock that answers the time the test sets.
#pragma once

#include "platform/clock.h"

namespace kavrolin::testing {

class FakeClock : public platform::Clock {
 public:
  explicit FakeClock(LocalTime now = {2024, 1, 31, 14, 5, 9, 0}) : now_(now) {}
  LocalTime Now() override { return now_; }
  void Set(LocalTime now) { now_ = now; }

 private:
  LocalTime now_;
};

}  // namespace kavrolin::testing
