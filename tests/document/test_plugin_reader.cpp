#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/editor_fixture.h"
#include "support/example_plugin.h"

namespace kestrel {
namespace {

using testing::EditorFixture;

// A plug-in whose Settings are fine, with the given sections after them.
std::string Plugin(const std::string& sections, const std::string& settings_extra = "") {
  return "[Settings]\r\nDescription=d\r\nProvider=p\r\nVersion=1\r\n" + settings_extra + sections;
}

class PluginReader : public EditorFixture {
 protected:
  void ExpectNewState() {
    EXPECT_EQ(doc.filename_field, u"Untitled");
    EXPECT_EQ(doc.current_path, u"");
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(doc.actions.GetCount(), 0);
    EXPECT_EQ(list.RowCount(), 0);
    ASSERT_EQ(list.GroupCount(), 2);
    EXPECT_EQ(list.GroupTitle(0), u"Registry Actions");
    EXPECT_EQ(list.GroupTitle(1), u"File/Folder Actions");
  }
  std::vector<int> RowGroups() const {
    std::vector<int> groups;
    for (int r = 0; r < list.RowCount(); ++r) groups.push_back(list.GetItemGroup(r));
    return groups;
  }
  std::vector<bool> RowChecks() const {
    std::vector<bool> checks;
    for (int r = 0; r < list.RowCount(); ++r) checks.push_back(list.IsRowChecked(r));
    return checks;
  }
};

TEST_F(PluginReader, NewGivesUntitledDocumentWithDefaultGroups) {
  EXPECT_EQ(doc.version, u"1.0");
  EXPECT_EQ(doc.provider, u"author");
  EXPECT_EQ(doc.description, u"");
  EXPECT_FALSE(doc.show_groups);
  ExpectNewState();
  EXPECT_EQ(list.GroupChecked(0), 1);
  EXPECT_EQ(list.GroupChecked(1), 1);
  EXPECT_EQ(list.GroupSubtitle(0), u"Actions: 0");
  EXPECT_FALSE(actions.Buttons().save_test);

  NewPlugin(actions, std::nullopt);
  EXPECT_EQ(doc.provider, u"<unknown>");
}

TEST_F(PluginReader, ReadsTheExampleFile) {
  ASSERT_TRUE(ReadText(testing::kExamplePlugin));
  EXPECT_TRUE(messages.warnings.empty());
  EXPECT_EQ(doc.description, u"Removes the recent file list of the example editor");
  EXPECT_EQ(doc.provider, u"someone");
  EXPECT_EQ(doc.version, u"1.0");
  EXPECT_FALSE(doc.show_groups);
  EXPECT_FALSE(doc.modified);
  EXPECT_EQ(doc.current_path, PathOf("plugin.cln"));
  EXPECT_EQ(doc.filename_field, doc.current_path);

  // "DISK" first, then "REGISTRY", numbered by key within each.
  ASSERT_EQ(doc.actions.GetCount(), 3);
  EXPECT_EQ(doc.actions[0].text, u"%APPDATA%\\Example\\Logs\\*.log /S");
  EXPECT_EQ(doc.actions[0].kind, kFileFolderKind);
  EXPECT_EQ(doc.actions[1].number, 1);
  EXPECT_EQ(doc.actions[2].kind, kRegistryKind);
  EXPECT_EQ(doc.actions[2].number, 0);

  ASSERT_EQ(list.RowCount(), 3);
  EXPECT_EQ(RowGroups(), (std::vector<int>{1, 1, 0}));
  EXPECT_EQ(RowChecks(), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(list.GetItemData(2), 2);
  EXPECT_EQ(list.RowImage(2), kRegistryRowImage);
  EXPECT_EQ(list.RowText(2, kPathColumn), u"HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile");
  EXPECT_EQ(list.RowText(1, kActionColumn), u"Empty Path");
  EXPECT_EQ(list.GroupSubtitle(1), u"Actions: 2");
  EXPECT_TRUE(actions.Buttons().save_test);
}

struct Refusal {
  const char* name;
  std::string file;
  const char16_t* message;
};

class PluginReaderRefusal : public PluginReader, public ::testing::WithParamInterface<Refusal> {};

TEST_P(PluginReaderRefusal, LeavesNewDocument) {
  EXPECT_FALSE(ReadText(GetParam().file));
  EXPECT_EQ(messages.warnings, std::vector<std::u16string>{GetParam().message});
  ExpectNewState();
}

const std::string kActions = "[REGISTRY]\r\n0=DELKEY=HKEY_USERS\\x\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, PluginReaderRefusal,
    ::testing::Values(
        Refusal{"Encrypted", Plugin(kActions, "Encrypted=1\r\n"), u"Cannot edit encrypted plug-ins"},
        Refusal{"EmptyDescription", "[Settings]\r\nDescription=\r\nProvider=p\r\nVersion=1\r\n" + kActions,
                u"Error reading file"},
        Refusal{"NoVersion", "[Settings]\r\nDescription=d\r\nProvider=p\r\n" + kActions, u"Error reading file"},
        Refusal{"Provider511", "[Settings]\r\nDescription=d\r\nVersion=1\r\nProvider=" + std::string(511, 'p') +
                                   "\r\n" + kActions,
                u"Error reading file"},
        Refusal{"NoActions", Plugin("[REG_OPTION]\r\n0=A<1>0\r\n"), u"Error reading file"},
        Refusal{"BlankFirstAction", Plugin("[DISK]\r\n0=  \r\n1=C:\\x /E\r\n"), u"Error reading file"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PluginReader, MissingFileOrEmptyPathIsInvalid) {
  EXPECT_FALSE(ReadPlugin(actions, PathOf("absent.cln"), u"author"));
  EXPECT_FALSE(ReadPlugin(actions, u"", u"author"));
  EXPECT_EQ(messages.warnings, (std::vector<std::u16string>{u"Invalid file", u"Invalid file"}));
  ExpectNewState();
}

TEST_F(PluginReader, HeaderValuesJustUnderTheLimitAndOddIntegersAreRead) {
  // 510 characters fit; "Encrypted" that is no number counts as 0; HIDEOPTION missing shows groups;
  // key names are found without regard to case.
  const std::string description(510, 'd');
  ASSERT_TRUE(ReadText("[settings]\r\ndescription=" + description + "\r\nPROVIDER=p\r\nversion=2\r\n" +
                       "Encrypted=yes\r\n" + kActions));
  EXPECT_EQ(doc.description, FromUtf8(description));
  EXPECT_EQ(doc.version, u"2");
  EXPECT_TRUE(doc.show_groups);
}

TEST_F(PluginReader, ActionSectionsEndAtTheFirstMissingKey) {
  ASSERT_TRUE(ReadText(Plugin("[REGISTRY]\r\n0=DELKEY=HKEY_USERS\\a\r\n1=DELKEY=HKEY_USERS\\b\r\n"
                              "3=DELKEY=HKEY_USERS\\d\r\n")));
  EXPECT_EQ(doc.actions.GetCount(), 2);
}

TEST_F(PluginReader, LongActionStringsAndGroupLinesAreReadWhole) {
  const std::string long_path = "C:\\" + std::string(700, 'x') + "\\*.tmp";
  std::string members;
  for (int i = 0; i < 200; ++i) members += std::to_string(i % 2) + ",";
  ASSERT_TRUE(ReadText(Plugin("[DISK_OPTION]\r\n0=Big<1>" + members + "1\r\n[DISK]\r\n0=" + long_path +
                              "\r\n1=C:\\y /E\r\n[REGISTRY]\r\n0=DELKEY=HKEY_USERS\\x\r\n")));
  ASSERT_EQ(doc.actions.GetCount(), 3);
  EXPECT_EQ(doc.actions[0].text, FromUtf8(long_path));
  EXPECT_EQ(doc.file_folder_member_lists.at(0).size(), members.size() + 1);
  EXPECT_EQ(RowChecks(), (std::vector<bool>{true, true, false}));
}

TEST_F(PluginReader, GroupLinesMakeGroupsWithTheirFlags) {
  ASSERT_TRUE(ReadText(Plugin("[REG_OPTION]\r\n0=Temp<0>\r\n1= Spaced <1>0\r\n"
                              "[DISK_OPTION]\r\n0=Files< 0 >\r\n" + kActions)));
  EXPECT_TRUE(messages.warnings.empty());
  ASSERT_EQ(list.GroupCount(), 3);
  EXPECT_EQ(list.GroupIdAt(0), 0);
  EXPECT_EQ(list.GroupTitle(0), u"Temp");
  EXPECT_EQ(list.GroupChecked(0), 0);
  EXPECT_EQ(list.GroupIdAt(1), 2);
  EXPECT_EQ(list.GroupTitle(2), u"Spaced ");  // the name before "<" is kept as it is
  EXPECT_EQ(list.GroupChecked(2), 1);
  EXPECT_EQ(list.GroupTitle(1), u"Files");
  EXPECT_EQ(list.GroupChecked(1), 0);
  EXPECT_EQ(RowGroups(), std::vector<int>{2});
  EXPECT_EQ(doc.registry_member_lists, (std::vector<std::u16string>{u"", u"0"}));
}

TEST_F(PluginReader, AGroupNameEndsAtAnAngleBracketThatStartsTheMemberList) {
  // The member list starts after the first ">", even one before the "<": the
  // name stops there, so saving the group writes back the same members.
  ASSERT_TRUE(ReadText(Plugin("[REG_OPTION]\r\n0=Odd >0,x<1>1\r\n"
                              "[REGISTRY]\r\n0=DELKEY=HKEY_USERS\\a\r\n1=DELKEY=HKEY_USERS\\b\r\n")));
  EXPECT_EQ(list.GroupTitle(0), u"Odd ");
  EXPECT_EQ(list.GroupChecked(0), 1);
  EXPECT_EQ(RowChecks(), (std::vector<bool>{true, false}));  // "0", then "x<1>1" names 0 again
}

TEST_F(PluginReader, BrokenGroupLinesEndTheirSectionOnly) {
  ASSERT_TRUE(ReadText(Plugin("[REG_OPTION]\r\n0=Good<1>0\r\n1=No angle\r\n2=Later<1>\r\n"
                              "[DISK_OPTION]\r\n0=Unclosed<1\r\n" + kActions)));
  EXPECT_EQ(messages.warnings, (std::vector<std::u16string>{u"Error reading groups", u"Error reading groups"}));
  // Group 0 from the file, group 1 added last since its line was broken.
  ASSERT_EQ(list.GroupCount(), 2);
  EXPECT_EQ(list.GroupTitle(0), u"Good");
  EXPECT_EQ(list.GroupIdAt(1), 1);
  EXPECT_EQ(list.GroupTitle(1), u"File/Folder Actions");
  EXPECT_EQ(list.GroupChecked(1), 1);
  EXPECT_FALSE(doc.modified);
}

TEST_F(PluginReader, GroupSectionStartingAtKeyOneGivesDefaultGroupLast) {
  ASSERT_TRUE(ReadText(Plugin("[REG_OPTION]\r\n1=Lost<1>0\r\n[DISK_OPTION]\r\n0=Files<1>\r\n1=NULL\r\n"
                              "2=Never<1>\r\n" + kActions)));
  ASSERT_EQ(list.GroupCount(), 2);
  EXPECT_EQ(list.GroupIdAt(0), 1);
  EXPECT_EQ(list.GroupIdAt(1), 0);
  EXPECT_EQ(list.GroupTitle(0), u"Registry Actions");
  EXPECT_EQ(RowChecks(), std::vector<bool>{false});
}

TEST_F(PluginReader, MemberListsPlaceAndTickRows) {
  // Action 0 is named by two groups (the first wins), 1 by none, "x" names 0,
  // 9 names no action; file/folder numbers are looked up among file/folder lists.
  ASSERT_TRUE(ReadText(Plugin("[REG_OPTION]\r\n0=A<1>9\r\n1=B<1>0\r\n2=C<1>x,0,2\r\n"
                              "[DISK_OPTION]\r\n0=F<1>\r\n1=G<1>1\r\n"
                              "[REGISTRY]\r\n0=DELKEY=HKEY_USERS\\a\r\n1=DELKEY=HKEY_USERS\\b\r\n"
                              "2=DELKEY=HKEY_USERS\\c\r\n[DISK]\r\n0=C:\\d /E\r\n1=C:\\e /E\r\n")));
  EXPECT_EQ(RowGroups(), (std::vector<int>{1, 3, 2, 0, 4}));
  EXPECT_EQ(RowChecks(), (std::vector<bool>{false, true, true, false, true}));
}

TEST_F(PluginReader, ActionNeitherParserAcceptsIsKeptWithoutRow) {
  ASSERT_TRUE(ReadText(Plugin("[DISK]\r\n0=nonsense\r\n1=C:\\x /E\r\n")));
  ASSERT_EQ(doc.actions.GetCount(), 2);
  EXPECT_EQ(doc.actions[0].text, u"nonsense");
  ASSERT_EQ(list.RowCount(), 1);
  EXPECT_EQ(list.GetItemData(0), 1);
}

TEST_F(PluginReader, ExtraHeaderValuesOutliveNewAndRefusedFiles) {
  const std::string extras = "NAME=n\r\nPATH=" + std::string(600, 'p') + "\r\nICON=i\r\nPATHMUSTEXIST=m\r\n"
                             "VERIFY=v\r\nWARNING=w\r\n";
  ASSERT_TRUE(ReadText(Plugin(kActions, extras)));
  EXPECT_EQ(doc.path.size(), 600u);
  NewPlugin(actions, u"author");
  EXPECT_EQ(doc.name, u"n");
  EXPECT_EQ(doc.warning, u"w");

  // A file refused for want of actions still hands over its extra values.
  EXPECT_FALSE(ReadText(Plugin("", "NAME=other\r\n"), "empty.cln"));
  EXPECT_EQ(doc.name, u"other");
  EXPECT_EQ(doc.icon, u"");
}

}  // namespace
}  // namespace kestrel
