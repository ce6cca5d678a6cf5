#include "controls/grouped_list_model.h"

#include <algorithm>

#include "controls/action_images.h"
#include "controls/qt_text.h"

namespace kestrel {
namespace {

// internalId of an item: 0 for a top-level item, else its group id + 1 (as an
// unsigned 32-bit number), which names the parent.
quintptr ParentKey(int group_id) { return quintptr(uint32_t(group_id)) + 1; }
int GroupIdOfKey(quintptr key) { return int(uint32_t(key - 1)); }

QString ShownText(std::u16string_view text) {
  const size_t most = CGroupedListModel::kMaxShownChars;
  if (text.size() <= most) return ToQString(text);
  const size_t cut = QChar::isHighSurrogate(text[most - 1]) ? most - 1 : most;  // keep pairs whole
  return ToQString(text.substr(0, cut)) + QChar(0x2026);
}

}  // namespace

CGroupedListModel::CGroupedListModel(CGroupedList& list, QObject* parent)
    : QAbstractItemModel(parent), list_(list) {
  Rebuild();
  list_.AddObserver(this);
}

CGroupedListModel::~CGroupedListModel() { list_.RemoveObserver(this); }

// --- The shown structure ---

void CGroupedListModel::Rebuild() {
  flat_ = !list_.IsGroupViewEnabled();
  flat_rows_ = list_.RowCount();
  groups_.clear();
  children_.clear();
  for (int p = 0; p < list_.ShownGroupCount(); ++p) groups_.push_back(list_.GroupAt(p).group_id);
  ReindexGroups();
  if (flat_) return;
  for (int id : groups_) children_[id];
  for (int row = 0; row < list_.RowCount(); ++row) {
    auto it = children_.find(list_.Row(row).group_id);
    if (it != children_.end()) it->second.push_back(row);
  }
}

void CGroupedListModel::ReindexGroups() {
  group_positions_.clear();
  for (size_t i = 0; i < groups_.size(); ++i) group_positions_[groups_[i]] = int(i);
}

std::vector<int> CGroupedListModel::RowsOfGroup(int group_id) const {
  std::vector<int> rows;
  for (int row = 0; row < list_.RowCount(); ++row)
    if (list_.Row(row).group_id == group_id) rows.push_back(row);
  return rows;
}

void CGroupedListModel::ShiftRows(int from, int delta) {
  for (auto& [id, rows] : children_) {
    auto it = std::lower_bound(rows.begin(), rows.end(), from);
    for (; it != rows.end(); ++it) *it += delta;
  }
}

int CGroupedListModel::GroupPositionOf(int group_id) const {
  auto it = group_positions_.find(group_id);
  return it == group_positions_.end() ? -1 : it->second;
}

int CGroupedListModel::ChildPosition(int group_id, int row) const {
  const auto& rows = children_.at(group_id);
  return int(std::lower_bound(rows.begin(), rows.end(), row) - rows.begin());
}

void CGroupedListModel::InsertChild(int group_id, int row) {
  auto it = children_.find(group_id);
  if (it == children_.end()) return;
  auto& rows = it->second;
  const int at = int(std::lower_bound(rows.begin(), rows.end(), row) - rows.begin());
  beginInsertRows(createIndex(GroupPositionOf(group_id), 0, quintptr(0)), at, at);
  rows.insert(rows.begin() + at, row);
  endInsertRows();
}

bool CGroupedListModel::FindChild(int group_id, int row, QModelIndex& parent, int& at) const {
  auto it = children_.find(group_id);
  if (it == children_.end()) return false;
  auto found = std::lower_bound(it->second.begin(), it->second.end(), row);
  if (found == it->second.end() || *found != row) return false;
  parent = createIndex(GroupPositionOf(group_id), 0, quintptr(0));
  at = int(found - it->second.begin());
  return true;
}

// --- What the list tells ---

void CGroupedListModel::GroupAboutToBeInserted(int position) {
  if (flat_) return;
  beginInsertRows({}, position, position);
  inserting_ = true;
}

void CGroupedListModel::GroupInserted(int position) {
  const int id = list_.GroupAt(position).group_id;
  groups_.insert(groups_.begin() + position, id);
  ReindexGroups();
  if (!flat_) children_[id] = RowsOfGroup(id);
  if (inserting_) {
    inserting_ = false;
    endInsertRows();
  }
}

void CGroupedListModel::GroupAboutToBeRemoved(int position) {
  if (flat_) return;
  beginRemoveRows({}, position, position);
  removing_ = true;
}

void CGroupedListModel::GroupRemoved(int position, int group_id) {
  groups_.erase(groups_.begin() + position);
  ReindexGroups();
  children_.erase(group_id);
  if (removing_) {
    removing_ = false;
    endRemoveRows();
  }
}

void CGroupedListModel::GroupChanged(int position) {
  if (flat_) return;
  emit dataChanged(index(position, 0), index(position, columnCount() - 1));
}

void CGroupedListModel::RowAboutToBeInserted(int row, int group_id) {
  if (flat_) {
    beginInsertRows({}, row, row);
  } else {
    if (!children_.count(group_id)) return;  // its group is not shown
    const int at = ChildPosition(group_id, row);
    beginInsertRows(createIndex(GroupPositionOf(group_id), 0, quintptr(0)), at, at);
  }
  inserting_ = true;
}

void CGroupedListModel::RowInserted(int row) {
  if (flat_) {
    ++flat_rows_;
  } else {
    // Rows are mostly appended, and then nothing moves.
    if (row < list_.RowCount() - 1) ShiftRows(row, +1);
    const int group_id = list_.Row(row).group_id;
    if (children_.count(group_id)) {
      auto& rows = children_[group_id];
      rows.insert(rows.begin() + ChildPosition(group_id, row), row);
    }
  }
  if (inserting_) {
    inserting_ = false;
    endInsertRows();
  }
}

void CGroupedListModel::RowAboutToBeRemoved(int row) {
  QModelIndex parent;
  int at = row;
  if (!flat_ && !FindChild(list_.Row(row).group_id, row, parent, at)) return;
  beginRemoveRows(parent, at, at);
  removing_ = true;
}

void CGroupedListModel::RowRemoved(int row, const ListRow& removed) {
  if (flat_) {
    --flat_rows_;
  } else {
    QModelIndex parent;
    int at = 0;
    if (FindChild(removed.group_id, row, parent, at)) {
      auto& rows = children_[removed.group_id];
      rows.erase(rows.begin() + at);
    }
    ShiftRows(row + 1, -1);
  }
  if (removing_) {
    removing_ = false;
    endRemoveRows();
  }
}

// A row that changes group leaves its old group before the change (the list
// still says where it is) and joins the new one after it.
void CGroupedListModel::RowAboutToChangeGroup(int row, int) {
  QModelIndex parent;
  int at = 0;
  if (flat_ || !FindChild(list_.Row(row).group_id, row, parent, at)) return;
  beginRemoveRows(parent, at, at);
  auto& rows = children_[list_.Row(row).group_id];
  rows.erase(rows.begin() + at);
  endRemoveRows();
}

void CGroupedListModel::RowChanged(int row, unsigned fields, int) {
  if (!flat_ && (fields & kRowGroup)) {
    InsertChild(list_.Row(row).group_id, row);
    fields &= ~unsigned(kRowGroup);
  }
  if (fields & (kRowTexts | kRowImage | kRowChecked)) {
    const QModelIndex first = IndexOfRow(row);
    if (first.isValid()) emit dataChanged(first, first.siblingAtColumn(columnCount() - 1));
  }
}

void CGroupedListModel::AboutToReset() {
  beginResetModel();
  resetting_ = true;
}

void CGroupedListModel::Reset() {
  if (!resetting_) beginResetModel();
  resetting_ = false;
  Rebuild();
  endResetModel();
}

// --- Items ---

bool CGroupedListModel::IsGroup(const QModelIndex& index) const {
  return index.isValid() && !flat_ && index.internalId() == 0;
}

int CGroupedListModel::RowOf(const QModelIndex& index) const {
  if (!index.isValid()) return -1;
  if (flat_) return index.row();
  if (index.internalId() == 0) return -1;
  auto it = children_.find(GroupIdOfKey(index.internalId()));
  if (it == children_.end() || index.row() >= int(it->second.size())) return -1;
  return it->second[size_t(index.row())];
}

QModelIndex CGroupedListModel::IndexOfRow(int row) const {
  if (row < 0 || row >= list_.RowCount()) return {};
  if (flat_) return row < flat_rows_ ? createIndex(row, 0, quintptr(0)) : QModelIndex();
  const int group_id = list_.Row(row).group_id;
  auto it = children_.find(group_id);
  if (it == children_.end()) return {};
  auto found = std::lower_bound(it->second.begin(), it->second.end(), row);
  if (found == it->second.end() || *found != row) return {};
  return createIndex(int(found - it->second.begin()), 0, ParentKey(group_id));
}

QModelIndex CGroupedListModel::IndexOfGroup(int group_id) const {
  const int position = flat_ ? -1 : GroupPositionOf(group_id);
  return position < 0 ? QModelIndex() : createIndex(position, 0, quintptr(0));
}

QModelIndex CGroupedListModel::index(int row, int column, const QModelIndex& parent) const {
  if (row < 0 || column < 0 || column >= columnCount()) return {};
  if (!parent.isValid()) return row < rowCount() ? createIndex(row, column, quintptr(0)) : QModelIndex();
  if (!IsGroup(parent) || parent.row() >= int(groups_.size())) return {};
  const int group_id = groups_[size_t(parent.row())];
  return row < rowCount(parent) ? createIndex(row, column, ParentKey(group_id)) : QModelIndex();
}

QModelIndex CGroupedListModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == 0) return {};
  const int position = GroupPositionOf(GroupIdOfKey(child.internalId()));
  return position < 0 ? QModelIndex() : createIndex(position, 0, quintptr(0));
}

int CGroupedListModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return flat_ ? flat_rows_ : int(groups_.size());
  if (parent.column() != 0 || !IsGroup(parent) || parent.row() >= int(groups_.size())) return 0;
  auto it = children_.find(groups_[size_t(parent.row())]);
  return it == children_.end() ? 0 : int(it->second.size());
}

int CGroupedListModel::columnCount(const QModelIndex&) const { return kListColumns; }

QVariant CGroupedListModel::data(const QModelIndex& index, int role) const {
  if (IsGroup(index)) {
    if (index.column() != 0 || index.row() >= int(groups_.size())) return {};
    const int id = groups_[size_t(index.row())];
    switch (role) {
      case Qt::DisplayRole: return ToQString(list_.GroupTitle(id));
      case kSubtitleRole: return ToQString(list_.GroupSubtitle(id));
      case kIsGroupRole: return true;
      default: return {};
    }
  }
  const int row = RowOf(index);
  if (row < 0) return {};
  const ListRow& item = list_.Row(row);
  switch (role) {
    case Qt::DisplayRole: return ShownText(item.texts[size_t(index.column())]);
    case Qt::DecorationRole: return index.column() == 0 ? QVariant(ActionIcon(item.image)) : QVariant();
    case Qt::CheckStateRole:
      return index.column() == 0 ? QVariant(item.checked ? Qt::Checked : Qt::Unchecked) : QVariant();
    case kIsGroupRole: return false;
    default: return {};
  }
}

bool CGroupedListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  const int row = RowOf(index);
  if (row < 0 || index.column() != 0 || role != Qt::CheckStateRole) return false;
  list_.SetRowChecked(row, value.toInt() == Qt::Checked);
  return true;
}

Qt::ItemFlags CGroupedListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  if (IsGroup(index)) return Qt::ItemIsEnabled;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (index.column() == 0) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

QVariant CGroupedListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static const char* const titles[kListColumns] = {"Path", "Action", "Pattern"};
  return section >= 0 && section < kListColumns ? QString::fromLatin1(titles[section]) : QVariant();
}

}  // namespace kestrel
