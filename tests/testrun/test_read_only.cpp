#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "platform/prefix_registry.h"
#include "platform/text.h"
#include "platform/windows_world.h"
#include "support/prefix_builder.h"
#include "testrun/test_run.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using testing::PrefixBuilder;

// Everything about one entry of a tree that a write would change: its kind,
// mode, size, modification and change times (to the nanosecond), and its bytes
// or link target. Access times are left out: reading a file may set them.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> entries;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const fs::path& path = it->path();
    struct stat st {};
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
    std::ostringstream facts;
    facts << std::oct << st.st_mode << std::dec << ' ' << st.st_size << ' ' << st.st_mtim.tv_sec << '.'
          << st.st_mtim.tv_nsec << ' ' << st.st_ctim.tv_sec << '.' << st.st_ctim.tv_nsec << ' ' << st.st_nlink;
    if (S_ISLNK(st.st_mode)) {
      facts << " -> " << fs::read_symlink(path).string();
    } else if (S_ISREG(st.st_mode)) {
      std::ifstream in(path, std::ios::binary);
      facts << ' ' << in.rdbuf();
    }
    entries[fs::relative(path, root).string()] = facts.str();
  }
  return entries;
}

TEST(ReadOnly, ATestRunOfEveryKindOfActionChangesNothing) {
  PrefixBuilder prefix;
  prefix.AddWineLayout("joe");
  const std::u16string example = u"Software\\Example";
  prefix.SetString(PrefixBuilder::kUser, example + u"\\Recent", u"LastFile", u"a.txt")
      .SetString(PrefixBuilder::kUser, example + u"\\Recent", u"TempOne", u"1")
      .SetString(PrefixBuilder::kUser, example + u"\\Recent", u"TempTwo", u"2")
      .SetDword(PrefixBuilder::kUser, example + u"\\Keys\\TmpA\\Deeper", u"n", 1)
      .AddKey(PrefixBuilder::kUser, example + u"\\Keys\\TmpB")
      .SetString(PrefixBuilder::kUser, example + u"\\Gone\\Sub", u"x", u"y")
      .SetString(PrefixBuilder::kUser, example + u"\\Emptied", u"v1", u"")
      .AddKey(PrefixBuilder::kUser, example + u"\\Emptied\\Child")
      .SetString(PrefixBuilder::kMachine, u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\example.exe",
                 u"Path", u"C:\\Program Files\\Example\\");
  prefix.AddFile("Program Files/Example/example.exe", "MZ");
  prefix.AddFile("Program Files/Example/cache/one.tmp", "1");
  prefix.AddFile("Program Files/Example/cache/deep/two.tmp", "22");
  prefix.AddFolder("Program Files/Example/cache/deep/empty");
  prefix.AddFolder("Program Files/Example/cache/Low");
  prefix.AddFile("Program Files/Example/cache/keep.tmp", "k");
  prefix.AddFile("Program Files/Example/cache/helper.dll", "d");
  prefix.AddFile("users/joe/AppData/Roaming/Example/Logs/a.log", "a");
  prefix.AddFile("users/joe/AppData/Roaming/Example/Logs/old/b.log", "b");
  prefix.AddLink("users/joe/AppData/Roaming/Example/Logs/loop", "..");
  prefix.AddFile("users/joe/AppData/Roaming/Example/example.ini", "[Recent]\r\nFile1=a\r\n[Window]\r\nx=1\r\n");
  const fs::path plugin = prefix.Root() / "plugin.cln";
  std::ofstream(plugin, std::ios::binary)
      << "[Settings]\r\nDescription=Everything\r\nProvider=p\r\nVersion=1\r\nPATH=example.exe\r\n"
         "[REG_OPTION]\r\n0=Registry Actions<1>0,1,2,3,4\r\n"
         "[DISK_OPTION]\r\n0=File/Folder Actions<1>0,1,2,3\r\n"
         "[REGISTRY]\r\n"
         "0=DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile\r\n"
         "1=DELKEY=HKEY_CURRENT_USER\\Software\\Example\\Gone\r\n"
         "2=DELLIST=HKEY_CURRENT_USER\\Software\\Example\\Recent,Temp\r\n"
         "3=DELKLIST=HKEY_CURRENT_USER\\Software\\Example\\Keys,Tmp\r\n"
         "4=EMPTYKEY=HKEY_CURRENT_USER\\Software\\Example\\Emptied\r\n"
         "[DISK]\r\n"
         "0=%APPDATA%\\Example\\Logs /E /R\r\n"
         "1=%PATH%\\cache\\*.tmp|*.dll /S /C /R /X:keep*\r\n"
         "2=INIFILE=%APPDATA%\\Example\\example.ini|Recent\r\n"
         "3=INIFILE=%APPDATA%\\Example\\example.ini|Window|x\r\n";

  const auto before = Snapshot(prefix.Root());
  ASSERT_GT(before.size(), 40u);
  ASSERT_EQ(before.count("system.reg") + before.count("user.reg") + before.count("userdef.reg"), 3u);

  const WindowsWorld joe(LoadPrefixRegistry(prefix.Root()), prefix.Root(), u"joe");
  CTestResults results;
  RunTest(results, plugin, TestWorld{joe.registry(), joe.files(), joe.system()}, nullptr);

  // The run did find something of every kind...
  EXPECT_EQ(results.registry_values_deleted, 1 + 2 + 1);
  EXPECT_EQ(results.registry_keys_deleted, 1 + 2);
  EXPECT_EQ(results.files_deleted, 2u + 2u);
  EXPECT_EQ(results.folders_deleted, 3u + 2u);
  std::u16string log;
  for (const auto& line : results.Lines()) log += line + u"\n";
  EXPECT_NE(log.find(u"Deleted Ini Section: "), std::u16string::npos) << ToUtf8(log);
  EXPECT_NE(log.find(u"Deleted Ini Key: "), std::u16string::npos);
  EXPECT_EQ(log.find(u"Error"), std::u16string::npos) << ToUtf8(log);

  // ...and left every byte and time stamp of the prefix as it was.
  EXPECT_EQ(Snapshot(prefix.Root()), before);
}

}  // namespace
}  // namespace kestrel
