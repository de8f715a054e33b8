// The identifiers the outside world knows the library by: the type library,
// the three creatable classes with their default interfaces, and the two
// enumerations. Fixed for this version; never change one of them, hosts have
// them compiled in.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "base/text.h"

namespace kavrolin::component {

// A GUID kept as its sixteen bytes in text order (not the platform's memory
// layout, which only the Win32 shell needs).
struct Guid {
  std::array<uint8_t, 16> bytes{};

  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper-case hexadecimal.
  Text ToText() const;
  // The text form in either letter case, with or without the braces; nullopt
  // for anything else.
  static std::optional<Guid> Parse(TextView text);
  // For the fixed identifiers below; the literal must be a valid text form.
  static constexpr Guid Of(std::string_view text);

  bool operator==(const Guid&) const = default;
};

constexpr Guid Guid::Of(std::string_view text) {
  Guid guid;
  auto hex = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  size_t out = 0;
  for (size_t i = 0; i < text.size() && out < 32; ++i) {
    const int v = hex(text[i]);
    if (v < 0) continue;  // braces and dashes
    guid.bytes[out / 2] = static_cast<uint8_t>(guid.bytes[out / 2] | (out % 2 ? v : v << 4));
    ++out;
  }
  return guid;
}

// The type library.
inline constexpr char16_t kLibraryName[] = u"Kavrolin";
inline constexpr Guid kLibId = Guid::Of("{C3C2B4C4-09D1-45DC-B700-965DCD76F78E}");
inline constexpr uint16_t kLibraryMajor = 17;
inline constexpr uint16_t kLibraryMinor = 0;
inline constexpr uint32_t kLibraryLocale = 0x409;

enum class ClassKind { kInterFace, kHT, kRizhi };

struct ClassInfo {
  ClassKind kind;
  std::u16string_view name;            // "clsInterFace"
  std::u16string_view prog_id;         // "Kavrolin.clsInterFace"
  Guid clsid;
  std::u16string_view interface_name;  // "_clsInterFace"
  Guid iid;
};

// The three classes, in the order of the type library.
const std::vector<ClassInfo>& Classes();
const ClassInfo& InfoOf(ClassKind kind);

// The class named by its class name, its ProgID or its CLSID text; letter case
// does not matter. nullptr when no class answers to the name.
const ClassInfo* FindClass(TextView name);
const ClassInfo* FindClass(const Guid& clsid);

struct EnumInfo {
  std::u16string_view name;
  Guid guid;
  std::vector<std::pair<std::u16string_view, int32_t>> members;
};

// ExitMode (EXIT_LOGOFF 0, EXIT_SHUTDOWN 1, EXIT_REBOOT 2) and SpecFolder
// (WindowsFolder 0, SystemFolder 1, TemporaryFolder 2).
const EnumInfo& ExitModeEnum();
const EnumInfo& SpecFolderEnum();

}  // namespace kavrolin::component
