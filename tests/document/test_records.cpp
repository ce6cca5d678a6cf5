#include <gtest/gtest.h>

#include "document/records.h"

namespace kestrel {
namespace {

TEST(ActionArray, RemoveKeepsOtherNumbersAndCopiesAreIndependent) {
  CActionArray actions;
  for (int n = 0; n < 3; ++n) actions.Add({u"DELKEY=HKEY_USERS\\K" + std::u16string(1, char16_t(u'0' + n)), 0, n});
  actions.RemoveAt(1);
  ASSERT_EQ(actions.GetCount(), 2);
  EXPECT_EQ(actions.GetNumber(0), 0);
  EXPECT_EQ(actions.GetNumber(1), 2);
  ACTION copy = actions.GetAt(1);
  copy.text = u"changed";
  EXPECT_EQ(actions[1].text, u"DELKEY=HKEY_USERS\\K2");
  actions.SetAt(0, copy);
  EXPECT_EQ(actions[0].text, u"changed");
  actions.RemoveAll();
  EXPECT_TRUE(actions.IsEmpty());
}

}  // namespace
}  // namespace kestrel
