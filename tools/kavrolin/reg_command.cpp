#include "kavrolin/reg_command.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>

#include "kavrolin/cli.h"
#include "platform/common/registry_transfer.h"
#include "rules/registry_text.h"

namespace kavrolin::cli {
namespace {

namespace reg = platform::reg;

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

}  // namespace

std::string Grouped(size_t count) {
  std::string digits = std::to_string(count);
  for (size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, ",");
  return digits;
}

int RunRegExport(Host& host, const std::optional<std::string>& key) {
  rules::RegText text;
  int32_t status = reg::kSuccess;
  if (!key) {
    status = platform::ExportAll(*host.services.registry, text);
  } else {
    platform::RegHandle root = 0;
    Text path;
    if (!rules::SplitRegPath(FromUtf8(*key), root, path)) {
      *host.err << "kavrolin reg export: \"" << *key
                << "\" does not start with a root such as HKEY_CURRENT_USER or HKCU\n";
      return kExitUsage;
    }
    status = platform::ExportKey(*host.services.registry, root, path, text);
  }
  const std::string where = key ? *key + ": " : "";
  if (status != reg::kSuccess) {
    *host.err << "kavrolin reg export: " << where << StatusText(status) << "\n";
    return kExitFailed;
  }
  try {
    *host.out << rules::WriteRegText(text);
  } catch (const rules::RegTextError& e) {
    *host.err << "kavrolin reg export: " << where << e.what() << "; nothing was written\n";
    return kExitFailed;
  }
  return kExitOk;
}

int RunRegImport(Host& host, const std::string& file) {
  std::string bytes;
  if (file == "-") {
    bytes.assign(std::istreambuf_iterator<char>(*host.in), std::istreambuf_iterator<char>());
  } else {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      const int reason = errno;
      *host.err << "kavrolin reg import: " << file << ": cannot be read: " << std::strerror(reason) << "\n";
      return kExitFailed;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
      *host.err << "kavrolin reg import: " << file << ": cannot be read: " << std::strerror(errno) << "\n";
      return kExitFailed;
    }
  }
  const std::string name = file == "-" ? "standard input" : std::filesystem::path(file).filename().string();
  try {
    const rules::RegText text = rules::ParseRegText(bytes);
    const bool progress = host.err_is_terminal && text.keys.size() >= host.large_import_keys;
    const size_t step_keys = std::max<size_t>(1, host.large_import_keys / 4);
    size_t keys = 0, values = 0;
    // Applied a step of keys at a time, so a terminal can see it advance.
    for (size_t first = 0; first < text.keys.size(); first += step_keys) {
      rules::RegText step;
      step.form = text.form;
      const size_t last = std::min(text.keys.size(), first + step_keys);
      step.keys.assign(text.keys.begin() + first, text.keys.begin() + last);
      size_t line = 0;
      const int32_t status = platform::ImportRegText(*host.services.registry, step, line);
      if (status != reg::kSuccess) {
        if (progress) *host.err << "\n";
        *host.err << "kavrolin reg import: " << file << ": line " << line << ": " << StatusText(status)
                  << "; the lines before it were applied\n";
        return kExitFailed;
      }
      keys = last;
      for (size_t i = first; i < last; ++i) values += text.keys[i].values.size();
      if (progress) *host.err << "\rimporting " << name << ": " << Grouped(keys) << " of " << Grouped(text.keys.size()) << " keys" << std::flush;
    }
    if (progress) *host.err << "\n";
    *host.out << "imported " << Grouped(keys) << (keys == 1 ? " key, " : " keys, ") << Grouped(values)
              << (values == 1 ? " value" : " values") << " from " << name << "\n";
    return kExitOk;
  } catch (const rules::RegTextError& e) {
    *host.err << "kavrolin reg import: " << file << ": " << e.what() << "; nothing was changed\n";
    return kExitFailed;
  }
}

}  // namespace kavrolin::cli
