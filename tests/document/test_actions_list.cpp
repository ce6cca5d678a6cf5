#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/editor_fixture.h"

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

// A dialog's record: fields filled, nothing parsed.
REGACTION DialogReg(const char16_t* verb, const char16_t* root, const char16_t* key, const char16_t* value = u"") {
  REGACTION r;
  r.verb = verb;
  r.root_name = root;
  r.key_path = key;
  r.value_name = value;
  return r;
}

class RecordingView : public ActionsListView {
 public:
  void ButtonsChanged(const ActionButtons& buttons) override { last = buttons; ++changes; }
  void SizeColumns() override { ++sized; }
  ActionButtons last;
  int changes = 0;
  int sized = 0;
};

class ActionsListTest : public EditorFixture {
 protected:
  ActionsListTest() { actions.SetView(&view); }
  std::vector<std::u16string> Texts(int row) const {
    return {list.RowText(row, 0), list.RowText(row, 1), list.RowText(row, 2)};
  }
  RecordingView view;
};

TEST_F(ActionsListTest, AddRegistryActionAppendsATickedRowInTheChosenGroup) {
  list.AddGroup(2, list.GroupCount(), u"Mine");
  doc.modified = false;
  actions.AddRegistryAction(DialogReg(u"DELVAL", u"HKEY_CURRENT_USER", u"Software\\Test", u"Foo"), 2);
  ASSERT_EQ(list.RowCount(), 1);
  EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"HKEY_CURRENT_USER\\Software\\Test,Foo", u"Delete Value", u"Foo"}));
  EXPECT_EQ(list.RowImage(0), kRegistryRowImage);
  EXPECT_TRUE(list.IsRowChecked(0));
  EXPECT_EQ(list.GetItemGroup(0), 2);
  EXPECT_EQ(list.GetItemData(0), 0);
  EXPECT_EQ(list.GroupSubtitle(2), u"Actions: 1");
  EXPECT_TRUE(doc.modified);
  EXPECT_EQ(doc.actions[0].text, u"DELVAL=HKEY_CURRENT_USER\\Software\\Test,Foo");
  EXPECT_EQ(doc.actions[0].kind, kRegistryKind);
  EXPECT_TRUE(view.last.save_test);
  EXPECT_FALSE(view.last.edit_remove);
  EXPECT_TRUE(messages.warnings.empty());
}

TEST_F(ActionsListTest, RecordsThatDoNotParseAgainAddNothing) {
  doc.modified = false;
  actions.AddRegistryAction(REGACTION{}, 0);  // composes to "=\\": no verb
  actions.AddRegistryAction(DialogReg(u"", u"HKEY_USERS", u"x"), 0);
  EXPECT_EQ(doc.actions.GetCount(), 0);
  EXPECT_EQ(list.RowCount(), 0);
  EXPECT_FALSE(doc.modified);
  EXPECT_EQ(view.changes, 2);  // refreshed all the same
}

struct RowCase {
  const char* name;
  std::u16string text;
  std::vector<std::u16string> texts;
};

class RowTextsTest : public ActionsListTest, public ::testing::WithParamInterface<RowCase> {};

TEST_P(RowTextsTest, ShowsPathActionAndPattern) {
  const ParsedAction parsed = ParseAction(GetParam().text);
  if (parsed.kind == ActionClass::kRegistry)
    actions.AddRegistryAction(parsed.reg, 0);
  else
    actions.AddFileFolderAction(parsed.disk, 1);
  ASSERT_EQ(list.RowCount(), 1);
  EXPECT_EQ(Texts(0), GetParam().texts);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RowTextsTest,
    ::testing::Values(
        RowCase{"DelKey", u"DELKEY=HKEY_USERS\\x", {u"HKEY_USERS\\x", u"Delete Key", u""}},
        RowCase{"EmptyKey", u"EMPTYKEY=HKEY_USERS\\x", {u"HKEY_USERS\\x", u"Empty Key", u""}},
        RowCase{"DelKList", u"DELKLIST=HKEY_USERS\\x,Pre", {u"HKEY_USERS\\x,Pre", u"Delete Keylist with Pattern", u"Pre"}},
        RowCase{"Exclusions",
                u"C:\\Temp\\*.tmp /X:keep.tmp",
                {u"C:\\Temp", u"Delete Path's files matching pattern", u"*.tmp, But exclude: keep.tmp"}},
        RowCase{"Subfolders", u"C:\\Temp\\*.log /S", {u"C:\\Temp", u"Delete Path and subdirs matching pattern", u"*.log"}},
        RowCase{"EmptyPath", u"C:\\Temp\\ /E", {u"C:\\Temp\\", u"Empty Path", u""}},
        RowCase{"IniKey",
                u"INIFILE=C:\\App\\app.ini|Recent|File1",
                {u"C:\\App\\app.ini", u"Delete Ini Key: Recent > File1", u""}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ActionsListTest, EditReplacesTextsGroupAndKeepsTheNumber) {
  list.AddGroup(3, list.GroupCount(), u"Other files");
  actions.AddFileFolderAction(Disk(u"INIFILE=C:\\App\\app.ini|Recent"), 1);
  actions.AddFileFolderAction(Disk(u"C:\\T\\*.tmp /X:a.tmp"), 1);
  list.SelectRow(1);
  doc.modified = false;

  const std::optional<EditRequest> request = actions.BeginEdit();
  ASSERT_TRUE(request);
  EXPECT_EQ(request->parsed.kind, ActionClass::kFileFolder);
  EXPECT_EQ(request->parsed.disk.exclusions, u"a.tmp");
  EXPECT_EQ(request->group_id, 1);
  DISKACTION edited = request->parsed.disk;
  edited.exclusions = u"b.tmp|c.tmp";
  actions.EditAction(*request, edited, 3);

  EXPECT_EQ(Texts(1)[2], u"*.tmp, But exclude: b.tmp|c.tmp");
  EXPECT_EQ(list.GetItemGroup(1), 3);
  EXPECT_EQ(doc.actions[1].text, u"C:\\T\\*.tmp /X:b.tmp|c.tmp");
  EXPECT_EQ(doc.actions[1].number, 1);
  EXPECT_TRUE(doc.modified);
  EXPECT_EQ(list.GroupSubtitle(3), u"Actions: 1");

  // An INI action keeps its file under "Path" after an edit too.
  list.SelectRow(0);
  const auto ini = actions.BeginEdit();
  ASSERT_TRUE(ini);
  DISKACTION ini_edit = ini->parsed.disk;
  ini_edit.ini_key = u"File2";
  actions.EditAction(*ini, ini_edit, 1);
  EXPECT_EQ(Texts(0), (std::vector<std::u16string>{u"C:\\App\\app.ini", u"Delete Ini Key: Recent > File2", u""}));
}

TEST_F(ActionsListTest, EditOfRegistryActionMovesItToTheChosenGroup) {
  list.AddGroup(2, list.GroupCount(), u"Mine");
  actions.AddRegistryAction(Reg(u"DELKEY=HKEY_USERS\\x"), 0);
  list.SelectRow(0);
  const auto request = actions.BeginEdit();
  ASSERT_TRUE(request);
  EXPECT_EQ(request->parsed.kind, ActionClass::kRegistry);
  actions.EditAction(*request, DialogReg(u"DELVAL", u"HKEY_USERS", u"y", u"v"), 2);
  EXPECT_EQ(doc.actions[0].text, u"DELVAL=HKEY_USERS\\y,v");
  EXPECT_EQ(list.GetItemGroup(0), 2);
  EXPECT_EQ(Texts(0)[2], u"v");
  // A registry request takes no file/folder record.
  actions.EditAction(*request, Disk(u"C:\\a /E"), 1);
  EXPECT_EQ(doc.actions[0].text, u"DELVAL=HKEY_USERS\\y,v");
}

TEST_F(ActionsListTest, NoEditWithoutSelection) {
  actions.AddRegistryAction(Reg(u"DELKEY=HKEY_USERS\\x"), 0);
  EXPECT_FALSE(actions.BeginEdit());
  doc.modified = false;
  actions.RemoveAction();
  EXPECT_EQ(list.RowCount(), 1);
  EXPECT_FALSE(doc.modified);
}

TEST_F(ActionsListTest, RemoveMovesItemDataDownAndKeepsNumbers) {
  for (auto text : {u"DELKEY=HKEY_USERS\\a", u"DELKEY=HKEY_USERS\\b", u"DELKEY=HKEY_USERS\\c"})
    actions.AddRegistryAction(Reg(text), 0);
  list.SelectRow(1);
  EXPECT_TRUE(view.last.edit_remove);
  doc.modified = false;
  actions.RemoveAction();
  ASSERT_EQ(list.RowCount(), 2);
  EXPECT_EQ(list.GetItemData(0), 0);
  EXPECT_EQ(list.GetItemData(1), 1);
  EXPECT_EQ(list.RowText(1, 0), u"HKEY_USERS\\c");
  EXPECT_EQ(doc.actions.GetNumber(1), 2);
  EXPECT_TRUE(doc.modified);
  EXPECT_FALSE(view.last.edit_remove);

  // Two registry rows: the next one gets number 2 as well.
  actions.AddRegistryAction(Reg(u"DELKEY=HKEY_USERS\\d"), 0);
  EXPECT_EQ(doc.actions.GetNumber(2), 2);
  EXPECT_EQ(actions.CountActionsOfKind(true), 3);
  EXPECT_EQ(actions.CountActionsOfKind(false), 0);
}

TEST_F(ActionsListTest, TickingSetsModifiedAndSelectingDoesNot) {
  actions.AddRegistryAction(Reg(u"DELKEY=HKEY_USERS\\a"), 0);
  doc.modified = false;
  list.SelectRow(0);
  EXPECT_FALSE(doc.modified);
  EXPECT_TRUE(view.last.edit_remove);
  list.SetRowChecked(0, false);
  EXPECT_TRUE(doc.modified);
  list.SelectRow(-1);
  EXPECT_FALSE(view.last.edit_remove);
}

TEST_F(ActionsListTest, RowForAMissingGroupIsInsertedWithAWarning) {
  actions.AddRegistryAction(Reg(u"DELKEY=HKEY_USERS\\a"), 8);
  EXPECT_EQ(messages.warnings, std::vector<std::u16string>{u"Error: group not found"});
  ASSERT_EQ(list.RowCount(), 1);
  EXPECT_EQ(list.GetItemGroup(0), 8);
}

TEST_F(ActionsListTest, AddingAfterRemovingAGroupUsesTheChosenGroup) {
  list.AddGroup(2, list.GroupCount(), u"Old");
  list.RemoveGroup(2);
  list.AddGroup(4, list.GroupCount(), u"New");
  actions.AddRegistryAction(Reg(u"DELKEY=HKEY_USERS\\a"), 4);
  EXPECT_EQ(list.GetItemGroup(0), 4);
  EXPECT_EQ(list.GroupSubtitle(4), u"Actions: 1");
}

TEST_F(ActionsListTest, ReaderSizesColumnsOnce) {
  dir.Write("p.cln", "[Settings]\r\nDescription=d\r\nProvider=p\r\nVersion=1\r\n[DISK]\r\n0=C:\\a /E\r\n");
  ASSERT_TRUE(ReadPlugin(actions, PathOf("p.cln"), u"author"));
  EXPECT_EQ(view.sized, 1);
  EXPECT_TRUE(view.last.save_test);
}

}  // namespace
}  // namespace kestrel
