#include <gtest/gtest.h>

#include "platform/memory_registry.h"
#include "platform/text.h"

namespace kestrel {
namespace {

std::vector<std::u16string> SubkeyNames(const Registry& reg, const RegKey& key) {
  std::vector<std::u16string> names;
  std::u16string name;
  for (uint32_t i = 0; reg.EnumKey(key, i, 260, name) == ERROR_SUCCESS; ++i) names.push_back(name);
  return names;
}

std::vector<std::u16string> ValueNames(const Registry& reg, const RegKey& key) {
  std::vector<std::u16string> names;
  std::u16string name;
  for (uint32_t i = 0; reg.EnumValue(key, i, 260, name) == ERROR_SUCCESS; ++i) names.push_back(name);
  return names;
}

TEST(RegValueData, TextRoundTripStopsAtTerminator) {
  EXPECT_EQ(RegTextData(u"ab"), (std::vector<uint8_t>{'a', 0, 'b', 0, 0, 0}));
  EXPECT_EQ(RegValueText(RegTextData(u"C:\\x\u00e9")), u"C:\\x\u00e9");
  EXPECT_EQ(RegValueText({'a', 0, 0, 0, 'b', 0}), u"a");
  EXPECT_EQ(RegValueText({'a', 0, 'b'}), u"a");  // odd trailing byte ignored
  EXPECT_EQ(RegValueText({}), u"");
}

TEST(MemoryRegistry, ValuesOfEveryKindReadBackWithTheirType) {
  MemoryRegistry reg;
  reg.SetString(HKEY_CURRENT_USER, u"Software\\Example", u"", u"default")
      .SetString(HKEY_CURRENT_USER, u"Software\\Example", u"Name", u"text")
      .SetExpandString(HKEY_CURRENT_USER, u"Software\\Example", u"Path", u"%TEMP%\\x")
      .SetDword(HKEY_CURRENT_USER, u"Software\\Example", u"Count", 0x01020304)
      .SetBinary(HKEY_CURRENT_USER, u"Software\\Example", u"Blob", {1, 2, 3})
      .SetMultiString(HKEY_CURRENT_USER, u"Software\\Example", u"List", {u"a", u"bc"});
  RegKey key;
  ASSERT_EQ(reg.OpenKey(HKEY_CURRENT_USER, u"software\\EXAMPLE", KEY_READ, key), ERROR_SUCCESS);
  struct Case { const char16_t* name; uint32_t type; std::vector<uint8_t> data; };
  const Case cases[] = {
      {u"", REG_SZ, RegTextData(u"default")},
      {u"name", REG_SZ, RegTextData(u"text")},
      {u"PATH", REG_EXPAND_SZ, RegTextData(u"%TEMP%\\x")},
      {u"Count", REG_DWORD, {4, 3, 2, 1}},
      {u"blob", REG_BINARY, {1, 2, 3}},
      {u"List", REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 'c', 0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    RegValue v;
    ASSERT_EQ(reg.QueryValue(key, c.name, &v), ERROR_SUCCESS) << ToUtf8(c.name);
    EXPECT_EQ(v.type, c.type) << ToUtf8(c.name);
    EXPECT_EQ(v.data, c.data) << ToUtf8(c.name);
    EXPECT_EQ(reg.QueryValue(key, c.name, nullptr), ERROR_SUCCESS);
  }
  EXPECT_EQ(reg.QueryValue(key, u"Missing", nullptr), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(ValueNames(reg, key),
            (std::vector<std::u16string>{u"", u"Name", u"Path", u"Count", u"Blob", u"List"}));
}

TEST(MemoryRegistry, SettingAValueAgainReplacesItInPlace) {
  MemoryRegistry reg;
  reg.SetString(HKEY_CURRENT_USER, u"K", u"a", u"1")
      .SetString(HKEY_CURRENT_USER, u"K", u"b", u"2")
      .SetDword(HKEY_CURRENT_USER, u"K", u"A", 7);
  RegKey key;
  ASSERT_EQ(reg.OpenKey(HKEY_CURRENT_USER, u"K", KEY_READ, key), ERROR_SUCCESS);
  EXPECT_EQ(ValueNames(reg, key), (std::vector<std::u16string>{u"a", u"b"}));
  RegValue v;
  ASSERT_EQ(reg.QueryValue(key, u"a", &v), ERROR_SUCCESS);
  EXPECT_EQ(v.type, REG_DWORD);
}

TEST(MemoryRegistry, ManyValuesKeepOrderAndLookup) {
  MemoryRegistry reg;
  for (int i = 0; i < 200; ++i)
    reg.SetDword(HKEY_LOCAL_MACHINE, u"Big", U("v" + std::to_string(i)), uint32_t(i));
  reg.SetDword(HKEY_LOCAL_MACHINE, u"Big", u"V150", 9999);  // past the size where lookups are indexed
  RegKey key;
  ASSERT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE, u"Big", KEY_READ, key), ERROR_SUCCESS);
  auto names = ValueNames(reg, key);
  ASSERT_EQ(names.size(), 200u);
  EXPECT_EQ(names[150], u"v150");
  RegValue v;
  ASSERT_EQ(reg.QueryValue(key, u"v150", &v), ERROR_SUCCESS);
  EXPECT_EQ(v.data, (std::vector<uint8_t>{0x0F, 0x27, 0, 0}));
}

TEST(MemoryRegistry, SubkeysEnumerateSortedWithoutRegardToCase) {
  MemoryRegistry reg;
  for (auto name : {u"beta", u"Alpha", u"_under", u"GAMMA", u"alpha2", u"Zeta", u"a"})
    reg.AddKey(HKEY_LOCAL_MACHINE, std::u16string(u"Software\\") + name);
  RegKey key;
  ASSERT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE, u"Software", KEY_READ, key), ERROR_SUCCESS);
  // "_" (0x5F) sorts after the upper-cased letters, as on Windows.
  EXPECT_EQ(SubkeyNames(reg, key), (std::vector<std::u16string>{u"a", u"Alpha", u"alpha2", u"beta",
                                                                 u"GAMMA", u"Zeta", u"_under"}));
  // Out-of-order and repeated indexes give the same answers as a fresh walk.
  std::u16string name;
  EXPECT_EQ(reg.EnumKey(key, 4, 260, name), ERROR_SUCCESS);
  EXPECT_EQ(name, u"GAMMA");
  EXPECT_EQ(reg.EnumKey(key, 1, 260, name), ERROR_SUCCESS);
  EXPECT_EQ(name, u"Alpha");
  EXPECT_EQ(reg.EnumKey(key, 7, 260, name), ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(SubkeyNames(reg, RegKey::Root(HKEY_LOCAL_MACHINE)), (std::vector<std::u16string>{u"Software"}));
}

TEST(MemoryRegistry, NameBufferBoundaryAnswersMoreData) {
  MemoryRegistry reg;
  std::u16string fits(259, u'k'), too_long(260, u'k');
  reg.AddKey(HKEY_CURRENT_USER, u"K\\" + fits).AddKey(HKEY_CURRENT_USER, u"K\\" + too_long);
  reg.SetDword(HKEY_CURRENT_USER, u"K", fits, 1).SetDword(HKEY_CURRENT_USER, u"K", too_long, 2);
  RegKey key;
  ASSERT_EQ(reg.OpenKey(HKEY_CURRENT_USER, u"K", KEY_READ, key), ERROR_SUCCESS);
  std::u16string name;
  EXPECT_EQ(reg.EnumKey(key, 0, 260, name), ERROR_SUCCESS);
  EXPECT_EQ(name, fits);
  EXPECT_EQ(reg.EnumKey(key, 1, 260, name), ERROR_MORE_DATA);
  EXPECT_EQ(reg.EnumKey(key, 1, 261, name), ERROR_SUCCESS);
  EXPECT_EQ(reg.EnumValue(key, 0, 260, name), ERROR_SUCCESS);
  EXPECT_EQ(reg.EnumValue(key, 1, 260, name), ERROR_MORE_DATA);
  EXPECT_EQ(reg.EnumValue(key, 2, 260, name), ERROR_NO_MORE_ITEMS);
}

TEST(MemoryRegistry, QueryValueReportsMoreDataOverTheLimit) {
  MemoryRegistry reg;
  reg.SetBinary(HKEY_LOCAL_MACHINE, u"K", u"exact", std::vector<uint8_t>(5198, 1))
      .SetBinary(HKEY_LOCAL_MACHINE, u"K", u"over", std::vector<uint8_t>(5199, 1));
  RegKey key;
  ASSERT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE, u"K", KEY_QUERY_VALUE, key), ERROR_SUCCESS);
  RegValue v;
  EXPECT_EQ(reg.QueryValue(key, u"exact", &v, 5198), ERROR_SUCCESS);
  EXPECT_EQ(v.data.size(), 5198u);
  EXPECT_EQ(reg.QueryValue(key, u"over", &v, 5198), ERROR_MORE_DATA);
  EXPECT_EQ(reg.QueryValue(key, u"over", nullptr, 5198), ERROR_SUCCESS);  // only asks for existence
}

TEST(MemoryRegistry, NotDeletableKeyRefusesWritingRightsButReads) {
  MemoryRegistry reg;
  reg.SetString(HKEY_LOCAL_MACHINE, u"Locked\\Child", u"v", u"x")
      .SetNotDeletable(HKEY_LOCAL_MACHINE, u"Locked");
  const uint32_t delete_rights = DELETE | KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_ENUMERATE_SUB_KEYS;
  RegKey key;
  EXPECT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE, u"Locked", KEY_ALL_ACCESS, key), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(key.IsOpen());
  EXPECT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE, u"Locked", delete_rights, key), ERROR_ACCESS_DENIED);
  EXPECT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE, u"Locked", KEY_READ, key), ERROR_SUCCESS);
  RegKey child;
  EXPECT_EQ(reg.OpenKey(key, u"Child", KEY_ALL_ACCESS, child), ERROR_SUCCESS);
  EXPECT_EQ(reg.QueryValue(child, u"V", nullptr), ERROR_SUCCESS);
}

TEST(MemoryRegistry, OpenPathForms) {
  MemoryRegistry reg;
  reg.SetString(HKEY_CURRENT_USER, u"Software\\Example\\Sub", u"v", u"x");
  struct Case { const char16_t* path; long rc; };
  const Case cases[] = {
      {u"Software\\Example\\Sub", ERROR_SUCCESS},
      {u"SOFTWARE\\example\\sUB", ERROR_SUCCESS},
      {u"Software\\Example\\Sub\\", ERROR_SUCCESS},
      {u"Software\\Missing", ERROR_FILE_NOT_FOUND},
      {u"Software\\Example\\Sub\\Deeper", ERROR_FILE_NOT_FOUND},
      {u"\\Software", ERROR_BAD_PATHNAME},
      {u"Software\\\\Example", ERROR_BAD_PATHNAME},
  };
  for (const auto& c : cases) {
    RegKey key;
    EXPECT_EQ(reg.OpenKey(HKEY_CURRENT_USER, c.path, KEY_READ, key), c.rc) << ToUtf8(c.path);
    EXPECT_EQ(key.IsOpen(), c.rc == ERROR_SUCCESS) << ToUtf8(c.path);
  }
  // Below an opened key, and the empty path opening the key itself again.
  RegKey example, again, sub;
  ASSERT_EQ(reg.OpenKey(HKEY_CURRENT_USER, u"Software\\Example", KEY_READ, example), ERROR_SUCCESS);
  ASSERT_EQ(reg.OpenKey(example, u"", KEY_READ, again), ERROR_SUCCESS);
  ASSERT_EQ(reg.OpenKey(again, u"sub", KEY_READ, sub), ERROR_SUCCESS);
  EXPECT_EQ(reg.QueryValue(sub, u"v", nullptr), ERROR_SUCCESS);
  RegKey root;
  ASSERT_EQ(reg.OpenKey(HKEY_CURRENT_USER, u"", KEY_READ, root), ERROR_SUCCESS);
  EXPECT_EQ(root.RootValue(), HKEY_CURRENT_USER);
  // Roots stay apart; closed or foreign keys are refused.
  EXPECT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE, u"Software", KEY_READ, sub), ERROR_FILE_NOT_FOUND);
  RegKey closed;
  EXPECT_EQ(reg.OpenKey(closed, u"Software", KEY_READ, sub), ERROR_INVALID_HANDLE);
  EXPECT_EQ(reg.QueryValue(closed, u"", nullptr), ERROR_INVALID_HANDLE);
  EXPECT_EQ(reg.OpenKey(0x80000005u, u"", KEY_READ, sub), ERROR_INVALID_HANDLE);
}

TEST(MemoryRegistry, LinksAreFollowedAndCyclesEndAsNotFound) {
  MemoryRegistry reg;
  reg.SetString(HKEY_LOCAL_MACHINE, u"System\\ControlSet001\\Control", u"v", u"x")
      .AddLink(HKEY_LOCAL_MACHINE, u"System\\CurrentControlSet", u"\\Registry\\Machine\\System\\ControlSet001")
      .AddLink(HKEY_CURRENT_USER, u"ToMachine", u"\\REGISTRY\\MACHINE")
      .AddLink(HKEY_LOCAL_MACHINE, u"LoopA", u"\\Registry\\Machine\\LoopB")
      .AddLink(HKEY_LOCAL_MACHINE, u"LoopB", u"\\Registry\\Machine\\LoopA")
      .AddLink(HKEY_LOCAL_MACHINE, u"Self", u"\\Registry\\Machine\\Self\\x")
      .AddLink(HKEY_LOCAL_MACHINE, u"Dangling", u"\\Registry\\Machine\\Nowhere")
      .AddLink(HKEY_LOCAL_MACHINE, u"Foreign", u"C:\\not\\a\\key")
      .SetString(HKEY_USERS, u"S-1\\Env", u"TEMP", u"t")
      .AddLink(HKEY_LOCAL_MACHINE, u"ToUser", u"\\Registry\\User\\S-1");
  struct Case { uint32_t root; const char16_t* path; long rc; };
  const Case cases[] = {
      {HKEY_LOCAL_MACHINE, u"system\\currentcontrolset\\Control", ERROR_SUCCESS},
      {HKEY_CURRENT_USER, u"ToMachine\\System\\CurrentControlSet\\Control", ERROR_SUCCESS},
      {HKEY_LOCAL_MACHINE, u"ToUser\\Env", ERROR_SUCCESS},
      {HKEY_LOCAL_MACHINE, u"LoopA", ERROR_FILE_NOT_FOUND},
      {HKEY_LOCAL_MACHINE, u"Self", ERROR_FILE_NOT_FOUND},
      {HKEY_LOCAL_MACHINE, u"Dangling", ERROR_FILE_NOT_FOUND},
      {HKEY_LOCAL_MACHINE, u"Foreign", ERROR_FILE_NOT_FOUND},
  };
  for (const auto& c : cases) {
    RegKey key;
    EXPECT_EQ(reg.OpenKey(c.root, c.path, KEY_READ, key), c.rc) << ToUtf8(c.path);
  }
  RegKey key;
  ASSERT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE, u"System\\CurrentControlSet\\Control", KEY_READ, key),
            ERROR_SUCCESS);
  EXPECT_EQ(reg.QueryValue(key, u"v", nullptr), ERROR_SUCCESS);
  // The link itself is listed by its parent under its own name.
  RegKey system;
  ASSERT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE, u"System", KEY_READ, system), ERROR_SUCCESS);
  EXPECT_EQ(SubkeyNames(reg, system),
            (std::vector<std::u16string>{u"ControlSet001", u"CurrentControlSet"}));
}

TEST(MemoryRegistry, EnumerationCursorSurvivesKeysAddedLater) {
  MemoryRegistry reg;
  reg.AddKey(HKEY_CURRENT_USER, u"K\\b").AddKey(HKEY_CURRENT_USER, u"K\\d");
  RegKey key;
  ASSERT_EQ(reg.OpenKey(HKEY_CURRENT_USER, u"K", KEY_READ, key), ERROR_SUCCESS);
  std::u16string name;
  ASSERT_EQ(reg.EnumKey(key, 0, 260, name), ERROR_SUCCESS);
  reg.AddKey(HKEY_CURRENT_USER, u"K\\a");
  ASSERT_EQ(reg.EnumKey(key, 1, 260, name), ERROR_SUCCESS);
  EXPECT_EQ(name, u"b");
}

}  // namespace
}  // namespace kestrel
