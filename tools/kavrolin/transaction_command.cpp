#include "kavrolin/transaction_command.h"

#include <cstdio>
#include <filesystem>
#include <ostream>


namespace kavrolin::cli {
namespace {

using component::Arguments;
using component::MemberKind;

// A parameterless text member's value; empty when the call failed.
std::string TextOf(component::DispatchObject& object, const char16_t* member) {
  Arguments none;
  const auto result = object.Invoke(member, MemberKind::kMethod, none);
  return result.error ? std::string() : ToUtf8(result.value.ToText());
}

}  // namespace

int RunTransaction(Host& host, const TransactionRequest& request) {
  std::ostream& out = *host.out;
  try {
    const component::ObjectRef object = host.Create(u"clsInterFace", host.services);

    const Text app_path = request.app_path ? FromUtf8(*request.app_path)
                                           : host.prefix->ToWindows(std::filesystem::current_path());
    Arguments init{Variant(app_path)};
    object->Invoke(u"Initialize", MemberKind::kMethod, init);

    Arguments args;
    if (request.member != "Inquery") {
      // The amount goes as text; dispatch coerces it to the member's declared type.
      args = {Variant(FromUtf8(request.amount)), Variant(request.invoice),
              Variant(FromUtf8(request.cashier)), Variant(FromUtf8(request.register_id))};
    }
    const auto outcome = object->Invoke(FromUtf8(request.member), MemberKind::kMethod, args);
    if (outcome.error) {
      *host.err << "kavrolin: " << request.member << " failed: error " << outcome.error->number() << ": "
                << ToUtf8(outcome.error->description()) << '\n';
    }
    const bool ok = !outcome.error && outcome.value.ToBool();

    out << "result: " << (ok ? "true" : "false") << '\n';
    out << "return code: " << TextOf(*object, u"GetFanhui") << '\n';
    out << "card number: " << TextOf(*object, u"GetCardNo") << '\n';
    out << "amount: " << TextOf(*object, u"GetCardMoney") << '\n';
    out << "index number: " << TextOf(*object, u"GetSY") << '\n';

    Arguments receipt{Variant(TextArray::WithoutBounds())};
    const auto read = object->Invoke(u"GetPrintTxt", MemberKind::kMethod, receipt);
    const TextArray* lines = receipt[0] ? receipt[0]->get_if<TextArray>() : nullptr;
    if (!read.error && read.value.ToBool() && lines && lines->items.size() > 1) {
      out << "receipt:\n";
      for (size_t i = 1; i < lines->items.size(); ++i) out << "  " << ToUtf8(lines->items[i]) << '\n';
    } else {
      out << "receipt: none\n";
    }

    const LocalTime now = host.services.clock->Now();
    char day[16];
    std::snprintf(day, sizeof day, "%04d%02d%02d", now.year, now.month, now.day);
    const Text journal = u"C:\\YHLOG\\" + AsciiText(day) + u".txt";
    out << "journal: " << ToUtf8(journal) << '\n';
    std::string host_path;
    try {
      host_path = host.prefix->ToHost(journal).path;
    } catch (const AutomationError& e) {
      host_path = "(unavailable: " + ToUtf8(e.description()) + ")";
    }
    out << "journal file: " << host_path << '\n';
    return ok ? 0 : 1;
  } catch (const AutomationError& e) {
    *host.err << "kavrolin: error " << e.number() << ": " << ToUtf8(e.description()) << '\n';
    return 1;
  }
}

}  // namespace kavrolin::cli
