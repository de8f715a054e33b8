// Fault sweep of the toolkit log: whatever call fails, the log keeps its
// earlier lines byte for byte and gains the one whole line or nothing, and
// the answer says which.
#include <gtest/gtest.h>

#include <string>

#include "faults/fault_sweep.h"
#include "toolkit/cls_ht.h"

namespace kavrolin::testing {
namespace {

TEST(LogFaults, LineIsWholeOrAbsentAndEarlierLinesStay) {
  const std::string line = "[SALE] [2024-01-31 14:05:09] \"paid 12.34\"\r\n";
  const std::string rows[] = {"", "[BOOT] [2024-01-31 08:00:00] \"started\"\r\n"};
  for (const Layer layer : {Layer::kServices, Layer::kSystem}) {
    for (const std::string& earlier : rows) {
      SCOPED_TRACE(std::string(NameOf(layer)) + (earlier.empty() ? ", new log" : ", earlier lines"));
      const int runs = Sweep(layer, [&](Layer l, int nth, int failure) {
        FaultFixture f(l);
        std::filesystem::create_directories(f.C("logs"));
        if (!earlier.empty()) WriteHostFile(f.C("logs/app"), earlier);
        toolkit::clsHT ht(f.services);
        ht.LOGFile(u"C:\\logs\\app");  // the log takes the base name: no extension
        bool written = false;
        const auto calls = f.Armed(nth, failure, [&] { written = ht.WriteLog(u"SALE", u"paid 12.34"); });
        EXPECT_EQ(ReadHostFile(f.C("logs/app")), written ? earlier + line : earlier);
        if (nth == 0) {
          EXPECT_TRUE(written);
        }
        if (l == Layer::kSystem && (failure == EINTR || failure == kShortWrite)) {
          EXPECT_TRUE(written);
        }
        return calls;
      });
      EXPECT_GT(runs, 0);
    }
  }
}

}  // namespace
}  // namespace kavrolin::testing
