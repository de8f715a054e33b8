#include "component/registration.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "base/ansi.h"
#include "fakes/services_in_prefix.h"

namespace kavrolin::component {
namespace {

namespace reg = platform::reg;
using platform::RegKey;

// Every key below `path` of HKEY_CLASSES_ROOT with its values, as
// "key|name|type|data" lines in a map.
void Snapshot(platform::Registry& registry, const std::string& path, std::map<std::string, std::string>& out) {
  platform::RegHandle handle = 0;
  ASSERT_EQ(registry.OpenKey(reg::kClassesRoot, path, reg::kKeyRead, handle), reg::kSuccess) << path;
  const RegKey opened(registry, handle);
  out[path] = "";
  std::string name, data;
  uint32_t type = 0;
  for (uint32_t i = 0; registry.EnumValue(handle, i, name, type, data) == reg::kSuccess; ++i) {
    out[path + "|" + name] = std::to_string(type) + "|" + data;
  }
  std::vector<std::string> keys;
  for (uint32_t i = 0; registry.EnumKey(handle, i, name) == reg::kSuccess; ++i) keys.push_back(name);
  for (const std::string& key : keys) Snapshot(registry, path.empty() ? key : path + "\\" + key, out);
}

std::map<std::string, std::string> Snapshot(platform::Registry& registry) {
  std::map<std::string, std::string> out;
  Snapshot(registry, "", out);
  return out;
}

std::string Value(platform::Registry& registry, const std::string& key, const std::string& name) {
  platform::RegHandle handle = 0;
  if (registry.OpenKey(reg::kClassesRoot, key, reg::kKeyRead, handle) != reg::kSuccess) return "<no key>";
  const RegKey opened(registry, handle);
  uint8_t data[1024];
  uint32_t type = 0, size = sizeof data;
  if (registry.QueryValue(handle, name, &type, data, &size) != reg::kSuccess) return "<no value>";
  return std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), size);
}

struct RegistrationTest : ::testing::Test {
  testing::ServicesInPrefix env;
  platform::Registry& registry = *env.services.registry;
};

TEST_F(RegistrationTest, WritesTheEntriesOfAnInProcessServer) {
  const Text file = u"C:\\Program Files\\收银\\Kavrolin.dll";
  ASSERT_EQ(RegisterLibrary(registry, file), reg::kSuccess);
  const std::string ansi_file = ToAnsi(file) + '\0';
  const std::string clsid = "{8B834EB1-A42C-40CA-8B86-DAEFBCE66A39}";
  const std::string libid = "{C3C2B4C4-09D1-45DC-B700-965DCD76F78E}";
  const struct {
    std::string key, name, value;
  } rows[] = {
      {"Kavrolin.clsHT", "", "1:Kavrolin.clsHT" + std::string(1, '\0')},
      {"Kavrolin.clsHT\\CLSID", "", "1:" + clsid + '\0'},
      {"CLSID\\" + clsid, "", "1:Kavrolin.clsHT" + std::string(1, '\0')},
      {"CLSID\\" + clsid + "\\ProgID", "", "1:Kavrolin.clsHT" + std::string(1, '\0')},
      {"CLSID\\" + clsid + "\\InprocServer32", "", "1:" + ansi_file},
      {"clsid\\" + clsid + "\\INPROCSERVER32", "threadingmodel", "1:Apartment" + std::string(1, '\0')},
      {"CLSID\\" + clsid + "\\TypeLib", "", "1:" + libid + '\0'},
      {"CLSID\\" + clsid + "\\VERSION", "", "1:17.0" + std::string(1, '\0')},
      {"Interface\\{E82E406F-A143-4E7F-943B-857ACCC0B15C}", "", "1:_clsHT" + std::string(1, '\0')},
      {"Interface\\{10318D01-BAB8-49C2-BFEC-C1DC4900B0C3}\\TypeLib", "Version", "1:11.0" + std::string(1, '\0')},
      {"Interface\\{EB46F9CA-CEDC-4F67-AAE2-167D06674D96}\\ProxyStubClsid32", "",
       "1:{00020424-0000-0000-C000-000000000046}" + std::string(1, '\0')},
      // The type library's version key is hexadecimal under locale 409.
      {"TypeLib\\" + libid + "\\11.0", "", "1:Kavrolin" + std::string(1, '\0')},
      {"TypeLib\\" + libid + "\\11.0\\409\\win32", "", "1:" + ansi_file},
      {"TypeLib\\" + libid + "\\11.0\\HELPDIR", "", "1:" + ToAnsi(u"C:\\Program Files\\收银\\") + '\0'},
      {"TypeLib\\" + libid + "\\17.0", "", "<no key>"},
      {"TypeLib\\" + libid + "\\11.0\\0\\win32", "", "<no key>"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.key + "|" + row.name);
    EXPECT_EQ(Value(registry, row.key, row.name), row.value);
  }
  for (const ClassInfo& info : Classes()) {
    SCOPED_TRACE(ToUtf8(info.prog_id));
    const auto server = FindRegisteredServer(registry, info);
    ASSERT_TRUE(server);
    EXPECT_EQ(server->clsid, info.clsid);
    EXPECT_EQ(server->file, file);
  }
}

TEST_F(RegistrationTest, UnregisterRemovesExactlyWhatRegisterWrote) {
  for (const bool others_there : {false, true}) {
    SCOPED_TRACE(others_there ? "beside other servers" : "alone");
    testing::ServicesInPrefix fresh;
    platform::Registry& store = *fresh.services.registry;
    if (others_there) {
      platform::RegHandle handle = 0;
      for (const char* key : {"CLSID\\{00000000-1111-2222-3333-444444444444}\\InprocServer32",
                              "TypeLib\\{C3C2B4C4-09D1-45DC-B700-965DCD76F78E}\\16.0", ".txt"}) {
        ASSERT_EQ(store.CreateKey(reg::kClassesRoot, key, reg::kKeyWrite, handle), reg::kSuccess);
        ASSERT_EQ(store.SetValue(handle, "", reg::kSz, std::string("other\0", 6)), reg::kSuccess);
        store.CloseKey(handle);
      }
    }
    const auto before = Snapshot(store);
    ASSERT_EQ(RegisterLibrary(store, u"C:\\k\\Kavrolin.dll"), reg::kSuccess);
    EXPECT_GT(Snapshot(store).size(), before.size() + 40);
    ASSERT_EQ(UnregisterLibrary(store), reg::kSuccess);
    EXPECT_EQ(Snapshot(store), before);
    EXPECT_EQ(UnregisterLibrary(store), reg::kSuccess);  // twice is fine
    EXPECT_FALSE(FindRegisteredServer(store, Classes()[0]));
  }
}

TEST_F(RegistrationTest, UnregisterRemovesTheDecimalTypeLibraryKeyOfEarlierBuilds) {
  const std::string earlier = "TypeLib\\{C3C2B4C4-09D1-45DC-B700-965DCD76F78E}\\17.0\\0\\win32";
  platform::RegHandle handle = 0;
  ASSERT_EQ(registry.CreateKey(reg::kClassesRoot, earlier, reg::kKeyWrite, handle), reg::kSuccess);
  ASSERT_EQ(registry.SetValue(handle, "", reg::kSz, std::string("C:\\old\\Kavrolin.dll\0", 20)),
            reg::kSuccess);
  registry.CloseKey(handle);
  const auto before = Snapshot(registry);
  ASSERT_EQ(UnregisterLibrary(registry), reg::kSuccess);
  EXPECT_EQ(Value(registry, earlier, ""), "<no key>");
  EXPECT_EQ(Value(registry, "TypeLib", ""), "<no key>") << "the emptied containers go too";
  EXPECT_LT(Snapshot(registry).size(), before.size());
}

TEST_F(RegistrationTest, LookUpFailsOnEveryBrokenStep) {
  const ClassInfo& ht = Classes()[1];
  platform::RegHandle handle = 0;
  const auto set = [&](const char* key, std::string data, uint32_t type = reg::kSz) {
    ASSERT_EQ(registry.CreateKey(reg::kClassesRoot, key, reg::kKeyWrite, handle), reg::kSuccess);
    ASSERT_EQ(registry.SetValue(handle, "", type, data), reg::kSuccess);
    registry.CloseKey(handle);
  };
  EXPECT_FALSE(FindRegisteredServer(registry, ht)) << "nothing registered";
  set("Kavrolin.clsHT\\CLSID", std::string("not a guid\0", 11));
  EXPECT_FALSE(FindRegisteredServer(registry, ht)) << "ProgID names no CLSID";
  set("Kavrolin.clsHT\\CLSID", std::string("{01234567-89AB-CDEF-0123-456789ABCDEF}\0", 39));
  EXPECT_FALSE(FindRegisteredServer(registry, ht)) << "CLSID not registered";
  set("CLSID\\{01234567-89AB-CDEF-0123-456789ABCDEF}\\InprocServer32", std::string("\x01\x02", 2), reg::kBinary);
  EXPECT_FALSE(FindRegisteredServer(registry, ht)) << "server path of another type";
  set("CLSID\\{01234567-89AB-CDEF-0123-456789ABCDEF}\\InprocServer32", std::string("C:\\x.dll\0", 9));
  const auto server = FindRegisteredServer(registry, ht);
  ASSERT_TRUE(server) << "a ProgID may lead to another CLSID";
  EXPECT_EQ(server->clsid.ToText(), u"{01234567-89AB-CDEF-0123-456789ABCDEF}");
  EXPECT_EQ(server->file, u"C:\\x.dll");
}

}  // namespace
}  // namespace kavrolin::component
