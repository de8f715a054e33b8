#include "kavrolin/reg_command.h"

#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>

#include "rules/registry_text.h"
#include "platform/common/registry_transfer.h"

namespace kavrolin::cli {
namespace {

namespace reg = platform::reg;

constexpr char kUsage[] =
    "usage: kavrolin reg export [KEY]   the key (e.g. HKCU\\Software\\Shop) or every root, as\n"
    "                                   \"Windows Registry Editor Version 5.00\" text\n"
    "       kavrolin reg import FILE    a .reg file (5.00 or REGEDIT4); FILE \"-\" reads stdin\n";

std::string StatusText(int32_t status) {
  std::string text;
  switch (status) {
    case reg::kFileNotFound: text = "not found"; break;
    case reg::kAccessDenied: text = "access denied"; break;
    case reg::kInvalidParameter: text = "a name is too long"; break;
    case reg::kBadPathname: text = "a key path starts with \"\\\" or has an empty level"; break;
    case reg::kBusy: text = "the registry stayed busy"; break;
    case reg::kBadDb: text = "registry.db is damaged or no database"; break;
    case reg::kCantRead: text = "registry.db cannot be opened or read"; break;
    case reg::kCantWrite: text = "registry.db cannot be written"; break;
    default: text = "the registry refused it"; break;
  }
  return text + " (error " + std::to_string(status) + ")";
}

int Export(Host& host, const std::vector<std::string>& args) {
  rules::RegText text;
  int32_t status = reg::kSuccess;
  if (args.size() == 2) {
    status = platform::ExportAll(*host.services.registry, text);
  } else {
    platform::RegHandle root = 0;
    Text path;
    if (!rules::SplitRegPath(FromUtf8(args[2]), root, path)) {
      *host.err << "kavrolin reg export: \"" << args[2]
                << "\" does not start with a root such as HKEY_CURRENT_USER or HKCU\n";
      return 2;
    }
    status = platform::ExportKey(*host.services.registry, root, path, text);
  }
  if (status != reg::kSuccess) {
    *host.err << "kavrolin reg export: " << (args.size() > 2 ? args[2] + ": " : "")
              << StatusText(status) << "\n";
    return 1;
  }
  try {
    *host.out << rules::WriteRegText(text);
  } catch (const rules::RegTextError& e) {
    *host.err << "kavrolin reg export: " << (args.size() > 2 ? args[2] + ": " : "") << e.what()
              << "; nothing was written\n";
    return 1;
  }
  return 0;
}

int Import(Host& host, const std::string& file) {
  std::string bytes;
  if (file == "-") {
    bytes.assign(std::istreambuf_iterator<char>(*host.in), std::istreambuf_iterator<char>());
  } else {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      *host.err << "kavrolin reg import: " << file << ": cannot be read\n";
      return 1;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  try {
    const rules::RegText text = rules::ParseRegText(bytes);
    size_t line = 0;
    const int32_t status = platform::ImportRegText(*host.services.registry, text, line);
    if (status != reg::kSuccess) {
      *host.err << "kavrolin reg import: " << file << ": line " << line << ": "
                << StatusText(status) << "; the lines before it were applied\n";
      return 1;
    }
    return 0;
  } catch (const rules::RegTextError& e) {
    *host.err << "kavrolin reg import: " << file << ": " << e.what() << "; nothing was changed\n";
    return 1;
  }
}

}  // namespace

int RunReg(Host& host, const std::vector<std::string>& args) {
  if (args.size() >= 2 && (args[1] == "-h" || args[1] == "--help")) {
    *host.out << kUsage;
    return 0;
  }
  if (args.size() >= 2 && args[1] == "export" && args.size() <= 3) return Export(host, args);
  if (args.size() == 3 && args[1] == "import") return Import(host, args[2]);
  *host.err << kUsage;
  return 2;
}

}  // namespace kavrolin::cli
