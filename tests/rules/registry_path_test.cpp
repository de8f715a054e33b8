#include "rules/registry_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rules/registry_types.h"

namespace kavrolin::rules {
namespace {

TEST(RegistryPath, SplitsAsThePlatformReadsAKeyPath) {
  struct Row {
    const char* label;
    Text path;
    int32_t status;
    std::vector<Text> names;
  };
  const std::vector<Row> rows = {
      {"empty: the key itself", u"", reg::kSuccess, {}},
      {"one name", u"Software", reg::kSuccess, {u"Software"}},
      {"one trailing separator", u"a\\b\\", reg::kSuccess, {u"a", u"b"}},
      {"a leading separator", u"\\a", reg::kBadPathname, {}},
      {"two trailing separators", u"a\\\\", reg::kBadPathname, {}},
      {"an empty name between two", u"a\\\\b", reg::kBadPathname, {}},
      {"only a separator", u"\\", reg::kBadPathname, {}},
      {"a name of 255 characters", Text(255, u'k'), reg::kSuccess, {Text(255, u'k')}},
      {"a name of 256 characters", u"a\\" + Text(256, u'k'), reg::kInvalidParameter, {}},
      {"characters beyond ASCII", u"软件\\键", reg::kSuccess, {u"软件", u"键"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    std::vector<Text> names;
    EXPECT_EQ(SplitKeyPath(row.path, names), row.status);
    if (row.status == reg::kSuccess) {
      EXPECT_EQ(names, row.names);
    }
  }
}

}  // namespace
}  // namespace kavrolin::rules
