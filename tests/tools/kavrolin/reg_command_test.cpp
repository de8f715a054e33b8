#include "kavrolin/reg_command.h"

#include <gtest/gtest.h>

#include "cli_test_support.h"
#include "kavrolin/cli.h"

namespace kavrolin::cli {
namespace {

using kavrolin::testing::WriteHostFile;

constexpr char kSeed[] =
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Shop]\r\n"
    "\"Name\"=\"收银 \\\"1\\\"\"\r\n"
    "\"Count\"=dword:0000002a\r\n\r\n";

TEST(RegCommand, ImportThenExport) {
  CliEnv env;
  const std::string file = (env.dir.path() / "seed.reg").string();
  WriteHostFile(file, kSeed);
  const CliRun imported = env.Run({"reg", "import", file});
  EXPECT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(imported.out, "imported 1 key, 2 values from seed.reg\n");
  EXPECT_EQ(imported.err, "");

  const CliRun key = env.Run({"reg", "export", "hkcu\\software\\shop"});
  EXPECT_EQ(key.status, 0) << key.err;
  EXPECT_EQ(key.out,
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_CURRENT_USER\\software\\shop]\r\n"
            "\"Name\"=\"收银 \\\"1\\\"\"\r\n"
            "\"Count\"=dword:0000002a\r\n\r\n");

  const CliRun all = env.Run({"reg", "export"});
  EXPECT_EQ(all.status, 0) << all.err;
  EXPECT_NE(all.out.find("[HKEY_CURRENT_USER]\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n\r\n"
                         "[HKEY_CURRENT_USER\\Software\\Shop]\r\n"),
            std::string::npos)
      << all.out;

  // The members read what was imported.
  const CliRun read =
      env.Run({"call", "clsHT.GetRegKeyValue", "&H80000001", "Software\\Shop", "Count"});
  EXPECT_EQ(read.out, "42\n");
}

TEST(RegCommand, ALargeImportCountsAndShowsProgressOnATerminal) {
  std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
  // The threshold is lowered for the test: every value is a synced write.
  for (int key = 0; key < 40; ++key) {
    text += "[HKEY_CURRENT_USER\\Software\\Seed\\K" + std::to_string(key) + "]\r\n";
    for (int value = 0; value < 10; ++value) text += "\"v" + std::to_string(value) + "\"=dword:00000001\r\n";
    text += "\r\n";
  }
  for (const bool terminal : {false, true}) {
    SCOPED_TRACE(terminal ? "terminal" : "not a terminal");
    CliEnv env;
    env.err_is_terminal = terminal;
    env.large_import_keys = 40;
    const std::string file = (env.dir.path() / "seed.reg").string();
    WriteHostFile(file, text);
    const CliRun run = env.Run({"reg", "import", file});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "imported 40 keys, 400 values from seed.reg\n");
    if (terminal) {
      EXPECT_NE(run.err.find("\rimporting seed.reg: 10 of 40 keys"), std::string::npos) << run.err;
      EXPECT_NE(run.err.find("\rimporting seed.reg: 40 of 40 keys\n"), std::string::npos) << run.err;
    } else {
      EXPECT_EQ(run.err, "");
    }
    EXPECT_EQ(env.Run({"call", "clsHT.GetRegKeyValue", "&H80000001", "Software\\Seed\\K39", "v9"}).out,
              "1\n");
  }
}

TEST(RegCommand, CountsAreGroupedByThousands) {
  const struct {
    size_t count;
    const char* text;
  } rows[] = {{0, "0"}, {999, "999"}, {1000, "1,000"}, {20000, "20,000"}, {1234567, "1,234,567"}};
  for (const auto& row : rows) EXPECT_EQ(Grouped(row.count), row.text);
}

TEST(RegCommand, ExportRefusesANameWithALineFeed) {
  const struct {
    const char* label;
    std::vector<std::string> export_args;
  } rows[] = {
      {"the key", {"reg", "export", "HKCU\\Software"}},
      {"every root", {"reg", "export"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    CliEnv env;
    const CliRun set = env.Run({"call", "clsHT.SetRegKeyValue", "&H80000001",
                                "Software\\a]\n[HKEY_LOCAL_MACHINE\\Evil", "n", "v"});
    ASSERT_EQ(set.out, "True\n") << set.err;
    const CliRun run = env.Run(row.export_args);
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("holds a line break, which the text form cannot hold; nothing was written"),
              std::string::npos)
        << run.err;
  }
}

TEST(RegCommand, FaultsAndUsage) {
  const struct {
    const char* label;
    std::vector<std::string> args;
    std::string input;  // standard input
    int status;
    std::string err_has;
  } rows[] = {
      {"nothing after reg", {"reg"}, "", 2, "kavrolin reg: A subcommand is required (see \"kavrolin reg --help\")"},
      {"unknown action", {"reg", "list"}, "", 2, "kavrolin reg: unknown command \"list\" (see"},
      {"mistyped action", {"reg", "improt"}, "", 2, "unknown command \"improt\"; did you mean import?"},
      {"import without a file", {"reg", "import"}, "", 2, "kavrolin reg import: FILE is required"},
      {"export with two keys", {"reg", "export", "HKCU\\A", "HKCU\\B"}, "", 2, "kavrolin reg export: "},
      {"export of an unknown root",
       {"reg", "export", "HKXX\\A"},
       "",
       2,
       "does not start with a root"},
      {"export of a missing key",
       {"reg", "export", "HKCU\\Missing"},
       "",
       3,
       "HKCU\\Missing: not found (error 2)"},
      {"import of a missing file",
       {"reg", "import", "no-such.reg"},
       "",
       3,
       "no-such.reg: cannot be read: No such file or directory\n"},
      {"import of a bad line, from standard input",
       {"reg", "import", "-"},
       "REGEDIT4\n[HKCU\\A]\n\"a\"=\"1\"\n\"b\"=dword:xyz\n",
       3,
       "-: line 4: dword: takes 1 to 8 hexadecimal digits; nothing was changed"},
      {"import refused by the registry",
       {"reg", "import", "-"},
       "REGEDIT4\n[HKCU\\A]\n\"a\"=\"1\"\n[HKCU\\\\B]\n",
       3,
       "-: line 4: a key path starts with \"\\\" or has an empty level (error 161)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    CliEnv env;
    const CliRun run = env.Run(row.args, row.input);
    EXPECT_EQ(run.status, row.status);
    EXPECT_NE(run.err.find(row.err_has), std::string::npos) << run.err;
  }
  CliEnv env;
  env.Run({"reg", "import", "-"}, "REGEDIT4\n[HKCU\\A]\n\"a\"=\"1\"\n\"b\"=dword:xyz\n");
  EXPECT_EQ(env.Run({"reg", "export", "HKCU\\A"}).status, kExitFailed) << "the faulty file changed nothing";

  CliEnv damaged;
  WriteHostFile(damaged.dir.path() / "pfx" / "registry.db", std::string(4096, 'G'));
  const CliRun run = damaged.Run({"reg", "export"});
  EXPECT_EQ(run.status, kExitFailed);
  EXPECT_NE(run.err.find("registry.db is damaged or no database (error 1009)"), std::string::npos)
      << run.err;
  EXPECT_EQ(kavrolin::testing::ReadHostFile(damaged.dir.path() / "pfx" / "registry.db"),
            std::string(4096, 'G'))
      << "left as it was";
}

}  // namespace
}  // namespace kavrolin::cli
