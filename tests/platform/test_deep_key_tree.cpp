#include <gtest/gtest.h>

#include <string>

#include "platform/reg_tree.h"
#include "platform/wine_hive.h"

namespace kestrel {
namespace {

// A hive is outside input: one key line of a few megabytes nests keys a
// million deep. Loading and freeing such a tree must not exhaust the stack.
TEST(DeepKeyTree, MillionDeepHiveKeyLoadsAndIsFreed) {
  constexpr int kDepth = 1000000;
  std::string hive = "WINE REGISTRY Version 2\n[";
  hive.reserve(hive.size() + 3 * kDepth + 32);
  for (int i = 0; i < kDepth; ++i) hive += "k\\\\";
  hive += "last] 1700000000\n\"v\"=\"x\"\n";
  {
    RegNode root;
    HiveLoadReport report;
    ASSERT_TRUE(ParseWineHive(hive, root, &report));
    EXPECT_EQ(report.keys, 1u);
    const RegNode* node = &root;
    for (int i = 0; i < kDepth && node; ++i) node = node->FindChild(u"k");
    ASSERT_NE(node, nullptr);
    const RegNode* last = node->FindChild(u"last");
    ASSERT_NE(last, nullptr);
    EXPECT_NE(last->FindValue(u"v"), nullptr);
  }  // freed here
}

}  // namespace
}  // namespace kestrel
