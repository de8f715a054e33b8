#include "kavrolin/cli.h"

#include <ostream>

#include <CLI/CLI.hpp>

#include "kavrolin/batch.h"
#include "kavrolin/call_command.h"
#include "kavrolin/records_command.h"
#include "kavrolin/register_command.h"
#include "kavrolin/reg_command.h"
#include "kavrolin/transaction_command.h"

namespace kavrolin::cli {
namespace {

constexpr int kUsageError = 2;

constexpr char kCallUsage[] =
    "usage: kavrolin call [--json] CLASS.MEMBER [ARG...]\n"
    "       kavrolin call [--json] CLASS.Prop=VALUE\n";

// `call` takes everything after its target verbatim (negative numbers, texts
// starting with "-"), so it is parsed here rather than by the option parser.
int Call(Host& host, const std::vector<std::string>& args) {
  bool json = false;
  size_t i = 1;
  for (; i < args.size(); ++i) {
    if (args[i] == "--json") {
      json = true;
    } else if (args[i] == "-h" || args[i] == "--help") {
      *host.out << kCallUsage;
      return 0;
    } else if (args[i] == "--") {
      ++i;
      break;
    } else {
      break;
    }
  }
  if (i >= args.size()) {
    *host.err << "kavrolin call: CLASS.MEMBER is missing\n" << kCallUsage;
    return kUsageError;
  }
  return RunCall(host, args[i], {args.begin() + i + 1, args.end()}, json);
}

bool IsNumber(const std::string& text) {
  try {
    Variant(FromUtf8(text)).ToDouble();
    return true;
  } catch (const AutomationError&) {
    return false;
  }
}

}  // namespace

int RunCli(Host& host, const std::vector<std::string>& args) {
  if (!args.empty() && args[0] == "call") return Call(host, args);
  if (!args.empty() && args[0] == "reg") return RunReg(host, args);
  if (!args.empty() && args[0] == "pending") return RunPending(host, args);
  if (!args.empty() && args[0] == "history") return RunHistory(host, args);

  CLI::App app{"Kavrolin: card payments for point-of-sale applications, and a toolkit of services "
               "for them.",
               "kavrolin"};
  app.set_version_flag("--version", "kavrolin 17.0");
  app.require_subcommand(1);

  TransactionRequest request;
  struct Kind {
    const char* command;
    const char* member;
    const char* help;
  };
  const Kind kinds[] = {
      {"sale", "Sale", "Pay AMOUNT by card."},
      {"void-sale", "VoidSale", "Void an earlier sale of AMOUNT."},
      {"refund", "VoidTH", "Refund AMOUNT to the card."},
      {"other", "Qita", "Any other card transaction; AMOUNT is passed as text."},
  };
  std::vector<std::pair<CLI::App*, const Kind*>> commands;
  for (const Kind& kind : kinds) {
    CLI::App* sub = app.add_subcommand(kind.command, kind.help);
    sub->add_option("AMOUNT", request.amount, "Amount in currency units, e.g. 12.34")->required();
    sub->add_option("--invoice", request.invoice, "Invoice number (32-bit integer)")->required();
    sub->add_option("--cashier", request.cashier, "Cashier identifier")->required();
    sub->add_option("--register", request.register_id, "Register identifier")->required();
    sub->add_option("--app-path", request.app_path,
                    "Application folder, Windows form (default: the current folder)");
    commands.emplace_back(sub, &kind);
  }
  CLI::App* inquiry = app.add_subcommand("inquiry", "Ask the terminal for the card's balance.");
  inquiry->add_option("--app-path", request.app_path,
                      "Application folder, Windows form (default: the current folder)");
  app.add_subcommand("call", "Call one member: call [--json] CLASS.MEMBER [ARG...]");
  app.add_subcommand("pending", "Unfinished card transactions; --resolve ID --outcome paid|not-paid.");
  app.add_subcommand("history", "A day's payment records and totals: history [--date YYYYMMDD].");
  CLI::App* batch = app.add_subcommand("batch", "Run JSON-line requests from standard input.");
  std::optional<std::string> library;
  CLI::App* reg = app.add_subcommand("register", "Write the library's registration into the registry.");
  CLI::App* unreg = app.add_subcommand("unregister", "Remove the library's registration.");
  for (CLI::App* sub : {reg, unreg}) {
    sub->add_option("LIBRARY", library, "The server library (default: libkavrolin.so beside kavrolin)");
  }
  app.add_subcommand("reg", "The registry as .reg text: reg export [KEY] | reg import FILE");

  try {
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    app.parse(std::move(reversed));
  } catch (const CLI::CallForHelp&) {
    *host.out << app.help();
    return 0;
  } catch (const CLI::CallForVersion&) {
    *host.out << "kavrolin 17.0\n";
    return 0;
  } catch (const CLI::ParseError& e) {
    *host.err << "kavrolin: " << e.what() << "\n";
    if (args.empty()) *host.err << app.help();
    return kUsageError;
  }

  if (inquiry->parsed()) {
    request.member = "Inquery";
    return RunTransaction(host, request);
  }
  if (batch->parsed()) return RunBatch(host);
  if (reg->parsed() || unreg->parsed()) return RunRegister(host, unreg->parsed(), library);
  for (const auto& [sub, kind] : commands) {
    if (!sub->parsed()) continue;
    request.member = kind->member;
    if (request.member != "Qita" && !IsNumber(request.amount)) {
      *host.err << "kavrolin " << kind->command << ": AMOUNT \"" << request.amount << "\" is not a number\n";
      return kUsageError;
    }
    return RunTransaction(host, request);
  }
  *host.err << app.help();
  return kUsageError;
}

}  // namespace kavrolin::cli
