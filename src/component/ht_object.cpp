#include "component/ht_object.h"

#include <vector>

#include "component/class_tables.h"

namespace kavrolin::component {

namespace {

// The registry members' in/out arguments: the root, then `count` texts.
struct RegistryArgs {
  RegistryArgs(const CallArgs& args, size_t count) : root(args.int32(0)) {
    for (size_t i = 1; i <= count; ++i) texts.push_back(args.text(i));
  }
  void SetBack(CallArgs& args) const {
    args[0] = root;
    for (size_t i = 0; i < texts.size(); ++i) args[i + 1] = texts[i];
  }
  int32_t root;
  std::vector<Text> texts;
};

}  // namespace

HTObject::HTObject(platform::Services services)
    : DispatchObject(ClassKind::kHT), object_(std::move(services)) {}

Variant HTObject::Call(const Member& member, CallArgs& args) {
  // In/out parameters go to the member as locals and are set back into the
  // arguments afterwards, so the caller sees what the member left in them.
  auto text = [&](size_t i) { return args.text(i); };
  const bool put = member.kind == MemberKind::kPropertyPut;
  switch (member.dispid) {
    case ht_id::INIFile:
      if (put) {
        object_.INIFile(text(0));
        return Variant();
      }
      return object_.INIFile();
    case ht_id::LOGFile:
      if (put) {
        object_.LOGFile(text(0));
        return Variant();
      }
      return object_.LOGFile();
    case ht_id::GetIniKeyValue: {
      Text section = text(0), key = text(1);
      Text value = object_.GetIniKeyValue(section, key);
      args[0] = section;
      args[1] = key;
      return value;
    }
    case ht_id::GetIniKeyList: {
      Text section = text(0);
      Text list = object_.GetIniKeyList(section);
      args[0] = section;
      return list;
    }
    case ht_id::GetIniSectionList:
      return object_.GetIniSectionList();
    case ht_id::CalculateStr: {
      int16_t counter = args.int16(2);
      struct SetBack {  // the counter stands as far as it got, failure or not
        CallArgs& args;
        int16_t& counter;
        ~SetBack() { args[2] = counter; }
      } set_back{args, counter};
      return object_.CalculateStr(text(0), args[1], counter);
    }
    case ht_id::CreateIni: {
      Text folder = text(0), name = text(1);
      object_.CreateIni(folder, name);
      args[0] = folder;
      args[1] = name;
      return Variant();
    }
    case ht_id::SetIniFormat: {
      int32_t width = args.int32(0);
      const bool done = object_.SetIniFormat(width);
      args[0] = width;
      return done;
    }
    case ht_id::SetIniKeyValue: {
      Text section = text(0), key = text(1), value = text(2);
      const bool done = object_.SetIniKeyValue(section, key, value);
      args[0] = section;
      args[1] = key;
      args[2] = value;
      return done;
    }
    case ht_id::SetIniRemark:
      return object_.SetIniRemark(text(0), text(1));
    case ht_id::DelIniKey: {
      Text section = text(0), key = text(1);
      const bool done = object_.DelIniKey(section, key);
      args[0] = section;
      args[1] = key;
      return done;
    }
    case ht_id::DelIniSection: {
      Text section = text(0);
      const bool done = object_.DelIniSection(section);
      args[0] = section;
      return done;
    }
    case ht_id::SetRegKeyValue: {
      RegistryArgs io(args, 3);
      const bool done = object_.SetRegKeyValue(io.root, io.texts[0], io.texts[1], io.texts[2]);
      io.SetBack(args);
      return done;
    }
    case ht_id::GetRegKeyValue: {
      RegistryArgs io(args, 2);
      Text value = object_.GetRegKeyValue(io.root, io.texts[0], io.texts[1]);
      io.SetBack(args);
      return value;
    }
    case ht_id::DelRegKey: {
      RegistryArgs io(args, 1);
      const bool done = object_.DelRegKey(io.root, io.texts[0]);
      io.SetBack(args);
      return done;
    }
    case ht_id::DelRegKeyValue: {
      RegistryArgs io(args, 2);
      const bool done = object_.DelRegKeyValue(io.root, io.texts[0], io.texts[1]);
      io.SetBack(args);
      return done;
    }
    case ht_id::HLeft:
      return object_.HLeft(text(0), args.int32(1));
    case ht_id::FormatStrLn: {
      Text str = text(0), fill = text(2);
      int32_t width = args.int32(1);
      bool right = args.boolean(3);
      Text padded = object_.FormatStrLn(str, width, fill, right);
      args[0] = str;
      args[1] = width;
      args[2] = fill;
      args[3] = right;
      return padded;
    }
    case ht_id::StrDelimiter:
      return object_.StrDelimiter(args[0], text(1), text(2));
    case ht_id::StrReplaceRepeat:
      return object_.StrReplaceRepeat(args[0], text(1), text(2));
    case ht_id::StrReplaceComma:
      return object_.StrReplaceComma(args[0]);
    case ht_id::ConverStrToByte: {
      Text data = text(0);
      ByteArray bytes = object_.ConverStrToByte(data);
      args[0] = data;
      return bytes;
    }
    case ht_id::ConverByteToStr: {
      ByteArray buf = args[0].get<ByteArray>();
      Text converted = object_.ConverByteToStr(buf);
      args[0] = std::move(buf);
      return converted;
    }
    default:
      throw AutomationError(kActionNotSupported,
                            u"clsHT." + Text(member.name) + u" is not implemented yet");
  }
}

}  // namespace kavrolin::component
