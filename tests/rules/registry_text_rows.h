// Registry text rows shared by the text rules' tests and the transfer tests:
// a readable description of parsed keys and values, and a text holding every
// kind of value.
#pragma once

#include <string>
#include <vector>

#include "base/ansi.h"
#include "rules/registry_text.h"

namespace kavrolin::rules::testing_rows {

using namespace std::string_literals;

// A value as text for comparisons: its name, deletion, type and data bytes.
inline std::string Describe(const RegTextValue& value) {
  std::string out = "\"" + ToUtf8(value.name) + "\"";
  if (value.remove) return out + "=-";
  out += " type " + std::to_string(value.type) + " [";
  for (unsigned char c : value.data) out += std::to_string(c) + " ";
  return out + "]";
}

inline std::vector<std::string> Describe(const RegText& text) {
  std::vector<std::string> out;
  for (const RegTextKey& key : text.keys) {
    out.push_back((key.remove ? "[-" : "[") + ToUtf8(RegRootName(key.root)) + "\\" +
                  ToUtf8(key.path) + "]");
    for (const RegTextValue& value : key.values) out.push_back(Describe(value));
  }
  return out;
}

inline RegTextValue Value(Text name, uint32_t type, std::string data) {
  RegTextValue value;
  value.name = std::move(name);
  value.type = type;
  value.data = std::move(data);
  return value;
}

// UTF-16LE with its mark, as the Windows editor saves a file.
inline std::string Utf16File(std::u16string_view text) { return "\xFF\xFE" + TextToUtf16Le(text); }

// Every kind of value, under keys of several roots, with deletions.
inline RegText EveryKind() {
  RegText text;
  RegTextKey shop;
  shop.root = reg::kCurrentUser;
  shop.path = u"Software\\Shop 中文";
  shop.values = {
      Value(u"", reg::kSz, "default\0"s),
      Value(u"plain", reg::kSz, "text\0"s),
      Value(u"empty", reg::kSz, "\0"s),
      Value(u"quote \" and back\\slash", reg::kSz, "C:\\dir\\\"x\"\0"s),
      Value(u"chinese", reg::kSz, ToAnsi(u"收银机") + '\0'),
      Value(u"no zero", reg::kSz, "abc"),
      Value(u"zero inside", reg::kSz, "a\0b\0"s),
      Value(u"line break", reg::kSz, "a\r\nb\0"s),
      Value(u"no data", reg::kSz, ""),
      Value(u"expand", reg::kExpandSz, ToAnsi(u"%SystemRoot%\\中") + '\0'),
      Value(u"multi", reg::kMultiSz, "one\0two\0\0"s),
      Value(u"binary empty", reg::kBinary, ""),
      Value(u"binary long", reg::kBinary, std::string(300, '\xA5')),
      Value(u"dword", reg::kDword, "\x2A\0\0\x80"s),
      Value(u"dword of two bytes", reg::kDword, "\x01\x02"),
      Value(u"big-endian", reg::kDwordBigEndian, "\0\0\0\x01"s),
      Value(u"qword", reg::kQword, "\x01\x02\x03\x04\x05\x06\x07\x08"),
      Value(u"none", reg::kNone, "\x01"),
      Value(u"type of no platform", 0x12345678, "\xFF"),
  };
  RegTextValue removed;
  removed.name = u"gone";
  removed.remove = true;
  shop.values.push_back(removed);
  RegTextKey machine;
  machine.root = reg::kLocalMachine;
  machine.path = u"Software\\Shop";
  RegTextKey old;
  old.root = reg::kClassesRoot;
  old.path = u"Old.Class";
  old.remove = true;
  RegTextKey root;
  root.root = reg::kUsers;
  root.values = {Value(u"at the root", reg::kSz, "1\0"s)};
  text.keys = {shop, machine, old, root};
  return text;
}

}  // namespace kavrolin::rules::testing_rows
