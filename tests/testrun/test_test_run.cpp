#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "document/action_description.h"
#include "platform/prefix_registry.h"
#include "platform/text.h"
#include "platform/windows_world.h"
#include "support/prefix_builder.h"
#include "support/temp_dir.h"
#include "testrun/test_run.h"

namespace kestrel {
namespace {

using Lines = std::vector<std::u16string>;
using testing::PrefixBuilder;

const std::u16string kHeadRuler(32, u'=');
const std::u16string kFootRuler(64, u'=');

std::u16string RegDescription(std::u16string_view action) {
  REGACTION parsed;
  EXPECT_TRUE(ParseRegAction(action, parsed));
  return u"[Registry Action: " + DescribeRegAction(parsed, true) + u"]";
}

std::u16string DiskDescription(std::u16string_view action) {
  DISKACTION parsed;
  EXPECT_TRUE(ParseDiskAction(action, parsed));
  return u"[File/Folder Action: " + DescribeDiskAction(parsed, true) + u"]";
}

// A prefix for user joe holding what the example plug-in names, and more.
class TestRun : public ::testing::Test {
 protected:
  TestRun() {
    prefix_.AddWineLayout("joe");
    prefix_.SetString(PrefixBuilder::kUser, u"Software\\Example\\Recent", u"LastFile", u"a.txt");
    prefix_.SetString(PrefixBuilder::kUser, u"Software\\Example\\Recent", u"Other", u"b.txt");
    prefix_.AddKey(PrefixBuilder::kUser, u"Software\\Example\\Gone\\Sub");
    const std::string roaming = "users/joe/AppData/Roaming/Example/";
    prefix_.AddFile(roaming + "Logs/a.log", std::string(1000, 'a'));
    prefix_.AddFile(roaming + "Logs/keep.txt", "k");
    prefix_.AddFile(roaming + "Logs/old/b.log", std::string(500, 'b'));
    prefix_.AddFile(roaming + "Cache/x.bin", std::string(2048, 'x'));
    prefix_.AddFile(roaming + "Cache/sub/y.bin", "y");
    prefix_.AddFile("Program Files/Example/cache/c.tmp", "c");
    world_ = WindowsWorld(LoadPrefixRegistry(prefix_.Root()), prefix_.Root(), u"joe");
  }

  // Writes the plug-in (lines joined with CR LF) and runs the test.
  Lines Run(const std::vector<std::string>& plugin, RunStop stop = {}, TestLogSink* sink = nullptr) {
    std::string text;
    for (const auto& line : plugin) text += line + "\r\n";
    path_ = dir_.Write("plugin.cln", text);
    RunTest(results_, path_, TestWorld{world_.registry(), world_.files(), world_.system()}, sink, stop);
    return results_.Lines();
  }

  // What the run adds between the two rulers.
  Lines Body(const std::vector<std::string>& plugin) {
    Lines all = Run(plugin);
    EXPECT_GE(all.size(), 7u);
    if (all.size() < 7) return {};
    EXPECT_EQ(all[1], kHeadRuler);
    EXPECT_EQ(all[all.size() - 5], kFootRuler);
    return Lines(all.begin() + 2, all.end() - 5);
  }

  PrefixBuilder prefix_;
  WindowsWorld world_;
  testing::TempDir dir_;
  std::filesystem::path path_;
  CTestResults results_;
};

const std::vector<std::string> kExample = {
    "[Settings]",
    "Description=Removes the recent file list of the example editor",
    "Provider=someone",
    "Version=1.0",
    "Encrypted=0",
    "HIDEOPTION=1",
    "[REG_OPTION]",
    "0=Registry Actions<1>0",
    "[DISK_OPTION]",
    "0=File/Folder Actions<1>0,1",
    "[REGISTRY]",
    "0=DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile",
    "[DISK]",
    "0=%APPDATA%\\Example\\Logs\\*.log /S",
    "1=%APPDATA%\\Example\\Cache /E /R",
};

TEST_F(TestRun, TheExamplePlugin) {
  const std::u16string roaming = u"C:\\users\\joe\\AppData\\Roaming\\Example\\";
  const Lines expected = {
      u"Testing: " + FromUtf8((dir_.path() / "plugin.cln").string()),
      kHeadRuler,
      u"\r\n",
      RegDescription(u"DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile"),
      u"\tDeleted Value: Hkey_Current_User\\Software\\Example\\Recent,LastFile",
      u"\r\n",
      DiskDescription(u"%APPDATA%\\Example\\Logs\\*.log /S"),
      u"\tDeleted File: " + roaming + u"Logs\\a.log",
      u"\tDeleted File: " + roaming + u"Logs\\old\\b.log",
      u"\r\n",
      DiskDescription(u"%APPDATA%\\Example\\Cache /E /R"),
      u"\tDeleted File: " + roaming + u"Cache\\sub\\y.bin",
      u"\tDeleted Folder: " + roaming + u"Cache\\sub",
      u"\tDeleted File: " + roaming + u"Cache\\x.bin",
      u"\tDeleted Folder If Empty: " + roaming + u"Cache",
      kFootRuler,
      u"\r\n",
      u"[Results]",
      u"Files Deleted\t: 4\r\nFolders Deleted\t: 2\r\nTotal Size in KB\t: 4 KB\r\n\r\n"
      u"Registry Values Deleted\t: 1\r\nRegistry Keys Deleted\t: 0",
      u"\r\n",
  };
  EXPECT_EQ(Run(kExample), expected);
}

TEST_F(TestRun, GroupsAndMembers) {
  const std::string del_val = "DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile";
  const std::u16string val_line = u"\tDeleted Value: Hkey_Current_User\\Software\\Example\\Recent,LastFile";
  const std::u16string other_line = u"\tDeleted Value: Hkey_Current_User\\Software\\Example\\Recent,Other";
  const std::u16string del_val_desc = RegDescription(FromUtf8(del_val));
  const std::string del_other = "DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,Other";
  const std::u16string del_other_desc = RegDescription(FromUtf8(del_other));
  const std::u16string none = u"Error: No actions enabled/run";
  struct Case {
    const char* what;
    std::vector<std::string> sections;
    Lines body;
  };
  const Case cases[] = {
      {"actions but no group lines", {"[REGISTRY]", "0=" + del_val}, {none}},
      {"groups switched off, the flag trimmed",
       {"[REG_OPTION]", "0=A<0>0", "1=B< 0 >0", "[REGISTRY]", "0=" + del_val}, {none}},
      {"any flag but 0 switches on", {"[REG_OPTION]", "0=A<yes>0", "[REGISTRY]", "0=" + del_val},
       {u"\r\n", del_val_desc, val_line}},
      {"group keys 0, 1 and 3: group 3 is never read",
       {"[REG_OPTION]", "0=A<1>0", "1=B<1>1", "3=D<1>0", "[REGISTRY]", "0=" + del_val, "1=" + del_other},
       {u"\r\n", del_val_desc, val_line, u"\r\n", del_other_desc, other_line}},
      {"a group line without < ends the loop",
       {"[REG_OPTION]", "0=A<1>0", "1=B 1 1", "2=C<1>1", "[REGISTRY]", "0=" + del_val, "1=" + del_other},
       {u"\r\n", del_val_desc, val_line}},
      {"a group line without > after < ends the loop",
       {"[REG_OPTION]", "0=A>1<0", "1=B<1>1", "[REGISTRY]", "0=" + del_val, "1=" + del_other}, {none}},
      {"a group line NULL in any case ends the loop",
       {"[REG_OPTION]", "0=null", "1=B<1>1", "[REGISTRY]", "1=" + del_other}, {none}},
      {"a trailing comma ends the list",
       {"[REG_OPTION]", "0=A<1>1, 0 ,", "[REGISTRY]", "0=" + del_val, "1=" + del_other},
       {u"\r\n", del_other_desc, other_line, u"\r\n", del_val_desc, val_line}},
      {"an empty member list reads one empty member", {"[REG_OPTION]", "0=A<1>", "[REGISTRY]", "0=" + del_val},
       {u"Error: Unable to read registry action #", none}},
      {"a doubled comma reads an empty member",
       {"[REG_OPTION]", "0=A<1>0,,1", "[REGISTRY]", "0=" + del_val, "1=" + del_other},
       {u"\r\n", del_val_desc, val_line, u"Error: Unable to read registry action #", u"\r\n", del_other_desc,
        other_line}},
      {"missing, one-character and NULL members, numbered as written",
       {"[REG_OPTION]", "0=A<1>7, 1,02,3", "[REGISTRY]", "1=x", "02=NULL", "3=" + del_val},
       {u"Error: Unable to read registry action #7", u"Error: Unable to read registry action #1",
        u"Error: Unable to read registry action #02", u"\r\n", del_val_desc, val_line}},
      {"a member of two groups runs twice",
       {"[REG_OPTION]", "0=A<1>0", "1=B<1>0", "[REGISTRY]", "0=" + del_val},
       {u"\r\n", del_val_desc, val_line, u"\r\n", del_val_desc, val_line}},
      {"an action that does not parse still runs",
       {"[REG_OPTION]", "0=A<1>0", "[REGISTRY]", "0=not an action"},
       {u"\r\n", u"Error: Unable to parse registry action string #0"}},
      {"disk members have their own error lines",
       {"[DISK_OPTION]", "0=A<1>4,0", "[DISK]", "0=%PATH%\\cache /E"},
       {u"Error: Unable to read disk action #4", u"\r\n", DiskDescription(u"%PATH%\\cache /E"),
        u"\tError: Unable to access NULL\\cache\\*.*"}},
      {"a disk action without a backslash, even after expansion, ends its group only",
       {"[Settings]", "PATH=", "[DISK_OPTION]", "0=A<1>0,1", "1=B<1>1", "[DISK]", "0=%PATH% /E",
        "1=C:\\Program Files\\Example\\cache\\*.tmp"},
       {u"\r\n", u"Error: Unable to parse file/folder action string #0", u"\r\n",
        DiskDescription(u"C:\\Program Files\\Example\\cache\\*.tmp"),
        u"\tDeleted File: C:\\Program Files\\Example\\cache\\c.tmp"}},
      {"registry groups run before file/folder groups, whatever the file order",
       {"[DISK_OPTION]", "0=A<1>0", "[DISK]", "0=C:\\Program Files\\Example\\cache\\*.tmp", "[REG_OPTION]",
        "0=A<1>0", "[REGISTRY]", "0=" + del_val},
       {u"\r\n", del_val_desc, val_line, u"\r\n", DiskDescription(u"C:\\Program Files\\Example\\cache\\*.tmp"),
        u"\tDeleted File: C:\\Program Files\\Example\\cache\\c.tmp"}},
      // The PATH setting is upper-cased, then resolved: an existing path shows in capitals.
      {"the PATH setting, resolved through the disk",
       {"[Settings]", "PATH=C:\\Nowhere | c:\\program files\\example", "[DISK_OPTION]", "0=A<1>0", "[DISK]",
        "0=%PATH%\\cache\\*.*"},
       {u"\r\n", DiskDescription(u"%PATH%\\cache\\*.*"), u"\tDeleted File: C:\\PROGRAM FILES\\EXAMPLE\\cache\\c.tmp"}},
      {"the PATH setting, unresolved, expanded as its last candidate",
       {"[Settings]", "PATH=%APPDATA%\\nothing", "[DISK_OPTION]", "0=A<1>0", "[DISK]", "0=%PATH%\\x /E"},
       {u"\r\n", DiskDescription(u"%PATH%\\x /E"),
        u"\tError: Unable to access C:\\users\\joe\\AppData\\Roaming\\NOTHING\\x\\*.*"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    // A case that starts with [Settings] adds keys to the header.
    std::vector<std::string> plugin = {"[Settings]", "Description=d", "Provider=p", "Version=1"};
    auto from = c.sections.begin();
    if (from != c.sections.end() && *from == "[Settings]") ++from;
    plugin.insert(plugin.end(), from, c.sections.end());
    EXPECT_EQ(Body(plugin), c.body);
  }
}

TEST_F(TestRun, ActionsOfTwoToOneThousandTwentyOneCharactersAreRead) {
  // A DELVAL whose value name pads the string to the length wanted.
  auto action_of = [](size_t length) {
    std::string a = "DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,";
    return a + std::string(length - a.size(), 'v');
  };
  for (size_t length : {size_t(1021), size_t(1022), size_t(1023), size_t(5000)}) {
    SCOPED_TRACE(length);
    Lines body = Body({"[REG_OPTION]", "0=A<1>0", "[REGISTRY]", "0=" + action_of(length)});
    ASSERT_FALSE(body.empty());
    if (length <= 1021)
      EXPECT_EQ(body[0], u"\r\n");
    else
      EXPECT_EQ(body, (Lines{u"Error: Unable to read registry action #0", u"Error: No actions enabled/run"}));
  }
  // Two characters are enough to be read (and to fail to parse).
  EXPECT_EQ(Body({"[REG_OPTION]", "0=A<1>0", "[REGISTRY]", "0=xy"}),
            (Lines{u"\r\n", u"Error: Unable to parse registry action string #0"}));
}

TEST_F(TestRun, AnEncryptedPluginGivesTheFrameOnly) {
  std::vector<std::string> plugin = kExample;
  plugin[4] = "Encrypted=1";
  Lines all = Run(plugin);
  ASSERT_EQ(all.size(), 7u);
  EXPECT_EQ(all[1], kHeadRuler);
  EXPECT_EQ(all[2], kFootRuler);
  EXPECT_EQ(all[5], u"Files Deleted\t: 0\r\nFolders Deleted\t: 0\r\nTotal Size in KB\t: 0 KB\r\n\r\n"
                    u"Registry Values Deleted\t: 0\r\nRegistry Keys Deleted\t: 0");
  // Other values than 1 do not count as encrypted.
  plugin[4] = "Encrypted=2";
  EXPECT_GT(Run(plugin).size(), 7u);
}

TEST(TestRunTotals, TotalsText) {
  CTestResults results;
  results.Reset(nullptr);
  results.files_deleted = 3;
  results.total_bytes = 1500;
  results.registry_values_deleted = 2;
  results.registry_keys_deleted = 1;
  EXPECT_EQ(TotalsText(results), u"Files Deleted\t: 3\r\nFolders Deleted\t: 0\r\nTotal Size in KB\t: 2 KB\r\n\r\n"
                                 u"Registry Values Deleted\t: 2\r\nRegistry Keys Deleted\t: 1");
  results.files_deleted = 18446744073709551615u;  // unsigned 64-bit counts print whole
  results.total_bytes = 5000000;
  EXPECT_EQ(TotalsText(results).rfind(u"Files Deleted\t: 18446744073709551615\r\nFolders Deleted\t: 0\r\n", 0), 0u);
  EXPECT_NE(TotalsText(results).find(u"Total Size in KB\t: 4,883 KB\r\n"), std::u16string::npos);
}

// Records the notifications, and asks the run to stop once it has seen a
// given number of file lines.
struct StoppingSink : TestLogSink {
  const CTestResults& results;
  std::atomic<bool>& stop;
  int stop_after_files;
  std::vector<std::pair<TestLogEvent, size_t>> events;
  StoppingSink(const CTestResults& r, std::atomic<bool>& s, int n) : results(r), stop(s), stop_after_files(n) {}
  void Notify(TestLogEvent event, size_t index) override {
    events.emplace_back(event, index);
    if (event == TestLogEvent::kLine && results[index].rfind(u"\tDeleted File: ", 0) == 0 && --stop_after_files == 0)
      stop = true;
  }
};

TEST_F(TestRun, AStoppedRunSaysSoAndStillClosesItsLog) {
  std::atomic<bool> stop{false};
  StoppingSink sink(results_, stop, 1);
  Lines all = Run(kExample, RunStop(&stop), &sink);
  // The first file line, then no further item: the walk stopped within one entry.
  ASSERT_GE(all.size(), 13u);
  EXPECT_EQ(all[7], u"\tDeleted File: C:\\users\\joe\\AppData\\Roaming\\Example\\Logs\\a.log");
  EXPECT_EQ(all[8], u"Error: Test run stopped");
  EXPECT_EQ(all[9], kFootRuler);
  EXPECT_EQ(all[12], u"Files Deleted\t: 1\r\nFolders Deleted\t: 0\r\nTotal Size in KB\t: 1 KB\r\n\r\n"
                     u"Registry Values Deleted\t: 1\r\nRegistry Keys Deleted\t: 0");
  EXPECT_EQ(all.size(), 14u);
  // Every line announced in order, then the end.
  ASSERT_EQ(sink.events.size(), all.size() + 1);
  for (size_t i = 0; i < all.size(); ++i) EXPECT_EQ(sink.events[i], std::make_pair(TestLogEvent::kLine, i));
  EXPECT_EQ(sink.events.back(), std::make_pair(TestLogEvent::kComplete, size_t(0)));

  // Stopped before it starts: no action runs, and no "no actions" line either.
  stop = true;
  all = Run(kExample, RunStop(&stop));
  EXPECT_EQ(all[2], u"Error: Test run stopped");
  EXPECT_EQ(all[3], kFootRuler);
}

TEST_F(TestRun, AMissingPluginFileRunsNoAction) {
  RunTest(results_, dir_.path() / "missing.cln", TestWorld{world_.registry(), world_.files(), world_.system()},
          nullptr);
  ASSERT_EQ(results_.GetSize(), 8u);
  EXPECT_EQ(results_[2], u"Error: No actions enabled/run");
}

}  // namespace
}  // namespace kestrel
