#include "kavrolin/batch.h"

#include <algorithm>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli_test_support.h"

namespace kavrolin::cli {
namespace {

// One input line and the start of the line it answers.
struct LineAnswer {
  const char* label;
  std::string line;
  std::string answer;
};

TEST(Batch, EachLineAnswersOneLine) {
  CliEnv env;
  env.terminal->response = "6222021234567890   000000001234000000123456";
  const Host host = env.MakeHost();
  BatchSession session(host);
  const LineAnswer rows[] = {
      {"empty_line", "", R"({"result":null,"args":[],"messages":[],"error":{"number":5,)"},
      {"not_json", "{", R"({"result":null,"args":[],"messages":[],"error":{"number":5,)"},
      {"not_an_object", "[1]", R"({"result":null,"args":[],"messages":[],"error":{"number":5,)"},
      {"no_verb", R"({"x":1})", R"({"result":null,"args":[],"messages":[],"error":{"number":5,)"},
      {"unknown_object", R"({"call":"a.GetSY"})", R"({"result":null,"args":[],"messages":[],"error":{"number":424,)"},
      {"target_without_member", R"({"call":"a"})", R"({"result":null,"args":[],"messages":[],"error":{"number":5,)"},
      // Regression: a missing field was once read past the end of the request.
      {"new_without_class", R"({"new":"a"})", R"({"result":null,"args":[],"messages":[],"error":{"number":5,)"},
      {"class_not_text", R"({"new":"a","class":7})", R"({"result":null,"args":[],"messages":[],"error":{"number":5,)"},
      {"unknown_class", R"({"new":"a","class":"Kavrolin.Nothing"})",
       R"j({"result":null,"args":[],"messages":[],"error":{"number":429,"description":"ActiveX component can't create object","detail":"no class \"Kavrolin.Nothing\" (ActiveX component can't create object)"}})j"},
      {"new", R"({"new":"a","class":"Kavrolin.clsInterFace"})",
       R"({"result":null,"args":[],"messages":[],"error":null})"},
      {"bad_argument_form", R"({"call":"a.Initialize","args":[{"bytes":[300]}]})",
       R"({"result":null,"args":[],"messages":[],"error":{"number":5,)"},
      {"unknown_member", R"({"call":"a.Nope"})",
       R"({"result":null,"args":[],"messages":[],"error":{"number":438,)"},
      {"put", R"({"put":"a.m_strCardNo","value":12})",
       R"({"result":null,"args":[12.0],"messages":[],"error":null})"},
      {"get_case_insensitive", R"({"get":"a.M_STRCARDNO"})",
       R"({"result":"12","args":[],"messages":[],"error":null})"},
      {"put_without_value", R"({"put":"a.m_strSY"})", R"({"result":null,"args":[],"messages":[],"error":{"number":5,)"},
      {"missing_required", R"({"call":"a.Sale","args":[1]})",
       R"j({"result":null,"args":[1.0],"messages":[],"error":{"number":449,"description":"Argument not optional","detail":"clsInterFace.Sale: argument not optional: str_FPHM (2nd)"}})j"},
      {"sale", R"({"call":"a.Sale","args":[12.34,"123","01","A1"]})",
       R"({"result":true,"args":[12.34,"123","01","A1"],"messages":[],"error":null})"},
      {"field_after_sale", R"({"call":"a.GetCardMoney"})",
       R"({"result":"12.34","args":[],"messages":[],"error":null})"},
      {"in_out_array_written_back", R"({"call":"a.GetPrintTxt","args":[{"texts":["old"],"lbound":4}]})",
       R"({"result":false,"args":[{"texts":)"},
      {"release", R"({"release":"a"})", R"({"result":null,"args":[],"messages":[],"error":null})"},
      {"released_is_gone", R"({"get":"a.m_strCardNo"})",
       R"({"result":null,"args":[],"messages":[],"error":{"number":424,)"},
      {"release_twice", R"({"release":"a"})", R"({"result":null,"args":[],"messages":[],"error":{"number":424,)"},
      {"ht_member_not_built", R"({"new":"h","class":"clsHT"})", R"({"result":null,"args":[],"messages":[],"error":null})"},
      {"omitted_argument_reported", R"({"call":"h.DeleteFile","args":["x",{"omit":true}]})",
       R"({"result":false,"args":["x",{"omit":true}],"messages":[],"error":null})"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const std::string answer = session.Handle(row.line);
    EXPECT_EQ(answer.substr(0, row.answer.size()), row.answer) << answer;
    EXPECT_EQ(answer.find('\n'), std::string::npos);
  }
  ASSERT_EQ(env.terminal->requests.size(), 1u);
  EXPECT_EQ(env.terminal->requests[0], "05000000001234123             01      A1      ");
}

TEST(Batch, FileSystemMembersShareOneObject) {
  CliEnv env;
  const Host host = env.MakeHost();
  BatchSession session(host);
  const LineAnswer rows[] = {
      {"new", R"({"new":"h","class":"clsHT"})", R"({"result":null,"args":[],"messages":[],"error":null})"},
      // Boundary: the folder is not there before the tree is made.
      {"not_there_yet", R"({"call":"h.FolderExists","args":["C:\\POS\\LOG"]})",
       R"({"result":false,"args":["C:\\POS\\LOG"],"messages":[],"error":null})"},
      {"tree", R"({"call":"h.CreateDirTree","args":["C:\\POS\\LOG"]})",
       R"({"result":true,"args":["C:\\POS\\LOG"],"messages":[],"error":null})"},
      {"there", R"({"call":"h.FolderExists","args":["c:\\pos\\log"]})",
       R"({"result":true,"args":["c:\\pos\\log"],"messages":[],"error":null})"},
      {"time_of_a_folder_is_empty", R"({"call":"h.GetFileLastModiTime","args":["C:\\POS",{"omit":true}]})",
       R"({"result":"","args":["C:\\POS",{"omit":true}],"messages":[],"error":null})"},
      {"delete_with_force_omitted", R"({"call":"h.DeleteFolder","args":["C:\\POS",{"omit":true}]})",
       R"({"result":true,"args":["C:\\POS",{"omit":true}],"messages":[],"error":null})"},
      {"gone", R"({"call":"h.FolderExists","args":["C:\\POS"]})",
       R"({"result":false,"args":["C:\\POS"],"messages":[],"error":null})"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(session.Handle(row.line), row.answer);
  }
}

TEST(Batch, RunsEveryLineOfTheInput) {
  CliEnv env;
  const CliRun run = env.Run({"batch"}, "{\"new\":\"j\",\"class\":\"cls_Rizhi\"}\r\n"
                                        "\n"
                                        "  \t\r\n"
                                        "garbage\n"
                                        "{\"call\":\"j.WriteLog\",\"args\":[\"\\u6536 ok\"]}\n"
                                        "{\"call\":\"j.WriteLog\"}\n"
                                        "{\"new\":\"k\",\"class\":\"cls_Rizhi\"} x\n");
  EXPECT_EQ(run.status, kExitOk);
  EXPECT_EQ(run.out,
            "{\"result\":null,\"args\":[],\"messages\":[],\"error\":null}\n"
            "{\"result\":null,\"args\":[],\"messages\":[],\"error\":{\"number\":5,\"description\":"
            "\"Invalid procedure call or argument: line 4: not one JSON object: at byte 1: parse error at line 1, "
            "column 1: syntax error while parsing value - invalid literal; last read: 'g'\"}}\n"
            "{\"result\":true,\"args\":[\"收 ok\"],\"messages\":[],\"error\":null}\n"
            "{\"result\":null,\"args\":[],\"messages\":[],\"error\":{\"number\":449,\"description\":"
            "\"Argument not optional\",\"detail\":\"cls_Rizhi.WriteLog: argument not optional: Text (1st)\"}}\n"
            "{\"result\":null,\"args\":[],\"messages\":[],\"error\":{\"number\":5,\"description\":"
            "\"Invalid procedure call or argument: line 7: not one JSON object: at byte 33: parse error at line 1, "
            "column 33: syntax error while parsing value - invalid literal; last read: '\\\"cls_Rizhi\\\"} x'; "
            "expected end of input\"}}\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(testing::ReadHostFile(env.C("YHLOG/20240131.txt")), "2024-01-31 14:05:09 \xCA\xD5 ok\r\n");
}

TEST(Batch, StopOnErrorEndsAtTheFirstFailedLine) {
  CliEnv env;
  const std::string input =
      "{\"new\":\"h\",\"class\":\"clsHT\"}\n"
      "\n"
      "{\"call\":\"h.HLeft\",\"args\":[\"abc\"]}\n"
      "{\"call\":\"h.HLeft\",\"args\":[\"abc\",1]}\n";
  const CliRun stopped = env.Run({"batch", "--stop-on-error"}, input);
  EXPECT_EQ(stopped.status, kExitFailed);
  EXPECT_EQ(std::count(stopped.out.begin(), stopped.out.end(), '\n'), 2) << stopped.out;
  EXPECT_NE(stopped.out.find("clsHT.HLeft: argument not optional: lngLen (2nd)"), std::string::npos);
  EXPECT_EQ(stopped.err, "kavrolin batch: stopped at line 3, whose request failed\n");

  const CliRun all = env.Run({"batch"}, input);
  EXPECT_EQ(all.status, kExitOk);
  EXPECT_EQ(std::count(all.out.begin(), all.out.end(), '\n'), 3) << all.out;
}

TEST(Batch, ToolkitLogScramblingPathsAndNumbers) {
  CliEnv env;
  std::filesystem::create_directories(env.C("logs"));
  testing::WriteHostFile(env.C("logs/in.bin"), std::string("\0\x07\xff", 3));
  const Host host = env.MakeHost();
  BatchSession session(host);
  const struct {
    const char* label;
    std::string line;
    std::string answer;
  } rows[] = {
      {"new", R"({"new":"h","class":"clsHT"})", R"({"result":null,"args":[],"messages":[],"error":null})"},
      {"log_folder", R"({"put":"h.LOGFile","value":"C:\\logs\\"})",
       R"({"result":null,"args":["C:\\logs\\"],"messages":[],"error":null})"},
      {"write_log", R"({"call":"h.WriteLog","args":["ABCDEFG","x"]})",
       R"({"result":true,"args":["ABCDEFG","x"],"messages":[],"error":null})"},
      {"log_file_resolved", R"({"get":"h.LOGFile"})",
       R"({"result":"C:\\logs\\2024-01-31.LOG","args":[],"messages":[],"error":null})"},
      {"key_made_positive", R"({"call":"h.StringEnCrypt","args":["$",-5,"old"]})",
       R"({"result":"\u0000","args":["$",5,"\u0000"],"messages":[],"error":null})"},
      {"overflow_shown", R"({"call":"h.StringEnCrypt","args":["abc",-2147483648]})",
       R"({"result":"","args":["abc",-2147483648],"messages":["6\\Overflow"],"error":null})"},
      {"encode_file_zero_bytes", R"({"call":"h.EncodeFile","args":["C:\\logs\\in.bin","C:\\logs\\out.bin",7]})",
       R"({"result":true,)"},
      {"same_file_refused", R"({"call":"h.EncodeFile","args":["C:\\logs\\in.bin","c:\\LOGS\\IN.BIN",7]})",
       R"({"result":false,)"},
      {"hex_capitals_written_back", R"({"call":"h.Hex2Bin","args":["0f"]})",
       R"({"result":"00001111","args":["0F"],"messages":[],"error":null})"},
      {"not_hex", R"({"call":"h.Hex2Dec","args":["G1"]})",
       R"({"result":0.0,"args":["G1"],"messages":["Number given is not in Hex format"],"error":null})"},
      {"check_bit_failed_conversion", R"({"call":"h.CheckBitStatus","args":[5,1.5]})",
       R"({"result":false,"args":[5.0,1.5],"messages":["Only Whole Numbers can be converted"],"error":null})"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const std::string answer = session.Handle(row.line);
    EXPECT_EQ(answer.substr(0, row.answer.size()), row.answer) << answer.substr(0, 200);
  }
  const std::string overflow =
      session.Handle(R"({"call":"h.GetPath","args":[")" + std::string(32768, 'a') + R"("]})");
  const std::string error = R"("error":{"number":6,"description":"Overflow","detail":"clsHT.GetPath: overflow"}})";
  EXPECT_EQ(overflow.substr(overflow.size() - error.size()), error);
  EXPECT_EQ(testing::ReadHostFile(env.C("logs/out.bin")), std::string("\x07\x00\xf8", 3));
  EXPECT_EQ(testing::ReadHostFile(env.C("logs/in.bin")), std::string("\0\x07\xff", 3));
}

}  // namespace
}  // namespace kavrolin::cli
