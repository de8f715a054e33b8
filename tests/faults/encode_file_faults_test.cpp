// Fault sweep of EncodeFile: whatever call fails, the source keeps its bytes,
// the destination holds its earlier bytes (or stays absent) or the whole
// encoded file, the answer says which, and no replacement is left behind.
#include <gtest/gtest.h>

#include <string>

#include "faults/fault_sweep.h"
#include "toolkit/cls_ht.h"

namespace kavrolin::testing {
namespace {

// Three blocks and a part, so the copy takes several writes.
std::string SourceBytes() {
  std::string bytes(3 * 64 * 1024 + 1000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
  return bytes;
}

struct Row {
  const char* label;
  std::string source;
  std::string destination;  // none when empty
};

TEST(EncodeFileFaults, DestinationIsOldOrWholeAndSourceStays) {
  const Row rows[] = {
      {"one-byte source, no destination", "A", ""},
      {"large source, no destination", SourceBytes(), ""},
      {"large source over an earlier destination", SourceBytes(), "earlier destination\r\n"},
  };
  for (const Layer layer : {Layer::kServices, Layer::kSystem}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(NameOf(layer)) + ", " + row.label);
      std::string encoded;
      for (char c : row.source) encoded += static_cast<char>(c ^ 5);
      const int runs = Sweep(layer, [&](Layer l, int nth, int failure) {
        FaultFixture f(l);
        WriteHostFile(f.C("data/src.bin"), row.source);
        if (!row.destination.empty()) WriteHostFile(f.C("data/dst.bin"), row.destination);
        toolkit::clsHT ht(f.services);
        Text source = u"C:\\data\\src.bin";
        Text destination = u"C:\\data\\dst.bin";
        int32_t seed = 21;  // 21 & 15 = 5
        bool done = false;
        const auto calls =
            f.Armed(nth, failure, [&] { done = ht.EncodeFile(source, destination, seed); });
        EXPECT_EQ(ReadHostFile(f.C("data/src.bin")), row.source);
        EXPECT_EQ(ReadHostFile(f.C("data/dst.bin")), done ? encoded : row.destination);
        if (!done && row.destination.empty()) {
          EXPECT_FALSE(std::filesystem::exists(f.C("data/dst.bin")));
        }
        if (nth == 0) {
          EXPECT_TRUE(done);
        }
        if (l == Layer::kSystem && (failure == EINTR || failure == kShortWrite)) {
          EXPECT_TRUE(done);
        }
        EXPECT_TRUE(FaultFixture::Leftovers(f.C("data")).empty());
        return calls;
      });
      EXPECT_GT(runs, 0);
    }
  }
}

}  // namespace
}  // namespace kavrolin::testing
