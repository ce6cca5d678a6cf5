#include "document/grouped_list.h"

#include <algorithm>

namespace kestrel {
namespace {

// The first kGroupTitleMax characters, without leaving half a surrogate pair.
std::u16string CutTitle(std::u16string_view title) {
  if (title.size() <= kGroupTitleMax) return std::u16string(title);
  size_t n = kGroupTitleMax;
  if (title[n - 1] >= 0xD800 && title[n - 1] <= 0xDBFF) --n;
  return std::u16string(title.substr(0, n));
}

}  // namespace

CGroupedList::CGroupedList(int newer_system) : newer_system_(newer_system ? 1 : 0) {}

void CGroupedList::AddObserver(GroupedListObserver* observer) {
  if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
    observers_.push_back(observer);
}

void CGroupedList::RemoveObserver(GroupedListObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

template <typename F>
void CGroupedList::Notify(F&& f) {
  // A copy, so an observer may remove itself while being told.
  const auto observers = observers_;
  for (auto* observer : observers) f(*observer);
}

void CGroupedList::CountRow(int group_id, int delta) {
  auto it = counts_.try_emplace(group_id, 0).first;
  it->second += delta;
  if (it->second == 0) counts_.erase(it);
}

// --- Groups and group membership ---

void CGroupedList::AddGroup(int group_id, int position, std::u16string_view title) {
  GROUPINFO& record = records_[group_id];
  record.index = position;
  record.group_id = group_id;
  if (HasGroup(group_id)) return;
  const int at = (position < 0 || position > ShownGroupCount()) ? ShownGroupCount() : position;
  Notify([&](GroupedListObserver& o) { o.GroupAboutToBeInserted(at); });
  groups_.insert(groups_.begin() + at, ListGroup{group_id, CutTitle(title), {}});
  Notify([&](GroupedListObserver& o) { o.GroupInserted(at); });
}

void CGroupedList::SetItemGroup(int item, int group_id) {
  if (!ValidRow(item)) return;
  ListRow& row = rows_[size_t(item)];
  if (row.group_id == group_id) return;
  const int old_group = row.group_id;
  Notify([&](GroupedListObserver& o) { o.RowAboutToChangeGroup(item, group_id); });
  CountRow(old_group, -1);
  CountRow(group_id, +1);
  row.group_id = group_id;
  Notify([&](GroupedListObserver& o) { o.RowChanged(item, kRowGroup, old_group); });
}

int CGroupedList::GetItemGroup(int item) const {
  return ValidRow(item) ? rows_[size_t(item)].group_id : 0;
}

int CGroupedList::CountGroupItems(int group_id, std::vector<uint32_t>* items) const {
  if (!items) {
    auto it = counts_.find(group_id);
    return it == counts_.end() ? 0 : it->second;
  }
  items->clear();
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].group_id == group_id) items->push_back(uint32_t(i));
  return int(items->size());
}

int CGroupedList::GroupCount() const {
  return newer_system_ ? ShownGroupCount() : int(records_.size());
}

int CGroupedList::GroupIdAt(int position) const {
  // Only a newer list can tell a group by its position.
  if (newer_system_ && position >= 0 && position < ShownGroupCount())
    return groups_[size_t(position)].group_id;
  for (const auto& [id, record] : records_)
    if (record.index == position) return record.group_id;
  return -1;
}

std::u16string CGroupedList::GroupTitle(int group_id) const {
  const int at = GroupPosition(group_id);
  return at < 0 ? std::u16string() : groups_[size_t(at)].title;
}

int CGroupedList::GroupChecked(int group_id) const {
  auto it = records_.find(group_id);
  return it == records_.end() ? 0 : it->second.checked;
}

void CGroupedList::SetGroupChecked(int group_id, int checked) {
  auto [it, created] = records_.try_emplace(group_id);
  if (created) {
    it->second.index = -1;
    it->second.group_id = group_id;
  }
  it->second.checked = checked;
}

void CGroupedList::ClearGroupRecords() { records_.clear(); }

bool CGroupedList::SetSubtitle(int group_id, std::u16string_view text) {
  if (!GroupFeaturesUsable()) return false;
  const int at = GroupPosition(group_id);
  if (at < 0) return false;
  ListGroup& group = groups_[size_t(at)];
  if (group.subtitle == text) return true;
  group.subtitle = std::u16string(text);
  Notify([&](GroupedListObserver& o) { o.GroupChanged(at); });
  return true;
}

bool CGroupedList::GroupFeaturesUsable() const { return group_view_ && newer_system_; }

// --- The groups shown ---

int CGroupedList::RemoveGroup(int group_id) {
  const int at = GroupPosition(group_id);
  if (at < 0) return -1;
  Notify([&](GroupedListObserver& o) { o.GroupAboutToBeRemoved(at); });
  groups_.erase(groups_.begin() + at);
  Notify([&](GroupedListObserver& o) { o.GroupRemoved(at, group_id); });
  return at;
}

void CGroupedList::RemoveAllGroups() {
  if (groups_.empty()) return;
  Notify([](GroupedListObserver& o) { o.AboutToReset(); });
  groups_.clear();
  Notify([](GroupedListObserver& o) { o.Reset(); });
}

void CGroupedList::EnableGroupView(bool on) {
  if (group_view_ == on) return;
  Notify([](GroupedListObserver& o) { o.AboutToReset(); });
  group_view_ = on;
  Notify([](GroupedListObserver& o) { o.GroupViewChanged(); });
  Notify([](GroupedListObserver& o) { o.Reset(); });
}

int CGroupedList::GroupPosition(int group_id) const {
  for (size_t i = 0; i < groups_.size(); ++i)
    if (groups_[i].group_id == group_id) return int(i);
  return -1;
}

bool CGroupedList::SetGroupTitle(int group_id, std::u16string_view title) {
  const int at = GroupPosition(group_id);
  if (at < 0) return false;
  groups_[size_t(at)].title = CutTitle(title);
  Notify([&](GroupedListObserver& o) { o.GroupChanged(at); });
  return true;
}

std::u16string CGroupedList::GroupSubtitle(int group_id) const {
  const int at = GroupPosition(group_id);
  return at < 0 ? std::u16string() : groups_[size_t(at)].subtitle;
}

// --- Rows ---

int CGroupedList::InsertRow(int row, ListRow data) {
  const int at = (row < 0 || row > RowCount()) ? RowCount() : row;
  Notify([&](GroupedListObserver& o) { o.RowAboutToBeInserted(at, data.group_id); });
  CountRow(data.group_id, +1);
  rows_.insert(rows_.begin() + at, std::move(data));
  if (selected_ >= at) ++selected_;
  Notify([&](GroupedListObserver& o) { o.RowInserted(at); });
  return at;
}

bool CGroupedList::DeleteRow(int row) {
  if (!ValidRow(row)) return false;
  Notify([&](GroupedListObserver& o) { o.RowAboutToBeRemoved(row); });
  ListRow removed = std::move(rows_[size_t(row)]);
  rows_.erase(rows_.begin() + row);
  CountRow(removed.group_id, -1);
  if (selected_ == row)
    selected_ = -1;
  else if (selected_ > row)
    --selected_;
  Notify([&](GroupedListObserver& o) { o.RowRemoved(row, removed); });
  return true;
}

void CGroupedList::DeleteAllRows() {
  if (rows_.empty()) return;
  Notify([](GroupedListObserver& o) { o.AboutToReset(); });
  rows_.clear();
  counts_.clear();
  selected_ = -1;
  Notify([](GroupedListObserver& o) { o.Reset(); });
}

void CGroupedList::SetRowText(int row, int column, std::u16string_view text) {
  if (!ValidRow(row) || column < 0 || column >= kListColumns) return;
  std::u16string& cell = rows_[size_t(row)].texts[size_t(column)];
  if (cell == text) return;
  cell = std::u16string(text);
  Notify([&](GroupedListObserver& o) { o.RowChanged(row, kRowTexts, rows_[size_t(row)].group_id); });
}

std::u16string CGroupedList::RowText(int row, int column) const {
  if (!ValidRow(row) || column < 0 || column >= kListColumns) return {};
  return rows_[size_t(row)].texts[size_t(column)];
}

void CGroupedList::SetRowImage(int row, int image) {
  if (!ValidRow(row) || rows_[size_t(row)].image == image) return;
  rows_[size_t(row)].image = image;
  Notify([&](GroupedListObserver& o) { o.RowChanged(row, kRowImage, rows_[size_t(row)].group_id); });
}

int CGroupedList::RowImage(int row) const { return ValidRow(row) ? rows_[size_t(row)].image : 0; }

void CGroupedList::SetItemData(int row, int32_t data) {
  if (!ValidRow(row) || rows_[size_t(row)].item_data == data) return;
  rows_[size_t(row)].item_data = data;
  Notify([&](GroupedListObserver& o) { o.RowChanged(row, kRowItemData, rows_[size_t(row)].group_id); });
}

int32_t CGroupedList::GetItemData(int row) const {
  return ValidRow(row) ? rows_[size_t(row)].item_data : 0;
}

void CGroupedList::SetRowChecked(int row, bool checked) {
  if (!ValidRow(row) || rows_[size_t(row)].checked == checked) return;
  rows_[size_t(row)].checked = checked;
  Notify([&](GroupedListObserver& o) { o.RowChanged(row, kRowChecked, rows_[size_t(row)].group_id); });
}

bool CGroupedList::IsRowChecked(int row) const { return ValidRow(row) && rows_[size_t(row)].checked; }

int CGroupedList::FindItemData(int32_t data, int start) const {
  for (int i = std::max(start + 1, 0); i < RowCount(); ++i)
    if (rows_[size_t(i)].item_data == data) return i;
  return -1;
}

void CGroupedList::SelectRow(int row) {
  if (row != -1 && !ValidRow(row)) return;
  if (row == selected_) return;
  const int old = selected_;
  selected_ = row;
  Notify([&](GroupedListObserver& o) { o.SelectionChanged(old, row); });
}

}  // namespace kestrel
