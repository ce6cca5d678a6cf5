#pragma once
// Shows a CGroupedList to Qt's item views: with group view on, the groups are
// the top-level items and each group's rows its children, in row order; rows
// whose group is not shown are hidden. With group view off every row is a
// top-level item. Three columns: "Path", "Action", "Pattern"; column 0 carries
// the row's image and check box.
//
// The model keeps its own copy of the shown structure (groups and the rows
// under each, as row indexes): Qt's begin calls are made when the list
// announces an insertion or removal, the copy is brought up to date and the
// end calls made once it happened, so Qt always sees one consistent state.

#include <QAbstractItemModel>
#include <unordered_map>
#include <vector>

#include "document/grouped_list.h"

namespace kestrel {

class CGroupedListModel : public QAbstractItemModel, private GroupedListObserver {
  Q_OBJECT

 public:
  // Extra data of a group item.
  static constexpr int kSubtitleRole = Qt::UserRole + 1;
  static constexpr int kIsGroupRole = Qt::UserRole + 2;
  // A cell shows at most this many characters of its text, then "\u2026": the
  // view lays out the whole text on every paint and sizing, which takes
  // minutes for a line of millions of characters, and no column is wide
  // enough to show more. The list keeps the whole text.
  static constexpr int kMaxShownChars = 1024;

  explicit CGroupedListModel(CGroupedList& list, QObject* parent = nullptr);
  ~CGroupedListModel() override;

  CGroupedList& List() const { return list_; }
  bool IsGroup(const QModelIndex& index) const;
  // The list row an item stands for; -1 for a group item or an invalid index.
  int RowOf(const QModelIndex& index) const;
  // The item of a list row (column 0); invalid when the row is hidden.
  QModelIndex IndexOfRow(int row) const;
  // The item of a shown group.
  QModelIndex IndexOfGroup(int group_id) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  void GroupAboutToBeInserted(int position) override;
  void GroupInserted(int position) override;
  void GroupAboutToBeRemoved(int position) override;
  void GroupRemoved(int position, int group_id) override;
  void GroupChanged(int position) override;
  void RowAboutToBeInserted(int row, int group_id) override;
  void RowInserted(int row) override;
  void RowAboutToBeRemoved(int row) override;
  void RowRemoved(int row, const ListRow& removed) override;
  void RowAboutToChangeGroup(int row, int new_group_id) override;
  void RowChanged(int row, unsigned fields, int old_group_id) override;
  void AboutToReset() override;
  void Reset() override;

  void Rebuild();
  void ReindexGroups();
  std::vector<int> RowsOfGroup(int group_id) const;
  // Adds `delta` to every row index at or after `from`.
  void ShiftRows(int from, int delta);
  // The child position a row of the group has or would have.
  int ChildPosition(int group_id, int row) const;
  void InsertChild(int group_id, int row);
  // Finds the row among its group's children; false when it is not shown.
  bool FindChild(int group_id, int row, QModelIndex& parent, int& at) const;
  int GroupPositionOf(int group_id) const;

  CGroupedList& list_;
  bool flat_ = true;
  int flat_rows_ = 0;  // rows shown without group view
  bool inserting_ = false;  // an insertion has begun and waits for its end
  bool removing_ = false;   // a removal has begun and waits for its end
  bool resetting_ = false;
  std::vector<int> groups_;                             // shown group ids, in order
  std::unordered_map<int, int> group_positions_;        // group id -> position in groups_
  std::unordered_map<int, std::vector<int>> children_;  // group id -> its rows, ascending
};

}  // namespace kestrel
