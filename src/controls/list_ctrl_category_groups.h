#pragma once
// The actions list of the main window: the rows of a CGroupedList under their
// group headers (title and subtitle), each row with its check box, its image
// and the columns "Path", "Action" and "Pattern"; full-row single selection,
// no context menu. The control owns the list, which holds the document's
// groups and group map; the reader, the writer and the dialogs work on List().

#include <QTreeView>

#include "controls/grouped_list_model.h"
#include "document/grouped_list.h"

namespace kestrel {

class CListCtrl_Category_Groups : public QTreeView, private GroupedListObserver {
  Q_OBJECT

 public:
  // `newer_system` as for CGroupedList: 1 on this platform, 0 to use the
  // group map's answers instead of the list's.
  explicit CListCtrl_Category_Groups(QWidget* parent = nullptr, int newer_system = 1);
  ~CListCtrl_Category_Groups() override;

  CGroupedList& List() { return list_; }
  const CGroupedList& List() const { return list_; }
  CGroupedListModel& Model() { return model_; }

  // Operations of the control, answered by its list.
  void AddGroup(int group_id, int position, std::u16string_view title) {
    list_.AddGroup(group_id, position, title);
  }
  void SetItemGroup(int item, int group_id) { list_.SetItemGroup(item, group_id); }
  int GetItemGroup(int item) const { return list_.GetItemGroup(item); }
  int CountGroupItems(int group_id, std::vector<uint32_t>* items = nullptr) const {
    return list_.CountGroupItems(group_id, items);
  }
  int GroupCount() const { return list_.GroupCount(); }
  int GroupIdAt(int position) const { return list_.GroupIdAt(position); }
  std::u16string GroupTitle(int group_id) const { return list_.GroupTitle(group_id); }
  int GroupChecked(int group_id) const { return list_.GroupChecked(group_id); }
  void SetGroupChecked(int group_id, int checked) { list_.SetGroupChecked(group_id, checked); }
  void ClearGroupRecords() { list_.ClearGroupRecords(); }
  bool SetSubtitle(int group_id, std::u16string_view text) { return list_.SetSubtitle(group_id, text); }
  bool GroupFeaturesUsable() const { return list_.GroupFeaturesUsable(); }

 private:
  void SelectionChanged(int old_row, int new_row) override;
  void RowChanged(int row, unsigned fields, int old_group_id) override;
  void Reset() override;
  void RowRemoved(int row, const ListRow& removed) override;
  void GroupInserted(int position) override;
  void GroupRemoved(int position, int group_id) override;

  void ShowSelection();
  void ExpandGroups(int first, int last);
  void TakeViewSelection();

  // Declared first: destroyed after the model that watches it.
  CGroupedList list_;
  CGroupedListModel model_;
  bool syncing_ = false;
  int model_changing_ = 0;
};

}  // namespace kestrel
