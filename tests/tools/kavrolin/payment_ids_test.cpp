// Payment record ids as a register meets them: sales run through `kavrolin
// batch`, then listed and resolved with `kavrolin pending` and `history`.
// Ids run from 1 in the order of the sales, outlive the process that made
// them, and a record resolved while its terminal call still runs keeps its
// finding and gains the answer.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli_test_support.h"
#include "platform/posix/payment_records.h"

namespace kavrolin::cli {
namespace {

using nlohmann::json;

std::string SaleLine(const char* invoice) {
  return std::string(R"({"call":"a.Sale","args":[12.34,")") + invoice + R"(","01","A1"]})" + "\n";
}

// One batch run: one object, one sale per invoice. The answers, one per line.
std::vector<json> Sales(CliEnv& env, const std::vector<const char*>& invoices) {
  std::string input = R"({"new":"a","class":"Kavrolin.clsInterFace"})" "\n";
  for (const char* invoice : invoices) input += SaleLine(invoice);
  input += R"({"release":"a"})" "\n";
  const CliRun run = env.Run({"batch"}, input);
  EXPECT_EQ(run.status, 0) << run.err;
  std::vector<json> answers;
  size_t from = 0;
  for (size_t end; (end = run.out.find('\n', from)) != std::string::npos; from = end + 1) {
    answers.push_back(json::parse(run.out.substr(from, end - from)));
  }
  return answers;
}

TEST(PaymentIds, SalesThroughBatchAreNumberedFromOneAndResolvedByThatNumber) {
  CliEnv env;
  env.terminal->response = "6222021234567890   000000001234000000123456";
  env.terminal->code = 1;
  ASSERT_EQ(Sales(env, {"1", "2"}).size(), 4u);

  // The next process: a records object of its own on the same store. Its
  // third sale's terminal call runs while the operator resolves it.
  env.services.records = std::make_shared<platform::posix::PosixPaymentRecords>(env.prefix);
  std::vector<json> pending_during_call;
  int calls = 0;
  env.terminal->during_call = [&] {
    if (++calls != 2) return;
    pending_during_call.push_back(json::parse(env.Run({"pending", "--json"}).out));
    EXPECT_EQ(env.Run({"pending", "--resolve", "4", "--outcome", "paid"}).status, 0);
  };
  const std::vector<json> answers = Sales(env, {"3", "4", "5"});
  ASSERT_EQ(answers.size(), 5u);
  for (size_t i = 1; i <= 3; ++i) EXPECT_EQ(answers[i]["error"], nullptr) << answers[i];
  ASSERT_EQ(pending_during_call.size(), 1u);
  ASSERT_EQ(pending_during_call[0].size(), 1u) << "only the sale being made is unfinished";
  EXPECT_EQ(pending_during_call[0][0]["id"], 4);
  EXPECT_EQ(pending_during_call[0][0]["invoice"], "4");

  const CliRun history = env.Run({"history", "--json"});  // the fake clock's day
  ASSERT_EQ(history.status, 0) << history.err;
  const json day = json::parse(history.out);
  ASSERT_EQ(day["records"].size(), 5u);
  struct Row {
    int64_t id;
    const char* invoice;
    const char* outcome;
  };
  const Row rows[] = {
      {1, "1", "approved"}, {2, "2", "approved"}, {3, "3", "approved"}, {4, "4", "paid"}, {5, "5", "approved"},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].id);
    EXPECT_EQ(day["records"][i]["id"], rows[i].id);
    EXPECT_EQ(day["records"][i]["invoice"], rows[i].invoice);
    EXPECT_EQ(day["records"][i]["outcome"], rows[i].outcome);
  }
  EXPECT_EQ(day["records"][3]["card"], "622202******7890") << "the answer stands beside the finding";
  EXPECT_NE(env.Run({"pending", "--resolve", "4", "--outcome", "not-paid"}).status, 0) << "resolved once";
  EXPECT_NE(env.Run({"pending", "--resolve", "6", "--outcome", "paid"}).status, 0) << "no record 6";
}

}  // namespace
}  // namespace kavrolin::cli
