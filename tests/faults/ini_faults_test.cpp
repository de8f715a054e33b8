// Fault sweeps of the INI writers: SetIniKeyValue and SetIniRemark. Whatever
// call fails, the file holds its earlier bytes or the whole new content the
// clean run gave, the answer says which, and no half-written replacement is
// left beside it.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "faults/fault_sweep.h"
#include "toolkit/cls_ht.h"

namespace kavrolin::testing {
namespace {

const char16_t kIni[] = u"C:\\cfg\\app.ini";
const std::string kEarlier =
    "; settings\r\n[Shop]\r\nName=Main\r\nTill = 7\r\n\r\n[Printer]\r\nPort=COM1\r\n";

struct Row {
  const char* label;
  std::string earlier;  // none when empty: the file does not exist
  std::function<bool(toolkit::clsHT&)> write;
};

bool SetKey(toolkit::clsHT& ht, Text section, Text key, Text value) {
  return ht.SetIniKeyValue(section, key, value);
}

const Row kRows[] = {
    {"new file", "", [](toolkit::clsHT& ht) { return SetKey(ht, u"Shop", u"Name", u"First"); }},
    {"new key", kEarlier, [](toolkit::clsHT& ht) { return SetKey(ht, u"Shop", u"Lane", u"3"); }},
    {"changed key", kEarlier,
     [](toolkit::clsHT& ht) { return SetKey(ht, u"Printer", u"Port", u"COM2"); }},
    {"new section", kEarlier, [](toolkit::clsHT& ht) { return SetKey(ht, u"Tax", u"Rate", u"13"); }},
    {"remark", kEarlier, [](toolkit::clsHT& ht) { return ht.SetIniRemark(u"Printer", u"moved"); }},
    {"remark in a one-section file", "[Only]\r\nA=1",
     [](toolkit::clsHT& ht) { return ht.SetIniRemark(u"Only", u"note"); }},
};

bool Transient(Layer layer, int failure) {
  return layer == Layer::kSystem && (failure == EINTR || failure == kShortWrite);
}

TEST(IniFaults, FileIsOldOrNewWholeAndAnswerSaysWhich) {
  for (const Layer layer : {Layer::kServices, Layer::kSystem}) {
    for (const Row& row : kRows) {
      SCOPED_TRACE(std::string(NameOf(layer)) + ", " + row.label);
      std::string clean;  // the file after the clean run
      const int runs = Sweep(layer, [&](Layer l, int nth, int failure) {
        FaultFixture f(l);
        std::filesystem::create_directories(f.C("cfg"));
        if (!row.earlier.empty()) WriteHostFile(f.C("cfg/app.ini"), row.earlier);
        toolkit::clsHT ht(f.services);
        ht.INIFile(kIni);
        bool written = false;
        const auto calls = f.Armed(nth, failure, [&] { written = row.write(ht); });
        const std::string now = ReadHostFile(f.C("cfg/app.ini"));
        if (nth == 0) {
          clean = now;
          EXPECT_TRUE(written);
          EXPECT_NE(clean, row.earlier);
        } else {
          EXPECT_EQ(now, written ? clean : row.earlier);
          if (Transient(l, failure)) {
            EXPECT_TRUE(written);
          }
        }
        EXPECT_TRUE(FaultFixture::Leftovers(f.C("cfg")).empty());
        return calls;
      });
      EXPECT_GT(runs, 0);
    }
  }
}

}  // namespace
}  // namespace kavrolin::testing
