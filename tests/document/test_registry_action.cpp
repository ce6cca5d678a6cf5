#include <gtest/gtest.h>

#include "document/registry_action.h"
#include "platform/text.h"

namespace kestrel {
namespace {

constexpr uint32_t kHkcu = 0x80000001u;

struct RegCase {
  const char16_t* text;
  int result;
  const char16_t* verb;
  uint32_t root;
  const char16_t* root_name;
  const char16_t* key_path;
  const char16_t* value_name;
  int has_value;
  const char16_t* composed;
};

TEST(RegistryActionString, ParseAndCompose) {
  const RegCase cases[] = {
      {u"DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile", 1, u"DELVAL", kHkcu, u"HKEY_CURRENT_USER",
       u"Software\\Example\\Recent", u"LastFile", 1, u"DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile"},
      {u"  delkey = HKEY_CURRENT_USER\\Software\\Example  ", 1, u"DELKEY", kHkcu, u"HKEY_CURRENT_USER",
       u"Software\\Example", u"", 0, u"DELKEY=HKEY_CURRENT_USER\\Software\\Example"},
      // The last comma splits: key paths may hold commas, value names may not.
      {u"DELVAL=HKEY_CURRENT_USER\\Software\\A,B,C", 1, u"DELVAL", kHkcu, u"HKEY_CURRENT_USER", u"Software\\A,B",
       u"C", 1, u"DELVAL=HKEY_CURRENT_USER\\Software\\A,B,C"},
      {u"DELKEY=hkey_users\\Example", 1, u"DELKEY", 0x80000003u, u"hkey_users", u"Example", u"", 0,
       u"DELKEY=hkey_users\\Example"},
      {u"DELKEY=HKEY_CURRENT_USER\\", 1, u"DELKEY", kHkcu, u"HKEY_CURRENT_USER", u"", u"", 0,
       u"DELKEY=HKEY_CURRENT_USER\\"},
      {u"EMPTYKEY=HKEY_LOCAL_MACHINE\\Software\\Example", 1, u"EMPTYKEY", 0x80000002u, u"HKEY_LOCAL_MACHINE",
       u"Software\\Example", u"", 0, u"EMPTYKEY=HKEY_LOCAL_MACHINE\\Software\\Example"},
      {u"DELKEY=HKEY_NOWHERE\\Example", 1, u"DELKEY", 0, u"HKEY_NOWHERE", u"Example", u"", 0,
       u"DELKEY=HKEY_NOWHERE\\Example"},
      {u"dellist=HKEY_CLASSES_ROOT\\K , Temp ", 1, u"DELLIST", 0x80000000u, u"HKEY_CLASSES_ROOT", u"K", u"Temp", 1,
       u"DELLIST=HKEY_CLASSES_ROOT\\K,Temp"},
      // Verb precedence: DELVAL is tried first wherever it stands.
      {u"DELKEY=HKEY_CURRENT_USER\\x DELVAL=HKEY_USERS\\a,b", 1, u"DELVAL", 0x80000003u, u"HKEY_USERS", u"a", u"b", 1,
       u"DELVAL=HKEY_USERS\\a,b"},
      // The split stops early: still a registry action, fields left empty.
      {u"DELVAL=HKEY_CURRENT_USER\\NoComma", 1, u"DELVAL", 0, u"", u"", u"", 1, u"DELVAL=\\,"},
      {u"DELKEY=NoBackslash", 1, u"DELKEY", 0, u"", u"", u"", 0, u"DELKEY=\\"},
      {u"DELVAL=", 0, nullptr, 0, nullptr, nullptr, nullptr, 0, nullptr},
      {u"   ", 0, nullptr, 0, nullptr, nullptr, nullptr, 0, nullptr},
      {u"C:\\Temp\\*.tmp /S", 0, nullptr, 0, nullptr, nullptr, nullptr, 0, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    REGACTION a;
    ASSERT_EQ(ParseRegAction(c.text, a), c.result);
    if (!c.result) continue;
    EXPECT_EQ(a.verb, c.verb);
    EXPECT_EQ(a.root, c.root);
    EXPECT_EQ(a.root_name, c.root_name);
    EXPECT_EQ(a.key_path, c.key_path);
    EXPECT_EQ(a.value_name, c.value_name);
    EXPECT_EQ(a.has_value, c.has_value);
    EXPECT_EQ(ComposeRegAction(a), c.composed);
  }
}

TEST(RegistryActionString, FailedParseLeavesVerbAtLastTried) {
  REGACTION a;
  EXPECT_EQ(ParseRegAction(u"DELVAL=", a), 0);
  EXPECT_EQ(a.verb, u"EMPTYKEY");
  EXPECT_TRUE(a.remainder.empty());
}

TEST(RegistryActionString, RootTableLogNames) {
  EXPECT_EQ(RootLogName(0x80000002u), u"Hkey_Local_Machine");
  EXPECT_EQ(RootLogName(0), u"");
  ASSERT_NE(FindRegistryRoot(u"Hkey_Classes_Root"), nullptr);
  EXPECT_EQ(FindRegistryRoot(u"HKCU"), nullptr);
}

}  // namespace
}  // namespace kestrel
