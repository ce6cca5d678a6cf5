#include <gtest/gtest.h>

#include "document/disk_action.h"
#include "platform/text.h"

namespace kestrel {
namespace {

struct DiskCase {
  const char16_t* text;
  int result;
  const char16_t* whole;
  const char16_t* folder;
  const char16_t* pattern;
  const char16_t* exclusions;
  int s, e, r, c;
  const char16_t* composed;
};

TEST(DiskActionString, ParseAndCompose) {
  const DiskCase cases[] = {
      {u"%APPDATA%\\Example\\Logs\\*.log|*.tmp /X:keep.log /S /C", 1, u"%APPDATA%\\Example\\Logs\\*.log|*.tmp",
       u"%APPDATA%\\Example\\Logs", u"*.log|*.tmp", u"keep.log", 1, 0, 0, 1,
       u"%APPDATA%\\Example\\Logs\\*.log|*.tmp /X:keep.log /S /C"},
      {u"%APPDATA%\\Example\\Cache /E /R", 1, u"%APPDATA%\\Example\\Cache", u"%APPDATA%\\Example", u"", u"", 0, 1, 1,
       0, u"%APPDATA%\\Example\\Cache /E /R"},
      {u"C:\\Temp\\ /E", 1, u"C:\\Temp\\", u"C:\\Temp", u"", u"", 0, 1, 0, 0, u"C:\\Temp\\ /E"},
      // Lower-case switches are text and end up in the pattern.
      {u"C:\\T\\*.tmp /s /e", 1, u"C:\\T\\*.tmp /s /e", u"C:\\T", u"*.tmp /s /e", u"", 0, 0, 0, 0,
       u"C:\\T\\*.tmp /s /e"},
      // The exclusion list ends at the first blank.
      {u"C:\\T\\*.tmp /X:my file.txt /S", 1, u"C:\\T\\*.tmp  file.txt", u"C:\\T", u"*.tmp  file.txt", u"my", 1, 0, 0,
       0, u"C:\\T\\*.tmp  file.txt /X:my /S"},
      // A switch anywhere turns on and is cut out of the path.
      {u"C:\\A/SB\\*.x", 1, u"C:\\AB\\*.x", u"C:\\AB", u"*.x", u"", 1, 0, 0, 0, u"C:\\AB\\*.x /S"},
      {u"C:\\T\\*.* /C /R /S", 1, u"C:\\T\\*.*", u"C:\\T", u"*.*", u"", 1, 0, 1, 1, u"C:\\T\\*.* /S /R /C"},
      {u"C: /E", 0, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 0, nullptr},
      {u"", 0, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 0, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    DISKACTION a;
    ASSERT_EQ(ParseDiskAction(c.text, a), c.result);
    if (!c.result) continue;
    EXPECT_EQ(a.whole, c.whole);
    EXPECT_EQ(a.folder, c.folder);
    EXPECT_EQ(a.pattern, c.pattern);
    EXPECT_EQ(a.exclusions, c.exclusions);
    EXPECT_EQ(a.subfolders, c.s);
    EXPECT_EQ(a.empty_path, c.e);
    EXPECT_EQ(a.remove_folder, c.r);
    EXPECT_EQ(a.clean_subfolders, c.c);
    EXPECT_TRUE(a.kind.empty());
    EXPECT_EQ(ComposeDiskAction(a), c.composed);
  }
}

TEST(DiskActionString, ComposeJoinsFolderAndPatternWithOneBackslash) {
  DISKACTION a;
  a.folder = u"C:\\Temp\\ ";
  a.pattern = u" \\*.tmp";
  a.exclusions = u"\\keep.tmp";
  EXPECT_EQ(ComposeDiskAction(a), u"C:\\Temp\\*.tmp /X:keep.tmp");
  EXPECT_EQ(a.folder, u"C:\\Temp");  // the record itself is trimmed
  DISKACTION b;
  b.folder = u"C:\\Temp";
  b.pattern = u"*.tmp";
  EXPECT_EQ(ComposeDiskAction(b), u"C:\\Temp\\*.tmp");
}

TEST(DiskActionString, IniForms) {
  struct Case { const char16_t* text; const char16_t* file; const char16_t* section; const char16_t* key; const char16_t* composed; };
  const Case cases[] = {
      {u"INIFILE=%APPDATA%\\Example\\settings.ini|Recent|File1", u"%APPDATA%\\Example\\settings.ini", u"Recent",
       u"File1", u"INIFILE=%APPDATA%\\Example\\settings.ini|Recent|File1"},
      {u"INIFILE=C:\\App\\app.ini|Options", u"C:\\App\\app.ini", u"Options", u"", u"INIFILE=C:\\App\\app.ini|Options"},
      {u"INIFILE=C:\\App\\app.ini", u"", u"C:\\App\\app.ini", u"", u"INIFILE=|C:\\App\\app.ini"},
      {u"inifile = C:\\a.ini | S | k ", u"C:\\a.ini", u"S", u" k", u"INIFILE=C:\\a.ini|S| k"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    DISKACTION a;
    ASSERT_EQ(ParseDiskAction(c.text, a), 1);
    EXPECT_TRUE(IsIniAction(a));
    EXPECT_EQ(a.ini_file, c.file);
    EXPECT_EQ(a.ini_section, c.section);
    EXPECT_EQ(a.ini_key, c.key);
    EXPECT_TRUE(a.pattern.empty());
    EXPECT_EQ(ComposeDiskAction(a), c.composed);
  }
}

TEST(DiskActionString, ProtectedEmptyPaths) {
  EXPECT_TRUE(IsProtectedEmptyPath(u"C:\\WINDOWS"));
  EXPECT_TRUE(IsProtectedEmptyPath(u"d:\\windows\\System32  "));
  EXPECT_FALSE(IsProtectedEmptyPath(u"C:\\Windows\\Temp"));
  DISKACTION a;
  EXPECT_EQ(ParseDiskAction(u"C:\\Windows /E", a), 1);  // parsing accepts it; the test run skips it
}

}  // namespace
}  // namespace kestrel
