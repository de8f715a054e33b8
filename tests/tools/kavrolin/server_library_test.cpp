// The host and the real server library together: registration through the
// library's exports, creation by ProgID through the registry, unloading.
#include "kavrolin/server_library.h"

#include <gtest/gtest.h>

#include "cli_test_support.h"
#include "support/error_of.h"
#include "component/registration.h"
#include "kavrolin/object_source.h"

namespace kavrolin::cli {
namespace {

struct ServerLibraryTest : ::testing::Test {
  ServerLibraryTest() : prefix_env("KAVROLIN_PREFIX", env.prefix->root().string()) {}

  CliEnv env;
  testing::ScopedEnv prefix_env;  // the library's exports use the process's prefix
  const std::string library = KAVROLIN_LIBRARY_PATH;
};

TEST_F(ServerLibraryTest, RegisterThenCreateByProgIdThroughTheRegisteredLibrary) {
  const CliRun reg = env.Run({"register", library});
  ASSERT_EQ(reg.status, 0) << reg.err;
  EXPECT_EQ(reg.out, "registered " + library + "\n");

  const component::ClassInfo& ht = *component::FindClass(u"Kavrolin.clsHT");
  const auto server = component::FindRegisteredServer(*env.services.registry, ht);
  ASSERT_TRUE(server);
  EXPECT_TRUE(std::filesystem::equivalent(env.prefix->ToHost(server->file).path, library))
      << ToUtf8(server->file);

  // No library beside: the object can only come through the registry.
  LibraryObjectSource source(env.prefix, env.dir.path() / "nowhere" / "libkavrolin.so");
  std::string error;
  const auto loaded = ServerLibrary::Load(library, error);
  ASSERT_TRUE(loaded) << error;
  {
    for (const char* name : {"Kavrolin.clsHT", "clsHT", "kavrolin.CLSHT"}) {
      SCOPED_TRACE(name);
      component::ObjectRef object = source.Create(FromUtf8(name), env.services);
      component::Arguments args{Variant(Text(u"中文abc")), Variant(int32_t{3})};
      const auto result = object->Invoke(u"HLeft", component::MemberKind::kMethod, args);
      ASSERT_FALSE(result.error);
      EXPECT_EQ(result.value.ToText(), u"中");
      EXPECT_EQ(loaded->CanUnloadNow(), component::kFalse) << "an object of the library lives";
    }
  }
  EXPECT_EQ(loaded->CanUnloadNow(), component::kOk);

  const CliRun unreg = env.Run({"unregister", library});
  ASSERT_EQ(unreg.status, 0) << unreg.err;
  for (const auto& info : component::Classes()) {
    EXPECT_FALSE(component::FindRegisteredServer(*env.services.registry, info));
  }
  platform::RegHandle root = platform::reg::kClassesRoot;
  std::string name;
  EXPECT_EQ(env.services.registry->EnumKey(root, 0, name), platform::reg::kNoMoreItems)
      << "left behind: " << name;
}

TEST_F(ServerLibraryTest, WhereObjectsComeFrom) {
  // Not registered: the library beside the program, else the linked classes.
  LibraryObjectSource beside(env.prefix, library);
  EXPECT_EQ(beside.Create(u"cls_Rizhi", env.services)->class_info().name, u"cls_Rizhi");
  LibraryObjectSource linked(env.prefix, env.dir.path() / "none.so");
  EXPECT_EQ(linked.Create(u"Kavrolin.clsInterFace", env.services)->class_info().name, u"clsInterFace");
  EXPECT_EQ(testing::ErrorOf([&] { linked.Create(u"Kavrolin.Nothing", env.services); }), 429);

  // Registered to a file that is gone: a clear failure, not a silent fallback.
  ASSERT_EQ(component::RegisterLibrary(*env.services.registry, u"C:\\gone\\libkavrolin.so"), 0);
  try {
    beside.Create(u"clsHT", env.services);
    ADD_FAILURE() << "created from a library that is gone";
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), 429);
    EXPECT_NE(ToUtf8(e.description()).find("libkavrolin.so"), std::string::npos);
  }
}

TEST_F(ServerLibraryTest, CommandsReportALibraryThatIsNotOne) {
  const CliRun missing = env.Run({"register", (env.dir.path() / "missing.so").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("kavrolin register: "), std::string::npos);
  const CliRun not_server = env.Run({"unregister", KAVROLIN_TRANS_PATH});
  EXPECT_EQ(not_server.status, 1);
  EXPECT_NE(not_server.err.find("no export DllGetClassObject"), std::string::npos) << not_server.err;
}

}  // namespace
}  // namespace kavrolin::cli
