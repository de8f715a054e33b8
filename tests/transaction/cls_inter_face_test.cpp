#include "transaction/cls_inter_face.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "base/ansi.h"
#include "fakes/services_in_prefix.h"

namespace kavrolin::transaction {
namespace {

namespace fs = std::filesystem;
using kavrolin::testing::ReadHostFile;
using kavrolin::testing::WriteHostFile;

const std::string kResponse = "6222021234567890   000000001234000000000042";
const std::string kStamp = "2024-01-31 14:05:09 ";

class InterFaceTest : public ::testing::Test {
 protected:
  InterFaceTest() : object_(env_.services) { env_.terminal->response = kResponse; }
  std::string Journal() const { return ReadHostFile(env_.C("YHLOG/20240131.txt")); }
  static std::string Line(const Text& text) { return kStamp + ToAnsi(text) + "\r\n"; }

  kavrolin::testing::ServicesInPrefix env_;
  clsInterFace object_;
};

TEST_F(InterFaceTest, NewObjectIsEmpty) {
  EXPECT_EQ(object_.GetCardNo(), u"");
  EXPECT_EQ(object_.GetCardMoney(), u"");
  EXPECT_EQ(object_.GetSY(), u"");
  EXPECT_EQ(object_.GetFanhui(), u"");
  EXPECT_EQ(object_.m_strFilePrn, u"");
  EXPECT_EQ(object_.m_strAppPath, u"");
}

TEST_F(InterFaceTest, SuccessfulSaleKeepsFieldsAndJournals) {
  EXPECT_TRUE(object_.Sale(12.34, 123, u"01", u"A1"));
  ASSERT_EQ(env_.terminal->requests.size(), 1u);
  EXPECT_EQ(env_.terminal->requests[0], "05000000001234123             01      A1      ");
  EXPECT_EQ(object_.GetFanhui(), u"1");
  EXPECT_EQ(object_.GetCardNo(), u"6222021234567890   ");
  EXPECT_EQ(object_.GetCardMoney(), u"12.34");
  EXPECT_EQ(object_.GetSY(), u"42");
  EXPECT_EQ(Journal(), Line(u"消费成功 卡号：6222021234567890    索引：42"));
}

TEST_F(InterFaceTest, OutcomeLinesOfEachKind) {
  struct Row {
    const char* label;
    int16_t code;
    bool (*run)(clsInterFace&);
    Text line;
  };
  const Row rows[] = {
      {"sale_failure_two_blanks", 0, [](clsInterFace& o) { return o.Sale(1, 1, u"", u""); },
       u"消费失败 卡号：  索引："},
      {"void_failure", -1, [](clsInterFace& o) { return o.VoidSale(1, 1, u"", u""); },
       u"撤销失败 卡号： 索引："},
      {"refund_failure", 2, [](clsInterFace& o) { return o.VoidTH(1, 1, u"", u""); },
       u"退货失败 卡号： 索引："},
      {"void_success", 1, [](clsInterFace& o) { return o.VoidSale(1, 1, u"", u""); },
       u"撤销成功 卡号：6222021234567890    索引：42"},
      {"refund_success", 1, [](clsInterFace& o) { return o.VoidTH(1, 1, u"", u""); },
       u"退货成功 卡号：6222021234567890    索引：42"},
      {"inquiry_success", 1, [](clsInterFace& o) { return o.Inquery(); }, u"查询成功"},
      {"inquiry_failure", 0, [](clsInterFace& o) { return o.Inquery(); }, u"查询失败"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    kavrolin::testing::ServicesInPrefix env;
    env.terminal->response = kResponse;
    env.terminal->code = row.code;
    clsInterFace object(env.services);
    EXPECT_EQ(row.run(object), row.code == 1);
    EXPECT_EQ(ReadHostFile(env.C("YHLOG/20240131.txt")), Line(row.line));
  }
}

TEST_F(InterFaceTest, FailureKeepsTheLastSuccessfulFields) {
  ASSERT_TRUE(object_.Sale(12.34, 1, u"01", u"A1"));
  env_.terminal->code = 0;
  env_.terminal->response = "9999999999999999999000000009999000000009999";
  EXPECT_FALSE(object_.VoidSale(12.34, 1, u"01", u"A1"));
  EXPECT_EQ(object_.GetFanhui(), u"0");
  EXPECT_EQ(object_.GetCardNo(), u"6222021234567890   ");
  EXPECT_EQ(object_.GetSY(), u"42");
  EXPECT_EQ(Journal(), Line(u"消费成功 卡号：6222021234567890    索引：42") +
                           Line(u"撤销失败 卡号：6222021234567890    索引：42"));
  // An inquiry changes neither the return code nor the fields.
  env_.terminal->code = 1;
  EXPECT_TRUE(object_.Inquery());
  EXPECT_EQ(env_.terminal->requests.back(), "06");
  EXPECT_EQ(object_.GetFanhui(), u"0");
}

TEST_F(InterFaceTest, OtherTakesItsAmountAsTextAndJournalsOnlyFailuresToRun) {
  EXPECT_TRUE(object_.Qita(u"12.34", 7, u"01", u"A1"));
  env_.terminal->code = 0;
  EXPECT_FALSE(object_.Qita(u"none", 7, u"01", u"A1"));
  ASSERT_EQ(env_.terminal->requests.size(), 2u);
  EXPECT_EQ(env_.terminal->requests[0].substr(0, 14), "ff000000001234");
  EXPECT_EQ(env_.terminal->requests[1].substr(0, 14), "ff000000000000");
  EXPECT_EQ(object_.GetFanhui(), u"0");
  EXPECT_FALSE(fs::exists(env_.C("YHLOG/20240131.txt")));
}

TEST_F(InterFaceTest, MissingLibraryTakesTheExceptionPath) {
  env_.terminal->missing = true;
  EXPECT_FALSE(object_.Sale(1, 1, u"", u""));
  EXPECT_FALSE(object_.VoidSale(1, 1, u"", u""));
  EXPECT_FALSE(object_.VoidTH(1, 1, u"", u""));
  EXPECT_FALSE(object_.Qita(u"1", 1, u"", u""));
  EXPECT_FALSE(object_.Inquery());
  EXPECT_EQ(Journal(), Line(u"消费异常") + Line(u"撤销异常") + Line(u"退货异常") +
                           Line(u"其他异常") + Line(u"查询异常"));
  EXPECT_EQ(object_.GetFanhui(), u"");
  // The library found again, the next call goes through.
  env_.terminal->missing = false;
  EXPECT_TRUE(object_.Sale(1, 1, u"", u""));
}

TEST_F(InterFaceTest, MalformedAmountNeverReachesTheTerminal) {
  const double amounts[] = {12.345, 0.001, -5, 1e10};
  for (double amount : amounts) {
    SCOPED_TRACE(amount);
    EXPECT_FALSE(object_.Sale(amount, 1, u"", u""));
  }
  EXPECT_TRUE(env_.terminal->requests.empty());
  EXPECT_EQ(Journal(), Line(u"消费异常") + Line(u"消费异常") + Line(u"消费异常") + Line(u"消费异常"));
}

TEST_F(InterFaceTest, LibraryWritingPastTheResponseCorruptsNothing) {
  env_.terminal->overrun = 4096;
  EXPECT_TRUE(object_.Sale(12.34, 1, u"", u""));
  EXPECT_EQ(object_.GetSY(), u"42");
}

TEST_F(InterFaceTest, EveryCallFindsFreshZeroedBuffers) {
  // A library that scribbles over both buffers and their slack: the next call,
  // of any kind and request length, still sees only zeros past its request.
  env_.terminal->overrun = 8000;
  env_.terminal->request_overrun = 8000;
  EXPECT_TRUE(object_.Sale(12.34, 1, u"收银员一", u"A1"));
  EXPECT_TRUE(object_.Inquery());
  EXPECT_TRUE(object_.VoidSale(1, 2, u"", u""));
  env_.terminal->response = "9999999999999999999000000000100000000000777";
  EXPECT_TRUE(object_.Qita(u"5", 3, u"01", u"A1"));
  EXPECT_EQ(object_.GetSY(), u"777");
  // A library calling back into the same object from inside its call.
  bool nested = false;
  env_.terminal->during_call = [&] {
    if (!std::exchange(nested, true)) {
      EXPECT_TRUE(object_.Inquery());
    }
  };
  EXPECT_TRUE(object_.Sale(2, 4, u"", u""));
  env_.terminal->during_call = nullptr;
  EXPECT_TRUE(object_.Sale(3, 5, u"", u""));
  EXPECT_EQ(env_.terminal->requests.size(), 7u);
  EXPECT_TRUE(env_.terminal->found_zeroed);
}

TEST_F(InterFaceTest, ObjectsKeepTheirOwnFields) {
  clsInterFace other(env_.services);
  ASSERT_TRUE(object_.Sale(12.34, 1, u"", u""));
  EXPECT_EQ(other.GetCardNo(), u"");
  other.m_strCardNo = u"put";
  EXPECT_EQ(other.GetCardNo(), u"put");
  EXPECT_EQ(object_.GetCardNo(), u"6222021234567890   ");
}

TEST_F(InterFaceTest, PrintFileLines) {
  const struct {
    const char* label;
    std::string content;
    std::vector<Text> items;
  } rows[] = {
      {"three_crlf_lines", "a\r\nb\r\nc\r\n", {u"", u"a", u"b", u"c"}},
      {"empty_file", "", {u""}},
      {"lf_alone_ends_nothing", "a\nb\n", {u"", u"a\nb\n"}},
      {"cr_alone_and_last_line_unended", "a\rb", {u"", u"a", u"b"}},
      {"blank_line_kept", "a\r\n\r\nb", {u"", u"a", u"", u"b"}},
      {"ansi_text", "\xC7\xA9\xB9\xBA\xB5\xA5\r\n", {u"", u"签购单"}},
  };
  EXPECT_TRUE(object_.Initialize(u"C:\\POS"));
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    WriteHostFile(env_.C("POS/toprint.txt"), row.content);
    TextArray buffer{true, 5, {u"old"}};
    EXPECT_TRUE(object_.GetPrintTxt(buffer));
    EXPECT_EQ(buffer.lbound, 0);
    EXPECT_EQ(buffer.items, row.items);
    EXPECT_FALSE(fs::exists(env_.C("POS/toprint.txt")));
  }
  TextArray buffer{true, 0, {u"old", u"stale"}};
  EXPECT_FALSE(object_.GetPrintTxt(buffer));
  EXPECT_EQ(buffer.items, std::vector<Text>{u""});
}

TEST_F(InterFaceTest, ReadOnlyPrintFileIsReadAndStays) {
  WriteHostFile(env_.C("toprint.txt"), "x\r\n");
  fs::permissions(env_.C("toprint.txt"), fs::perms::owner_read);
  object_.m_strFilePrn = u"C:\\toprint.txt";
  TextArray buffer;
  EXPECT_TRUE(object_.GetPrintTxt(buffer));
  EXPECT_EQ(buffer.items, (std::vector<Text>{u"", u"x"}));
  EXPECT_TRUE(fs::exists(env_.C("toprint.txt")));
}

TEST_F(InterFaceTest, InitializeJoinsWithoutTidying) {
  const struct {
    Text folder, print_file;
  } rows[] = {{u"C:\\POS", u"C:\\POS\\toprint.txt"},
              {u"C:\\POS\\", u"C:\\POS\\\\toprint.txt"},
              {u"", u"\\toprint.txt"}};
  for (const auto& row : rows) {
    EXPECT_TRUE(object_.Initialize(row.folder));
    EXPECT_EQ(object_.m_strAppPath, row.folder);
    EXPECT_EQ(object_.m_strFilePrn, row.print_file);
  }
}

}  // namespace
}  // namespace kavrolin::transaction
