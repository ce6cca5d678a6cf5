#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/editor_fixture.h"
#include "support/example_plugin.h"

namespace kestrel {
namespace {

using testing::EditorFixture;

REGACTION Reg(std::u16string_view text) {
  REGACTION r;
  EXPECT_EQ(ParseRegAction(text, r), 1);
  return r;
}

DISKACTION Disk(std::u16string_view text) {
  DISKACTION d;
  EXPECT_EQ(ParseDiskAction(text, d), 1);
  return d;
}

std::string Header(const std::string& hide = "1") {
  return "[Settings]\r\nDescription=d\r\nProvider=p\r\nVersion=1.0\r\nEncrypted=0\r\nHIDEOPTION=" + hide + "\r\n";
}

class PluginWriter : public EditorFixture {
 protected:
  void SetUp() override {
    doc.description = u"d";
    doc.provider = u"p";
  }
};

TEST_F(PluginWriter, ExampleFileIsSavedDiskFirstAndStable) {
  ASSERT_TRUE(ReadText(testing::kExamplePlugin));
  doc.modified = true;
  ASSERT_EQ(Save(), WriteResult::kWritten);
  EXPECT_EQ(Saved(), testing::kExamplePluginSaved);
  EXPECT_FALSE(doc.modified);
  // Path and Filename field are the caller's business.
  EXPECT_EQ(doc.current_path, PathOf("plugin.cln"));

  ASSERT_TRUE(ReadPlugin(actions, PathOf("saved.cln"), u"author"));
  ASSERT_EQ(Save("again.cln"), WriteResult::kWritten);
  EXPECT_EQ(Saved("again.cln"), testing::kExamplePluginSaved);
}

TEST_F(PluginWriter, NewDocumentWritesEveryHeaderKeyAndTheReaderRefusesEmptyDescription) {
  doc.description.clear();
  doc.show_groups = true;
  doc.warning = u"careful";
  doc.name = u"n";
  actions.AddRegistryAction(Reg(u"DELKEY=HKEY_USERS\\x"), 0);
  ASSERT_EQ(Save(), WriteResult::kWritten);
  EXPECT_EQ(Saved(),
            "[Settings]\r\nNAME=n\r\nWARNING=careful\r\nDescription=\r\nProvider=p\r\nVersion=1.0\r\n"
            "Encrypted=0\r\nHIDEOPTION=0\r\n[REG_OPTION]\r\n0=Registry Actions<1>0\r\n"
            "[REGISTRY]\r\n0=DELKEY=HKEY_USERS\\x\r\n");
  EXPECT_FALSE(ReadPlugin(actions, PathOf("saved.cln"), u"author"));
  EXPECT_EQ(messages.warnings.back(), u"Error reading file");
}

TEST_F(PluginWriter, NothingToWriteLeavesTheFileAlone) {
  dir.Write("saved.cln", "old");
  EXPECT_EQ(Save(), WriteResult::kNothingToWrite);
  EXPECT_EQ(Saved(), "old");
  EXPECT_TRUE(doc.modified);
  EXPECT_TRUE(messages.warnings.empty());
}

TEST_F(PluginWriter, RemovalRenumbersKeysAndMemberLists) {
  for (auto text : {u"DELKEY=HKEY_USERS\\a", u"DELKEY=HKEY_USERS\\b", u"DELKEY=HKEY_USERS\\c"})
    actions.AddRegistryAction(Reg(text), 0);
  list.SelectRow(1);
  actions.RemoveAction();
  ASSERT_EQ(Save(), WriteResult::kWritten);
  EXPECT_EQ(Saved(), Header() +
                         "[REG_OPTION]\r\n0=Registry Actions<1>0,1\r\n"
                         "[REGISTRY]\r\n0=DELKEY=HKEY_USERS\\a\r\n1=DELKEY=HKEY_USERS\\c\r\n");
}

TEST_F(PluginWriter, GroupsWithoutRowsAreLeftOutAndUntickedRowsAreNoMembers) {
  list.AddGroup(2, list.GroupCount(), u"Empty");
  list.AddGroup(4, list.GroupCount(), u"Unticked");
  list.SetGroupChecked(4, 0);
  list.AddGroup(3, list.GroupCount(), u"Files");
  actions.AddRegistryAction(Reg(u"DELKEY=HKEY_USERS\\a"), 4);
  actions.AddFileFolderAction(Disk(u"C:\\t\\*.tmp"), 3);
  actions.AddRegistryAction(Reg(u"DELKEY=HKEY_USERS\\b"), 0);
  list.SetRowChecked(0, false);
  ASSERT_EQ(Save(), WriteResult::kWritten);
  // "Empty" is not written, so "Unticked" moves up to key 1.
  EXPECT_EQ(Saved(), Header() +
                         "[REG_OPTION]\r\n0=Registry Actions<1>1\r\n1=Unticked<0>\r\n"
                         "[DISK_OPTION]\r\n0=Files<1>0\r\n"
                         "[REGISTRY]\r\n0=DELKEY=HKEY_USERS\\a\r\n1=DELKEY=HKEY_USERS\\b\r\n"
                         "[DISK]\r\n0=C:\\t\\*.tmp\r\n");
}

TEST_F(PluginWriter, SavingOverAFileLeavesNoForeignKeys) {
  dir.Write("saved.cln", "[Settings]\r\nFOREIGN=1\r\nDescription=old\r\n[Other]\r\nx=y\r\n");
  actions.AddRegistryAction(Reg(u"DELKEY=HKEY_USERS\\a"), 0);
  ASSERT_EQ(Save(), WriteResult::kWritten);
  EXPECT_EQ(Saved().find("FOREIGN"), std::string::npos);
  EXPECT_EQ(Saved().find("Other"), std::string::npos);
  EXPECT_NE(Saved().find("Description=d\r\n"), std::string::npos);
}

TEST_F(PluginWriter, LongActionStringsAreWrittenWithOneWarningEach) {
  // "C:\" + name + "\*" : 512 characters exactly, then 513 twice.
  const std::u16string at_limit = u"C:\\" + std::u16string(507, u'a') + u"\\*";
  ASSERT_EQ(at_limit.size(), 512u);
  actions.AddFileFolderAction(Disk(at_limit), 1);
  EXPECT_EQ(Save(), WriteResult::kWritten);
  EXPECT_TRUE(messages.warnings.empty());

  actions.AddFileFolderAction(Disk(at_limit + u"b"), 1);
  actions.AddFileFolderAction(Disk(at_limit + u"c"), 1);
  EXPECT_EQ(Save(), WriteResult::kWritten);
  EXPECT_EQ(messages.warnings, std::vector<std::u16string>(2, u"Some strings are longer than 512 chars."));
  EXPECT_NE(Saved().find("2=" + ToUtf8(at_limit) + "c\r\n"), std::string::npos);
}

TEST_F(PluginWriter, ActionsNoParserTakesApartAreWrittenBackAsRead) {
  // Key 1 of "DISK" is no action at all; key 3 an INI action whose only "\"
  // stands before its "=", which would compose to no action; key 1 of
  // "REGISTRY" is a registry action whose remainder has no "\" (and key 2 one
  // without its ","): composing them would lose the key, so they go back as
  // read, only trimmed.
  ASSERT_TRUE(ReadText(Header() +
                       "[DISK]\r\n0=C:\\a /E\r\n1=just words\r\n2=C:\\b\\*.x /C   /S\r\n"
                       "3=INIFILE{C:\\x=a.ini|Sec\r\n"
                       "[REGISTRY]\r\n0=DELKEY=HKEY_USERS\\k\r\n1=  delkey=NoBackslash  \r\n"
                       "2=DELVAL=HKEY_USERS\\NoComma\r\n"));
  ASSERT_EQ(list.RowCount(), 6);
  ASSERT_EQ(Save(), WriteResult::kWritten);
  EXPECT_EQ(Saved(), Header() +
                         "[REG_OPTION]\r\n0=Registry Actions<1>\r\n[DISK_OPTION]\r\n0=File/Folder Actions<1>\r\n"
                         "[DISK]\r\n0=C:\\a /E\r\n1=just words\r\n2=C:\\b\\*.x /S /C\r\n"
                         "3=INIFILE{C:\\x=a.ini|Sec\r\n"
                         "[REGISTRY]\r\n0=DELKEY=HKEY_USERS\\k\r\n1=delkey=NoBackslash\r\n"
                         "2=DELVAL=HKEY_USERS\\NoComma\r\n");
}

TEST_F(PluginWriter, IniActionWhoseComposedFormWouldLoseItsBackslashIsWrittenAsRead) {
  // The only "\" stands before the "=", outside the INI value: the composed
  // form INIFILE=a|b would read back as no action and vanish with its group.
  ASSERT_TRUE(ReadText(Header() + "[DISK]\r\n0=INIFILE{C:\\x=a|b\r\n1=INIFILE=C:\\a.ini | S \r\n"));
  ASSERT_EQ(list.RowCount(), 2);
  ASSERT_EQ(Save(), WriteResult::kWritten);
  EXPECT_NE(Saved().find("[DISK]\r\n0=INIFILE{C:\\x=a|b\r\n1=INIFILE=C:\\a.ini|S\r\n"), std::string::npos)
      << Saved();
}

TEST_F(PluginWriter, FileActionWhosePatternHoldsASecondExclusionListIsWrittenAsRead) {
  // Only the first "/X:" list is taken as the exclusions; the second stays in
  // the pattern. Composed, the lists swap places and the next read would take
  // the other one, so the action would change on every save.
  ASSERT_TRUE(ReadText(Header() + "[DISK]\r\n0=C:\\T\\*.tmp /X:a\\b /X:c d /S\r\n1=C:\\T\\ *.log  /S\r\n"));
  ASSERT_EQ(list.RowCount(), 2);
  ASSERT_EQ(Save(), WriteResult::kWritten);
  EXPECT_NE(Saved().find("[DISK]\r\n0=C:\\T\\*.tmp /X:a\\b /X:c d /S\r\n1=C:\\T\\*.log /S\r\n"), std::string::npos)
      << Saved();
}

class PluginWriterFailure : public PluginWriter {
 protected:
  void SetUp() override {
    PluginWriter::SetUp();
    ASSERT_TRUE(ReadText(testing::kExamplePlugin, "plugin.cln"));
    list.SetRowChecked(0, false);
    ASSERT_TRUE(doc.modified);
  }
  void ExpectFailedSave(const std::u16string& path) {
    messages.warnings.clear();
    EXPECT_EQ(WritePlugin(doc, list, path, messages), WriteResult::kFailed);
    ASSERT_EQ(messages.warnings.size(), 1u);
    EXPECT_EQ(messages.warnings[0].rfind(u"Unable to save the plug-in file.\n\n", 0), 0u) << ToUtf8(messages.warnings[0]);
    EXPECT_GT(messages.warnings[0].size(), 40u);  // the reason follows
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(doc.current_path, PathOf("plugin.cln"));
  }
};

TEST_F(PluginWriterFailure, PathIsAFolder) {
  std::filesystem::create_directory(dir.path() / "folder.cln");
  ExpectFailedSave(PathOf("folder.cln"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "folder.cln"));
}

TEST_F(PluginWriterFailure, FolderNotWritableKeepsTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes anywhere";
  dir.Write("locked/old.cln", "old content");
  std::filesystem::permissions(dir.path() / "locked", std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  ExpectFailedSave(PathOf("locked/old.cln"));
  EXPECT_EQ(dir.Read("locked/old.cln"), "old content");
}

TEST_F(PluginWriterFailure, MissingOrReadOnlyFolder) {
  ExpectFailedSave(PathOf("no/such/folder/x.cln"));
  ExpectFailedSave(u"/proc/kestrel-test.cln");  // not writable, not even for root
}

TEST_F(PluginWriterFailure, ValueThatCannotBeReadBackFailsTheSave) {
  dir.Write("old.cln", "old content");
  doc.description = u"two\nlines";
  ExpectFailedSave(PathOf("old.cln"));
  EXPECT_EQ(dir.Read("old.cln"), "old content");
}

}  // namespace
}  // namespace kestrel
