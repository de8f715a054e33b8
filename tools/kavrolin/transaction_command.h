// The transaction commands: sale, void-sale, refund, other and inquiry. One
// clsInterFace made by the class factory, Initialize with the application
// folder, the transaction by name through dispatch, then one "label: value"
// line each for the outcome, the stored fields, the receipt lines and the
// journal file.
//
// The card number is shown masked as the payment records keep it unless
// `show_card`. The receipt is shown only for an approved transaction, and
// only when the print file is this transaction's: a file that was there
// before the terminal was called, unchanged, is reported and left in place.
// Exit status (cli.h): 0 approved, 1 declined by the terminal, 3 failed, with
// the reason on standard error from the payment records and the component.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "kavrolin/host.h"

namespace kavrolin::cli {

struct TransactionRequest {
  std::string command;          // "sale", ... as typed, for messages
  std::string member;           // "Sale", "VoidSale", "VoidTH", "Qita", "Inquery"
  std::string amount;           // as typed; a plain amount (see below)
  int32_t invoice = 0;
  std::string cashier;
  std::string register_id;
  std::optional<std::string> app_path;  // Windows form; default: the current folder
  bool show_card = false;
};

// Whether `text` is an amount the command line takes: digits, optionally a
// point and at most two decimals, from 0 to 9999999999.99 ("12", "12.3",
// "0.05"; not "12,34", "1e3", "-1", "12.345", " 12", "").
bool IsPlainAmount(std::string_view text);
inline constexpr char kAmountForm[] =
    "digits with at most two decimals after a point, from 0 to 9999999999.99 (e.g. 12.34)";

int RunTransaction(Host& host, const TransactionRequest& request);

}  // namespace kavrolin::cli
