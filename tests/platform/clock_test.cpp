#include "platform/posix/clock.h"

#include <gtest/gtest.h>

#include <ctime>
#include <thread>
#include <vector>

namespace kavrolin::platform::posix {
namespace {

// The second the clock reads now; time() may lag behind it by a tick.
time_t Second() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return now.tv_sec;
}

LocalTime WithoutMilliseconds(LocalTime time) {
  time.millisecond = 0;
  return time;
}

// Each answer is the local time of a second between the moments before and
// after the call, whatever the thread asked before: the kept conversion of a
// second is never handed out for another. The calls go on until the clock
// has passed into a new second (at most about one second).
TEST(PosixClock, NowIsTheLocalTimeOfTheMomentOfTheCall) {
  auto check = [] {
    PosixClock clock;
    const time_t start = Second();
    for (int i = 0; Second() <= start + 1; ++i) {
      const time_t before = Second();
      const LocalTime now = clock.Now();
      const time_t after = Second();
      const LocalTime bare = WithoutMilliseconds(now);
      ASSERT_TRUE(bare == LocalTimeOf(before) || bare == LocalTimeOf(after)) << i;
      ASSERT_GE(now.millisecond, 0);
      ASSERT_LE(now.millisecond, 999);
    }
  };
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) threads.emplace_back(check);
  for (std::thread& thread : threads) thread.join();
}

}  // namespace
}  // namespace kavrolin::platform::posix
