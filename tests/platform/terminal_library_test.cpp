#include "platform/posix/terminal_library.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/automation_error.h"
#include "support/temp_dir.h"

namespace kavrolin::platform::posix {
namespace {

using testing::ScopedEnv;
using testing::TempDir;

int NumberOfCall(PosixTerminalLibrary& terminal) {
  char request[8] = "06";
  std::vector<char> response(44 + 4096, '\0');
  try {
    terminal.MenuApp(request, response.data());
    return 0;
  } catch (const AutomationError& e) {
    return e.number();
  }
}

// The error keeps its number and text; the loader's reason, which names the
// file and what was wrong with it, is told beside it.
TEST(PosixTerminalLibrary, AFailedLoadKeepsTheLoadersReason) {
  TempDir dir;
  testing::WriteHostFile(dir.path() / "junk.so", "not a library");
  const struct {
    const char* label;
    std::string library;
    int error;
    std::string reason_holds;
  } rows[] = {
      {"missing file", (dir.path() / "absent.so").string(), 53, "absent.so"},
      {"not a library", (dir.path() / "junk.so").string(), 53, "junk.so"},
      {"a library without the entry point", "libc.so.6", 453, "MenuApp"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    ScopedEnv library("KAVROLIN_TRANS_LIBRARY", row.library);
    PosixTerminalLibrary terminal;
    EXPECT_EQ(terminal.LoadFailure(), u"");
    for (int attempt = 0; attempt < 2; ++attempt) {
      SCOPED_TRACE("attempt " + std::to_string(attempt + 1));
      EXPECT_EQ(NumberOfCall(terminal), row.error);
      const std::string reason = ToUtf8(terminal.LoadFailure());
      EXPECT_NE(reason.find(row.reason_holds), std::string::npos) << reason;
      // One attempt's reason, not every attempt's so far.
      EXPECT_EQ(reason.find(';'), std::string::npos) << reason;
    }
  }
}

TEST(PosixTerminalLibrary, ALoadThatSucceedsClearsTheReason) {
  TempDir dir;
  ScopedEnv state("KAVROLIN_SIM_STATE", (dir.path() / "sim.state").string());
  ScopedEnv print("KAVROLIN_SIM_PRINT", std::string("none"));
  PosixTerminalLibrary terminal;
  {
    ScopedEnv library("KAVROLIN_TRANS_LIBRARY", (dir.path() / "absent.so").string());
    EXPECT_EQ(NumberOfCall(terminal), 53);
    EXPECT_NE(terminal.LoadFailure(), u"");
  }
  ScopedEnv library("KAVROLIN_TRANS_LIBRARY", std::string(KAVROLIN_TRANS_PATH));
  EXPECT_EQ(NumberOfCall(terminal), 0);
  EXPECT_EQ(terminal.LoadFailure(), u"");
}

}  // namespace
}  // namespace kavrolin::platform::posix
