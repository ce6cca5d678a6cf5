#pragma once
// The grouped list that holds the document's groups and the actions list's
// rows: groups with ids, titles and subtitles shown in a fixed order, rows with
// item data, a group id, an image, three texts and a check box, and beside the
// groups the group map of GROUPINFO records. It answers like a report list
// view with group view, so the reader, the writer and the dialogs run on it
// without a window; a view follows it through GroupedListObserver.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "document/records.h"

namespace kestrel {

// Group titles are cut to this many characters.
constexpr size_t kGroupTitleMax = 259;
constexpr int kListColumns = 3;

struct ListGroup {
  int group_id = 0;
  std::u16string title;
  std::u16string subtitle;
};

struct ListRow {
  int32_t item_data = 0;
  int group_id = 0;
  int image = 0;
  std::array<std::u16string, kListColumns> texts;
  bool checked = false;
};

// Which parts of a row changed.
enum RowField : unsigned {
  kRowTexts = 1,
  kRowImage = 2,
  kRowItemData = 4,
  kRowChecked = 8,
  kRowGroup = 16,
};

// Told of every change; nothing is reported for a call that changes nothing.
// Insertions and removals are announced before they happen as well (a view
// sees the list as it was) and reported after (positions and rows as they are
// then); other changes are reported after they happened.
class GroupedListObserver {
 public:
  virtual ~GroupedListObserver() = default;
  virtual void GroupAboutToBeInserted(int /*position*/) {}
  virtual void GroupInserted(int /*position*/) {}
  virtual void GroupAboutToBeRemoved(int /*position*/) {}
  // The group `group_id` stood at `position` before it was removed.
  virtual void GroupRemoved(int /*position*/, int /*group_id*/) {}
  // Title or subtitle of the group at `position`.
  virtual void GroupChanged(int /*position*/) {}
  virtual void RowAboutToBeInserted(int /*row*/, int /*group_id*/) {}
  virtual void RowInserted(int /*row*/) {}
  virtual void RowAboutToBeRemoved(int /*row*/) {}
  // `removed` is the row as it was at index `row`; later rows moved up by one.
  virtual void RowRemoved(int /*row*/, const ListRow& /*removed*/) {}
  // The row leaves its group (still its group id) for `new_group_id`.
  virtual void RowAboutToChangeGroup(int /*row*/, int /*new_group_id*/) {}
  // `fields` is a RowField set; `old_group_id` is the group before a kRowGroup change.
  virtual void RowChanged(int /*row*/, unsigned /*fields*/, int /*old_group_id*/) {}
  virtual void SelectionChanged(int /*old_row*/, int /*new_row*/) {}
  // Many things change at once: all rows deleted, all groups removed, group
  // view switched (GroupViewChanged comes between the two).
  virtual void AboutToReset() {}
  virtual void GroupViewChanged() {}
  virtual void Reset() {}
};

class CGroupedList {
 public:
  // `newer_system` is 1 where the list can count its groups and tell a group
  // by its position itself; with 0 the group map answers both.
  explicit CGroupedList(int newer_system = 1);
  CGroupedList(const CGroupedList&) = delete;
  CGroupedList& operator=(const CGroupedList&) = delete;

  void AddObserver(GroupedListObserver* observer);
  void RemoveObserver(GroupedListObserver* observer);

  int NewerSystem() const { return newer_system_; }

  // --- Groups and group membership ---

  // Writes the id's record (index = position) and inserts a group at the
  // position (appended when the position is negative or past the end). A taken
  // id leaves the groups unchanged; the record is rewritten all the same.
  void AddGroup(int group_id, int position, std::u16string_view title);
  void SetItemGroup(int item, int group_id);
  // 0 for an item that does not exist.
  int GetItemGroup(int item) const;
  // Rows whose group id is `group_id`; with `items`, their indexes in row order
  // (the list is emptied first).
  int CountGroupItems(int group_id, std::vector<uint32_t>* items = nullptr) const;
  // The groups shown, or with the newer-system flag clear the records held.
  int GroupCount() const;
  // The id of the group at the position; the group map's record with that
  // index when the list cannot tell; -1 when neither knows the position.
  int GroupIdAt(int position) const;
  // Empty for an id that has no group.
  std::u16string GroupTitle(int group_id) const;
  // The record's checked flag; 0 for an id without a record.
  int GroupChecked(int group_id) const;
  // Creates a record when the id has none (index -1: it stands at no position).
  void SetGroupChecked(int group_id, int checked);
  // Empties the group map; the groups shown stay.
  void ClearGroupRecords();
  // Only while GroupFeaturesUsable; false there for an id that has no group.
  bool SetSubtitle(int group_id, std::u16string_view text);
  // Group view on and the newer-system flag set.
  bool GroupFeaturesUsable() const;
  const std::map<int, GROUPINFO>& GroupRecords() const { return records_; }

  // --- The groups shown ---

  // Removes the group; its rows keep their group id and are shown again if a
  // group with that id comes back. Returns the position it stood at, or -1.
  int RemoveGroup(int group_id);
  void RemoveAllGroups();
  void EnableGroupView(bool on);
  bool IsGroupViewEnabled() const { return group_view_; }
  bool HasGroup(int group_id) const { return GroupPosition(group_id) >= 0; }
  int ShownGroupCount() const { return int(groups_.size()); }
  // position must be within 0..ShownGroupCount()-1.
  const ListGroup& GroupAt(int position) const { return groups_.at(size_t(position)); }
  int GroupPosition(int group_id) const;
  // Renames a group (title cut as in AddGroup); false for an id without group.
  bool SetGroupTitle(int group_id, std::u16string_view title);
  std::u16string GroupSubtitle(int group_id) const;

  // --- Rows ---

  int RowCount() const { return int(rows_.size()); }
  // row must be within 0..RowCount()-1.
  const ListRow& Row(int row) const { return rows_.at(size_t(row)); }
  // Inserts before `row` (appended when negative or past the end); returns its index.
  int InsertRow(int row, ListRow data);
  int AppendRow(ListRow data) { return InsertRow(RowCount(), std::move(data)); }
  bool DeleteRow(int row);
  void DeleteAllRows();
  // Setters ignore rows that do not exist; getters answer 0 or empty for them.
  void SetRowText(int row, int column, std::u16string_view text);
  std::u16string RowText(int row, int column) const;
  void SetRowImage(int row, int image);
  int RowImage(int row) const;
  void SetItemData(int row, int32_t data);
  int32_t GetItemData(int row) const;
  void SetRowChecked(int row, bool checked);
  bool IsRowChecked(int row) const;
  // The first row after `start` (from the first row when start is -1) whose
  // item data equals `data`; -1 when none.
  int FindItemData(int32_t data, int start = -1) const;

  // --- Selection: at most one row ---

  int SelectedRow() const { return selected_; }
  int SelectedCount() const { return selected_ >= 0 ? 1 : 0; }
  // -1 clears the selection; a row that does not exist is ignored.
  void SelectRow(int row);

 private:
  bool ValidRow(int row) const { return row >= 0 && row < RowCount(); }
  void CountRow(int group_id, int delta);
  template <typename F>
  void Notify(F&& f);

  int newer_system_;
  bool group_view_ = false;
  std::vector<ListGroup> groups_;
  std::map<int, GROUPINFO> records_;
  std::vector<ListRow> rows_;
  // Rows per group id, kept up to date so counting a group costs nothing.
  std::unordered_map<int, int> counts_;
  int selected_ = -1;
  std::vector<GroupedListObserver*> observers_;
};

}  // namespace kestrel
