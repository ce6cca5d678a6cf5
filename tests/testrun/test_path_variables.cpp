#include <gtest/gtest.h>

#include "platform/memory_registry.h"
#include "platform/prefix_file_system.h"
#include "platform/prefix_system_info.h"
#include "platform/text.h"
#include "support/prefix_builder.h"
#include "testrun/path_variables.h"

namespace kestrel {
namespace {

const std::u16string kUserShell = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const std::u16string kAppPaths = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

// A registry where the environment's APPDATA and USERNAME differ from the
// special folder and the user name, so that each row shows who replaced what.
MemoryRegistry& AddUser(MemoryRegistry& registry) {
  registry.SetString(HKEY_CURRENT_USER, u"Volatile Environment", u"USERPROFILE", u"C:\\users\\joe");
  registry.SetString(HKEY_CURRENT_USER, u"Volatile Environment", u"APPDATA", u"E:\\EnvAppData");
  registry.SetString(HKEY_CURRENT_USER, u"Volatile Environment", u"USERNAME", u"EnvUser");
  registry.SetExpandString(HKEY_LOCAL_MACHINE,
                           u"System\\CurrentControlSet\\Control\\Session Manager\\Environment", u"windir",
                           u"%SystemRoot%");
  registry.SetString(HKEY_LOCAL_MACHINE, u"Software\\Microsoft\\Windows\\CurrentVersion", u"ProgramFilesDir",
                     u"C:\\Programs");
  // Trailing backslash and space are trimmed by GetSpecialFolder.
  registry.SetExpandString(HKEY_CURRENT_USER, kUserShell, u"AppData", u"%USERPROFILE%\\AppData\\Roaming\\ \\");
  return registry;
}

std::string Utf8(std::u16string_view text) { return ToUtf8(text); }

TEST(ReplaceFirstToken, FirstOccurrenceAnyCaseRestKeepsCase) {
  std::u16string path = u"a\\%Tok%\\b\\%TOK%\\c";
  EXPECT_TRUE(ReplaceFirstToken(path, u"%TOK%", u"X"));
  EXPECT_EQ(path, u"a\\X\\b\\%TOK%\\c");
  EXPECT_FALSE(ReplaceFirstToken(path, u"%none%", u"X"));
  EXPECT_EQ(path, u"a\\X\\b\\%TOK%\\c");
}

TEST(ExpandPathVariables, RowsInOrder) {
  MemoryRegistry registry;
  PrefixSystemInfo system(AddUser(registry), u"joe");
  const std::u16string roaming = u"C:\\users\\joe\\AppData\\Roaming";

  struct Case {
    std::u16string_view path, path_value;
    std::u16string expected;
  } cases[] = {
      {u"%appdata%\\Foo", u"", roaming + u"\\Foo"},
      // Only the first token is row 3's; the second is the environment's.
      {u"%APPDATA%\\a\\%AppData%\\b", u"", roaming + u"\\a\\E:\\EnvAppData\\b"},
      {u"%LocalAppData%|%internet_cache%", u"",
       u"C:\\users\\joe\\AppData\\Local|C:\\users\\joe\\AppData\\Local\\Microsoft\\Windows\\INetCache"},
      {u"%MYDOCS%\\x;%personal%\\y", u"", u"C:\\users\\joe\\Documents\\x;C:\\users\\joe\\Documents\\y"},
      {u"%COMMONAPPDATA%\\Vendor", u"", u"C:\\ProgramData\\Vendor"},
      {u"%BOOTDRIVE%\\Temp", u"", u"C:\\Temp"},
      {u"%WINDOWS%\\Temp", u"", u"C:\\windows\\Temp"},
      {u"%PATH%\\cache", u"", u"\\cache"},
      {u"%path%\\cache\\%PATH%", u"D:\\App", u"D:\\App\\cache\\%PATH%"},
      // Row 10 needs "USERNAME" in upper case somewhere; the lower-case token
      // goes to the environment.
      {u"%USERNAME%\\x", u"", u"joe\\x"},
      {u"%username%\\x", u"", u"EnvUser\\x"},
      {u"%username%\\USERNAME", u"", u"joe\\USERNAME"},
      {u"%SYSDIR%\\drivers", u"", u"C:\\windows\\system32\\drivers"},
      {u"%sysdir%\\drivers", u"", u"%sysdir%\\drivers"},
      // The environment defines ProgramFiles, so row 13 never sees the token.
      {u"%PROGRAMFILES%\\Foo", u"", u"C:\\Programs\\Foo"},
      {u"%nothing%\\%APPDATA%", u"", u"%nothing%\\" + roaming},
      {u"C:\\plain\\path", u"", u"C:\\plain\\path"},
  };
  for (const auto& c : cases) {
    std::u16string path(c.path);
    ExpandPathVariables(path, c.path_value, system);
    EXPECT_EQ(path, c.expected) << Utf8(c.path);
  }
}

TEST(ExpandPathVariables, WindirUndefinedStaysAsWindir) {
  MemoryRegistry registry;
  PrefixSystemInfo system(registry, u"joe");
  std::u16string path = u"%WINDOWS%\\Temp";
  ExpandPathVariables(path, u"", system);
  EXPECT_EQ(path, u"%WINDIR%\\Temp");
}

TEST(ExpandPathVariables, EnvironmentExpansionLimitedTo260Characters) {
  MemoryRegistry registry;
  PrefixSystemInfo system(AddUser(registry), u"joe");
  const std::u16string roaming = u"C:\\users\\joe\\AppData\\Roaming";
  const std::u16string env_appdata = u"E:\\EnvAppData";  // what the environment gives

  // "%PROGRAMFILES%\" + roaming + "\" + filler + "\%APPDATA%" where the
  // environment's expansion needs `needed` characters with the terminator.
  auto make = [&](size_t needed) {
    std::u16string fixed = u"C:\\Programs\\" + roaming + u"\\" + u"\\" + env_appdata;
    std::u16string filler(needed - 1 - fixed.size(), u'x');
    return u"%PROGRAMFILES%\\%APPDATA%\\" + filler + u"\\%APPDATA%";
  };

  std::u16string fits = make(259);
  ExpandPathVariables(fits, u"", system);
  EXPECT_EQ(fits.size(), 258u);
  EXPECT_TRUE(fits.starts_with(u"C:\\Programs\\" + roaming + u"\\xx"));
  EXPECT_TRUE(fits.ends_with(u"\\E:\\EnvAppData"));

  // One more: the environment leaves the path as rows 1 to 11 made it, and
  // row 13 still replaces %PROGRAMFILES% by the drive's Program Files.
  std::u16string too_long = make(260);
  ExpandPathVariables(too_long, u"", system);
  EXPECT_TRUE(too_long.starts_with(u"C:\\Program Files\\" + roaming + u"\\xx")) << Utf8(too_long);
  EXPECT_TRUE(too_long.ends_with(u"\\%APPDATA%"));
}

TEST(ExpandPathVariables, FoldersTheSystemCannotGiveBecomeEmpty) {
  MemoryRegistry registry;
  PrefixSystemInfo system(registry, u"");  // no user: no profile folders, no user name
  std::u16string path = u"%APPDATA%\\x\\%USERNAME%";
  ExpandPathVariables(path, u"", system);
  EXPECT_EQ(path, u"\\x\\%USERNAME%");
}

TEST(ReadLocalMachineString, TypesSizesAndDefaults) {
  MemoryRegistry registry;
  const std::u16string key = u"Software\\Example";
  registry.SetString(HKEY_LOCAL_MACHINE, key, u"", u"default value");
  registry.SetString(HKEY_LOCAL_MACHINE, key, u"Plain", u"text");
  registry.SetExpandString(HKEY_LOCAL_MACHINE, key, u"Expand", u"%SystemDrive%\\x");
  registry.SetDword(HKEY_LOCAL_MACHINE, key, u"Number", 7);
  registry.SetString(HKEY_LOCAL_MACHINE, key, u"Fits", std::u16string(2598, u'a'));   // 5,198 bytes
  registry.SetString(HKEY_LOCAL_MACHINE, key, u"TooBig", std::u16string(2599, u'a'));  // 5,200 bytes
  registry.SetString(HKEY_CURRENT_USER, u"Environment", u"Long", std::u16string(100, u'b'));
  registry.SetExpandString(HKEY_LOCAL_MACHINE, key, u"ExpandFits", std::u16string(2499, u'a') + u"%Long%");
  registry.SetExpandString(HKEY_LOCAL_MACHINE, key, u"ExpandTooBig", std::u16string(2500, u'a') + u"%Long%");
  PrefixSystemInfo system(registry, u"joe");

  auto read = [&](std::u16string_view k, std::u16string_view name) {
    return ReadLocalMachineString(k, name, u"<default>", registry, system);
  };
  EXPECT_EQ(read(key, u""), u"default value");
  EXPECT_EQ(read(key, u"plain"), u"text");
  EXPECT_EQ(read(u"SOFTWARE\\EXAMPLE", u"Expand"), u"C:\\x");
  EXPECT_EQ(read(key, u"Number"), u"<default>");
  EXPECT_EQ(read(key, u"Missing"), u"<default>");
  EXPECT_EQ(read(u"Software\\Missing", u"Plain"), u"<default>");
  EXPECT_EQ(read(key, u"Fits").size(), 2598u);
  EXPECT_EQ(read(key, u"TooBig"), u"<default>");
  EXPECT_EQ(read(key, u"ExpandFits").size(), 2599u);  // 2,600 with the terminator
  EXPECT_EQ(read(key, u"ExpandTooBig"), u"<default>");
}

struct ResolveFixture : ::testing::Test {
  ResolveFixture() {
    prefix.AddFolder("Program Files/Foo");
    prefix.AddFolder("Programs/Tool");
    AddUser(registry);
    registry.SetString(HKEY_LOCAL_MACHINE, kAppPaths + u"\\foo.exe", u"Path", u"C:\\Program Files\\Foo\\;");
    registry.SetString(HKEY_LOCAL_MACHINE, kAppPaths + u"\\bar.exe", u"", u"\"C:\\Program Files\\Bar\\bar.exe\"");
    registry.SetString(HKEY_LOCAL_MACHINE, kAppPaths + u"\\nodir.exe", u"", u"nodir.exe");
    registry.SetDword(HKEY_LOCAL_MACHINE, kAppPaths + u"\\typed.exe", u"Path", 1);
    registry.SetString(HKEY_LOCAL_MACHINE, kAppPaths + u"\\typed.exe", u"", u"C:\\Typed\\typed.exe");
    registry.SetExpandString(HKEY_LOCAL_MACHINE, kAppPaths + u"\\exp.exe", u"path", u"%ProgramFiles%\\Exp");
  }

  bool Resolve(std::u16string& setting) {
    PrefixSystemInfo system(registry, u"joe");
    PrefixFileSystem files(prefix.Root());
    return ResolvePathSetting(setting, registry, files, system);
  }

  testing::PrefixBuilder prefix;
  MemoryRegistry registry;
};

TEST_F(ResolveFixture, CandidatesAndAppPaths) {
  struct Case {
    std::u16string_view setting;
    bool resolved;
    std::u16string_view expected;
  } cases[] = {
      {u"C:\\Missing | C:\\Program Files\\Foo", true, u"C:\\Program Files\\Foo"},
      {u"  c:\\program files\\FOO  ", true, u"c:\\program files\\FOO"},  // found without regard to case
      {u"%ProgramFiles%\\tool", true, u"C:\\Programs\\tool"},
      {u"%PATH%C:\\Program Files\\Foo", true, u"C:\\Program Files\\Foo"},
      {u"foo.exe", true, u"C:\\Program Files\\Foo"},                 // "path" with "\;" at the end
      {u"FOO.EXE|C:\\Programs\\Tool", true, u"C:\\Program Files\\Foo"},
      {u"bar.exe", true, u"C:\\Program Files\\Bar"},                 // default value in quotes
      {u"typed.exe", true, u"C:\\Typed"},                            // "path" not a string
      {u"exp.exe", true, u"C:\\Programs\\Exp"},
      {u"nodir.exe|unknown.exe", false, u"unknown.exe"},
      {u"C:\\nope1 | %APPDATA%\\nope2", false, u"C:\\users\\joe\\AppData\\Roaming\\nope2"},
      {u"   ", false, u""},
      {u" | ", false, u"|"},
  };
  for (const auto& c : cases) {
    std::u16string setting(c.setting);
    EXPECT_EQ(Resolve(setting), c.resolved) << Utf8(c.setting);
    EXPECT_EQ(setting, c.expected) << Utf8(c.setting);
  }
}

}  // namespace
}  // namespace kestrel
