// The substitute terminal library as the component sees it: loaded with
// dlopen, called through MenuApp with the buffers the component passes.
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using kavrolin::testing::ReadHostFile;
using kavrolin::testing::ScopedEnv;
using kavrolin::testing::TempDir;

using MenuAppEntry = short (*)(char*, char*);

constexpr size_t kResponseBytes = 43;
constexpr size_t kSlack = 4096;
constexpr size_t kGuard = 64;  // never written, even by the largest overrun
constexpr const char* kDefaultCard = "6222000000000009";

MenuAppEntry Entry() {
  static const MenuAppEntry entry = [] {
    // The code page is fixed on the library's first conversion.
    ::setenv("KAVROLIN_CODEPAGE", "936", 1);
    // Kept loaded for the life of the process, as the component keeps it.
    void* handle = ::dlopen(KAVROLIN_TRANS_PATH, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return MenuAppEntry{};
    return reinterpret_cast<MenuAppEntry>(::dlsym(handle, "MenuApp"));
  }();
  return entry;
}

struct Answer {
  short code = 0;
  std::string response;  // the 43 response bytes
  std::string after;     // everything behind them
};

Answer Call(const std::string& request) {
  std::vector<char> request_buffer(request.begin(), request.end());
  request_buffer.resize(request.size() + 1 + kSlack, '\0');
  std::vector<char> buffer(kResponseBytes + 1 + kSlack + kGuard, '\0');
  Answer answer;
  answer.code = Entry()(request_buffer.data(), buffer.data());
  answer.response.assign(buffer.data(), kResponseBytes);
  answer.after.assign(buffer.data() + kResponseBytes, buffer.size() - kResponseBytes);
  return answer;
}

std::string SaleRequest(const std::string& code, const std::string& amount) {
  return code + amount + "0000000000000001" + "01      " + "A1      ";
}

std::string Digits12(uint64_t n) {
  char text[32];
  std::snprintf(text, sizeof text, "%012llu", static_cast<unsigned long long>(n));
  return text;
}

std::string Padded(std::string text, size_t width) {
  text.resize(width, ' ');
  return text;
}

std::string Hex(const std::string& bytes) {
  std::string out;
  for (unsigned char b : bytes) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", b);
    out += pair;
  }
  return out;
}

class ScopedCwd {
 public:
  explicit ScopedCwd(const fs::path& to) : saved_(fs::current_path()) { fs::current_path(to); }
  ~ScopedCwd() { fs::current_path(saved_); }

 private:
  fs::path saved_;
};

// Every test starts from the defaults, with its own prefix and call counter.
class TerminalSimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Entry(), nullptr) << dlerror();
    for (const char* name : {"KAVROLIN_SIM_RESULT", "KAVROLIN_SIM_RESPONSE", "KAVROLIN_SIM_CARD",
                             "KAVROLIN_SIM_RECORD", "KAVROLIN_SIM_DELAY_MS",
                             "KAVROLIN_SIM_OVERRUN", "KAVROLIN_SIM_REPLAY"}) {
      Set(name, std::nullopt);
    }
    Set("KAVROLIN_PREFIX", (dir_.path() / "prefix").string());
    Set("KAVROLIN_SIM_PRINT", "none");
    FreshCounter();
  }

  void Set(const char* name, const std::optional<std::string>& value) {
    env_.push_back(std::make_unique<ScopedEnv>(name, value));
  }

  void FreshCounter() {
    const fs::path state = dir_.path() / ("state" + std::to_string(++counters_));
    Set("KAVROLIN_SIM_STATE", state.string());
  }

  TempDir dir_;
  std::vector<std::unique_ptr<ScopedEnv>> env_;
  int counters_ = 0;
};

TEST_F(TerminalSimTest, DefaultResponseCarriesCardAmountAndGrowingIndex) {
  struct Row {
    const char* label;
    std::optional<std::string> card;
    std::string request;
    std::string amount;
  } rows[] = {
      {"inquiry answers zero amount", std::nullopt, "06", "000000000000"},
      {"sale of the smallest amount", std::nullopt, SaleRequest("05", "000000000001"), "000000000001"},
      {"refund", std::nullopt, SaleRequest("08", "000000001234"), "000000001234"},
      {"largest amount", std::nullopt, SaleRequest("07", "999999999999"), "999999999999"},
      {"card filling 19 bytes", "4000123412341234567", SaleRequest("05", "000000000100"), "000000000100"},
      {"card longer than 19 bytes", "40001234123412345678901", SaleRequest("ff", "000000000200"), "000000000200"},
  };
  uint64_t call = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    Set("KAVROLIN_SIM_CARD", row.card);
    const Answer answer = Call(row.request);
    EXPECT_EQ(answer.code, 1);
    const std::string card = row.card.value_or(kDefaultCard).substr(0, 19);
    EXPECT_EQ(answer.response, Padded(card, 19) + row.amount + Digits12(++call));
    EXPECT_EQ(answer.after, std::string(answer.after.size(), '\0'));
  }
}

TEST_F(TerminalSimTest, ResultListGivesOneCodePerCallLastRepeating) {
  struct Row {
    const char* label;
    std::optional<std::string> setting;
    std::vector<short> codes;
  } rows[] = {
      {"unset", std::nullopt, {1, 1, 1, 1}},
      {"empty", "", {1, 1, 1, 1}},
      {"first call succeeds", "1,0", {1, 0, 0, 0}},
      {"negative and repeating", "0,7,-3", {0, 7, -3, -3}},
      {"not 16-bit integers count as 0", "1,x,40000,,2", {1, 0, 0, 0, 2, 2}},
      {"16-bit limits and blanks", "32767, -32768 ,+5", {32767, -32768, 5}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    FreshCounter();
    Set("KAVROLIN_SIM_RESULT", row.setting);
    for (size_t i = 0; i < row.codes.size(); ++i) {
      SCOPED_TRACE("call " + std::to_string(i + 1));
      EXPECT_EQ(Call(SaleRequest("05", "000000001234")).code, row.codes[i]);
    }
  }
}

TEST_F(TerminalSimTest, ResponseListIsConvertedAndCutTo43Bytes) {
  const std::string a43(43, 'a');
  struct Row {
    const char* label;
    std::string setting;
    std::vector<std::string> responses;  // expected bytes per call
  } rows[] = {
      {"one per call, last repeating", "first|" + a43 + "|third",
       {"first", a43, "third", "third"}},
      {"longer than 43 bytes is cut", a43 + "bcd", {a43}},
      {"Chinese becomes GBK bytes", "6222\xe4\xb8\xad\xe6\x96\x87|x", {"6222\xd6\xd0\xce\xc4", "x"}},
      {"a two-byte character at the end is cut to 43 bytes", std::string(42, '1') + "\xe4\xb8\xad",
       {std::string(42, '1') + "\xd6"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    FreshCounter();
    Set("KAVROLIN_SIM_RESPONSE", row.setting);
    for (const std::string& expected : row.responses) {
      const Answer answer = Call(SaleRequest("05", "000000001234"));
      EXPECT_EQ(answer.response, Padded(expected, 43).replace(expected.size(), std::string::npos,
                                                              43 - expected.size(), '\0'));
    }
  }
}

TEST_F(TerminalSimTest, ReplayAnswersWhatATraceRecordedInOrder) {
  const fs::path trace = dir_.path() / "payments-trace.txt";
  {
    std::FILE* file = std::fopen(trace.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("2024-01-31 14:05:09 record 1 request \"050000000003001               c       r       \"\n"
               "2024-01-31 14:05:09 record 1 response 1 \"622202******7890   000000000300000000000001\"\n"
               "some other line\n"
               "2024-01-31 14:06:00 record 2 response -1 \"\\x00\\x00\\x5C \"q\"\\x00\"\r\n"
               "2024-01-31 14:07:00 response 0 \"收银\"\n",
               file);
    std::fclose(file);
  }
  Set("KAVROLIN_SIM_REPLAY", trace.string());
  const struct {
    short code;
    std::string response;
  } rows[] = {
      {1, "622202******7890   000000000300000000000001"},
      {-1, std::string("\0\0\\ \"q\"\0", 8)},
      {0, "\xCA\xD5\xD2\xF8"},  // converted to the ANSI code page
      {0, ""},                  // past the end
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.code);
    const Answer answer = Call(SaleRequest("05", "000000000300"));
    EXPECT_EQ(answer.code, row.code);
    EXPECT_EQ(answer.response, row.response + std::string(kResponseBytes - row.response.size(), '\0'));
  }
}

TEST_F(TerminalSimTest, ReplayOfARecordFileTakesTheCodeFromTheResultList) {
  const fs::path record = dir_.path() / "calls.txt";
  Set("KAVROLIN_SIM_RECORD", record.string());
  Set("KAVROLIN_SIM_CARD", "6222021234567890");
  const Answer first = Call(SaleRequest("05", "000000001234"));
  const Answer second = Call(SaleRequest("05", "000000000001"));
  Set("KAVROLIN_SIM_RECORD", std::nullopt);
  Set("KAVROLIN_SIM_CARD", std::nullopt);
  Set("KAVROLIN_SIM_REPLAY", record.string());
  Set("KAVROLIN_SIM_RESULT", "0,1");
  FreshCounter();
  const Answer replayed_first = Call(SaleRequest("05", "000000000099"));
  const Answer replayed_second = Call(SaleRequest("05", "000000000099"));
  EXPECT_EQ(replayed_first.response, first.response);
  EXPECT_EQ(replayed_first.code, 0);
  EXPECT_EQ(replayed_second.response, second.response);
  EXPECT_EQ(replayed_second.code, 1);
}

TEST_F(TerminalSimTest, RecordHoldsRequestAndReturnedResponseInHex) {
  const fs::path record = dir_.path() / "calls.txt";
  Set("KAVROLIN_SIM_RECORD", record.string());
  std::string expected;
  struct Row {
    const char* label;
    std::optional<std::string> response;
    std::string request;
  } rows[] = {
      {"sale with the default response", std::nullopt, SaleRequest("05", "000000001234")},
      {"inquiry", std::nullopt, "06"},
      {"short response keeps its zero bytes", "short", SaleRequest("07", "000000000001")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    Set("KAVROLIN_SIM_RESPONSE", row.response);
    const Answer answer = Call(row.request);
    expected += Hex(row.request) + "\t" + Hex(answer.response) + "\n";
    EXPECT_EQ(ReadHostFile(record), expected);
  }
}

TEST_F(TerminalSimTest, ReceiptIsWrittenInAnsiWithCrLfOnlyForSuccessfulTransactions) {
  const fs::path host = dir_.path() / "slips";
  const fs::path drive_c = dir_.path() / "prefix" / "drive_c" / "Receipts";
  const fs::path cwd = dir_.path() / "cwd";
  fs::create_directories(host);
  fs::create_directories(drive_c);
  fs::create_directories(cwd);
  ScopedCwd in(cwd);
  struct Row {
    const char* label;
    std::optional<std::string> print;
    std::optional<std::string> result;
    std::string request;
    std::optional<fs::path> file;  // where the receipt must appear
    std::string amount;
  } rows[] = {
      {"default is the current folder", std::nullopt, std::nullopt, SaleRequest("05", "000000001234"), cwd, "12.34"},
      {"host path", host.string(), std::nullopt, SaleRequest("08", "000000000005"), host, "0.05"},
      {"Windows path through drive C", "C:\\RECEIPTS", "1", SaleRequest("07", "000000000000"), drive_c, "0.00"},
      {"largest amount", host.string(), std::nullopt, SaleRequest("05", "999999999999"), host, "9999999999.99"},
      {"unusable folder falls back to the current one", "\\\\server\\share", std::nullopt,
       SaleRequest("05", "000000000100"), cwd, "1.00"},
      {"none", "none", std::nullopt, SaleRequest("05", "000000001234"), std::nullopt, ""},
      {"failed transaction", host.string(), "0", SaleRequest("05", "000000001234"), std::nullopt, ""},
      {"inquiry", host.string(), std::nullopt, "06", std::nullopt, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    Set("KAVROLIN_SIM_PRINT", row.print);
    Set("KAVROLIN_SIM_RESULT", row.result);
    for (const fs::path& folder : {host, drive_c, cwd}) fs::remove(folder / "toprint.txt");
    const Answer answer = Call(row.request);
    for (const fs::path& folder : {host, drive_c, cwd}) {
      EXPECT_EQ(fs::exists(folder / "toprint.txt"), row.file == folder) << folder;
    }
    if (!row.file) continue;
    const std::string text = ReadHostFile(*row.file / "toprint.txt");
    const std::string heading = "KAVROLIN TERMINAL SIMULATOR\r\n";
    EXPECT_EQ(text, heading + "\xc7\xa9\xb9\xba\xb5\xa5 SALES SLIP\r\n" + "CARD NO: " + kDefaultCard +
                        "\r\nAMOUNT: " + row.amount + "\r\nINDEX: " + answer.response.substr(31) + "\r\n");
  }
}

TEST_F(TerminalSimTest, OverrunWritesExactlyTheExtraBytes) {
  struct Row {
    const char* label;
    std::optional<std::string> setting;
    size_t extra;
  } rows[] = {
      {"unset", std::nullopt, 0}, {"zero", "0", 0},          {"one", "1", 1},
      {"many", "100", 100},       {"limit", "4096", 4096},   {"capped", "5000", 4096},
      {"not a number", "ten", 0}, {"negative", "-3", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    Set("KAVROLIN_SIM_OVERRUN", row.setting);
    const Answer answer = Call(SaleRequest("05", "000000001234"));
    EXPECT_EQ(answer.code, 1);
    EXPECT_EQ(answer.response.substr(0, 19), Padded(kDefaultCard, 19));
    EXPECT_EQ(answer.after, std::string(row.extra, 'X') + std::string(answer.after.size() - row.extra, '\0'));
  }
}

TEST_F(TerminalSimTest, UnusableSettingsStillAnswer) {
  struct Row {
    const char* name;
    std::string value;
  } rows[] = {
      {"KAVROLIN_SIM_DELAY_MS", "soon"},
      {"KAVROLIN_SIM_DELAY_MS", "1"},
      {"KAVROLIN_SIM_STATE", (dir_.path() / "missing" / "state").string()},
      {"KAVROLIN_SIM_RECORD", (dir_.path() / "missing" / "record").string()},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.name) + "=" + row.value);
    Set(row.name, row.value);
    const Answer answer = Call(SaleRequest("05", "000000004321"));
    EXPECT_EQ(answer.code, 1);
    EXPECT_EQ(answer.response.substr(0, 31), Padded(kDefaultCard, 19) + "000000004321");
  }
  EXPECT_FALSE(fs::exists(dir_.path() / "missing"));
}

TEST_F(TerminalSimTest, CallNumbersRunOnAcrossProcesses) {
  EXPECT_EQ(Call("06").response.substr(31), Digits12(1));
  int pipe_fds[2];
  ASSERT_EQ(::pipe(pipe_fds), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const std::string response = Call("06").response;
    const bool sent = ::write(pipe_fds[1], response.data(), response.size()) ==
                      static_cast<ssize_t>(response.size());
    ::_exit(sent ? 0 : 1);
  }
  ::close(pipe_fds[1]);
  std::string from_child(kResponseBytes, '\0');
  const ssize_t got = ::read(pipe_fds[0], from_child.data(), from_child.size());
  ::close(pipe_fds[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_EQ(got, static_cast<ssize_t>(kResponseBytes));
  EXPECT_EQ(from_child.substr(31), Digits12(2));
  EXPECT_EQ(Call("06").response.substr(31), Digits12(3));
}

}  // namespace
