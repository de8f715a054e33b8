#include "kavrolin/members_command.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli_test_support.h"
#include "component/class_tables.h"
#include "component/interface_source.h"
#include "kavrolin/cli.h"

namespace kavrolin::cli {
namespace {

using json = nlohmann::json;

// The listing is checked against the member tables and the interface text the
// type library is built from, member by member.
TEST(MembersCommand, ListsEveryMemberAsTheTypeLibraryHasIt) {
  CliEnv env;
  const CliRun run = env.Run({"members", "--json"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const json classes = json::parse(run.out);
  const std::string idl = component::LibraryIdl();
  ASSERT_EQ(classes.size(), component::Classes().size());
  for (size_t c = 0; c < classes.size(); ++c) {
    const component::ClassInfo& info = component::Classes()[c];
    SCOPED_TRACE(ToUtf8(info.name));
    EXPECT_EQ(classes[c]["class"], ToUtf8(info.name));
    EXPECT_EQ(classes[c]["prog_id"], ToUtf8(info.prog_id));
    EXPECT_EQ(classes[c]["clsid"], ToUtf8(info.clsid.ToText()));
    const auto& members = component::TableOf(info.kind).members();
    ASSERT_EQ(classes[c]["members"].size(), members.size());
    for (size_t m = 0; m < members.size(); ++m) {
      const json& row = classes[c]["members"][m];
      SCOPED_TRACE(ToUtf8(members[m].name));
      EXPECT_EQ(row["name"], ToUtf8(members[m].name));
      EXPECT_EQ(row["dispid"], members[m].dispid);
      char hex[16];
      std::snprintf(hex, sizeof hex, "id(0x%08X)", static_cast<unsigned>(members[m].dispid));
      EXPECT_NE(idl.find(hex), std::string::npos) << hex;
      EXPECT_EQ(row["result"], component::IdlTypeName(members[m].result));
      ASSERT_EQ(row["params"].size(), members[m].params.size());
      for (size_t p = 0; p < members[m].params.size(); ++p) {
        const auto& param = members[m].params[p];
        EXPECT_EQ(row["params"][p]["name"], ToUtf8(param.name));
        EXPECT_EQ(row["params"][p]["optional"], param.optional);
        EXPECT_NE(idl.find(" " + ToUtf8(param.name)), std::string::npos) << ToUtf8(param.name);
      }
    }
  }
}

TEST(MembersCommand, OneClassOrOneMemberInPlainText) {
  const struct {
    std::vector<std::string> args;
    std::string out_has;
    std::string out_lacks;
  } rows[] = {
      {{"members", "clsHT"}, "  0x60030021 method HLeft([in] BSTR strIn, [in] long lngLen) -> BSTR\n", "clsInterFace"},
      {{"members", "Kavrolin.clsInterFace"}, "clsInterFace  ProgID Kavrolin.clsInterFace  CLSID {", "HLeft"},
      {{"members", "clsinterface.m_strsy"},
       "  0x40030007 propget m_strSY() -> BSTR\n  0x40030007 propput m_strSY([in] BSTR m_strSY) -> void\n",
       "Sale"},
      {{"members", "Kavrolin.clsHT.HLeft"}, "HLeft(", "Bin2Dec"},
      {{"members"}, "cls_Rizhi  ProgID Kavrolin.cls_Rizhi", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args.back());
    CliEnv env;
    const CliRun run = env.Run(row.args);
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_NE(run.out.find(row.out_has), std::string::npos) << run.out;
    if (!row.out_lacks.empty()) {
      EXPECT_EQ(run.out.find(row.out_lacks), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace kavrolin::cli
