#include "kavrolin/cli.h"

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "cli_test_support.h"
#include "kavrolin/transaction_command.h"

namespace kavrolin::cli {
namespace {

TEST(CallCommand, PlainAndJson) {
  const struct {
    const char* label;
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err_start;
  } rows[] = {
      {"no_target", {"call"}, 2, "", "kavrolin call: TARGET is required"},
      {"json_but_no_target", {"call", "--json"}, 2, "", "kavrolin call: TARGET is required"},
      {"no_member", {"call", "clsHT."}, 2, "", "kavrolin call: \"clsHT.\" is not"},
      {"unknown_class", {"call", "clsNone.X"}, 3, "",
       "kavrolin call: no class \"clsNone\" (ActiveX component can't create object) (error 429)\n"},
      {"mistyped_class", {"call", "clsTH.HLeft", "a", "1"}, 3, "",
       "kavrolin call: no class \"clsTH\" (ActiveX component can't create object); did you mean clsHT?"},
      {"unknown_member", {"call", "clsInterFace.Nope"}, 3, "",
       "kavrolin call: clsInterFace.Nope: object doesn't support this property or method (error 438)\n"},
      {"mistyped_member", {"call", "clsHT.HLetf", "a", "1"}, 3, "",
       "kavrolin call: clsHT.HLetf: object doesn't support this property or method; did you mean HLeft?"},
      {"too_many", {"call", "clsInterFace.GetSY", "1"}, 3, "",
       "kavrolin call: clsInterFace.GetSY: wrong number of arguments or invalid property assignment: takes 0, "
       "1 passed (error 450)\n"},
      {"missing_required", {"call", "cls_Rizhi.WriteLog"}, 3, "",
       "kavrolin call: cls_Rizhi.WriteLog: argument not optional: Text (1st) (error 449)\n"},
      {"second_missing_named", {"call", "clsHT.HLeft", "--json", "abc"}, 3,
       "{\"result\":null,\"args\":[\"abc\"],\"messages\":[],\"error\":{\"number\":449,\"description\":"
       "\"Argument not optional\",\"detail\":\"clsHT.HLeft: argument not optional: lngLen (2nd)\"}}\n",
       "kavrolin call: clsHT.HLeft: argument not optional: lngLen (2nd) (error 449)\n"},
      {"refused_type_named", {"call", "clsHT.HLeft", "abc", "x"}, 3, "",
       "kavrolin call: clsHT.HLeft: type mismatch: lngLen (2nd)"},
      {"option_after_target", {"call", "clsHT.HLeft", "--json", "abc", "2"}, 0,
       "{\"result\":\"ab\",\"args\":[\"abc\",\"2\"],\"messages\":[],\"error\":null}\n", ""},
      {"dash_text_after_double_dash", {"call", "clsHT.HLeft", "--", "-abc", "2"}, 0, "-a\n", ""},
      {"help", {"call", "--help"}, 0, "", ""},
      {"property_get", {"call", "clsInterFace.m_strSY"}, 0, "\n", ""},
      {"property_put", {"call", "clsInterFace.m_strSY=12"}, 0, "", ""},
      {"put_with_extra", {"call", "clsInterFace.m_strSY=12", "x"}, 2, "", "kavrolin call: a property put"},
      {"method_plain", {"call", "clsinterface.initialize", "C:\\POS"}, 0, "True\n", ""},
      {"negative_number_text_passes", {"call", "cls_Rizhi.WriteLog", "-5"}, 0, "True\n", ""},
      {"json_success", {"call", "--json", "clsInterFace.Initialize", "C:\\POS"}, 0,
       "{\"result\":true,\"args\":[\"C:\\\\POS\"],\"messages\":[],\"error\":null}\n", ""},
      {"plain_toolkit_member", {"call", "clsHT.HLeft", "中文abc", "3"}, 0, "中\n", ""},
      {"prog_id", {"call", "Kavrolin.clsHT.HLeft", "abc", "2"}, 0, "ab\n", ""},
      {"prog_id_put_value_with_dots", {"call", "Kavrolin.clsHT.INIFile=C:\\a.b.ini"}, 0, "", ""},
      {"put_without_member", {"call", "clsHT.=x"}, 2, "", "kavrolin call: \"clsHT.=x\" is not"},
      {"json_failure", {"call", "--json", "clsHT.Ping", "1.2.3.4.5"}, 3,
       "{\"result\":null,\"args\":[\"1.2.3.4.5\"],\"messages\":[],\"error\":{\"number\":9,"
       "\"description\":\"Subscript out of range\",\"detail\":\"clsHT.Ping: subscript out of range\"}}\n",
       "kavrolin call: clsHT.Ping: subscript out of range (error 9)\n"},
      {"json_probe_of_a_host_name", {"call", "--json", "clsHT.Ping", "localhost"}, 0,
       "{\"result\":false,\"args\":[\"localhost\"],\"messages\":[],\"error\":null}\n", ""},
      {"plain_special_folder", {"call", "clsHT.GetSpecialFolder", "1"}, 0,
       "C:\\windows\\system32\n", ""},
      {"json_force_written_back", {"call", "--json", "clsHT.DeleteFile", "C:\\none.txt", "true"}, 0,
       "{\"result\":false,\"args\":[\"C:\\\\none.txt\",true],\"messages\":[],\"error\":null}\n",
       ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    CliEnv env;
    const CliRun run = env.Run(row.args);
    EXPECT_EQ(run.status, row.status);
    if (std::string(row.label) == "help") {
      EXPECT_NE(run.out.find("Usage: kavrolin call"), std::string::npos) << run.out;
    } else {
      EXPECT_EQ(run.out, row.out);
    }
    EXPECT_EQ(run.err.substr(0, row.err_start.size()), row.err_start) << run.err;
    // A non-zero exit says why in one line.
    if (run.status != 0) {
      EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
  }
}

TEST(TransactionCommand, UsageErrors) {
  const struct {
    const char* label;
    std::vector<std::string> args;
  } rows[] = {
      {"nothing", {}},
      {"unknown_command", {"pay", "1"}},
      {"amount_missing", {"sale", "--invoice", "1", "--cashier", "01", "--register", "A1"}},
      {"invoice_missing", {"sale", "1", "--cashier", "01", "--register", "A1"}},
      {"invoice_too_large", {"sale", "1", "--invoice", "2147483648", "--cashier", "01", "--register", "A1"}},
      {"amount_not_number", {"refund", "abc", "--invoice", "1", "--cashier", "01", "--register", "A1"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    CliEnv env;
    const CliRun run = env.Run(row.args);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.empty());
    EXPECT_FALSE(run.err.empty());
    EXPECT_TRUE(env.terminal->requests.empty());
  }
}

TEST(TransactionCommand, RefusesAmountsNotInThePlainFormBeforeAnyCall) {
  const struct {
    const char* amount;
    bool plain;
  } rows[] = {
      {"12", true}, {"12.3", true}, {"12.34", true}, {"0", true}, {"0.05", true}, {"12.", true},
      {"9999999999.99", true}, {"009999999999.99", true}, {"10000000000", false}, {"12,34", false},
      {"abc", false}, {"1e3", false}, {"-1", false}, {"12.345", false}, {" 12", false}, {"12 ", false},
      {"", false}, {".5", false}, {"+1", false}, {"1.2.3", false}, {"0x10", false}, {"１２", false},
  };
  for (const char* command : {"sale", "void-sale", "refund", "other"}) {
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(command) + " \"" + row.amount + "\"");
      EXPECT_EQ(IsPlainAmount(row.amount), row.plain);
      if (row.plain) continue;
      CliEnv env;
      const CliRun run = env.Run({command, row.amount, "--invoice", "1", "--cashier", "01", "--register", "A1"});
      EXPECT_EQ(run.status, kExitUsage);
      EXPECT_TRUE(run.out.empty());
      EXPECT_NE(run.err.find("is not an amount: expected digits"), std::string::npos) << run.err;
      EXPECT_TRUE(env.terminal->requests.empty());
      EXPECT_TRUE(env.records->OfDay(u"20240131").empty());
    }
  }
}

TEST(TransactionCommand, PrintsTheOutcome) {
  const std::string card = "6222021234567890   ";
  const std::string masked = "622202******7890";
  const struct {
    const char* label;
    std::vector<std::string> args;
    int16_t code;
    bool receipt;
    int status;
    std::string request;
    std::string lines;  // the outcome lines before the journal lines
    bool journaled;     // a successful "other" transaction writes no journal line
  } rows[] = {
      {"terminal_says_no", {"void-sale", "5", "--invoice", "9", "--cashier", "01", "--register", "A1"}, 0,
       false, 1, "07000000000500" "9               01      A1      ",
       "result: false\nreturn code: 0\ncard number: \namount: \nindex number: \nreceipt: none\n", true},
      {"sale_with_receipt",
       {"sale", "12.34", "--invoice", "123", "--cashier", "01", "--register", "A1", "--app-path", "C:\\POS"}, 1,
       true, 0, "05000000001234123             01      A1      ",
       "result: true\nreturn code: 1\ncard number: " + masked +
           "\namount: 12.34\nindex number: 123456\nreceipt:\n  CARD 6222\n  TOTAL 12.34\n", true},
      {"declined_shows_no_receipt",
       {"sale", "12.34", "--invoice", "123", "--cashier", "01", "--register", "A1", "--app-path", "C:\\POS"}, 0,
       true, 1, "05000000001234123             01      A1      ",
       "result: false\nreturn code: 0\ncard number: \namount: \nindex number: \nreceipt: none\n", true},
      {"card_shown_when_asked",
       {"sale", "1", "--invoice", "1", "--cashier", "01", "--register", "A1", "--show-card"}, 1, false, 0,
       "05000000000100", "result: true\nreturn code: 1\ncard number: " + card + "\n", true},
      {"refund", {"refund", "1", "--invoice", "-1", "--cashier", "收银员", "--register", "A1"}, 1, false, 0,
       "08000000000100-1              \xCA\xD5\xD2\xF8\xD4\xB1  A1      ",
       "result: true\nreturn code: 1\ncard number: " + masked +
           "\namount: 12.34\nindex number: 123456\nreceipt: none\n", true},
      {"other_amount_as_text", {"other", "2.50", "--invoice", "2", "--cashier", "01", "--register", "A1"}, 1,
       false, 0, "ff0000000002502               01      A1      ",
       "result: true\nreturn code: 1\ncard number: " + masked +
           "\namount: 12.34\nindex number: 123456\nreceipt: none\n", false},
      // An inquiry stores no fields on the object.
      {"inquiry", {"inquiry"}, 1, false, 0, "06",
       "result: true\nreturn code: \ncard number: \namount: \nindex number: \nreceipt: none\n", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    CliEnv env;
    env.terminal->code = row.code;
    env.terminal->response = card + "000000001234000000123456";
    // The terminal writes this transaction's receipt while it runs.
    if (row.receipt) {
      env.terminal->during_call = [&] { testing::WriteHostFile(env.C("POS/toprint.txt"), "CARD 6222\r\nTOTAL 12.34\r\n"); };
    }
    const CliRun run = env.Run(row.args);
    EXPECT_EQ(run.status, row.status);
    if (row.request.empty()) {
      EXPECT_TRUE(env.terminal->requests.empty());
    } else {
      ASSERT_EQ(env.terminal->requests.size(), 1u);
      EXPECT_EQ(env.terminal->requests[0].substr(0, row.request.size()), row.request);
    }
    const std::string journal = "journal: c:\\YHLOG\\20240131.txt\njournal file: ";
    ASSERT_EQ(run.out.substr(0, row.lines.size()), row.lines) << run.out;
    if (std::string(row.label) == "card_shown_when_asked") continue;
    const std::string rest = run.out.substr(row.lines.size());
    ASSERT_EQ(rest.substr(0, journal.size()), journal) << run.out;
    const std::string host_path = rest.substr(journal.size(), rest.size() - journal.size() - 1);
    ASSERT_EQ(std::filesystem::exists(host_path), row.journaled) << host_path;
    if (row.journaled) {
      EXPECT_TRUE(std::filesystem::equivalent(host_path, env.C("YHLOG/20240131.txt"))) << host_path;
    }
  }
}

TEST(TransactionCommand, ExitStatusAndTheReasonOnStandardError) {
  const struct {
    const char* label;
    int16_t code;
    bool missing;
    int status;
    std::string err;
    Text loader_says = u"";
  } rows[] = {
      {"approved", 1, false, kExitOk, ""},
      {"declined", 0, false, kExitDeclined,
       "kavrolin sale: declined by the terminal: return code 0 (any code but 1 means not approved)\n"},
      {"declined_minus_one", -1, false, kExitDeclined,
       "kavrolin sale: declined by the terminal: return code -1 (any code but 1 means not approved)\n"},
      {"library_missing", 1, true, kExitFailed, "kavrolin sale: failed: File not found: trans.dll\n"},
      {"library_missing_with_the_loader_s_reason", 1, true, kExitFailed,
       "kavrolin sale: failed: File not found: trans.dll (loading the terminal library: libtrans.so: cannot "
       "open shared object file: No such file or directory)\n",
       u"libtrans.so: cannot open shared object file: No such file or directory"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    CliEnv env;
    env.terminal->code = row.code;
    env.terminal->missing = row.missing;
    env.terminal->load_failure = row.loader_says;
    env.terminal->response = "6222021234567890   000000001234000000123456";
    const CliRun run = env.Run({"sale", "12.34", "--invoice", "1", "--cashier", "01", "--register", "A1"});
    EXPECT_EQ(run.status, row.status);
    EXPECT_EQ(run.err, row.err);
  }
}

TEST(TransactionCommand, AnEarlierReceiptIsReportedNotShown) {
  for (const bool rewritten : {false, true}) {
    SCOPED_TRACE(rewritten ? "the terminal wrote a new one" : "left from before");
    CliEnv env;
    env.terminal->response = "6222021234567890   000000001234000000123456";
    testing::WriteHostFile(env.C("POS/toprint.txt"), "OLD SALE\r\n");
    if (rewritten) {
      env.terminal->during_call = [&] { testing::WriteHostFile(env.C("POS/toprint.txt"), "NEW SALE\r\n"); };
    }
    const CliRun run = env.Run(
        {"sale", "1", "--invoice", "1", "--cashier", "01", "--register", "A1", "--app-path", "C:\\POS"});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out.find("OLD SALE"), std::string::npos) << run.out;
    if (rewritten) {
      EXPECT_NE(run.out.find("receipt:\n  NEW SALE\n"), std::string::npos) << run.out;
      EXPECT_EQ(run.err, "");
    } else {
      EXPECT_NE(run.out.find("receipt: none\n"), std::string::npos) << run.out;
      EXPECT_EQ(run.err, "kavrolin sale: an earlier receipt was left in C:\\POS\\toprint.txt\n");
      // Left for the operator, not read away.
      EXPECT_TRUE(std::filesystem::exists(env.C("POS/toprint.txt")));
    }
  }
}

TEST(CommandLine, HelpForEveryCommandExitsZero) {
  const std::vector<std::vector<std::string>> commands = {
      {}, {"sale"}, {"void-sale"}, {"refund"}, {"other"}, {"inquiry"}, {"call"}, {"members"}, {"journal"},
      {"batch"}, {"pending"}, {"history"}, {"register"}, {"unregister"}, {"reg"}, {"reg", "export"},
      {"reg", "import"}};
  for (const auto& command : commands) {
    std::string name = "kavrolin";
    for (const std::string& word : command) name += " " + word;
    SCOPED_TRACE(name);
    for (const bool through_help : {false, true}) {
      CliEnv env;
      std::vector<std::string> args = command;
      if (through_help) {
        args.insert(args.begin(), "help");
      } else {
        args.push_back("--help");
      }
      const CliRun run = env.Run(args);
      EXPECT_EQ(run.status, kExitOk);
      EXPECT_NE(run.out.find("Usage: " + name + " "), std::string::npos) << run.out;
      EXPECT_EQ(run.err, "");
    }
  }
}

TEST(CommandLine, VersionAndMistypedNames) {
  CliEnv env;
  const CliRun version = env.Run({"--version"});
  EXPECT_EQ(version.status, kExitOk);
  EXPECT_EQ(version.out, "kavrolin 17.0.0 (type library 17.0)\n");

  const struct {
    std::vector<std::string> args;
    std::string err;
  } rows[] = {
      {{"salee", "1"}, "kavrolin: unknown command \"salee\"; did you mean sale? (see \"kavrolin --help\")\n"},
      {{"histroy"}, "kavrolin: unknown command \"histroy\"; did you mean history? (see \"kavrolin --help\")\n"},
      {{"reg", "exprt"},
       "kavrolin reg: unknown command \"exprt\"; did you mean export? (see \"kavrolin reg --help\")\n"},
      {{"help", "refnud"}, "kavrolin help: no command \"refnud\"; did you mean refund?\n"},
      {{"members", "clsHt.HLetf"}, "kavrolin members: clsHT has no member \"HLetf\"; did you mean HLeft?\n"},
      {{"members", "clsRizhi"}, "kavrolin members: no class \"clsRizhi\"; did you mean cls_Rizhi?\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args[0]);
    const CliRun run = env.Run(row.args);
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_EQ(run.err, row.err);
  }
}

TEST(CommandLine, ManPageCoversEveryCommand) {
  const std::string page = ManPage();
  EXPECT_EQ(page.rfind(".TH KAVROLIN 1", 0), 0u);
  for (const char* command : {"sale", "void\\-sale", "call", "members", "journal", "batch", "pending",
                              "history", "reg export", "reg import"}) {
    EXPECT_NE(page.find(std::string(".SS ") + command + "\n"), std::string::npos) << command;
  }
  EXPECT_NE(page.find(".SH EXIT STATUS"), std::string::npos);
  CliEnv env;
  EXPECT_EQ(env.Run({"--man"}).out, page);
}

}  // namespace
}  // namespace kavrolin::cli
