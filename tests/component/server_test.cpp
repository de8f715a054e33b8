#include "component/server.h"

#include <gtest/gtest.h>

#include "fakes/services_in_prefix.h"

namespace kavrolin::component {
namespace {

const Guid kClsidHT = Guid::Of("{8B834EB1-A42C-40CA-8B86-DAEFBCE66A39}");
const Guid kUnknownGuid = Guid::Of("{01234567-89AB-CDEF-0123-456789ABCDEF}");

TEST(PlatformGuid, HoldsTheFieldsInTheMachinesOrder) {
  const PlatformGuid unknown = ToPlatform(kIidUnknown);
  EXPECT_EQ(unknown.data1, 0u);
  EXPECT_EQ(unknown.data4[0], 0xC0);
  EXPECT_EQ(unknown.data4[7], 0x46);
  const PlatformGuid ht = ToPlatform(kClsidHT);
  EXPECT_EQ(ht.data1, 0x8B834EB1u);
  EXPECT_EQ(ht.data2, 0xA42C);
  EXPECT_EQ(ht.data3, 0x40CA);
  EXPECT_EQ(ht.data4[0], 0x8B);
  EXPECT_EQ(ht.data4[7], 0x39);
  for (const ClassInfo& info : Classes()) EXPECT_EQ(FromPlatform(ToPlatform(info.clsid)), info.clsid);
}

struct ServerTest : ::testing::Test {
  // Asks for a factory; the test owns the reference it gets.
  HResult Get(const Guid& clsid, const Guid& iid, void** out) {
    const PlatformGuid c = ToPlatform(clsid), i = ToPlatform(iid);
    return GetClassObject(&c, &i, out, env.services, counts);
  }
  IKavrolinFactory* Factory(const Guid& clsid = kClsidHT) {
    void* out = nullptr;
    EXPECT_EQ(Get(clsid, kIidKavrolinFactory, &out), kOk);
    return static_cast<IKavrolinFactory*>(out);
  }

  testing::ServicesInPrefix env;
  LibraryCounts counts;
};

TEST_F(ServerTest, HandsOutFactoriesForTheThreeClassesOnly) {
  const struct {
    const char* label;
    Guid clsid, iid;
    HResult status;
  } rows[] = {
      {"unknown_class", kUnknownGuid, kIidClassFactory, kClassNotAvailable},
      {"interface_id_is_no_class", Classes()[1].iid, kIidClassFactory, kClassNotAvailable},
      {"unknown_interface", kClsidHT, kUnknownGuid, kNoInterface},
      {"dispatch_is_the_objects_not_the_factorys", kClsidHT, kIidDispatch, kNoInterface},
      {"unknown", kClsidHT, kIidUnknown, kOk},
      {"class_factory", Classes()[0].clsid, kIidClassFactory, kOk},
      {"own_factory", Classes()[2].clsid, kIidKavrolinFactory, kOk},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(Get(row.clsid, row.iid, &out), row.status);
    EXPECT_EQ(out != nullptr, row.status == kOk);
    if (out) static_cast<IUnknown*>(out)->Release();
  }
  const PlatformGuid c = ToPlatform(kClsidHT), i = ToPlatform(kIidUnknown);
  EXPECT_EQ(GetClassObject(&c, &i, nullptr, env.services, counts), kPointer);
  void* out = nullptr;
  EXPECT_EQ(GetClassObject(nullptr, &i, &out, env.services, counts), kPointer);
}

TEST_F(ServerTest, LibraryMayUnloadOnlyWithoutObjectsAndLocks) {
  IKavrolinFactory* factory = Factory();
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(CanUnloadNow(counts), kOk);  // a factory alone holds nothing

  const PlatformGuid unknown_iid = ToPlatform(kIidUnknown);
  void* unknown = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, &unknown_iid, &unknown), kOk);
  DispatchObject* object = nullptr;
  ASSERT_EQ(factory->CreateWithServices(env.services, &object), kOk);
  EXPECT_EQ(counts.objects->load(), 2);
  EXPECT_EQ(CanUnloadNow(counts), kFalse);

  static_cast<IUnknown*>(unknown)->Release();
  EXPECT_EQ(CanUnloadNow(counts), kFalse);
  object->Release();
  EXPECT_EQ(CanUnloadNow(counts), kOk);

  factory->LockServer(1);
  factory->LockServer(1);
  factory->LockServer(0);
  EXPECT_EQ(CanUnloadNow(counts), kFalse);
  factory->LockServer(0);
  factory->LockServer(0);  // unbalanced: stays at zero
  EXPECT_EQ(counts.locks.load(), 0);
  factory->LockServer(1);
  EXPECT_EQ(CanUnloadNow(counts), kFalse);
  factory->LockServer(0);
  EXPECT_EQ(CanUnloadNow(counts), kOk);
  factory->Release();
}

TEST_F(ServerTest, CreateInstanceRefusesAggregationAndOtherInterfaces) {
  IKavrolinFactory* factory = Factory();
  ASSERT_NE(factory, nullptr);
  const PlatformGuid dispatch = ToPlatform(kIidDispatch), unknown = ToPlatform(kIidUnknown);
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(factory), &unknown, &out), kNoAggregation);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(factory->CreateInstance(nullptr, &dispatch, &out), kNoInterface);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(factory->CreateInstance(nullptr, &unknown, nullptr), kPointer);
  EXPECT_EQ(CanUnloadNow(counts), kOk);
  factory->Release();
}

TEST_F(ServerTest, ObjectsOfTheOwnFactoryWorkWithTheHostsServices) {
  for (const ClassInfo& info : Classes()) {
    SCOPED_TRACE(ToUtf8(info.name));
    IKavrolinFactory* factory = Factory(info.clsid);
    ASSERT_NE(factory, nullptr);
    DispatchObject* raw = nullptr;
    ASSERT_EQ(factory->CreateWithServices(env.services, &raw), kOk);
    factory->Release();
    const ObjectRef object = ObjectRef::Adopt(raw);
    EXPECT_EQ(object->class_info().clsid, info.clsid);
  }
  IKavrolinFactory* factory = Factory();
  DispatchObject* raw = nullptr;
  ASSERT_EQ(factory->CreateWithServices(env.services, &raw), kOk);
  factory->Release();
  const ObjectRef ht = ObjectRef::Adopt(raw);
  Arguments args{Variant(Text(u"abcdef")), Variant(int32_t{3})};
  const InvokeResult result = ht->Invoke(u"HLeft", MemberKind::kMethod, args);
  ASSERT_FALSE(result.error);
  EXPECT_EQ(result.value.ToText(), u"abc");
}

}  // namespace
}  // namespace kavrolin::component
