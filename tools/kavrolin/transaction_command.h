// The transaction commands: sale, void-sale, refund, other and inquiry. One
// clsInterFace made by the class factory, Initialize with the application
// folder, the transaction by name through dispatch, then one "label: value"
// line each for the outcome, the stored fields, the receipt lines and the
// journal file. Returns 0 when the transaction answered true, 1 otherwise.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "kavrolin/host.h"

namespace kavrolin::cli {

struct TransactionRequest {
  std::string member;           // "Sale", "VoidSale", "VoidTH", "Qita", "Inquery"
  std::string amount;           // as typed; a number except for Qita
  int32_t invoice = 0;
  std::string cashier;
  std::string register_id;
  std::optional<std::string> app_path;  // Windows form; default: the current folder
};

int RunTransaction(Host& host, const TransactionRequest& request);

}  // namespace kavrolin::cli
