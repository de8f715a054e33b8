#include "kavrolin/cli.h"

#include <gtest/gtest.h>

#include "cli_test_support.h"

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
      {"no_target", {"call"}, 2, "", "kavrolin call: CLASS.MEMBER is missing"},
      {"json_but_no_target", {"call", "--json"}, 2, "", "kavrolin call: CLASS.MEMBER is missing"},
      {"no_member", {"call", "clsHT."}, 2, "", "kavrolin call: \"clsHT.\" is not"},
      {"unknown_class", {"call", "clsNone.X"}, 1, "", "error 429: ActiveX component can't create object"},
      {"unknown_member", {"call", "clsInterFace.Nope"}, 1, "", "error 438: "},
      {"too_many", {"call", "clsInterFace.GetSY", "1"}, 1, "", "error 450: "},
      {"missing_required", {"call", "cls_Rizhi.WriteLog"}, 1, "", "error 449: "},
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
      {"json_failure", {"call", "--json", "clsHT.Ping", "1.2.3.4.5"}, 1,
       "{\"result\":null,\"args\":[\"1.2.3.4.5\"],\"messages\":[],\"error\":{\"number\":9,"
       "\"description\":\"Subscript out of range\"}}\n",
       ""},
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
    EXPECT_EQ(run.out, row.out);
    EXPECT_EQ(run.err.substr(0, row.err_start.size()), row.err_start) << run.err;
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

TEST(TransactionCommand, PrintsTheOutcome) {
  const std::string card = "6222021234567890   ";
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
      {"refused_amount", {"sale", "0.001", "--invoice", "1", "--cashier", "01", "--register", "A1"}, 1, false,
       1, "", "result: false\nreturn code: \ncard number: \namount: \nindex number: \nreceipt: none\n", true},
      {"terminal_says_no", {"void-sale", "5", "--invoice", "9", "--cashier", "01", "--register", "A1"}, 0,
       false, 1, "07000000000500" "9               01      A1      ",
       "result: false\nreturn code: 0\ncard number: \namount: \nindex number: \nreceipt: none\n", true},
      {"sale_with_receipt",
       {"sale", "12.34", "--invoice", "123", "--cashier", "01", "--register", "A1", "--app-path", "C:\\POS"}, 1,
       true, 0, "05000000001234123             01      A1      ",
       "result: true\nreturn code: 1\ncard number: " + card +
           "\namount: 12.34\nindex number: 123456\nreceipt:\n  CARD 6222\n  TOTAL 12.34\n", true},
      {"refund", {"refund", "1", "--invoice", "-1", "--cashier", "收银员", "--register", "A1"}, 1, false, 0,
       "08000000000100-1              \xCA\xD5\xD2\xF8\xD4\xB1  A1      ",
       "result: true\nreturn code: 1\ncard number: " + card +
           "\namount: 12.34\nindex number: 123456\nreceipt: none\n", true},
      {"other_amount_as_text", {"other", "2.50元", "--invoice", "2", "--cashier", "01", "--register", "A1"}, 1,
       false, 0, "ff0000000002502               01      A1      ",
       "result: true\nreturn code: 1\ncard number: " + card +
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
    if (row.receipt) testing::WriteHostFile(env.C("POS/toprint.txt"), "CARD 6222\r\nTOTAL 12.34\r\n");
    const CliRun run = env.Run(row.args);
    EXPECT_EQ(run.status, row.status);
    if (row.request.empty()) {
      EXPECT_TRUE(env.terminal->requests.empty());
    } else {
      ASSERT_EQ(env.terminal->requests.size(), 1u);
      EXPECT_EQ(env.terminal->requests[0].substr(0, row.request.size()), row.request);
    }
    const std::string journal = "journal: C:\\YHLOG\\20240131.txt\njournal file: ";
    ASSERT_EQ(run.out.substr(0, row.lines.size()), row.lines) << run.out;
    const std::string rest = run.out.substr(row.lines.size());
    ASSERT_EQ(rest.substr(0, journal.size()), journal) << run.out;
    const std::string host_path = rest.substr(journal.size(), rest.size() - journal.size() - 1);
    ASSERT_EQ(std::filesystem::exists(host_path), row.journaled) << host_path;
    if (row.journaled) {
      EXPECT_TRUE(std::filesystem::equivalent(host_path, env.C("YHLOG/20240131.txt"))) << host_path;
    }
  }
}

}  // namespace
}  // namespace kavrolin::cli
