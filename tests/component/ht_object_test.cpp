#include "component/ht_object.h"

#include <gtest/gtest.h>

#include <set>

#include "component/class_factory.h"
#include "component/class_tables.h"
#include "fakes/fake_message_box.h"
#include "fakes/services_in_prefix.h"
#include "support/temp_dir.h"

namespace kavrolin::component {
namespace {

class HTObjectTest : public ::testing::Test {
 protected:
  HTObjectTest() : factory_(env_.services), object_(factory_.Create(u"Kavrolin.clsHT")) {}
  InvokeResult Call(const char16_t* name, Arguments& args, MemberKind kind = MemberKind::kMethod) {
    return object_->Invoke(name, kind, args);
  }

  testing::ServicesInPrefix env_;
  ClassFactory factory_;
  ObjectRef object_;
};

TEST_F(HTObjectTest, PropertiesAndInOutWriteBack) {
  Arguments put{Variant(u"C:\\app.ini")};
  ASSERT_FALSE(Call(u"INIFile", put, MemberKind::kPropertyPut).error);
  Arguments none;
  EXPECT_EQ(Call(u"inifile", none, MemberKind::kPropertyGet).value, Variant(u"C:\\app.ini"));

  Arguments set{Variant(u"主"), Variant(u"k"), Variant(u"v")};
  EXPECT_EQ(Call(u"SetIniKeyValue", set).value, Variant(true));
  Arguments get{Variant(u"主"), Variant(u"K")};
  EXPECT_EQ(Call(u"GetIniKeyValue", get).value, Variant(u"v"));

  // Omitted optionals take their defaults; the fill character comes back cut.
  Arguments pad{Variant(u"12"), Variant(int32_t{5}), Variant(u"xyz")};
  EXPECT_EQ(Call(u"FormatStrLn", pad).value, Variant(u"xxx12"));
  ASSERT_EQ(pad.size(), 3u);
  EXPECT_EQ(pad[2], Variant(u"x"));
  Arguments unpadded{Variant(u"12")};
  EXPECT_EQ(Call(u"FormatStrLn", unpadded).value, Variant(u"12"));
}

TEST(HTObjectBindings, EveryTableRowRunsAMemberOfItsShape) {
  const auto& bindings = HTObject::Bindings();
  const auto& rows = HTTable().members();
  EXPECT_EQ(bindings.size(), rows.size());
  for (const Member& row : rows) {
    SCOPED_TRACE(ToUtf8(row.name) + (row.kind == MemberKind::kPropertyPut ? " (put)" : ""));
    size_t found = 0;
    for (const auto& binding : bindings) {
      if (binding.dispid != row.dispid || binding.kind != row.kind) continue;
      ++found;
      EXPECT_EQ(binding.member.signature(), SignatureOf(row));
    }
    EXPECT_EQ(found, 1u);
  }
}

// Every member with in/out parameters, each argument distinct, so a value
// set back into the wrong place or lost on the way shows. Texts with "ß",
// which code page 936 cannot hold, show which members hand back what
// crossed the code page.
TEST_F(HTObjectTest, InOutArgumentsComeBackAsTheMemberLeftThem) {
  Arguments ini{Variant(u"C:\\rt.ini")};
  ASSERT_FALSE(Call(u"INIFile", ini, MemberKind::kPropertyPut).error);
  constexpr int kResult = -1;  // no argument holds the result
  const Variant root(int32_t{-2147483647});
  const struct {
    const char16_t* member;
    Arguments args;
    std::vector<Variant> after;
    int result_in = kResult;  // the argument that receives the result
  } rows[] = {
      {u"SetIniKeyValue", {Variant(u"Sß"), Variant(u"Kß"), Variant(u"Vß")},
       {Variant(u"S?"), Variant(u"K?"), Variant(u"V?")}},
      {u"GetIniKeyValue", {Variant(u"Sß"), Variant(u"kß")}, {Variant(u"S?"), Variant(u"k?")}},
      {u"GetIniKeyList", {Variant(u"sß")}, {Variant(u"s?")}},
      {u"DelIniKey", {Variant(u"Sß"), Variant(u"Kß")}, {Variant(u"S?"), Variant(u"K?")}},
      {u"DelIniSection", {Variant(u"Sß")}, {Variant(u"S?")}},
      {u"CreateIni", {Variant(u"C:\\"), Variant(u"rt.ini")}, {Variant(u"C:\\"), Variant(u"rt.ini")}},
      {u"SetIniFormat", {Variant(u"7")}, {Variant(int32_t{7})}},
      {u"SetRegKeyValue", {Variant(u"&H80000001"), Variant(u"Software\\Sß"), Variant(u"Nß"), Variant(u"")},
       {root, Variant(u"Software\\S?"), Variant(u"N?"), Variant(u" ")}},
      {u"GetRegKeyValue", {root, Variant(u"software\\sß"), Variant(u"nß")},
       {root, Variant(u"software\\s?"), Variant(u"n?")}},
      {u"DelRegKeyValue", {root, Variant(u"Software\\Sß"), Variant(u"Nß")},
       {root, Variant(u"Software\\S?"), Variant(u"N?")}},
      {u"DelRegKey", {root, Variant(u"Software\\Sß")}, {root, Variant(u"Software\\S?")}},
      {u"CalculateStr", {Variant(u"abab"), Variant(u"b"), Variant(int16_t{5})},
       {Variant(u"abab"), Variant(u"b"), Variant(int16_t{7})}},
      {u"StringEnCrypt", {Variant(u"Hi"), Variant(int32_t{-3}), Variant(u"old")},
       {Variant(u"Hi"), Variant(int32_t{3}), Variant()}, 2},
      {u"FormatStrLn", {Variant(u"12"), Variant(u"5"), Variant(u"xyz"), Variant(u"False")},
       {Variant(u"12"), Variant(int32_t{5}), Variant(u"x"), Variant(false)}},
      {u"FileKill", {Variant(u"C:\\none\\*.zz"), Variant(int32_t{1})},
       {Variant(u"C:\\none\\*.zz"), Variant(true)}},
      {u"ParsePath", {Variant(u"C:\\dß\\f.tß")}, {Variant(u"C:\\dß\\f.tß")}},
      {u"GetPath", {Variant(u"C:\\dß\\f.tß")}, {Variant(u"C:\\dß\\f.tß")}},
      {u"ParseFileName", {Variant(u"C:\\dß\\f.tß")}, {Variant(u"C:\\dß\\f.tß")}},
      {u"GetFileExt", {Variant(u"C:\\dß\\f.tß")}, {Variant(u"C:\\dß\\f.tß")}},
      {u"EncodeFile", {Variant(u"C:\\in.bin"), Variant(u"C:\\out.bin"), Variant(u"17")},
       {Variant(u"C:\\in.bin"), Variant(u"C:\\out.bin"), Variant(int32_t{17})}},
      {u"Bin2Dec", {Variant(u"101")}, {Variant(u"101")}},
      {u"Dec2Bin", {Variant(u"5")}, {Variant(5.0)}},
      {u"Bin2Hex", {Variant(u"1010")}, {Variant(u"1010")}},
      {u"Hex2Bin", {Variant(u"0f")}, {Variant(u"0F")}},
      {u"Hex2Dec", {Variant(u"ff")}, {Variant(u"FF")}},
      {u"Ping", {Variant(u"127.0.0.1")}, {Variant(u"127.0.0.1")}},
      {u"ConverStrToByte", {Variant(u"Aß")}, {Variant(u"Aß")}},
      {u"ConverByteToStr", {Variant(ByteArray{true, 2, {65, 66}})}, {Variant(ByteArray{true, 2, {65, 66}})}},
      {u"GetFileSize", {Variant(u"C:\\nß.txt")}, {Variant(u"C:\\nß.txt")}},
      {u"GetFileLastModiTime", {Variant(u"C:\\nß.txt"), Variant(u"yyyy")},
       {Variant(u"C:\\nß.txt"), Variant(u"yyyy")}},
      {u"DeleteFile", {Variant(u"C:\\none.txt"), Variant(int32_t{1})}, {Variant(u"C:\\none.txt"), Variant(true)}},
      {u"DeleteFolder", {Variant(u"C:\\none"), Variant(u"0")}, {Variant(u"C:\\none"), Variant(false)}},
  };
  std::set<Text> covered;
  for (const auto& row : rows) {
    SCOPED_TRACE(ToUtf8(row.member));
    covered.insert(Text(row.member));
    Arguments args = row.args;
    const InvokeResult result = Call(row.member, args);
    EXPECT_FALSE(result.error) << result.error->what();
    ASSERT_EQ(args.size(), row.after.size());
    for (size_t i = 0; i < args.size(); ++i) {
      SCOPED_TRACE("argument " + std::to_string(i + 1));
      ASSERT_TRUE(args[i]);
      EXPECT_EQ(*args[i], static_cast<int>(i) == row.result_in ? result.value : row.after[i]);
    }
  }
  for (const Member& member : HTTable().members()) {
    const bool in_out = std::any_of(member.params.begin(), member.params.end(),
                                    [](const Parameter& p) { return p.direction == Direction::kInOut; });
    if (in_out) {
      EXPECT_TRUE(covered.count(Text(member.name))) << ToUtf8(member.name) << " has no row";
    }
  }
}

TEST_F(HTObjectTest, CounterStandsWhereItStoppedOnOverflow) {
  Arguments args{Variant(u"aaa"), Variant(u"a"), Variant(int16_t{32766})};
  const InvokeResult result = Call(u"CalculateStr", args);
  ASSERT_TRUE(result.error);
  EXPECT_EQ(result.error->number(), 6);
  EXPECT_EQ(args[2], Variant(int16_t{32767}));
}

TEST_F(HTObjectTest, ByteConversionsThroughDispatch) {
  Arguments text{Variant(u"AB")};
  EXPECT_EQ(Call(u"ConverStrToByte", text).value, Variant(ByteArray{true, 0, {0, 65, 66}}));
  Arguments bytes{Variant(ByteArray{true, 0, {0xD6, 0xD0}})};
  EXPECT_EQ(Call(u"ConverByteToStr", bytes).value, Variant(u"中"));
}

// --- log, scrambling, paths and number bases through dispatch, with the
// message box recorded.
class HTObjectToolkitTest : public ::testing::Test {
 protected:
  HTObjectToolkitTest() {
    env_.services.message_box = box_;
    object_ = ClassFactory(env_.services).Create(u"clsHT");
  }
  InvokeResult Call(const char16_t* name, Arguments& args, MemberKind kind = MemberKind::kMethod) {
    return object_->Invoke(name, kind, args);
  }

  testing::ServicesInPrefix env_;
  std::shared_ptr<testing::FakeMessageBox> box_ = std::make_shared<testing::FakeMessageBox>();
  ObjectRef object_;
};

TEST_F(HTObjectToolkitTest, LogFileNamesTheFileThatReceivedTheLine) {
  std::filesystem::create_directories(env_.C("logs"));
  Arguments folder{Variant(u"C:\\logs\\")};
  ASSERT_FALSE(Call(u"LOGFile", folder, MemberKind::kPropertyPut).error);
  Arguments line{Variant(u"E1"), Variant(u"paper out")};
  EXPECT_EQ(Call(u"WriteLog", line).value, Variant(true));
  Arguments none;
  EXPECT_EQ(Call(u"LOGFile", none, MemberKind::kPropertyGet).value,
            Variant(u"C:\\logs\\2024-01-31.LOG"));
  EXPECT_EQ(testing::ReadHostFile(env_.C("logs/2024-01-31.LOG")),
            "[E1  ] [2024-01-31 14:05:09] \"paper out\"\r\n");
}

TEST_F(HTObjectToolkitTest, StringEnCryptWritesBackKeyAndTarget) {
  Arguments args{Variant(u"Hello, World!"), Variant(int32_t{-5}), Variant(u"old")};
  const InvokeResult first = Call(u"StringEnCrypt", args);
  ASSERT_FALSE(first.error);
  EXPECT_EQ(args[1], Variant(int32_t{5}));
  EXPECT_EQ(args[2], first.value);
  // Without strTarget, the same key restores the text.
  Arguments back{first.value, Variant(int32_t{5})};
  EXPECT_EQ(Call(u"StringEnCrypt", back).value, Variant(u"Hello, World!"));
  EXPECT_TRUE(box_->messages.empty());

  Arguments overflow{Variant(u"abc"), Variant(int32_t{INT32_MIN}), Variant(u"old")};
  const InvokeResult failed = Call(u"StringEnCrypt", overflow);
  EXPECT_FALSE(failed.error);
  EXPECT_EQ(failed.value, Variant(u""));
  EXPECT_EQ(overflow[1], Variant(int32_t{INT32_MIN}));
  EXPECT_EQ(overflow[2], Variant(u"old"));
  EXPECT_EQ(box_->texts(), std::vector<Text>{u"6\\Overflow"});
}

TEST_F(HTObjectToolkitTest, CapitalsComeBackEvenWhenTheConversionOverflows) {
  const struct {
    const char16_t* member;
    Text in;
    int error;
  } rows[] = {
      {u"Hex2Bin", u"0f", 0},
      {u"Hex2Dec", u"ff", 0},
      {u"Hex2Bin", Text(32768, u'a'), 6},
      {u"Hex2Dec", Text(300, u'b'), 6},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(ToUtf8(row.member) + " of " + std::to_string(row.in.size()) + " units");
    Arguments args{Variant(row.in)};
    const InvokeResult result = Call(row.member, args);
    EXPECT_EQ(result.error ? result.error->number() : 0, row.error);
    Text capitals = row.in;
    for (char16_t& c : capitals) c = AsciiUpper(c);
    EXPECT_EQ(args[0], Variant(capitals));
  }
}

TEST_F(HTObjectToolkitTest, ConversionsShowTheirMessagesAndAnswerNeutrally) {
  const struct {
    const char* label;
    const char16_t* member;
    Arguments args;
    Variant result;
    std::vector<Text> messages;
  } rows[] = {
      {"Bin2Dec of 102", u"Bin2Dec", {Variant(u"102")}, Variant(0.0), {u"NOT A BINARY NUMBER"}},
      {"Dec2Bin of 2.5", u"Dec2Bin", {Variant(2.5)}, Variant(u""),
       {u"Only Whole Numbers can be converted"}},
      {"Hex2Dec of G1", u"Hex2Dec", {Variant(u"G1")}, Variant(0.0),
       {u"Number given is not in Hex format"}},
      {"CheckBitStatus of 5 and 1.5", u"CheckBitStatus", {Variant(5.0), Variant(1.5)},
       Variant(false), {u"Only Whole Numbers can be converted"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    box_->messages.clear();
    Arguments args = row.args;
    const InvokeResult result = Call(row.member, args);
    EXPECT_FALSE(result.error);
    EXPECT_EQ(result.value, row.result);
    EXPECT_EQ(box_->texts(), row.messages);
  }
}

TEST_F(HTObjectToolkitTest, PathsAndFilesThroughDispatch) {
  Arguments path{Variant(u"C:\\data\\in\\file.txt")};
  EXPECT_EQ(Call(u"ParsePath", path).value, Variant(u"C:\\data\\in\\"));
  EXPECT_EQ(Call(u"GetFileExt", path).value, Variant(u"txt"));
  Arguments too_long{Variant(Text(32768, u'a'))};
  const InvokeResult overflow = Call(u"ParseFileName", too_long);
  ASSERT_TRUE(overflow.error);
  EXPECT_EQ(overflow.error->number(), 6);

  testing::WriteHostFile(env_.C("data/a.bin"), std::string("\x00\x01\xff", 3));
  Arguments encode{Variant(u"C:\\data\\a.bin"), Variant(u"C:\\data\\b.bin"), Variant(int32_t{17})};
  EXPECT_EQ(Call(u"EncodeFile", encode).value, Variant(true));
  EXPECT_EQ(testing::ReadHostFile(env_.C("data/b.bin")), std::string("\x01\x00\xfe", 3));
  Arguments kill{Variant(u"C:\\data\\*.bin")};
  EXPECT_EQ(Call(u"FileKill", kill).value, Variant(true));
  EXPECT_FALSE(std::filesystem::exists(env_.C("data/a.bin")));
  EXPECT_FALSE(std::filesystem::exists(env_.C("data/b.bin")));
}

TEST_F(HTObjectTest, SystemProbeAndFileMembersThroughDispatch) {
  env_.system->name = "POS-01";
  platform::EchoReply reply;
  reply.address = 0x0100007F;
  env_.echo->answer = reply;
  testing::WriteHostFile(env_.C("POS/a.txt"), "abc");
  const struct {
    const char* label;
    const char16_t* member;
    Arguments args;
    Variant result;
    int error;  // 0: none
  } rows[] = {
      // Boundaries: the mode and folder values pass as they are, inside the
      // enumerations or not.
      {"exit with a mode outside the enumeration", u"ExitWindows", {Variant(int32_t{7})}, Variant(), 0},
      {"special folder outside the enumeration", u"GetSpecialFolder", {Variant(int32_t{3})},
       Variant(u""), 0},
      {"special folder as text", u"GetSpecialFolder", {Variant(u"1")},
       Variant(u"C:\\windows\\system32"), 0},
      // One row per service group.
      {"machine name", u"GetMachineName", {}, Variant(u"POS-01"), 0},
      {"rename", u"SetMachineName", {Variant(u"POS-02")}, Variant(true), 0},
      {"lock", u"LockFunction", {}, Variant(true), 0},
      {"unlock", u"UnLockFunction", {}, Variant(true), 0},
      {"probe", u"Ping", {Variant(u"127.0.0.1")}, Variant(true), 0},
      {"probe of a bad address fails the call", u"Ping", {Variant(u"1..2.3")}, Variant(), 13},
      {"directory tree", u"CreateDirTree", {Variant(u"C:\\POS\\LOG")}, Variant(true), 0},
      {"file size", u"GetFileSize", {Variant(u"C:\\POS\\a.txt")}, Variant(int32_t{3}), 0},
      {"file size of a missing file", u"GetFileSize", {Variant(u"C:\\POS\\b.txt")},
       Variant(int32_t{0}), 0},
      {"modification time of a missing file", u"GetFileLastModiTime",
       {Variant(u"C:\\POS\\b.txt")}, Variant(u""), 0},
      {"drive", u"DriveExists", {Variant(u"c:")}, Variant(true), 0},
      {"folder", u"FolderExists", {Variant(u"C:\\POS\\LOG")}, Variant(true), 0},
      {"extension", u"GetExtensionName", {Variant(u"C:\\POS\\a.txt")}, Variant(u"txt"), 0},
      {"delete with force left out", u"DeleteFile", {Variant(u"C:\\POS\\a.txt")}, Variant(true), 0},
      {"file gone", u"FileExists", {Variant(u"C:\\POS\\a.txt")}, Variant(false), 0},
      {"delete folder with force", u"DeleteFolder", {Variant(u"C:\\POS"), Variant(true)},
       Variant(true), 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Arguments args = row.args;
    const InvokeResult result = Call(row.member, args);
    EXPECT_EQ(result.error ? result.error->number() : 0, row.error);
    if (row.error == 0) {
      EXPECT_EQ(result.value, row.result);
    }
    // In/out texts and flags come back unchanged.
    for (size_t i = 0; i < row.args.size(); ++i) EXPECT_EQ(args[i], row.args[i]);
  }
  ASSERT_EQ(env_.system->exits.size(), 1u);
  EXPECT_EQ(env_.system->exits[0].flags, 7u);
  EXPECT_EQ(env_.system->names_set, std::vector<std::string>{"POS-02"});
  EXPECT_EQ(env_.echo->destination, 0x0100007Fu);
  EXPECT_FALSE(std::filesystem::exists(env_.C("POS")));
}

TEST_F(HTObjectTest, RegistryMembersWriteTheirInOutArgumentsBack) {
  // A root given as "&H" text is coerced to the 32-bit parameter and comes
  // back as the integer; the empty value comes back as the space stored.
  Arguments set{Variant(u"&H80000001"), Variant(u"Software\\Shop"), Variant(u"Name"),
                Variant(u"")};
  EXPECT_EQ(Call(u"SetRegKeyValue", set).value, Variant(true));
  EXPECT_EQ(set[0], Variant(int32_t{-2147483647}));
  EXPECT_EQ(set[3], Variant(u" "));
  Arguments get{Variant(int32_t{-2147483647}), Variant(u"software\\shop"), Variant(u"NAME")};
  EXPECT_EQ(Call(u"GetRegKeyValue", get).value, Variant(u" "));
  Arguments value{Variant(int32_t{-2147483647}), Variant(u"Software\\Shop"), Variant(u"Name")};
  EXPECT_EQ(Call(u"DelRegKeyValue", value).value, Variant(true));
  Arguments key{Variant(int32_t{-2147483647}), Variant(u"Software\\Shop")};
  EXPECT_EQ(Call(u"DelRegKey", key).value, Variant(true));
  Arguments unknown_root{Variant(int32_t{0}), Variant(u"Software")};
  EXPECT_EQ(Call(u"DelRegKey", unknown_root).value, Variant(false));
}

}  // namespace
}  // namespace kavrolin::component
