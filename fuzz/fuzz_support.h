// Shared pieces of the fuzz targets: turning fuzzer bytes into the texts and
// numbers the code takes, a message box that only counts, and a temporary
// folder that the process removes when it ends.
//
// Targets throw nothing out of LLVMFuzzerTestOneInput: an AutomationError is
// a member's answer to bad input, and only a crash, a sanitizer report or a
// broken invariant (FuzzCheck) is a finding.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/text.h"
#include "platform/message_box.h"

namespace kavrolin::fuzz {

// A broken invariant: prints what was expected and stops, so libFuzzer keeps
// the input as a crash.
#define FUZZ_CHECK(condition)                                                   \
  do {                                                                          \
    if (!(condition)) {                                                         \
      std::fprintf(stderr, "invariant broken at %s:%d: %s\n", __FILE__, __LINE__, \
                   #condition);                                                 \
      std::abort();                                                             \
    }                                                                           \
  } while (0)

// UTF-16 units straight from the bytes (two a unit), so lone surrogates and
// U+0000 reach the code as they can through automation.
inline Text Units(FuzzedDataProvider& data, size_t max_units) {
  const std::string bytes = data.ConsumeRandomLengthString(max_units * 2);
  Text out;
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    out.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                        (static_cast<uint8_t>(bytes[i + 1]) << 8)));
  }
  return out;
}

// Units drawn from a small alphabet (one byte picks one), for inputs that
// should mostly look like what the code expects.
inline Text FromAlphabet(FuzzedDataProvider& data, std::u16string_view alphabet, size_t max_units) {
  const std::string picks = data.ConsumeRandomLengthString(max_units);
  Text out;
  for (unsigned char c : picks) out.push_back(alphabet[c % alphabet.size()]);
  return out;
}

class CountingMessageBox : public platform::MessageBox {
 public:
  void Show(TextView, TextView) override { ++shown; }
  int shown = 0;
};

// A folder of its own below the system's temporary folder, removed at exit.
// Nothing a target writes may lie outside it.
inline const std::filesystem::path& ScratchFolder() {
  static const std::filesystem::path folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "kavrolin-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    std::atexit([] { std::error_code ignored; std::filesystem::remove_all(ScratchFolder(), ignored); });
    return std::filesystem::path(pattern);
  }();
  return folder;
}

}  // namespace kavrolin::fuzz
