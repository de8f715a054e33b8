#include "kavrolin/journal_command.h"

#include <chrono>
#include <fstream>
#include <ostream>
#include <thread>

#include "base/ansi.h"
#include "base/date_mask.h"
#include "journal/cls_rizhi.h"
#include "kavrolin/cli.h"
#include "transaction/payment_totals.h"

namespace kavrolin::cli {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(250);

// Prints the complete lines of `bytes` from `offset` on; returns the offset
// after the last complete line, so a line being written is printed whole.
size_t PrintLines(Host& host, const std::string& bytes, size_t offset) {
  while (true) {
    const size_t end = bytes.find('\n', offset);
    if (end == std::string::npos) return offset;
    std::string_view line(bytes.data() + offset, end - offset);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    *host.out << ToUtf8(FromAnsi(line)) << '\n';
    offset = end + 1;
  }
}

std::optional<std::string> Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int RunJournal(Host& host, const std::optional<std::string>& date, bool follow) {
  LocalTime day = host.services.clock->Now();
  if (date) {
    if (!transaction::IsDayText(FromUtf8(*date))) {
      *host.err << "kavrolin journal: --date \"" << *date << "\" is not a date of the form YYYYMMDD\n";
      return kExitUsage;
    }
    day = LocalTime{};
    day.year = std::stoi(date->substr(0, 4));
    day.month = std::stoi(date->substr(4, 2));
    day.day = std::stoi(date->substr(6, 2));
  }
  const Text file = journal::JournalDayFile(day);
  std::string path;
  try {
    path = host.prefix ? host.prefix->ToHost(file).path : ToUtf8(file);
  } catch (const AutomationError& e) {
    *host.err << "kavrolin journal: " << ToUtf8(file) << ": " << ToUtf8(e.description()) << '\n';
    return kExitFailed;
  }
  std::optional<std::string> bytes = Read(path);
  if (!bytes && !follow) {
    *host.err << "kavrolin journal: no journal for " << ToUtf8(FormatDateMask(day, u"yyyymmdd")) << ": "
              << ToUtf8(file) << " (" << path << ") does not exist\n";
    return kExitFailed;
  }
  size_t offset = PrintLines(host, bytes.value_or(""), 0);
  if (!follow) {
    // A last line without its line end is still a line.
    if (offset < bytes->size()) *host.out << ToUtf8(FromAnsi(std::string_view(*bytes).substr(offset))) << '\n';
    return kExitOk;
  }
  *host.out << std::flush;
  while (!host.keep_following || host.keep_following()) {
    std::this_thread::sleep_for(kPollInterval);
    bytes = Read(path);
    if (!bytes) continue;
    if (bytes->size() < offset) offset = 0;  // the file was replaced
    offset = PrintLines(host, *bytes, offset);
    *host.out << std::flush;
  }
  return kExitOk;
}

}  // namespace kavrolin::cli
