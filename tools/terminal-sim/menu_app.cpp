#include "menu_app.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/ansi.h"
#include "base/automation_error.h"
#include "base/text.h"
#include "call_counter.h"
#include "host_file.h"
#include "simulator.h"

namespace kavrolin::terminal_sim {
namespace {

namespace fs = std::filesystem;

constexpr uint64_t kMaxDelayMs = 600000;
constexpr uint64_t kMaxOverrun = 4096;
constexpr std::string_view kDefaultCard = "6222000000000009";
constexpr std::string_view kTitle = "KAVROLIN TERMINAL SIMULATOR";
constexpr std::u16string_view kSlip = u"签购单 SALES SLIP";

std::string Setting(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

void Note(const char* name, std::string_view value, const char* instead) {
  std::fprintf(stderr, "terminal-sim: %s=\"%.*s\" cannot be used; %s\n", name,
               static_cast<int>(value.size()), value.data(), instead);
}

uint64_t Count(const char* name, uint64_t cap) {
  const std::string value = Setting(name);
  if (value.empty()) return 0;
  if (const std::optional<uint64_t> count = ParseCount(value, cap)) return *count;
  Note(name, value, "using 0");
  return 0;
}

fs::path StateFile() {
  if (std::string named = Setting("KAVROLIN_SIM_STATE"); !named.empty()) {
    return HostFileNamed(named);
  }
  return StateHome() / "terminal-sim.state";
}

int16_t Result(uint64_t call) {
  const std::string list = Setting("KAVROLIN_SIM_RESULT");
  if (list.empty()) return 1;
  const std::string_view entry = PickEntry(list, ',', call);
  if (const std::optional<int16_t> code = ResultCode(entry)) return *code;
  Note("KAVROLIN_SIM_RESULT", entry, "answering 0");
  return 0;
}

std::string Response(std::string_view request, uint64_t call) {
  const std::string list = Setting("KAVROLIN_SIM_RESPONSE");
  if (!list.empty()) return ToAnsi(FromUtf8(PickEntry(list, '|', call)));
  std::string card = Setting("KAVROLIN_SIM_CARD");
  if (card.empty()) card = kDefaultCard;
  return DefaultResponse(ToAnsi(FromUtf8(card)), AmountField(request), call);
}

// Nothing for "none"; the current folder when unset or unusable.
std::optional<fs::path> ReceiptFolder() {
  const std::string value = Setting("KAVROLIN_SIM_PRINT");
  if (value.empty()) return fs::path(".");
  const Text text = FromUtf8(value);
  if (EqualsIgnoreCase(text, u"none")) return std::nullopt;
  try {
    return HostFolder(text);
  } catch (const AutomationError&) {
    Note("KAVROLIN_SIM_PRINT", value, "writing the receipt to the current folder");
    return fs::path(".");
  }
}

void Write(const fs::path& path, std::string_view bytes, bool append) {
  // Record lines go out in one write under a lock, so concurrent callers
  // never interleave within a line.
  std::string error;
  if (!WriteHostFile(path, bytes, append, error)) {
    std::fprintf(stderr, "terminal-sim: cannot write %s: %s\n", Display(path).c_str(), error.c_str());
  }
}

// The next answer of the trace KAVROLIN_SIM_REPLAY names; its position runs
// on across processes in a state file of its own beside the call number's.
std::optional<RecordedAnswer> Replayed(const std::string& trace_name) {
  std::ifstream in(HostFileNamed(trace_name), std::ios::binary);
  if (!in) {
    Note("KAVROLIN_SIM_REPLAY", trace_name, (std::string("answering 0: ") + std::strerror(errno)).c_str());
    return std::nullopt;
  }
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::vector<RecordedAnswer> answers = RecordedAnswers(text);
  fs::path position_file = StateFile();
  position_file += ".replay";
  const uint64_t position = NextCallNumber(position_file);
  if (position == 0 || position > answers.size()) {
    const std::string why = "answering 0: the trace holds " + std::to_string(answers.size()) +
                            " answers and this is call " + std::to_string(position) + " (remove " +
                            Display(position_file) + " to start over)";
    Note("KAVROLIN_SIM_REPLAY", trace_name, why.c_str());
    return std::nullopt;
  }
  return answers[position - 1];
}

int16_t Answer(const char* request_bytes, char* response) {
  const std::string request(request_bytes);
  const uint64_t call = NextCallNumber(StateFile());
  if (const uint64_t delay = Count("KAVROLIN_SIM_DELAY_MS", kMaxDelayMs)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(delay));
  }
  int16_t code = 0;
  std::string answer;
  if (const std::string replay = Setting("KAVROLIN_SIM_REPLAY"); !replay.empty()) {
    if (const std::optional<RecordedAnswer> recorded = Replayed(replay)) {
      // A record file holds no return code: KAVROLIN_SIM_RESULT gives it.
      code = recorded->code ? *recorded->code : Result(call);
      answer = recorded->utf8 ? ToAnsi(FromUtf8(recorded->response)) : recorded->response;
    }
  } else {
    code = Result(call);
    answer = Response(request, call);
  }

  std::memcpy(response, answer.data(), std::min(answer.size(), kResponseBytes));
  // Deliberately past the end of the contract's buffer: a misbehaving library.
  std::memset(response + kResponseBytes, 'X', Count("KAVROLIN_SIM_OVERRUN", kMaxOverrun));
  const std::string_view returned(response, kResponseBytes);

  if (const std::string record = Setting("KAVROLIN_SIM_RECORD"); !record.empty()) {
    Write(HostFileNamed(record), RecordLine(request, returned), true);
  }
  if (code == 1 && request != kInquiry) {
    if (const std::optional<fs::path> folder = ReceiptFolder()) {
      Write(*folder / "toprint.txt", ReceiptText(kTitle, ToAnsi(kSlip), returned), false);
    }
  }
  return code;
}

}  // namespace
}  // namespace kavrolin::terminal_sim

extern "C" short KAVROLIN_TRANS_CALL MenuApp(char* request, char* response) {
  // Nothing may unwind into the caller, which is not C++.
  try {
    return kavrolin::terminal_sim::Answer(request, response);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "terminal-sim: call failed: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "terminal-sim: call failed\n");
  }
  return 0;
}
