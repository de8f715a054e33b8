#include "kavrolin/cli.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>

#include <CLI/CLI.hpp>

#include "base/version.h"
#include "component/identifiers.h"
#include "kavrolin/batch.h"
#include "kavrolin/call_command.h"
#include "kavrolin/journal_command.h"
#include "kavrolin/members_command.h"
#include "kavrolin/nearest_names.h"
#include "kavrolin/records_command.h"
#include "kavrolin/reg_command.h"
#include "kavrolin/register_command.h"
#include "kavrolin/transaction_command.h"

namespace kavrolin::cli {
namespace {

constexpr char kExitStatuses[] =
    "Exit status: 0 success (approved), 1 declined by the terminal, 2 usage error, 3 failed.";

std::string VersionText() {
  return std::string("kavrolin ") + kVersionText + " (type library " +
         std::to_string(component::kLibraryMajor) + "." + std::to_string(component::kLibraryMinor) + ")";
}

// What the parser fills in; one member per option of every subcommand.
struct Parsed {
  TransactionRequest transaction;
  bool json = false;
  std::string target;
  std::vector<std::string> call_args;
  std::optional<std::string> members_target;
  std::optional<std::string> date;
  bool follow = false;
  bool stop_on_error = false;
  PendingRequest pending;
  std::optional<std::string> library;
  std::optional<std::string> reg_key;
  std::string reg_file;
  std::vector<std::string> help_topic;
  bool man = false;
};

// A transaction subcommand and the member it calls.
struct Kind {
  const char* command;
  const char* member;
  const char* help;
};

constexpr Kind kKinds[] = {
    {"sale", "Sale", "Pay AMOUNT by card."},
    {"void-sale", "VoidSale", "Void an earlier sale of AMOUNT."},
    {"refund", "VoidTH", "Refund AMOUNT to the card."},
    {"other", "Qita", "Any other card transaction; AMOUNT is passed as text."},
};

// The whole command line: one application, every subcommand on it.
struct CommandLine {
  CLI::App app{"Kavrolin: card payments for point-of-sale applications, and a toolkit of services "
               "for them.",
               "kavrolin"};
  Parsed parsed;
  std::vector<std::pair<CLI::App*, const Kind*>> transactions;
  CLI::App* inquiry = nullptr;
  CLI::App* call = nullptr;
  CLI::App* members = nullptr;
  CLI::App* journal = nullptr;
  CLI::App* batch = nullptr;
  CLI::App* pending = nullptr;
  CLI::App* history = nullptr;
  CLI::App* reg_server = nullptr;
  CLI::App* unreg_server = nullptr;
  CLI::App* reg = nullptr;
  CLI::App* reg_export = nullptr;
  CLI::App* reg_import = nullptr;
  CLI::App* help = nullptr;

  CommandLine() {
    app.set_version_flag("--version", VersionText(), "Print the version and the type library's version");
    app.add_flag("--man", parsed.man, "Print the manual page (man(7) source)")->group("");
    app.require_subcommand(0, 1);
    app.footer(kExitStatuses);
    Parsed& p = parsed;

    for (const Kind& kind : kKinds) {
      CLI::App* sub = app.add_subcommand(kind.command, kind.help);
      sub->add_option("AMOUNT", p.transaction.amount, std::string("The amount: ") + kAmountForm)->required();
      sub->add_option("--invoice", p.transaction.invoice, "Invoice number (32-bit integer)")->required();
      sub->add_option("--cashier", p.transaction.cashier, "Cashier identifier")->required();
      sub->add_option("--register", p.transaction.register_id, "Register identifier")->required();
      AddTransactionOptions(sub);
      transactions.emplace_back(sub, &kind);
    }
    inquiry = app.add_subcommand("inquiry", "Ask the terminal for the card's balance.");
    AddTransactionOptions(inquiry);

    call = app.add_subcommand("call", "Call one member of a new object: CLASS.MEMBER [ARG...], "
                                      "CLASS.Prop (get) or CLASS.Prop=VALUE (put).");
    call->add_flag("--json", p.json, "Print {\"result\",\"args\",\"messages\",\"error\"} as one JSON line");
    call->add_option("TARGET", p.target, "CLASS.MEMBER, CLASS.Prop or CLASS.Prop=VALUE")->required();
    call->add_option("ARG", p.call_args, "Arguments as text, coerced to the parameters' types");
    call->footer("Negative numbers pass as they are; put ARGs starting with \"-\" after \"--\".");

    members = app.add_subcommand("members", "List the classes and their members as the type library "
                                            "describes them.");
    members->add_option("CLASS", p.members_target, "A class (name or ProgID), or CLASS.MEMBER");
    members->add_flag("--json", p.json, "Print one JSON array");

    journal = app.add_subcommand("journal", "Print a day's journal as UTF-8.");
    journal->add_option("--date", p.date, "The day, YYYYMMDD (default: today)");
    journal->add_flag("--follow", p.follow, "Keep printing lines as they are appended, until interrupted");

    batch = app.add_subcommand("batch", "Run JSON-line requests from standard input, one answer per line.");
    batch->add_flag("--stop-on-error", p.stop_on_error, "End at the first failed line, exit status 3");

    pending = app.add_subcommand("pending", "Unfinished card transactions: started, never completed. Check "
                                            "each on the terminal, then record what you found.");
    pending->add_flag("--json", p.pending.json, "Print a JSON array");
    CLI::Option* resolve =
        pending->add_option("--resolve", p.pending.resolve, "Record the operator's finding for transaction ID");
    pending->add_option("--outcome", p.pending.outcome, "What the terminal showed: paid or not-paid")
        ->check(CLI::IsMember({"paid", "not-paid"}))
        ->needs(resolve);
    resolve->excludes("--json");

    history = app.add_subcommand("history", "A day's payment records with totals per kind and outcome.");
    history->add_option("--date", p.date, "The day, YYYYMMDD (default: today)");
    history->add_flag("--json", p.json, "Print one JSON object");

    reg_server = app.add_subcommand("register", "Write the library's registration into the registry.");
    unreg_server = app.add_subcommand("unregister", "Remove the library's registration.");
    for (CLI::App* sub : {reg_server, unreg_server}) {
      sub->add_option("LIBRARY", p.library, "The server library (default: libkavrolin.so beside kavrolin)");
    }

    reg = app.add_subcommand("reg", "The registry as .reg text.");
    reg->require_subcommand(1);
    reg_export = reg->add_subcommand("export", "Write a key (or every root) as \"Windows Registry Editor "
                                               "Version 5.00\" text to standard output.");
    reg_export->add_option("KEY", p.reg_key, "The key, e.g. HKCU\\Software\\Shop (default: every root)");
    reg_import = reg->add_subcommand("import", "Apply a .reg file (5.00 or REGEDIT4).");
    reg_import->add_option("FILE", p.reg_file, "The file; \"-\" reads standard input")->required();

    help = app.add_subcommand("help", "Show the help of kavrolin or of a command.");
    help->add_option("COMMAND", p.help_topic, "A command, e.g. \"reg import\"");
  }

  void AddTransactionOptions(CLI::App* sub) {
    sub->add_option("--app-path", parsed.transaction.app_path,
                    "Application folder, Windows form (default: the current folder)");
    sub->add_flag("--show-card", parsed.transaction.show_card,
                  "Show the card number as the terminal returned it, not masked");
  }

  // The deepest subcommand the parse reached.
  const CLI::App* Reached() const {
    const CLI::App* current = &app;
    while (!current->get_subcommands().empty()) current = current->get_subcommands().front();
    return current;
  }
};

std::vector<std::string> NamesOf(const CLI::App& app) {
  std::vector<std::string> names;
  for (const CLI::App* sub : app.get_subcommands({})) names.push_back(sub->get_name());
  return names;
}

// "; did you mean ..." when the word after `reached`'s name names no
// subcommand of it.
std::string SubcommandHint(const CLI::App& reached, const CLI::App& root, const std::vector<std::string>& args) {
  if (reached.get_subcommands({}).empty()) return "";
  auto next = args.begin();
  if (&reached != &root) {
    next = std::find(args.begin(), args.end(), reached.get_name());
    if (next != args.end()) ++next;
  }
  if (next == args.end() || next->empty() || (*next)[0] == '-') return "";
  const std::vector<std::string> names = NamesOf(reached);
  if (std::find(names.begin(), names.end(), *next) != names.end()) return "";
  const std::string hint = DidYouMean(*next, names);
  return "unknown command \"" + *next + "\"" + hint;
}

std::string Prefix(const CLI::App& app) {
  std::string name = app.get_name();
  for (const CLI::App* parent = app.get_parent(); parent; parent = parent->get_parent()) {
    name = parent->get_name() + " " + name;
  }
  return name;
}

int Help(Host& host, CommandLine& line) {
  const CLI::App* topic = &line.app;
  for (const std::string& word : line.parsed.help_topic) {
    const CLI::App* sub = nullptr;
    try {
      sub = topic->get_subcommand(word);
    } catch (const CLI::OptionNotFound&) {
    }
    if (!sub) {
      *host.err << "kavrolin help: no command \"" << word << "\"" << DidYouMean(word, NamesOf(*topic)) << '\n';
      return kExitUsage;
    }
    topic = sub;
  }
  // The formatter, not help(): help() on the root would show the help command's own.
  *host.out << topic->get_formatter()->make_help(topic, Prefix(*topic), CLI::AppFormatMode::Normal);
  return kExitOk;
}

int Run(Host& host, CommandLine& line) {
  Parsed& p = line.parsed;
  if (line.help->parsed()) return Help(host, line);
  if (line.inquiry->parsed()) {
    p.transaction.command = "inquiry";
    p.transaction.member = "Inquery";
    return RunTransaction(host, p.transaction);
  }
  for (const auto& [sub, kind] : line.transactions) {
    if (!sub->parsed()) continue;
    if (!IsPlainAmount(p.transaction.amount)) {
      *host.err << "kavrolin " << kind->command << ": AMOUNT \"" << p.transaction.amount
                << "\" is not an amount: expected " << kAmountForm << '\n';
      return kExitUsage;
    }
    p.transaction.command = kind->command;
    p.transaction.member = kind->member;
    return RunTransaction(host, p.transaction);
  }
  if (line.call->parsed()) return RunCall(host, p.target, p.call_args, p.json);
  if (line.members->parsed()) return RunMembers(host, p.members_target, p.json);
  if (line.journal->parsed()) return RunJournal(host, p.date, p.follow);
  if (line.batch->parsed()) return RunBatch(host, p.stop_on_error);
  if (line.pending->parsed()) return RunPending(host, p.pending);
  if (line.history->parsed()) return RunHistory(host, p.date, p.json);
  if (line.reg_server->parsed() || line.unreg_server->parsed()) {
    return RunRegister(host, line.unreg_server->parsed(), p.library);
  }
  if (line.reg_export->parsed()) return RunRegExport(host, p.reg_key);
  if (line.reg_import->parsed()) return RunRegImport(host, p.reg_file);
  if (p.man) {
    *host.out << ManPage();
    return kExitOk;
  }
  *host.err << "kavrolin: a command is required (see \"kavrolin --help\")\n";
  return kExitUsage;
}

// Text for a man(7) page: backslashes escaped, no line starting with a
// control character.
std::string Roff(const std::string& text) {
  std::string out;
  bool line_start = true;
  for (char c : text) {
    if (line_start && (c == '.' || c == '\'')) out += "\\&";
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else {
      out += c;
    }
    line_start = c == '\n';
  }
  return out;
}

}  // namespace

int RunCli(Host& host, const std::vector<std::string>& args) {
  CommandLine line;
  try {
    line.app.parse(std::vector<std::string>(args.rbegin(), args.rend()));
  } catch (const CLI::CallForHelp&) {
    *host.out << line.app.help();
    return kExitOk;
  } catch (const CLI::CallForVersion&) {
    *host.out << VersionText() << '\n';
    return kExitOk;
  } catch (const CLI::ParseError& e) {
    const CLI::App& reached = *line.Reached();
    const std::string hint = SubcommandHint(reached, line.app, args);
    const std::string where = Prefix(reached);
    *host.err << where << ": " << (hint.empty() ? std::string(e.what()) : hint)
              << " (see \"" << where << " --help\")\n";
    return kExitUsage;
  }
  return Run(host, line);
}

std::string ManPage() {
  CommandLine line;
  std::ostringstream page;
  page << ".TH KAVROLIN 1 \"\" \"kavrolin " << kVersionText << "\" \"User Commands\"\n"
       << ".SH NAME\nkavrolin \\- " << Roff(line.app.get_description()) << "\n"
       << ".SH SYNOPSIS\n.B kavrolin\n.I COMMAND\n[\\fIOPTIONS\\fR] [\\fIARGUMENTS\\fR]\n"
       << ".SH COMMANDS\n";
  const auto describe = [&](const CLI::App& sub, const std::string& prefix, auto& self) -> void {
    page << ".SS " << Roff(prefix + sub.get_name()) << "\n.nf\n"
         << Roff(sub.get_formatter()->make_help(&sub, Prefix(sub), CLI::AppFormatMode::Normal))
         << ".fi\n";
    for (const CLI::App* child : sub.get_subcommands({})) self(*child, prefix + sub.get_name() + " ", self);
  };
  for (const CLI::App* sub : line.app.get_subcommands({})) describe(*sub, "", describe);
  page << ".SH EXIT STATUS\n"
       << ".TP\n0\nSuccess; for a transaction, approved by the terminal.\n"
       << ".TP\n1\nDeclined by the terminal (its return code is on standard error).\n"
       << ".TP\n2\nUsage error: an unknown command or option, a missing argument, an amount not in the plain "
          "form.\n"
       << ".TP\n3\nFailed: an automation error, the terminal library missing, the payment records not "
          "writable, a batch line failed with \\-\\-stop\\-on\\-error.\n"
       << ".PP\nEvery non-zero exit writes one line on standard error saying why.\n"
       << ".SH ENVIRONMENT\n.TP\nKAVROLIN_PREFIX\nThe folder that stands for the Windows drives.\n"
       << ".TP\nKAVROLIN_CODEPAGE\nThe ANSI code page (default 936).\n";
  return page.str();
}

}  // namespace kavrolin::cli
