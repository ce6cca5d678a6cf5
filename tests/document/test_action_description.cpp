#include <gtest/gtest.h>

#include "document/action_description.h"
#include "platform/text.h"

namespace kestrel {
namespace {

TEST(ActionDescription, RegistryForms) {
  struct Case { const char16_t* text; const char16_t* brief; const char16_t* full; };
  const Case cases[] = {
      {u"DELKEY=HKEY_CURRENT_USER\\Software\\Example", u"Delete Key", u"Delete Key: HKEY_CURRENT_USER\\Software\\Example"},
      {u"DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile", u"Delete Value",
       u"Delete Value: HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile\\LastFile"},
      {u"DELLIST=HKEY_USERS\\K,Tmp", u"Delete Value list with Pattern", u"Delete Value list with Pattern: HKEY_USERS\\K,Tmp\\Tmp"},
      {u"DELKLIST=HKEY_USERS\\K,Tmp", u"Delete Keylist with Pattern", u"Delete Keylist with Pattern: HKEY_USERS\\K,Tmp\\Tmp"},
      {u"EMPTYKEY=HKEY_USERS\\K", u"Empty Key", u"Empty Key: HKEY_USERS\\K"},
  };
  for (const auto& c : cases) {
    REGACTION a;
    ASSERT_EQ(ParseRegAction(c.text, a), 1);
    EXPECT_EQ(DescribeRegAction(a, false), c.brief);
    EXPECT_EQ(DescribeRegAction(a, true), c.full);
  }
  REGACTION unknown;
  unknown.verb = u"DELSOMETHING";
  EXPECT_EQ(DescribeRegAction(unknown, true), u"");
}

TEST(ActionDescription, FileFolderForms) {
  struct Case { const char16_t* text; const char16_t* brief; const char16_t* full; };
  const Case cases[] = {
      {u"%APPDATA%\\Example\\Logs\\*.log /S", u"Delete Path and subdirs matching pattern",
       u"Delete Path and subdirs matching pattern (%APPDATA%\\Example\\Logs\\*.log)"},
      {u"C:\\T\\*.tmp /X:a.tmp /R", u"Delete Path's files matching pattern", u"Delete Path's files matching pattern (C:\\T\\*.tmp)"},
      {u"C:\\Temp\\ /E", u"Empty Path", u"Empty Path (C:\\Temp\\)"},
      {u"INIFILE=C:\\App\\app.ini|Recent|File1", u"Delete Ini Key: Recent > File1",
       u"Delete Ini Key: Recent > File1 (C:\\App\\app.ini)"},
      {u"INIFILE=C:\\App\\app.ini|Recent", u"Delete Ini Section: Recent", u"Delete Ini Section: Recent (C:\\App\\app.ini)"},
  };
  for (const auto& c : cases) {
    DISKACTION a;
    ASSERT_EQ(ParseDiskAction(c.text, a), 1);
    EXPECT_EQ(DescribeDiskAction(a, false), c.brief);
    EXPECT_EQ(DescribeDiskAction(a, true), c.full);
  }
}

}  // namespace
}  // namespace kestrel
