#include "component/registration.h"

#include <string>
#include <vector>

#include "base/ansi.h"
#include "rules/win_path.h"

namespace kavrolin::component {
namespace {

using platform::Registry;
using platform::RegKey;
namespace reg = platform::reg;

// The standard marshaler of automation-compatible interfaces.
constexpr char16_t kAutomationMarshaler[] = u"{00020424-0000-0000-C000-000000000046}";
// The classes' version (decimal, as hosts read it).
constexpr char16_t kVersion[] = u"17.0";

Text HexDigits(uint32_t value) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  Text digits;
  do {
    digits.insert(digits.begin(), kDigits[value % 16]);
    value /= 16;
  } while (value != 0);
  return digits;
}

// The type library's version as the platform's RegisterTypeLib writes it:
// hexadecimal, "11.0" for 17.0.
Text LibraryVersionKey() { return HexDigits(kLibraryMajor) + u"." + HexDigits(kLibraryMinor); }

// The key earlier builds wrote (decimal, neutral locale); unregistering
// removes it too.
Text EarlierLibraryVersionKey() {
  return Text(u"TypeLib\\") + kLibId.ToText() + u"\\17.0";
}

}  // namespace

std::vector<RegistrationEntry> RegistrationEntries(TextView server_file, TextView server_folder) {
  const Text libid = kLibId.ToText();
  const Text file(server_file);
  const Text library_version = LibraryVersionKey();
  std::vector<RegistrationEntry> entries;
  for (const ClassInfo& info : Classes()) {
    const Text prog_id(info.prog_id), clsid = info.clsid.ToText();
    const Text class_key = u"CLSID\\" + clsid;
    const Text interface_key = u"Interface\\" + info.iid.ToText();
    entries.insert(entries.end(), {
        {prog_id, u"", prog_id},
        {prog_id + u"\\CLSID", u"", clsid},
        {class_key, u"", prog_id},
        {class_key + u"\\ProgID", u"", prog_id},
        {class_key + u"\\VERSION", u"", kVersion},
        {class_key + u"\\InprocServer32", u"", file},
        {class_key + u"\\InprocServer32", u"ThreadingModel", u"Apartment"},
        {class_key + u"\\TypeLib", u"", libid},
        {interface_key, u"", Text(info.interface_name)},
        {interface_key + u"\\ProxyStubClsid", u"", kAutomationMarshaler},
        {interface_key + u"\\ProxyStubClsid32", u"", kAutomationMarshaler},
        {interface_key + u"\\TypeLib", u"", libid},
        {interface_key + u"\\TypeLib", u"Version", library_version},
    });
  }
  const Text library_key = u"TypeLib\\" + libid + u"\\" + library_version;
  entries.insert(entries.end(), {
      {library_key, u"", kLibraryName},
      {library_key + u"\\" + HexDigits(kLibraryLocale) + u"\\win32", u"", file},
      {library_key + u"\\FLAGS", u"", u"0"},
      {library_key + u"\\HELPDIR", u"", Text(server_folder)},
  });
  return entries;
}

namespace {

int32_t SetText(Registry& registry, TextView key, TextView name, TextView value) {
  platform::RegHandle handle = 0;
  if (const int32_t status =
          registry.CreateKey(reg::kClassesRoot, ToAnsi(key), reg::kKeyWrite, handle);
      status != reg::kSuccess) {
    return status;
  }
  const RegKey opened(registry, handle);
  std::string data = ToAnsi(value);
  data.push_back('\0');
  return registry.SetValue(handle, ToAnsi(name), reg::kSz, data);
}

// A REG_SZ value's text without its terminating zero; nullopt when missing.
std::optional<Text> GetText(Registry& registry, TextView key, TextView name) {
  platform::RegHandle handle = 0;
  if (registry.OpenKey(reg::kClassesRoot, ToAnsi(key), reg::kQueryValue, handle) != reg::kSuccess) {
    return std::nullopt;
  }
  const RegKey opened(registry, handle);
  const std::string value_name = ToAnsi(name);
  uint32_t type = 0, size = 0;
  if (registry.QueryValue(handle, value_name, &type, nullptr, &size) != reg::kSuccess ||
      (type != reg::kSz && type != reg::kExpandSz)) {
    return std::nullopt;
  }
  std::string data(size, '\0');
  if (registry.QueryValue(handle, value_name, &type, reinterpret_cast<uint8_t*>(data.data()),
                          &size) != reg::kSuccess) {
    return std::nullopt;
  }
  data.resize(std::min<size_t>(size, data.find('\0')));
  return FromAnsi(data);
}

// A missing key is no failure: unregistering twice is fine.
int32_t DeleteIfThere(Registry& registry, TextView key, bool with_sub_keys) {
  const std::string path = ToAnsi(key);
  const int32_t status = with_sub_keys ? registry.DeleteTree(reg::kClassesRoot, path)
                                       : registry.DeleteKey(reg::kClassesRoot, path);
  return status == reg::kFileNotFound ? reg::kSuccess : status;
}

}  // namespace

int32_t RegisterLibrary(Registry& registry, TextView server_file) {
  // The folder with its closing "\", as the installer's folder references
  // read, so the package and this function write the same text.
  Text folder = rules::win_path::ParentFolderName(server_file);
  if (folder.empty() || folder.back() != u'\\') folder += u'\\';
  for (const RegistrationEntry& entry : RegistrationEntries(server_file, folder)) {
    if (const int32_t status = SetText(registry, entry.key, entry.name, entry.value);
        status != reg::kSuccess) {
      return status;
    }
  }
  return reg::kSuccess;
}

int32_t UnregisterLibrary(Registry& registry) {
  const Text libid_key = u"TypeLib\\" + kLibId.ToText();
  std::vector<Text> trees;
  for (const ClassInfo& info : Classes()) {
    trees.push_back(Text(info.prog_id));
    trees.push_back(u"CLSID\\" + info.clsid.ToText());
    trees.push_back(u"Interface\\" + info.iid.ToText());
  }
  trees.push_back(libid_key + u"\\" + LibraryVersionKey());
  trees.push_back(EarlierLibraryVersionKey());
  int32_t first_failure = reg::kSuccess;
  for (const Text& key : trees) {
    const int32_t status = DeleteIfThere(registry, key, /*with_sub_keys=*/true);
    if (first_failure == reg::kSuccess) first_failure = status;
  }
  // Containers go only when empty: the registry refuses to delete a key that
  // still has sub-keys, and other servers' entries live there.
  for (const Text& key : {libid_key, Text(u"TypeLib"), Text(u"CLSID"), Text(u"Interface")}) {
    DeleteIfThere(registry, key, /*with_sub_keys=*/false);
  }
  return first_failure;
}

std::optional<RegisteredServer> FindRegisteredServer(Registry& registry, const ClassInfo& info) {
  const std::optional<Text> clsid_text = GetText(registry, Text(info.prog_id) + u"\\CLSID", u"");
  if (!clsid_text) return std::nullopt;
  const std::optional<Guid> clsid = Guid::Parse(*clsid_text);
  if (!clsid) return std::nullopt;
  std::optional<Text> file =
      GetText(registry, u"CLSID\\" + clsid->ToText() + u"\\InprocServer32", u"");
  if (!file || file->empty()) return std::nullopt;
  return RegisteredServer{*clsid, std::move(*file)};
}

}  // namespace kavrolin::component
