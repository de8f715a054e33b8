#include "component/identifiers.h"

namespace kavrolin::component {
namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";
// Where the dashes sit in the 32 digits of the text form.
constexpr bool DashBefore(size_t digit) {
  return digit == 8 || digit == 12 || digit == 16 || digit == 20;
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  c = AsciiUpper(c);
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

Text Guid::ToText() const {
  Text text = u"{";
  for (size_t digit = 0; digit < 32; ++digit) {
    if (DashBefore(digit)) text += u'-';
    const uint8_t byte = bytes[digit / 2];
    text += kHexDigits[digit % 2 ? (byte & 0xF) : (byte >> 4)];
  }
  text += u'}';
  return text;
}

std::optional<Guid> Guid::Parse(TextView text) {
  if (text.size() == 38) {
    if (text.front() != u'{' || text.back() != u'}') return std::nullopt;
    text = text.substr(1, 36);
  }
  if (text.size() != 36) return std::nullopt;
  Guid guid;
  size_t pos = 0;
  for (size_t digit = 0; digit < 32; ++digit) {
    if (DashBefore(digit) && text[pos++] != u'-') return std::nullopt;
    const int v = HexValue(text[pos++]);
    if (v < 0) return std::nullopt;
    guid.bytes[digit / 2] = static_cast<uint8_t>(guid.bytes[digit / 2] | (digit % 2 ? v : v << 4));
  }
  return guid;
}

const std::vector<ClassInfo>& Classes() {
  static const std::vector<ClassInfo> classes = {
      {ClassKind::kInterFace, u"clsInterFace", u"Kavrolin.clsInterFace",
       Guid::Of("{9F78969F-20F8-4D3E-AA8F-96A282178F6A}"), u"_clsInterFace",
       Guid::Of("{EB46F9CA-CEDC-4F67-AAE2-167D06674D96}")},
      {ClassKind::kHT, u"clsHT", u"Kavrolin.clsHT", Guid::Of("{8B834EB1-A42C-40CA-8B86-DAEFBCE66A39}"),
       u"_clsHT", Guid::Of("{E82E406F-A143-4E7F-943B-857ACCC0B15C}")},
      {ClassKind::kRizhi, u"cls_Rizhi", u"Kavrolin.cls_Rizhi",
       Guid::Of("{AD4BBBFB-4DAD-479E-9151-89957B5A8A43}"), u"_cls_Rizhi",
       Guid::Of("{10318D01-BAB8-49C2-BFEC-C1DC4900B0C3}")},
  };
  return classes;
}

const ClassInfo& InfoOf(ClassKind kind) {
  for (const ClassInfo& info : Classes()) {
    if (info.kind == kind) return info;
  }
  return Classes().front();  // unreachable: every kind has a row
}

const ClassInfo* FindClass(TextView name) {
  if (const auto guid = Guid::Parse(name)) return FindClass(*guid);
  for (const ClassInfo& info : Classes()) {
    if (EqualsIgnoreCase(name, info.name) || EqualsIgnoreCase(name, info.prog_id)) return &info;
  }
  return nullptr;
}

const ClassInfo* FindClass(const Guid& clsid) {
  for (const ClassInfo& info : Classes()) {
    if (info.clsid == clsid) return &info;
  }
  return nullptr;
}

const EnumInfo& ExitModeEnum() {
  static const EnumInfo info = {u"ExitMode", Guid::Of("{485FCC21-E5FF-490F-9739-0A22EDE0C20C}"),
                                {{u"EXIT_LOGOFF", 0}, {u"EXIT_SHUTDOWN", 1}, {u"EXIT_REBOOT", 2}}};
  return info;
}

const EnumInfo& SpecFolderEnum() {
  static const EnumInfo info = {
      u"SpecFolder", Guid::Of("{DE7DAD82-E043-4D14-BFD4-ECE213DB97C7}"),
      {{u"WindowsFolder", 0}, {u"SystemFolder", 1}, {u"TemporaryFolder", 2}}};
  return info;
}

}  // namespace kavrolin::component
