// The stress workload: writer processes that share one prefix, each running
// a mix of transactions through the terminal simulator (with their journal
// lines), INI writes, registry writes and toolkit log lines, and recording
// every write whose call returned success in an acknowledgement file of its
// own; then the check of what the prefix holds against those records.
//
// Every write names its writer and its number, so each can be found again:
// the card number the simulator answers (KAVROLIN_SIM_CARD, set before each
// sale), the INI and registry values, the log description.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/ansi.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "toolkit/cls_ht.h"
#include "transaction/cls_inter_face.h"

namespace kavrolin::testing::stress {

inline constexpr int kSlots = 16;  // INI keys and registry values per writer
inline const char16_t kIniFile[] = u"C:\\stress\\shared.ini";
// The log takes the base name of LOGFile, so a name without extension.
inline const char16_t kLogFile[] = u"C:\\stress\\shared";

inline std::string CardOf(int writer, int op) {
  char text[32];
  std::snprintf(text, sizeof text, "9%03d%08d", writer, op);
  return text;
}
inline std::string DescOf(int writer, int op) { return "w" + std::to_string(writer) + "-" + std::to_string(op); }
inline std::string RegKeyOf(int writer) { return "Software\\Stress\\W" + std::to_string(writer); }

// Appends one record with one write to the writer's acknowledgement file.
inline void Acknowledge(int fd, const std::string& record) {
  const std::string line = record + "\n";
  if (::write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size())) std::_Exit(3);
}

// The writer: `ops` operations in turn: sale, INI write, registry write, log
// line. Records "J card", "I slot op", "R slot op", "L desc" after each
// success, "F kind op" after each failure. Runs in a child process; never
// returns.
[[noreturn]] inline void RunWriter(int writer, int ops, const std::filesystem::path& acks) {
  const int fd = ::open(acks.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) std::_Exit(2);
  platform::Services services = platform::Services::Default();
  transaction::clsInterFace pos(services);
  toolkit::clsHT ht(services);
  ht.INIFile(kIniFile);
  platform::Registry& registry = *services.registry;
  const std::string reg_key = RegKeyOf(writer);
  for (int op = 0; op < ops; ++op) {
    // Each kind comes every fourth operation; its writes cycle through the slots.
    const std::string slot = std::to_string((op / 4) % kSlots);
    switch (op % 4) {
      case 0: {
        const std::string card = CardOf(writer, op);
        ::setenv("KAVROLIN_SIM_CARD", card.c_str(), 1);
        const bool ok = pos.Sale(1.00 + op % 100, op, u"01", u"A1");
        Acknowledge(fd, ok ? "J " + card : "F sale " + std::to_string(op));
        break;
      }
      case 1: {
        Text section = FromUtf8("W" + std::to_string(writer));
        Text key = FromUtf8("K" + slot);
        Text value = FromUtf8(std::to_string(op));
        const bool ok = ht.SetIniKeyValue(section, key, value);
        Acknowledge(fd, ok ? "I " + slot + " " + std::to_string(op) : "F ini " + std::to_string(op));
        break;
      }
      case 2: {
        platform::RegHandle key = 0;
        int32_t status =
            registry.CreateKey(platform::reg::kCurrentUser, reg_key, platform::reg::kKeyWrite, key);
        if (status == platform::reg::kSuccess) {
          const platform::RegKey owned(registry, key);
          const std::string data = std::to_string(op) + std::string(1, '\0');
          status = registry.SetValue(key, "V" + slot, platform::reg::kSz, data);
        }
        Acknowledge(fd, status == platform::reg::kSuccess ? "R " + slot + " " + std::to_string(op)
                                                          : "F registry " + std::to_string(op));
        break;
      }
      default: {
        ht.LOGFile(kLogFile);  // a fixed file, not a folder, so every line goes there
        const bool ok = ht.WriteLog(FromUtf8("W" + std::to_string(writer)), FromUtf8(DescOf(writer, op)));
        Acknowledge(fd, ok ? "L " + DescOf(writer, op) : "F log " + std::to_string(op));
        break;
      }
    }
  }
  ::close(fd);
  std::_Exit(0);
}

// What the writers acknowledged, and what they reported failed.
struct Acks {
  std::set<std::string> cards, descs;
  std::map<std::pair<int, int>, int> ini, registry;  // (writer, slot) -> last op acknowledged
  std::map<std::string, int> failures;               // kind -> count
  int64_t records = 0;
};

// Reads one writer's acknowledgements; a last record without its line end
// (its writer was killed inside the write) does not count.
inline void ReadAcks(int writer, const std::filesystem::path& path, Acks& acks) {
  std::ifstream in(path, std::ios::binary);
  const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t start = 0;
  for (size_t end; (end = all.find('\n', start)) != std::string::npos; start = end + 1) {
    std::istringstream record(all.substr(start, end - start));
    std::string kind;
    record >> kind;
    ++acks.records;
    if (kind == "J") {
      std::string card;
      record >> card;
      acks.cards.insert(card);
    } else if (kind == "L") {
      std::string desc;
      record >> desc;
      acks.descs.insert(desc);
    } else if (kind == "I" || kind == "R") {
      int slot = 0, op = 0;
      record >> slot >> op;
      (kind == "I" ? acks.ini : acks.registry)[{writer, slot}] = op;
    } else if (kind == "F") {
      std::string what;
      record >> what;
      ++acks.failures[what];
    }
  }
}

// The lines of a record file, split at CR LF; `torn` counts bytes after the
// last line end.
inline std::vector<std::string> Lines(const std::filesystem::path& path, size_t& torn) {
  std::ifstream in(path, std::ios::binary);
  const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = all.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(all.substr(start, end - start));
  }
  torn = all.size() - start;
  return lines;
}

}  // namespace kavrolin::testing::stress
