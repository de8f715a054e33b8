#include "platform/win32/terminal_library.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/automation_error.h"
#include "platform/win32/module.h"
#include "support/temp_dir.h"

namespace kavrolin::platform::win32 {
namespace {

using testing::ScopedEnv;
using testing::TempDir;

// trans.dll is built beside the test program.
std::string TransDll() {
  const std::wstring folder = ComponentFolderOf(ComponentFile());
  return std::string(folder.begin(), folder.end()) + "\\" KAVROLIN_TRANS_DLL;
}

TEST(Win32TerminalLibrary, CallsMenuAppWithTheStandardCallingConvention) {
  TempDir dir;
  ScopedEnv library("KAVROLIN_TRANS_LIBRARY", TransDll());
  ScopedEnv state("KAVROLIN_SIM_STATE", (dir.path() / "sim.state").string());
  ScopedEnv print("KAVROLIN_SIM_PRINT", "none");
  struct Row {
    const char* label;
    const char* results;
    int16_t expected;
  };
  const std::vector<Row> rows = {
      {"failure code", "0", 0},
      {"success", "1", 1},
      {"negative code", "-3", -3},
  };
  Win32TerminalLibrary terminal;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    ScopedEnv result("KAVROLIN_SIM_RESULT", std::string(row.results));
    char request[64] = "06";
    std::vector<char> response(44 + 4096, '\0');
    // A wrong calling convention would unbalance the stack on return.
    EXPECT_EQ(row.expected, terminal.MenuApp(request, response.data()));
    EXPECT_STREQ("06", request);
    EXPECT_EQ(0, std::strncmp(response.data(), "6222000000000009", 16));
  }
}

TEST(Win32TerminalLibrary, AMissingLibraryIsFileNotFoundAndTriedAgain) {
  TempDir dir;
  ScopedEnv library("KAVROLIN_TRANS_LIBRARY", (dir.path() / "absent.dll").string());
  Win32TerminalLibrary terminal;
  char request[8] = "06";
  char response[64] = {};
  for (int attempt = 0; attempt < 2; ++attempt) {
    SCOPED_TRACE(attempt);
    try {
      terminal.MenuApp(request, response);
      ADD_FAILURE() << "a missing library was called";
    } catch (const AutomationError& e) {
      EXPECT_EQ(53, e.number());
      EXPECT_EQ(u"File not found: trans.dll", e.description());
    }
    // The system's reason names the file, beside the unchanged error.
    const std::string reason = ToUtf8(terminal.LoadFailure());
    EXPECT_NE(reason.find("absent.dll: "), std::string::npos) << reason;
  }
}

TEST(Win32Module, TheComponentFolderHoldsItsFile) {
  struct Row {
    const char* label;
    std::wstring file;
    std::wstring folder;
  };
  const std::vector<Row> rows = {
      {"file in the root keeps the root's backslash", L"C:\\Kavrolin.dll", L"C:\\"},
      {"file in a folder", L"C:\\POS\\bin\\Kavrolin.dll", L"C:\\POS\\bin"},
      {"network share", L"\\\\server\\share\\Kavrolin.dll", L"\\\\server\\share"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(row.folder, ComponentFolderOf(row.file));
  }
  const Text path = Win32Module().ComponentPath();
  const Text folder = Win32Module().ComponentFolder();
  ASSERT_LT(folder.size(), path.size());
  EXPECT_EQ(folder, path.substr(0, folder.size()));
}

}  // namespace
}  // namespace kavrolin::platform::win32
