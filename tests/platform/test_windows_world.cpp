#include <gtest/gtest.h>

#include "platform/windows_world.h"
#include "support/prefix_builder.h"

namespace kestrel {
namespace {

using testing::PrefixBuilder;
namespace fs = std::filesystem;

bool HasKey(const Registry& registry, uint32_t root, std::u16string_view path) {
  RegKey key;
  return registry.OpenKey(root, path, KEY_READ, key) == ERROR_SUCCESS;
}

std::u16string Folder(const SystemInfo& system, int csidl) {
  std::u16string value;
  return system.SpecialFolder(csidl, value) ? value : u"<none>";
}

TEST(WindowsWorld, DefaultPrefixIsWineprefixElseDotWine) {
  testing::TempDir home, bare_home;
  fs::create_directory(home.path() / ".wine");
  const std::string h = home.path().string(), bare = bare_home.path().string();

  EXPECT_EQ(DefaultPrefix("/some/prefix", h.c_str()), fs::path("/some/prefix"));
  EXPECT_EQ(DefaultPrefix("/missing/prefix", nullptr), fs::path("/missing/prefix"));
  EXPECT_EQ(DefaultPrefix("", h.c_str()), home.path() / ".wine");
  EXPECT_EQ(DefaultPrefix(nullptr, h.c_str()), home.path() / ".wine");
  EXPECT_EQ(DefaultPrefix(nullptr, bare.c_str()), std::nullopt);
  EXPECT_EQ(DefaultPrefix(nullptr, nullptr), std::nullopt);
}

TEST(WindowsWorld, EmptyWorldFindsNothing) {
  for (const WindowsWorld& world : {WindowsWorld(), LoadWindowsWorld(std::nullopt)}) {
    EXPECT_TRUE(world.prefix().empty());
    EXPECT_FALSE(world.files().Attributes(u"C:\\"));
    std::vector<FolderEntry> entries;
    EXPECT_FALSE(world.files().ListFolder(u"C:\\windows", entries));
    EXPECT_FALSE(HasKey(world.registry(), HKEY_LOCAL_MACHINE, u"Software"));
    EXPECT_EQ(world.system().WindowsDirectory(), u"C:\\windows");
  }
}

TEST(WindowsWorld, LoadsABuiltPrefix) {
  PrefixBuilder prefix;
  prefix.AddWineLayout("joe");
  prefix.AddFile("users/joe/AppData/Roaming/Example/Logs/a.log", "abc");
  prefix.SetString(PrefixBuilder::kUser, u"Software\\Example", u"Last", u"x");
  // Escapes of every kind; a key name cannot hold a backslash.
  const std::u16string odd = u"caf\u00e9a1 \"q\" \\ \t\U0001F30D]";
  const std::u16string odd_key = u"[caf\u00e9a1 \"q\" \t\U0001F30D]";
  prefix.SetString(PrefixBuilder::kUser, u"Software\\Example\\" + odd_key, odd, odd);
  prefix.SetMultiString(PrefixBuilder::kUser, u"Software\\Example", u"Multi", {u"a", u"1", u""});
  std::string errors;
  WindowsWorld world = LoadWindowsWorld(prefix.Root(), &errors);
  EXPECT_EQ(errors, "");

  EXPECT_EQ(world.prefix(), prefix.Root());
  EXPECT_TRUE(HasKey(world.registry(), HKEY_CURRENT_USER, u"Software\\Example"));
  EXPECT_TRUE(HasKey(world.registry(), HKEY_USERS, u"S-1-5-21-0-0-0-1000\\Software\\Example"));
  RegKey key;
  ASSERT_EQ(world.registry().OpenKey(HKEY_CURRENT_USER, u"Software\\Example\\" + odd_key, KEY_READ, key), ERROR_SUCCESS);
  RegValue stored;
  ASSERT_EQ(world.registry().QueryValue(key, odd, &stored), ERROR_SUCCESS);
  EXPECT_EQ(RegValueText(stored.data), odd);
  ASSERT_EQ(world.registry().OpenKey(HKEY_CURRENT_USER, u"Software\\Example", KEY_READ, key), ERROR_SUCCESS);
  ASSERT_EQ(world.registry().QueryValue(key, u"Multi", &stored), ERROR_SUCCESS);
  EXPECT_EQ(stored.type, REG_MULTI_SZ);
  EXPECT_EQ(stored.data, RegTextData(std::u16string(u"a\0" u"1\0\0", 5)));
  const std::u16string roaming = Folder(world.system(), CSIDL_APPDATA);
  EXPECT_EQ(roaming, u"C:\\users\\joe\\AppData\\Roaming");
  EXPECT_TRUE(world.files().Attributes(roaming + u"\\example\\logs\\A.LOG"));
  std::u16string value;
  ASSERT_TRUE(world.system().Environment(u"windir", value));
  EXPECT_EQ(value, u"C:\\windows");
  ASSERT_TRUE(world.system().Environment(u"Path", value));
  EXPECT_EQ(value, u"C:\\windows\\system32;C:\\windows");
}

TEST(WindowsWorld, MissingOrBrokenHivesLeaveTheirPartEmpty) {
  PrefixBuilder prefix;
  prefix.AddFile("windows/win.ini", "");
  prefix.SetString(PrefixBuilder::kMachine, u"Software\\Kept", u"v", u"1");
  prefix.RemoveHive(PrefixBuilder::kUserDefault);
  prefix.WriteRawHive(PrefixBuilder::kUser, "WINE REGISTRY Version 2\n[Software\\\\Cut] 1\n\"v\"=hex:0\xff\n[tr");
  WindowsWorld world = LoadWindowsWorld(prefix.Root());
  EXPECT_TRUE(HasKey(world.registry(), HKEY_LOCAL_MACHINE, u"Software\\Kept"));
  EXPECT_TRUE(HasKey(world.registry(), HKEY_CURRENT_USER, u"Software\\Cut"));
  EXPECT_FALSE(HasKey(world.registry(), HKEY_USERS, u".DEFAULT\\Software"));
  EXPECT_TRUE(world.files().Attributes(u"C:\\Windows\\WIN.INI"));

  for (auto hive : {PrefixBuilder::kMachine, PrefixBuilder::kUser}) prefix.RemoveHive(hive);
  WindowsWorld bare = LoadWindowsWorld(prefix.Root());
  EXPECT_FALSE(HasKey(bare.registry(), HKEY_LOCAL_MACHINE, u"Software"));
  EXPECT_FALSE(HasKey(bare.registry(), HKEY_CURRENT_USER, u"Software"));
  EXPECT_TRUE(bare.files().Attributes(u"C:\\windows\\win.ini"));
}

TEST(WindowsWorld, RegistryFromExportsInsteadOfHives) {
  PrefixBuilder prefix;
  prefix.AddFile("windows/win.ini", "");
  prefix.SetString(PrefixBuilder::kMachine, u"Software\\FromHive", u"v", u"1");
  testing::TempDir exports;
  const fs::path reg = exports.Write("machine.reg",
                                     "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\FromExport]\r\n\"v\"=\"1\"\r\n");

  for (const auto& where : {std::optional<fs::path>(prefix.Root()), std::optional<fs::path>()}) {
    std::string errors;
    WindowsWorld world = LoadWindowsWorld(where, {reg}, &errors);
    EXPECT_EQ(errors, "");
    EXPECT_TRUE(HasKey(world.registry(), HKEY_LOCAL_MACHINE, u"Software\\FromExport"));
    EXPECT_FALSE(HasKey(world.registry(), HKEY_LOCAL_MACHINE, u"Software\\FromHive"));
    EXPECT_EQ(bool(world.files().Attributes(u"C:\\windows\\win.ini")), where.has_value());
  }
  WindowsWorld hives = LoadWindowsWorld(prefix.Root(), {});
  EXPECT_TRUE(HasKey(hives.registry(), HKEY_LOCAL_MACHINE, u"Software\\FromHive"));
}

}  // namespace
}  // namespace kestrel
