#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/grouped_list.h"
#include "platform/text.h"

namespace kestrel {
namespace {

ListRow MakeRow(int item_data, int group_id, bool checked = false) {
  ListRow row;
  row.item_data = item_data;
  row.group_id = group_id;
  row.checked = checked;
  row.texts = {U("path"), U("action"), U("pattern")};
  return row;
}

// The two default groups, group view on, as a new document has them.
void AddDefaultGroups(CGroupedList& list) {
  list.EnableGroupView(true);
  list.AddGroup(0, list.GroupCount(), u"Registry Actions");
  list.AddGroup(1, list.GroupCount(), u"File/Folder Actions");
}

TEST(GroupedList, GroupsAppendInOrderAndStartChecked) {
  CGroupedList list;
  AddDefaultGroups(list);
  ASSERT_EQ(list.GroupCount(), 2);
  EXPECT_EQ(list.GroupIdAt(0), 0);
  EXPECT_EQ(list.GroupIdAt(1), 1);
  EXPECT_EQ(list.GroupTitle(1), u"File/Folder Actions");
  EXPECT_EQ(list.GroupChecked(0), 1);
  EXPECT_EQ(list.GroupRecords().at(1).index, 1);
  EXPECT_EQ(list.GroupRecords().at(1).group_id, 1);
  EXPECT_EQ(list.GroupTitle(7), u"");
}

TEST(GroupedList, LongTitlesAreCutTo259Characters) {
  CGroupedList list;
  list.AddGroup(2, 0, std::u16string(300, u'x'));
  EXPECT_EQ(list.GroupTitle(2), std::u16string(259, u'x'));
  list.SetGroupTitle(2, std::u16string(400, u'y'));
  EXPECT_EQ(list.GroupTitle(2), std::u16string(259, u'y'));
  // A character outside the BMP is not cut in half.
  std::u16string title(258, u'a');
  title += u"\U0001F600";
  list.AddGroup(4, 1, title);
  EXPECT_EQ(list.GroupTitle(4), std::u16string(258, u'a'));
}

TEST(GroupedList, TakenIdKeepsTheGroupButRewritesItsRecord) {
  CGroupedList list;
  AddDefaultGroups(list);
  list.SetGroupChecked(0, 0);
  list.AddGroup(0, 5, u"Other");
  EXPECT_EQ(list.GroupCount(), 2);
  EXPECT_EQ(list.GroupTitle(0), u"Registry Actions");
  EXPECT_EQ(list.GroupIdAt(0), 0);
  EXPECT_EQ(list.GroupRecords().at(0).index, 5);
  EXPECT_EQ(list.GroupChecked(0), 0);  // the flag is not part of AddGroup
}

TEST(GroupedList, GroupIdAtFallsBackOnTheRecords) {
  CGroupedList list;
  EXPECT_EQ(list.GroupIdAt(0), -1);  // empty map
  AddDefaultGroups(list);
  EXPECT_EQ(list.GroupIdAt(2), -1);
  EXPECT_EQ(list.GroupIdAt(-1), -1);
  list.AddGroup(6, 2, u"Six");
  list.RemoveGroup(6);
  EXPECT_EQ(list.GroupCount(), 2);
  EXPECT_EQ(list.GroupIdAt(2), 6);  // the list cannot tell, the record can
}

TEST(GroupedList, OlderSystemCountsAndFindsGroupsByRecord) {
  CGroupedList list(0);
  AddDefaultGroups(list);
  list.AddGroup(3, 2, u"Three");
  EXPECT_EQ(list.RemoveGroup(3), 2);
  EXPECT_FALSE(list.HasGroup(3));
  EXPECT_EQ(list.GroupCount(), 3);
  EXPECT_EQ(list.GroupIdAt(2), 3);
  EXPECT_EQ(list.GroupIdAt(3), -1);
  EXPECT_FALSE(list.GroupFeaturesUsable());
  EXPECT_FALSE(list.SetSubtitle(0, u"Actions: 0"));
  list.ClearGroupRecords();
  EXPECT_EQ(list.GroupCount(), 0);
  EXPECT_EQ(list.ShownGroupCount(), 2);
}

TEST(GroupedList, SetGroupCheckedCreatesARecordAtNoPosition) {
  CGroupedList list(0);
  list.SetGroupChecked(9, 0);
  EXPECT_EQ(list.GroupChecked(9), 0);
  EXPECT_EQ(list.GroupCount(), 1);
  EXPECT_EQ(list.GroupIdAt(0), -1);
  EXPECT_EQ(list.GroupChecked(11), 0);  // no record
}

TEST(GroupedList, SubtitlesNeedGroupViewAndAKnownGroup) {
  CGroupedList list;
  list.AddGroup(0, 0, u"Registry Actions");
  EXPECT_FALSE(list.SetSubtitle(0, u"Actions: 1"));  // group view off
  list.EnableGroupView(true);
  EXPECT_TRUE(list.SetSubtitle(0, u"Actions: 1"));
  EXPECT_EQ(list.GroupSubtitle(0), u"Actions: 1");
  EXPECT_FALSE(list.SetSubtitle(8, u"Actions: 1"));
}

TEST(GroupedList, CountsFollowInsertMoveAndDelete) {
  CGroupedList list;
  AddDefaultGroups(list);
  std::vector<uint32_t> items = {42, 43};
  EXPECT_EQ(list.CountGroupItems(0, &items), 0);
  EXPECT_TRUE(items.empty());

  for (int i = 0; i < 5; ++i) list.AppendRow(MakeRow(i, i % 2));
  EXPECT_EQ(list.CountGroupItems(0), 3);
  EXPECT_EQ(list.CountGroupItems(1, &items), 2);
  EXPECT_EQ(items, (std::vector<uint32_t>{1, 3}));

  list.SetItemGroup(4, 1);
  list.SetItemGroup(99, 1);
  EXPECT_EQ(list.CountGroupItems(0), 2);
  EXPECT_EQ(list.CountGroupItems(1, &items), 3);
  EXPECT_EQ(items, (std::vector<uint32_t>{1, 3, 4}));
  EXPECT_EQ(list.GetItemGroup(4), 1);
  EXPECT_EQ(list.GetItemGroup(5), 0);
  EXPECT_EQ(list.GetItemGroup(-1), 0);

  EXPECT_TRUE(list.DeleteRow(1));
  EXPECT_FALSE(list.DeleteRow(4));
  EXPECT_EQ(list.CountGroupItems(1, &items), 2);
  EXPECT_EQ(items, (std::vector<uint32_t>{2, 3}));
  // A row may name a group that is not shown; it still counts there.
  list.InsertRow(0, MakeRow(9, 12));
  EXPECT_EQ(list.CountGroupItems(12), 1);
  EXPECT_EQ(list.GetItemGroup(0), 12);
  list.DeleteAllRows();
  EXPECT_EQ(list.CountGroupItems(0), 0);
  EXPECT_EQ(list.CountGroupItems(12), 0);
}

TEST(GroupedList, RowsKeepTheirDataTextsAndChecks) {
  CGroupedList list;
  AddDefaultGroups(list);
  EXPECT_EQ(list.InsertRow(-1, MakeRow(0, 0)), 0);
  EXPECT_EQ(list.InsertRow(7, MakeRow(1, 1, true)), 1);
  EXPECT_EQ(list.InsertRow(0, MakeRow(2, 0)), 0);
  EXPECT_EQ(list.GetItemData(0), 2);
  EXPECT_TRUE(list.IsRowChecked(2));
  list.SetRowChecked(0, true);
  list.SetRowText(0, 2, u"*.tmp");
  list.SetRowText(0, 3, u"ignored");
  list.SetRowImage(0, 1);
  EXPECT_EQ(list.RowText(0, 2), u"*.tmp");
  EXPECT_EQ(list.RowText(0, 3), u"");
  EXPECT_EQ(list.RowImage(0), 1);
  EXPECT_TRUE(list.IsRowChecked(0));
  EXPECT_FALSE(list.IsRowChecked(5));

  list.SetItemData(1, 2);
  EXPECT_EQ(list.FindItemData(2), 0);
  EXPECT_EQ(list.FindItemData(2, 0), 1);
  EXPECT_EQ(list.FindItemData(2, 1), -1);
  EXPECT_EQ(list.FindItemData(77), -1);
}

TEST(GroupedList, SelectionFollowsInsertionsAndDeletions) {
  CGroupedList list;
  for (int i = 0; i < 4; ++i) list.AppendRow(MakeRow(i, 0));
  EXPECT_EQ(list.SelectedCount(), 0);
  list.SelectRow(2);
  list.SelectRow(9);  // no such row: ignored
  EXPECT_EQ(list.SelectedRow(), 2);
  list.InsertRow(0, MakeRow(4, 0));
  EXPECT_EQ(list.SelectedRow(), 3);
  list.DeleteRow(1);
  EXPECT_EQ(list.SelectedRow(), 2);
  list.DeleteRow(2);
  EXPECT_EQ(list.SelectedRow(), -1);
  EXPECT_EQ(list.SelectedCount(), 0);
}

TEST(GroupedList, RemovedGroupsLeaveTheirRowsAndRecords) {
  CGroupedList list;
  AddDefaultGroups(list);
  list.AddGroup(2, 2, u"Two");
  list.AppendRow(MakeRow(0, 2));
  EXPECT_EQ(list.RemoveGroup(2), 2);
  EXPECT_EQ(list.RemoveGroup(2), -1);
  EXPECT_EQ(list.GetItemGroup(0), 2);
  EXPECT_EQ(list.CountGroupItems(2), 1);
  EXPECT_EQ(list.GroupRecords().count(2), 1u);
  list.RemoveAllGroups();
  EXPECT_EQ(list.GroupCount(), 0);
  EXPECT_FALSE(list.HasGroup(0));
  EXPECT_EQ(list.GroupRecords().size(), 3u);
}

// Records what observers are told, one line per call.
class Recorder : public GroupedListObserver {
 public:
  void GroupInserted(int position) override { Log("group+ " + std::to_string(position)); }
  void GroupRemoved(int position, int id) override {
    Log("group- " + std::to_string(position) + " id " + std::to_string(id));
  }
  void GroupAboutToBeInserted(int position) override { Log("group+? " + std::to_string(position)); }
  void RowAboutToBeInserted(int row, int group) override {
    Log("row+? " + std::to_string(row) + " g" + std::to_string(group));
  }
  void GroupAboutToBeRemoved(int position) override { Log("group-? " + std::to_string(position)); }
  void RowAboutToBeRemoved(int row) override { Log("row-? " + std::to_string(row)); }
  void RowAboutToChangeGroup(int row, int group) override {
    Log("row>? " + std::to_string(row) + " g" + std::to_string(group));
  }
  void AboutToReset() override { Log("reset?"); }
  void GroupChanged(int position) override { Log("group~ " + std::to_string(position)); }
  void GroupViewChanged() override { Log("view"); }
  void RowInserted(int row) override { Log("row+ " + std::to_string(row)); }
  void RowRemoved(int row, const ListRow& removed) override {
    Log("row- " + std::to_string(row) + " data " + std::to_string(removed.item_data));
  }
  void RowChanged(int row, unsigned fields, int old_group) override {
    Log("row~ " + std::to_string(row) + " f" + std::to_string(fields) + " g" + std::to_string(old_group));
  }
  void SelectionChanged(int old_row, int new_row) override {
    Log("sel " + std::to_string(old_row) + ">" + std::to_string(new_row));
  }
  void Reset() override { Log("reset"); }
  void Log(std::string line) { lines.push_back(std::move(line)); }
  std::vector<std::string> lines;
};

TEST(GroupedList, ObserversHearOfEveryChangeAndOnlyOfChanges) {
  CGroupedList list;
  Recorder recorder;
  list.AddObserver(&recorder);
  AddDefaultGroups(list);
  list.EnableGroupView(true);
  list.AddGroup(0, 9, u"again");
  list.AppendRow(MakeRow(5, 0));
  list.SetRowChecked(0, true);
  list.SetRowChecked(0, true);
  list.SetItemGroup(0, 1);
  list.SetItemGroup(0, 1);
  list.SetSubtitle(1, u"Actions: 1");
  list.SetSubtitle(1, u"Actions: 1");
  list.SelectRow(0);
  list.SelectRow(0);
  list.DeleteRow(0);
  list.RemoveGroup(0);
  list.RemoveAllGroups();
  list.RemoveAllGroups();
  list.RemoveObserver(&recorder);
  list.AppendRow(MakeRow(6, 1));
  EXPECT_EQ(recorder.lines, (std::vector<std::string>{
                                "reset?", "view", "reset", "group+? 0", "group+ 0", "group+? 1", "group+ 1",
                                "row+? 0 g0", "row+ 0",
                                "row~ 0 f8 g0", "row>? 0 g1", "row~ 0 f16 g0", "group~ 1", "sel -1>0",
                                "row-? 0", "row- 0 data 5", "group-? 0", "group- 0 id 0", "reset?",
                                "reset"}));
}

}  // namespace
}  // namespace kestrel
