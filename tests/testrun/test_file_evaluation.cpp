#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/prefix_registry.h"
#include "platform/windows_world.h"
#include "support/prefix_builder.h"
#include "testrun/file_evaluation.h"

namespace kestrel {
namespace {

using Lines = std::vector<std::u16string>;
using testing::PrefixBuilder;

// A prefix of user joe with a few files under C:\Temp, C:\windows and joe's
// AppData, and an INI file.
class FileActions : public ::testing::Test {
 protected:
  FileActions() {
    prefix_.AddWineLayout("joe");
    prefix_.AddFile("Temp/a.tmp", std::string(100, 'a'));
    prefix_.AddFile("Temp/b.log", std::string(200, 'b'));
    prefix_.AddFile("Temp/keep1.log", "k");
    prefix_.AddFile("Temp/mykeep.log", "m");
    prefix_.AddFile("Temp/Lib.DLL", "d");
    prefix_.AddFile("Temp/sub/c.tmp", "c");
    prefix_.AddFolder("Temp/sub/empty");
    prefix_.AddFolder("Temp/sub/Low");
    prefix_.AddFile("windows/Temp/setup.exe", "e");
    prefix_.AddFile("windows/system32/kernel.dll", "k");
    prefix_.AddFile("users/joe/AppData/Roaming/Example/Logs/x.log", "x");
    prefix_.AddFile("cfg/app.ini",
                    "[Recent]\r\nFile1=a.txt\r\nEmpty=\r\n[Blank]\r\n[Other]\r\nk=v\r\n");
    world_ = WindowsWorld(LoadPrefixRegistry(prefix_.Root()), prefix_.Root(), u"joe");
  }

  struct Outcome {
    bool result;
    Lines lines;
    uint64_t files, folders, bytes;
  };
  Outcome Evaluate(std::u16string_view action, std::u16string_view path_value = u"") {
    CTestResults results;
    results.Reset(nullptr);
    bool ok = EvaluateFileAction(results, world_.files(), world_.system(), action, path_value);
    return {ok, results.Lines(), results.files_deleted, results.folders_deleted, results.total_bytes};
  }

  PrefixBuilder prefix_;
  WindowsWorld world_;
};

TEST_F(FileActions, PatternActions) {
  struct Case {
    const char16_t* action;
    Lines lines;
    uint64_t folders;
  };
  const Case cases[] = {
      {u"C:\\Temp\\*.tmp|*.log /S",
       {u"\tDeleted File: C:\\Temp\\a.tmp", u"\tDeleted File: C:\\Temp\\b.log", u"\tDeleted File: C:\\Temp\\keep1.log",
        u"\tDeleted File: C:\\Temp\\mykeep.log", u"\tDeleted File: C:\\Temp\\sub\\c.tmp"},
       0},
      // A lower-case /s is no switch: it stays, as part of the last pattern.
      {u"C:\\Temp\\*.tmp /s", {}, 0},
      {u"C:\\Temp\\*.tmp|*.log /X:keep*.log",
       {u"\tDeleted File: C:\\Temp\\a.tmp", u"\tDeleted File: C:\\Temp\\b.log", u"\tDeleted File: C:\\Temp\\mykeep.log"},
       0},
      // Two exclusions; the exclusion text is taken out wherever it stands.
      {u"C:\\Temp\\* /X:*.log|a.* /S", {u"\tDeleted File: C:\\Temp\\sub\\c.tmp"}, 0},
      {u"C:\\Temp\\* /X:*.log|a.* /S /X:*.log|a.*", {u"\tDeleted File: C:\\Temp\\sub\\c.tmp"}, 0},
      // A star never takes *.dll or *.exe.
      {u"c:\\temp\\*.dll|*", {u"\tDeleted File: c:\\temp\\a.tmp", u"\tDeleted File: c:\\temp\\b.log",
                              u"\tDeleted File: c:\\temp\\keep1.log", u"\tDeleted File: c:\\temp\\mykeep.log"}, 0},
      // Remove folder is reported whatever the folder still holds.
      {u"C:\\Temp\\*.none /R", {u"\tDeleted Empty Folder: C:\\Temp"}, 1},
      // Clean subfolders after the files; Low is never reported.
      {u"C:\\Temp\\*.tmp /S /C /R",
       {u"\tDeleted File: C:\\Temp\\a.tmp", u"\tDeleted File: C:\\Temp\\sub\\c.tmp",
        u"\tDeleted Folder If Empty: C:\\Temp\\sub\\empty", u"\tDeleted Empty Folder: C:\\Temp"},
       2},
      {u"%APPDATA%\\Example\\Logs\\*.log", {u"\tDeleted File: C:\\users\\joe\\AppData\\Roaming\\Example\\Logs\\x.log"}, 0},
      {u"C:\\Missing\\*.*", {}, 0},
      {u"C:\\Missing\\*.* /C", {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.action, c.action + std::char_traits<char16_t>::length(c.action)));
    Outcome out = Evaluate(c.action);
    EXPECT_TRUE(out.result);
    EXPECT_EQ(out.lines, c.lines);
    EXPECT_EQ(out.folders, c.folders);
  }
}

TEST_F(FileActions, EmptyPathActions) {
  struct Case {
    const char16_t* action;
    Lines lines;
  };
  const Case cases[] = {
      {u"C:\\Temp\\sub /E",
       {u"\tDeleted File: C:\\Temp\\sub\\c.tmp", u"\tDeleted Folder: C:\\Temp\\sub\\empty",
        u"\tDeleted Folder: C:\\Temp\\sub\\Low"}},
      {u"C:\\Temp\\sub /E /R",
       {u"\tDeleted File: C:\\Temp\\sub\\c.tmp", u"\tDeleted Folder: C:\\Temp\\sub\\empty",
        u"\tDeleted Folder: C:\\Temp\\sub\\Low", u"\tDeleted Folder If Empty: C:\\Temp\\sub"}},
      // The Windows folder and the system folder are never emptied, in any case.
      {u"C:\\WINDOWS /E", {}},
      {u"c:\\windows /E /R", {}},
      {u"d:\\windows\\System32 /E /R", {}},
      {u"%WINDOWS%\\system32 /E", {}},
      // Below them everything is reported, protected names included.
      {u"C:\\Windows\\Temp /E", {u"\tDeleted File: C:\\Windows\\Temp\\setup.exe"}},
      // Patterns and subfolder switches play no part.
      {u"C:\\Temp\\sub\\*.none /E /S", {u"\tError: Unable to access C:\\Temp\\sub\\*.none\\*.*"}},
      {u"C:\\Missing /E /R",
       {u"\tError: Unable to access C:\\Missing\\*.*", u"\tDeleted Folder If Empty: C:\\Missing"}},
      // "%PATH%" is the path value: NULL when the plug-in has no PATH.
      {u"%PATH%\\cache /E", {u"\tError: Unable to access NULL\\cache\\*.*"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.action, c.action + std::char_traits<char16_t>::length(c.action)));
    Outcome out = Evaluate(c.action, u"NULL");
    EXPECT_TRUE(out.result);
    EXPECT_EQ(out.lines, c.lines);
  }
  Outcome out = Evaluate(u"C:\\Temp /E /R");
  EXPECT_EQ(out.files, 6u);
  EXPECT_EQ(out.folders, 4u);  // sub, empty, Low, and the folder itself
  EXPECT_EQ(out.bytes, 304u);
}

TEST_F(FileActions, NoBackslashAfterExpansionReportsNothing) {
  for (const char16_t* action : {u"%PATH%", u"%PATH% /E /R", u"*.tmp /R", u"INIFILE=x|y"}) {
    Outcome out = Evaluate(action, u"");
    EXPECT_FALSE(out.result);
    EXPECT_TRUE(out.lines.empty());
  }
  EXPECT_TRUE(Evaluate(u"%PATH%", u"C:\\Temp").result);
}

TEST_F(FileActions, IniActionsReportWhatIsThere) {
  struct Case {
    const char16_t* action;
    Lines lines;
  };
  const Case cases[] = {
      {u"INIFILE=C:\\cfg\\app.ini|Recent", {u"\tDeleted Ini Section: C:\\cfg\\app.ini > Recent"}},
      {u"inifile = C:\\cfg\\app.ini | recent ", {u"\tDeleted Ini Section: C:\\cfg\\app.ini > recent"}},
      {u"INIFILE=C:\\cfg\\app.ini|Recent|File1", {u"\tDeleted Ini Key: C:\\cfg\\app.ini > Recent > File1"}},
      {u"INIFILE=C:\\cfg\\app.ini|Recent|Empty", {}},  // a key with an empty value
      {u"INIFILE=C:\\cfg\\app.ini|Recent|Missing", {}},
      {u"INIFILE=C:\\cfg\\app.ini|Blank", {}},  // a section without lines
      {u"INIFILE=C:\\cfg\\app.ini|Missing", {}},
      {u"INIFILE=C:\\cfg\\missing.ini|Recent", {}},
      {u"INIFILE=C:\\cfg|Recent", {}},  // a folder reads as an empty profile
      {u"INIFILE=C:\\cfg\\app.ini", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.action, c.action + std::char_traits<char16_t>::length(c.action)));
    Outcome out = Evaluate(c.action);
    EXPECT_TRUE(out.result);
    EXPECT_EQ(out.lines, c.lines);
    EXPECT_EQ(out.files + out.folders + out.bytes, 0u);  // INI lines count nothing
  }
}

}  // namespace
}  // namespace kestrel
