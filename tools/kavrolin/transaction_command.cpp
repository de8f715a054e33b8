#include "kavrolin/transaction_command.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>

#include "base/date_mask.h"
#include "kavrolin/cli.h"
#include "journal/cls_rizhi.h"
#include "transaction/card_mask.h"

namespace kavrolin::cli {
namespace {

using component::Arguments;
using component::MemberKind;

constexpr size_t kMostWholeDigits = 10;  // 9999999999.99

// A parameterless text member's value; empty when the call failed.
std::string TextOf(component::DispatchObject& object, const char16_t* member) {
  Arguments none;
  const auto result = object.Invoke(member, MemberKind::kMethod, none);
  return result.error ? std::string() : ToUtf8(result.value.ToText());
}

// The print file's bytes, or nullopt when there is none (or it cannot be
// mapped to this host).
std::optional<std::string> PrintFileBytes(const Host& host, const Text& windows_path) {
  std::filesystem::path path;
  try {
    path = host.prefix ? std::filesystem::path(host.prefix->ToHost(windows_path).path)
                       : std::filesystem::path(ToUtf8(windows_path));
  } catch (const AutomationError&) {
    return std::nullopt;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The record this transaction left: the newest of the day with an id above
// `before`; nullopt when the host keeps no records or none was written.
std::optional<platform::PaymentRecord> RecordAfter(const Host& host, const Text& day, int64_t before) {
  if (!host.services.records) return std::nullopt;
  try {
    std::optional<platform::PaymentRecord> newest;
    for (const auto& record : host.services.records->OfDay(day)) {
      if (record.id > before && (!newest || record.id > newest->id)) newest = record;
    }
    return newest;
  } catch (const AutomationError&) {
    return std::nullopt;
  }
}

// " (loading the terminal library: <the loader's reason>)" when the library
// could not be loaded, for the end of a failure line; empty otherwise. The
// error's own text stays as the object reported it.
std::string LoaderReason(const Host& host) {
  const Text why = host.services.terminal ? host.services.terminal->LoadFailure() : Text();
  return why.empty() ? std::string() : " (loading the terminal library: " + ToUtf8(why) + ")";
}

int64_t NewestId(const Host& host, const Text& day) {
  const auto record = RecordAfter(host, day, -1);
  return record ? record->id : -1;
}

}  // namespace

bool IsPlainAmount(std::string_view text) {
  const size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view decimals = point == std::string_view::npos ? "" : text.substr(point + 1);
  const auto digits = [](std::string_view part) {
    for (char c : part) {
      if (c < '0' || c > '9') return false;
    }
    return true;
  };
  if (whole.empty() || !digits(whole) || !digits(decimals) || decimals.size() > 2) return false;
  const size_t significant = whole.find_first_not_of('0');
  return significant == std::string_view::npos || whole.size() - significant <= kMostWholeDigits;
}

int RunTransaction(Host& host, const TransactionRequest& request) {
  std::ostream& out = *host.out;
  const std::string who = "kavrolin " + request.command + ": ";
  try {
    const component::ObjectRef object = host.Create(u"clsInterFace", host.services);

    const Text app_path = request.app_path ? FromUtf8(*request.app_path)
                                           : host.prefix->ToWindows(std::filesystem::current_path());
    Arguments init{Variant(app_path)};
    object->Invoke(u"Initialize", MemberKind::kMethod, init);
    Arguments none;
    const auto print_file = object->Invoke(u"m_strFilePrn", MemberKind::kPropertyGet, none);
    const Text print_path = print_file.error ? Text() : print_file.value.ToText();
    const std::optional<std::string> earlier = PrintFileBytes(host, print_path);

    const Text day = FormatDateMask(host.services.clock->Now(), kDayMask);
    const int64_t newest_before = NewestId(host, day);

    Arguments args;
    if (request.member != "Inquery") {
      // The amount goes as text; dispatch coerces it to the member's declared type.
      args = {Variant(FromUtf8(request.amount)), Variant(request.invoice),
              Variant(FromUtf8(request.cashier)), Variant(FromUtf8(request.register_id))};
    }
    const auto outcome = object->Invoke(FromUtf8(request.member), MemberKind::kMethod, args);
    const bool ok = !outcome.error && outcome.value.ToBool();
    const std::optional<platform::PaymentRecord> record = RecordAfter(host, day, newest_before);
    const std::string return_code = TextOf(*object, u"GetFanhui");

    out << "result: " << (ok ? "true" : "false") << '\n';
    out << "return code: " << return_code << '\n';
    const Text card = FromUtf8(TextOf(*object, u"GetCardNo"));
    out << "card number: " << ToUtf8(request.show_card ? card : transaction::MaskedCardField(card)) << '\n';
    out << "amount: " << TextOf(*object, u"GetCardMoney") << '\n';
    out << "index number: " << TextOf(*object, u"GetSY") << '\n';

    // Unchanged since before the call: an earlier transaction's, left unread.
    const bool stale = earlier && PrintFileBytes(host, print_path) == earlier;
    if (stale) *host.err << who << "an earlier receipt was left in " << ToUtf8(print_path) << '\n';
    Arguments receipt{Variant(TextArray::WithoutBounds())};
    bool shown = false;
    if (ok && !stale) {
      const auto read = object->Invoke(u"GetPrintTxt", MemberKind::kMethod, receipt);
      const TextArray* lines = receipt[0] ? receipt[0]->get_if<TextArray>() : nullptr;
      if (!read.error && read.value.ToBool() && lines && lines->items.size() > 1) {
        out << "receipt:\n";
        for (size_t i = 1; i < lines->items.size(); ++i) out << "  " << ToUtf8(lines->items[i]) << '\n';
        shown = true;
      }
    }
    if (!shown) out << "receipt: none\n";

    const Text journal = journal::JournalDayFile(host.services.clock->Now());
    out << "journal: " << ToUtf8(journal) << '\n';
    std::string host_path;
    try {
      host_path = host.prefix ? host.prefix->ToHost(journal).path : ToUtf8(journal);
    } catch (const AutomationError& e) {
      host_path = "(unavailable: " + ToUtf8(e.description()) + ")";
    }
    out << "journal file: " << host_path << '\n';

    if (ok) return kExitOk;
    const std::string reason = LoaderReason(host);
    if (outcome.error) {
      *host.err << who << request.member << " failed: error " << outcome.error->number() << ": "
                << ToUtf8(outcome.error->description()) << reason << '\n';
      return kExitFailed;
    }
    if (record && record->state == platform::PaymentState::kFailed) {
      *host.err << who << "failed: " << ToUtf8(record->outcome.failure) << reason << '\n';
      return kExitFailed;
    }
    if (record && record->outcome.answered) {
      *host.err << who << "declined by the terminal: return code " << record->outcome.return_code
                << " (any code but 1 means not approved)\n";
      return kExitDeclined;
    }
    if (request.member == "Inquery") {
      *host.err << who << "the terminal did not confirm the inquiry" << reason << '\n';
    } else {
      *host.err << who << "not approved: return code " << return_code
                << " (any code but 1 means not approved)" << reason << '\n';
    }
    return kExitDeclined;
  } catch (const AutomationError& e) {
    *host.err << who << "error " << e.number() << ": " << ToUtf8(e.description()) << '\n';
    return kExitFailed;
  }
}

}  // namespace kavrolin::cli
