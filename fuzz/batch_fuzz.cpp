// The command line's batch input: any line gets exactly one answer line, a
// JSON object with an "error" member, never a crash. The session lives across
// the lines of one input, over a prefix of its own.
//
// Safety: lines that would reach members acting on files outside the
// prefix, on the machine's settings or on the network (deleting, writing
// INI and log files, encoding files, making folders, shutdown, renaming the
// machine, the key lock, the echo probe, the print file) are not passed on:
// a request line is handed to the session only when every member it names is
// on the list below. The list is one of members that touch nothing but the
// prefix (its registry and journal) and their own arguments.
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

#include "base/automation_error.h"
#include "kavrolin/batch.h"
#include "kavrolin/host.h"
#include "platform/posix/prefix.h"
#include "fuzz_support.h"

using namespace kavrolin;
using json = nlohmann::json;

namespace {

const std::set<std::string>& SafeMembers() {
  static const std::set<std::string> names = [] {
    std::set<std::string> lower;
    for (std::string name :
         {"Sale", "Inquery", "VoidSale", "VoidTH", "Qita", "GetCardNo", "GetCardMoney", "GetSY",
          "GetFanhui", "Initialize", "m_strFilePrn", "m_strAppPath", "m_strFanhui", "m_strCardNo",
          "m_strCardMoney", "m_strSY", "SetRegKeyValue", "GetRegKeyValue", "DelRegKey",
          "DelRegKeyValue", "CalculateStr", "INIFile", "LOGFile", "StringEnCrypt", "ParsePath",
          "GetPath", "ParseFileName", "GetFileExt", "EncodeString", "CheckBitStatus", "HLeft",
          "FormatStrLn", "StrDelimiter", "StrReplaceRepeat", "StrReplaceComma", "ConverStrToByte",
          "ConverByteToStr", "Bin2Dec", "Dec2Bin", "Bin2Hex", "Hex2Bin", "Hex2Dec", "GetBaseName",
          "GetDriveName", "GetExtensionName", "GetFileName", "GetParentFolderName",
          "GetMachineName"}) {
      for (char& c : name) c = static_cast<char>(AsciiLower(static_cast<char16_t>(c)));
      lower.insert(name);
    }
    return lower;
  }();
  return names;
}

// Whether the session may see this line: not JSON, or naming only safe members.
bool Admitted(const std::string& line) {
  const json request = json::parse(line, nullptr, false);
  if (request.is_discarded() || !request.is_object()) return true;
  if (request.contains("new") || request.contains("release")) return true;
  for (const char* verb : {"call", "get", "put"}) {
    const auto it = request.find(verb);
    if (it == request.end() || !it->is_string()) continue;
    const std::string& target = it->get_ref<const std::string&>();
    const size_t dot = target.find('.');
    if (dot == std::string::npos) continue;
    // Lowered as the dispatch layer compares names: ASCII letters only.
    Text member = FromUtf8(target.substr(dot + 1));
    std::string lower;
    for (char16_t c : member) {
      if (c > 0x7F) return false;
      lower += static_cast<char>(AsciiLower(c));
    }
    if (!SafeMembers().count(lower)) return false;
  }
  return true;
}

cli::Host& TheHost() {
  static cli::Host host = [] {
    const auto root = fuzz::ScratchFolder() / "prefix";
    ::setenv("KAVROLIN_PREFIX", root.c_str(), 1);
    // No terminal library: a transaction fails and journals that.
    ::setenv("KAVROLIN_TRANS_LIBRARY", (fuzz::ScratchFolder() / "no-libtrans.so").c_str(), 1);
    cli::Host made;
    made.services = platform::Services::Default();
    made.prefix = std::make_shared<platform::posix::Prefix>(root);
    return made;
  }();
  return host;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const std::string input(reinterpret_cast<const char*>(bytes), size);
  cli::BatchSession session(TheHost());
  std::istringstream lines(input);
  std::string line;
  while (std::getline(lines, line)) {
    if (!Admitted(line)) continue;
    const std::string answer = session.Handle(line);
    FUZZ_CHECK(answer.find('\n') == std::string::npos);
    const json parsed = json::parse(answer, nullptr, false);
    FUZZ_CHECK(!parsed.is_discarded() && parsed.is_object() && parsed.contains("error"));
  }
  return 0;
}
