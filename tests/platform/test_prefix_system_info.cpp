#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/memory_registry.h"
#include "platform/prefix_system_info.h"
#include "platform/text.h"

namespace kestrel {
namespace {

const std::u16string kSession = u"System\\CurrentControlSet\\Control\\Session Manager\\Environment";
const std::u16string kUserShell = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const std::u16string kShell = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::u16string Env(const SystemInfo& system, std::u16string_view name) {
  std::u16string value;
  return system.Environment(name, value) ? value : u"<undefined>";
}

std::u16string Folder(const SystemInfo& system, int csidl) {
  std::u16string value;
  return system.SpecialFolder(csidl, value) ? value : u"<none>";
}

TEST(ExpandEnvironment, ExpandsDefinedNamesAndKeepsTheRest) {
  MemoryRegistry registry;
  registry.SetString(HKEY_CURRENT_USER, u"Environment", u"Foo", u"bar");
  PrefixSystemInfo system(registry, u"joe");

  struct Case {
    std::u16string_view source, expected;
  } cases[] = {
      {u"%FOO%\\x", u"bar\\x"},
      {u"%foo%%Foo%", u"barbar"},
      {u"%nope%\\x", u"%nope%\\x"},
      {u"%nope%foo%", u"%nopebar"},  // the closing "%" of an undefined name opens the next
      {u"%%foo%", u"%bar"},
      {u"50% off", u"50% off"},
      {u"%foo", u"%foo"},
      {u"", u""},
      {u"%SystemDrive%\\%ProgramFiles%", u"C:\\C:\\Program Files"},
  };
  for (const auto& c : cases) {
    std::u16string out = u"unchanged";
    EXPECT_EQ(system.ExpandEnvironment(c.source, 1000, out), c.expected.size() + 1);
    EXPECT_EQ(out, c.expected) << ToUtf8(c.source);
  }

  // The count includes the terminator; a buffer one short leaves `out` alone.
  std::u16string out = u"unchanged";
  EXPECT_EQ(system.ExpandEnvironment(u"%foo%", 3, out), 4u);
  EXPECT_EQ(out, u"unchanged");
  EXPECT_EQ(system.ExpandEnvironment(u"%foo%", 4, out), 4u);
  EXPECT_EQ(out, u"bar");
}

TEST(KilobyteText, RoundsUpAndGroupsThousands) {
  EXPECT_EQ(KilobyteText(0), u"0 KB");
  EXPECT_EQ(KilobyteText(1), u"1 KB");
  EXPECT_EQ(KilobyteText(1024), u"1 KB");
  EXPECT_EQ(KilobyteText(1025), u"2 KB");
  EXPECT_EQ(KilobyteText(1500), u"2 KB");
  EXPECT_EQ(KilobyteText(1023 * 1024), u"1,023 KB");
  EXPECT_EQ(KilobyteText(5'000'000), u"4,883 KB");
  EXPECT_EQ(KilobyteText(999'999ull * 1024), u"999,999 KB");
  EXPECT_EQ(KilobyteText(1'000'000ull * 1024), u"1,000,000 KB");
  EXPECT_EQ(KilobyteText(UINT64_MAX), u"18,014,398,509,481,984 KB");
}

TEST(PrefixSystemInfo, EmptyRegistryGivesWineDefaults) {
  MemoryRegistry registry;
  ::setenv("KESTREL_SHOULD_NOT_LEAK", "1", 1);
  PrefixSystemInfo system(registry, u"joe");
  ::unsetenv("KESTREL_SHOULD_NOT_LEAK");

  EXPECT_EQ(system.WindowsDirectory(), u"C:\\windows");
  EXPECT_EQ(system.SystemDirectory(), u"C:\\windows\\system32");
  EXPECT_EQ(Folder(system, CSIDL_APPDATA), u"C:\\users\\joe\\AppData\\Roaming");
  EXPECT_EQ(Folder(system, CSIDL_LOCAL_APPDATA), u"C:\\users\\joe\\AppData\\Local");
  EXPECT_EQ(Folder(system, CSIDL_INTERNET_CACHE), u"C:\\users\\joe\\AppData\\Local\\Microsoft\\Windows\\INetCache");
  EXPECT_EQ(Folder(system, CSIDL_PERSONAL), u"C:\\users\\joe\\Documents");
  EXPECT_EQ(Folder(system, CSIDL_COMMON_APPDATA), u"C:\\ProgramData");
  EXPECT_EQ(Folder(system, 0x1c0), u"<none>");
  std::u16string name;
  ASSERT_TRUE(system.UserName(name));
  EXPECT_EQ(name, u"joe");

  EXPECT_EQ(Env(system, u"systemdrive"), u"C:");
  EXPECT_EQ(Env(system, u"SYSTEMROOT"), u"C:\\windows");
  EXPECT_EQ(Env(system, u"ALLUSERSPROFILE"), u"C:\\ProgramData");
  EXPECT_EQ(Env(system, u"PUBLIC"), u"C:\\users\\Public");
  EXPECT_EQ(Env(system, u"ProgramFiles"), u"C:\\Program Files");
  EXPECT_EQ(Env(system, u"CommonProgramFiles"), u"C:\\Program Files\\Common Files");
  EXPECT_EQ(Env(system, u"ProgramFiles(x86)"), u"<undefined>");
  for (auto leaked : {u"KESTREL_SHOULD_NOT_LEAK", u"PATH", u"HOME", u"USER", u"windir"})
    EXPECT_EQ(Env(system, leaked), u"<undefined>");
}

TEST(PrefixSystemInfo, EnvironmentFollowsWineOrder) {
  MemoryRegistry registry;
  registry.SetString(HKEY_LOCAL_MACHINE, u"Software\\Microsoft\\Windows NT\\CurrentVersion", u"SystemRoot",
                     u"D:\\Win\\");
  registry.SetExpandString(HKEY_LOCAL_MACHINE, kSession, u"windir", u"%SystemRoot%");
  registry.SetExpandString(HKEY_LOCAL_MACHINE, kSession, u"PATH", u"%SystemRoot%\\system32");
  // Uses variables that only the user's keys, read later, define.
  registry.SetExpandString(HKEY_LOCAL_MACHINE, kSession, u"Later", u"%USERPROFILE%|%Mine%");
  registry.SetString(HKEY_CURRENT_USER, u"Environment", u"PATH", u"D:\\tools");
  registry.SetString(HKEY_CURRENT_USER, u"Environment", u"Mine", u"mine");
  registry.SetString(HKEY_CURRENT_USER, u"Environment", u"SystemRoot", u"overridden");
  registry.SetString(HKEY_CURRENT_USER, u"Environment", u"ProgramFiles", u"overridden");
  registry.SetValue(HKEY_CURRENT_USER, u"Environment", u"Number", REG_DWORD, {1, 0, 0, 0});
  registry.SetString(HKEY_CURRENT_USER, u"Volatile Environment", u"USERPROFILE", u"D:\\users\\joe");
  registry.SetString(HKEY_CURRENT_USER, u"Volatile Environment", u"HOMESHARE", u"");  // empty: not set
  registry.SetString(HKEY_CURRENT_USER, u"Environment", u"Gone", u"x");
  registry.SetString(HKEY_CURRENT_USER, u"Volatile Environment", u"gone", u"");     // removes it
  registry.SetExpandString(HKEY_LOCAL_MACHINE, u"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
                           u"ProgramData", u"%SystemDrive%\\Data");
  registry.SetString(HKEY_LOCAL_MACHINE, u"Software\\Microsoft\\Windows\\CurrentVersion",
                     u"ProgramFilesDir (x86)", u"D:\\Programs32");
  registry.SetString(HKEY_LOCAL_MACHINE, u"System\\CurrentControlSet\\Control\\ComputerName\\ComputerName",
                     u"ComputerName", u"BOX");
  PrefixSystemInfo system(registry, u"joe");

  EXPECT_EQ(system.WindowsDirectory(), u"D:\\Win");
  EXPECT_EQ(system.SystemDirectory(), u"D:\\Win\\system32");
  // As in Wine: the registry's SystemRoot holds while the keys are read, the
  // system's own wins at the end.
  EXPECT_EQ(Env(system, u"windir"), u"overridden");
  EXPECT_EQ(Env(system, u"Path"), u"overridden\\system32;D:\\tools");
  EXPECT_EQ(Env(system, u"Later"), u"D:\\users\\joe|mine");
  EXPECT_EQ(Env(system, u"SystemRoot"), u"D:\\Win");
  EXPECT_EQ(Env(system, u"ProgramFiles"), u"D:\\Program Files");
  EXPECT_EQ(Env(system, u"ProgramFiles(x86)"), u"D:\\Programs32");
  EXPECT_EQ(Env(system, u"ProgramData"), u"D:\\Data");
  EXPECT_EQ(Env(system, u"ALLUSERSPROFILE"), u"D:\\Data");
  EXPECT_EQ(Env(system, u"COMPUTERNAME"), u"BOX");
  EXPECT_EQ(Env(system, u"Number"), u"<undefined>");
  EXPECT_EQ(Env(system, u"HOMESHARE"), u"<undefined>");
  EXPECT_EQ(Env(system, u"Gone"), u"<undefined>");
  // The profile folder comes from the environment.
  EXPECT_EQ(Folder(system, CSIDL_PERSONAL), u"D:\\users\\joe\\Documents");
  EXPECT_EQ(Folder(system, CSIDL_COMMON_APPDATA), u"D:\\Data");
}

TEST(PrefixSystemInfo, SpecialFoldersPreferUserShellFoldersThenShellFolders) {
  MemoryRegistry registry;
  registry.SetString(HKEY_CURRENT_USER, u"Volatile Environment", u"USERPROFILE", u"C:\\users\\joe");
  registry.SetExpandString(HKEY_CURRENT_USER, kUserShell, u"AppData", u"%USERPROFILE%\\Roam");
  registry.SetString(HKEY_CURRENT_USER, kShell, u"AppData", u"C:\\ignored");
  registry.SetString(HKEY_CURRENT_USER, kShell, u"Local AppData", u"C:\\from\\shell folders");
  registry.SetString(HKEY_CURRENT_USER, kUserShell, u"Personal", u"E:\\Docs");  // a plain string
  registry.SetExpandString(HKEY_CURRENT_USER, kUserShell, u"Cache", u"");       // empty: not an answer
  registry.SetExpandString(HKEY_LOCAL_MACHINE, kUserShell, u"Common AppData", u"%ProgramData%\\Common");
  PrefixSystemInfo system(registry, u"joe");

  EXPECT_EQ(Folder(system, CSIDL_APPDATA), u"C:\\users\\joe\\Roam");
  EXPECT_EQ(Folder(system, CSIDL_LOCAL_APPDATA), u"C:\\from\\shell folders");
  EXPECT_EQ(Folder(system, CSIDL_PERSONAL), u"E:\\Docs");
  EXPECT_EQ(Folder(system, CSIDL_INTERNET_CACHE), u"C:\\users\\joe\\AppData\\Local\\Microsoft\\Windows\\INetCache");
  EXPECT_EQ(Folder(system, CSIDL_COMMON_APPDATA), u"C:\\ProgramData\\Common");
}

TEST(PrefixSystemInfo, UnknownUserHasNoNameAndNoProfileFolders) {
  MemoryRegistry registry;
  PrefixSystemInfo system(registry, u"");
  std::u16string name;
  EXPECT_FALSE(system.UserName(name));
  EXPECT_EQ(Folder(system, CSIDL_APPDATA), u"<none>");
  EXPECT_EQ(Folder(system, CSIDL_COMMON_APPDATA), u"C:\\ProgramData");
  EXPECT_FALSE(LoginName().empty());
}

}  // namespace
}  // namespace kestrel
