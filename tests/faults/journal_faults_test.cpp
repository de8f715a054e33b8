// Fault sweeps of the transaction journal: a line written directly, and a
// sale through the fake terminal with its journal line. Whatever call fails,
// the day file keeps its earlier lines byte for byte and gains either the one
// whole line or nothing; a line reported written is there.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "base/ansi.h"
#include "faults/fault_sweep.h"
#include "journal/cls_rizhi.h"
#include "transaction/cls_inter_face.h"

namespace kavrolin::testing {
namespace {

const std::string kDayFile = "YHLOG/20240131.txt";

struct Earlier {
  const char* label;
  bool folder;        // c:\YHLOG is there
  std::string bytes;  // the day file's earlier content; none when empty
};

const Earlier kEarlier[] = {
    {"no journal folder yet", false, ""},
    {"folder without a day file", true, ""},
    {"day file with earlier lines", true,
     "2024-01-31 09:00:00 " + ToAnsi(u"消费成功 卡号：6222  索引：000000000001") + "\r\n" +
         "2024-01-31 09:10:00 earlier line two\r\n"},
};

void PutEarlier(FaultFixture& f, const Earlier& row) {
  if (row.folder) std::filesystem::create_directories(f.C("YHLOG"));
  if (!row.bytes.empty()) WriteHostFile(f.C(kDayFile), row.bytes);
}

// Transient failures (an interrupted call, a short write) must not cost the line.
bool Transient(Layer layer, int failure) {
  return layer == Layer::kSystem && (failure == EINTR || failure == kShortWrite);
}

TEST(JournalFaults, LineIsWholeOrAbsentAndEarlierLinesStay) {
  const std::string line = "2024-01-31 14:05:09 " + ToAnsi(u"消费成功 卡号：6222") + "\r\n";
  // The line on a fresh handle, and on one kept (and watched) after two lines.
  for (const int before : {0, 2}) {
    for (const Layer layer : {Layer::kServices, Layer::kSystem}) {
      for (const Earlier& row : kEarlier) {
        SCOPED_TRACE(std::string(NameOf(layer)) + ", " + row.label + ", after " +
                     std::to_string(before) + " lines");
        const int runs = Sweep(layer, [&](Layer l, int nth, int failure) {
          FaultFixture f(l);
          PutEarlier(f, row);
          journal::cls_Rizhi rizhi(f.services);
          std::string earlier = row.bytes;
          for (int i = 0; i < before; ++i) {
            EXPECT_TRUE(rizhi.WriteLog(u"earlier"));
            earlier += "2024-01-31 14:05:09 earlier\r\n";
          }
          bool written = false;
          const auto calls =
              f.Armed(nth, failure, [&] { written = rizhi.WriteLog(u"消费成功 卡号：6222"); });
          const std::string now = ReadHostFile(f.C(kDayFile));
          EXPECT_EQ(now, written ? earlier + line : earlier);
          if (!f.fired() || Transient(l, failure)) {
            EXPECT_TRUE(written);
          }
          return calls;
        });
        EXPECT_GT(runs, 0);
      }
    }
  }
}

TEST(JournalFaults, SaleKeepsItsResultAndTheDayFileWhole) {
  const std::string response = "6222021234567890   000000001234000000000042";
  for (const Layer layer : {Layer::kServices, Layer::kSystem}) {
    for (const Earlier& row : kEarlier) {
      SCOPED_TRACE(std::string(NameOf(layer)) + ", " + row.label);
      std::string clean_line;  // what the clean run added
      Sweep(layer, [&](Layer l, int nth, int failure) {
        FaultFixture f(l);
        PutEarlier(f, row);
        f.env.terminal->response = response;
        transaction::clsInterFace object(f.services);
        bool result = false;
        const auto calls =
            f.Armed(nth, failure, [&] { result = object.Sale(12.34, 123, u"01", u"A1"); });
        const std::string now = ReadHostFile(f.C(kDayFile));
        EXPECT_EQ(now.substr(0, row.bytes.size()), row.bytes) << "earlier lines changed";
        const std::string added = now.substr(std::min(now.size(), row.bytes.size()));
        if (f.env.terminal->requests.empty()) {
          // The payment's started record could not be written, so the
          // terminal was never asked: the sale fails, and its journal line,
          // when there is one, is whole.
          EXPECT_NE(nth, 0);
          EXPECT_FALSE(result);
          EXPECT_TRUE(added.empty() || (added.size() > 2 && added.find("\r\n") == added.size() - 2))
              << "torn line: " << added;
          return calls;
        }
        // The terminal approved: a journal that cannot be written does not
        // turn the sale into a failure the host would retry and charge twice.
        EXPECT_TRUE(result);
        EXPECT_EQ(object.GetFanhui(), u"1");
        EXPECT_EQ(object.GetSY(), u"42");
        if (nth == 0) {
          clean_line = added;
          EXPECT_EQ(added.find("\r\n"), added.size() - 2) << "one line: " << added;
          EXPECT_NE(added.find(ToAnsi(u"索引：42")), std::string::npos);
        } else {
          EXPECT_TRUE(added.empty() || added == clean_line) << "torn line: " << added;
          if (Transient(l, failure)) {
            EXPECT_EQ(added, clean_line);
          }
        }
        return calls;
      });
    }
  }
}

}  // namespace
}  // namespace kavrolin::testing
