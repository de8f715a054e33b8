#include "component/ht_object.h"

#include <vector>

#include "component/class_tables.h"

namespace kavrolin::component {
namespace {

// Calls `member` with a local copy of the in/out text argument i and sets the
// copy back however the call ends: the member may change it and then fail.
template <class Member>
auto WithTextSetBack(CallArgs& args, size_t i, Member member) {
  Text value = args.text(i);
  struct SetBack {
    CallArgs& args;
    size_t i;
    const Text& value;
    ~SetBack() { args[i] = value; }
  } set_back{args, i, value};
  return member(value);
}

}  // namespace

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
    case ht_id::WriteLog:
      return object_.WriteLog(text(0), text(1));
    case ht_id::StringEnCrypt: {
      int32_t key = args.int32(1);
      Text target = text(2);
      Text scrambled = object_.StringEnCrypt(text(0), key, target);
      args[1] = key;
      args[2] = target;
      return scrambled;
    }
    case ht_id::EncodeString:
      return object_.EncodeString(text(0), args.int32(1));
    case ht_id::EncodeFile: {
      Text source = text(0), destination = text(1);
      int32_t seed = args.int32(2);
      return object_.EncodeFile(source, destination, seed);
    }
    case ht_id::FileKill: {
      Text name = text(0);
      bool read_only_too = args.boolean(1);
      return object_.FileKill(name, read_only_too);
    }
    case ht_id::ParsePath: {
      Text path = text(0);
      return object_.ParsePath(path);
    }
    case ht_id::GetPath: {
      Text path = text(0);
      return object_.GetPath(path);
    }
    case ht_id::ParseFileName: {
      Text path = text(0);
      return object_.ParseFileName(path);
    }
    case ht_id::GetFileExt: {
      Text path = text(0);
      return object_.GetFileExt(path);
    }
    case ht_id::Bin2Dec: {
      Text digits = text(0);
      return object_.Bin2Dec(digits);
    }
    case ht_id::Dec2Bin: {
      double value = args.number(0);
      return object_.Dec2Bin(value);
    }
    case ht_id::Bin2Hex: {
      Text digits = text(0);
      return object_.Bin2Hex(digits);
    }
    case ht_id::Hex2Bin:
      return WithTextSetBack(args, 0, [&](Text& digits) { return object_.Hex2Bin(digits); });
    case ht_id::Hex2Dec:
      return WithTextSetBack(args, 0, [&](Text& digits) { return object_.Hex2Dec(digits); });
    case ht_id::CheckBitStatus:
      return object_.CheckBitStatus(args.number(0), args.number(1));
    // --- system
    case ht_id::GetMachineName:
      return object_.GetMachineName();
    case ht_id::SetMachineName:
      return object_.SetMachineName(text(0));
    case ht_id::ExitWindows:
      return object_.ExitWindows(args.int32(0));
    case ht_id::LockFunction:
      return object_.LockFunction();
    case ht_id::UnLockFunction:
      return object_.UnLockFunction();
    // --- probe
    case ht_id::Ping: {
      Text address = text(0);
      const bool answered = object_.Ping(address);
      args[0] = address;
      return answered;
    }
    // --- file system
    case ht_id::CreateDirTree:
      return object_.CreateDirTree(text(0));
    case ht_id::GetFileSize: {
      Text name = text(0);
      const int32_t size = object_.GetFileSize(name);
      args[0] = name;
      return size;
    }
    case ht_id::GetFileLastModiTime: {
      Text name = text(0), mask = text(1);
      Text modified = object_.GetFileLastModiTime(name, mask);
      args[0] = name;
      args[1] = mask;
      return modified;
    }
    case ht_id::DriveExists:
      return object_.DriveExists(text(0));
    case ht_id::FileExists:
      return object_.FileExists(text(0));
    case ht_id::FolderExists:
      return object_.FolderExists(text(0));
    case ht_id::DeleteFile:
    case ht_id::DeleteFolder: {
      bool force = args.boolean(1);
      const bool deleted = member.dispid == ht_id::DeleteFile
                               ? object_.DeleteFile(text(0), force)
                               : object_.DeleteFolder(text(0), force);
      args[1] = force;
      return deleted;
    }
    case ht_id::GetBaseName:
      return object_.GetBaseName(text(0));
    case ht_id::GetDriveName:
      return object_.GetDriveName(text(0));
    case ht_id::GetExtensionName:
      return object_.GetExtensionName(text(0));
    case ht_id::GetFileName:
      return object_.GetFileName(text(0));
    case ht_id::GetParentFolderName:
      return object_.GetParentFolderName(text(0));
    case ht_id::GetSpecialFolder:
      return object_.GetSpecialFolder(args.int32(0));
    default:
      throw AutomationError(kActionNotSupported,
                            u"clsHT." + Text(member.name) + u" is not implemented yet");
  }
}

}  // namespace kavrolin::component
