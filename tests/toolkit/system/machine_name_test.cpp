#include "toolkit/system/machine_name.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/fake_system_operations.h"

namespace kavrolin::toolkit::system {
namespace {

using kavrolin::testing::FakeSystemOperations;

const Text kUnknown = u"(\u672A\u77E5)";

TEST(GetMachineNameTest, AnswersTheNameUpToItsZeroOrTheFallback) {
  const struct {
    const char* label;
    std::string name;  // ANSI bytes the system reports
    bool fails;
    bool scribbles;    // a failing call still wrote the name
    Text expected;
  } rows[] = {
      // Boundaries of the 255-byte buffer.
      {"empty name", "", false, false, u""},
      {"one character", "A", false, false, u"A"},
      {"254 bytes and the zero fill the buffer", std::string(254, 'n'), false, false,
       Text(254, u'n')},
      {"255 bytes do not fit with the zero", std::string(255, 'n'), false, false, kUnknown},
      // Ordinary names.
      {"plain", "POS-01", false, false, u"POS-01"},
      {"lower case kept", "till7", false, false, u"till7"},
      {"trailing blanks kept", "POS ", false, false, u"POS "},
      {"chinese in the code page", "\xCA\xD5\xD2\xF8" "1", false, false, u"收银1"},
      // Failures.
      {"system cannot tell", "POS-01", true, false, kUnknown},
      {"failed but wrote into the buffer", "POS-01", true, true, kUnknown},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    FakeSystemOperations system;
    system.name = row.name;
    system.write_name_on_failure = row.scribbles;
    if (row.fails) system.failing.insert("GetComputerName");
    EXPECT_EQ(GetMachineName(system), row.expected);
    EXPECT_EQ(system.name_buffer_size, 255u);
    EXPECT_EQ(system.calls, std::vector<std::string>{"GetComputerName"});
  }
}

TEST(SetMachineNameTest, HandsTheAnsiFormOverAndAnswersTheOutcome) {
  const struct {
    const char* label;
    Text strComputerName;
    bool refused;
    std::string handed;
    bool expected;
  } rows[] = {
      {"empty name goes as it is", u"", true, "", false},
      {"one character", u"A", false, "A", true},
      {"accepted", u"POS-02", false, "POS-02", true},
      {"refused", u"POS-02", true, "POS-02", false},
      {"chinese in the code page", u"收银", false, "\xCA\xD5\xD2\xF8", true},
      {"outside the code page becomes ?", u"\u0E01POS", true, "?POS", false},
      {"zero character ends the name", Text(u"AB\0CD", 5), false, "AB", true},
      {"long names are not checked here", Text(300, u'x'), false, std::string(300, 'x'), true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    FakeSystemOperations system;
    if (row.refused) system.failing.insert("SetComputerName");
    EXPECT_EQ(SetMachineName(system, row.strComputerName), row.expected);
    ASSERT_EQ(system.names_set.size(), 1u);
    EXPECT_EQ(system.names_set[0], row.handed);
    EXPECT_EQ(system.calls, std::vector<std::string>{"SetComputerName"});
  }
}

}  // namespace
}  // namespace kavrolin::toolkit::system
