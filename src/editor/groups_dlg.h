#pragma once
// The Groups dialog: one list of the registry groups and one of the
// file/folder groups, each row a group with its checked flag; groups are
// added (named in place), renamed in place and removed while the dialog runs,
// straight in the grouped list. The check boxes and "Show groups" reach the
// document only through OK.

#include <QDialog>
#include <QPersistentModelIndex>
#include <optional>

class QCheckBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace kestrel {

class CGroupedList;
class MessageSink;

class CGroupsDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CGroupsDlg(MessageSink& messages, QWidget* parent = nullptr);

  // The grouped list whose groups are edited; not owned. Set before running.
  void SetGroupedList(CGroupedList* list) { grouped_list_ = list; }
  void SetShowGroups(bool show) { show_groups_ = show; }
  // After OK: the "Show groups" box.
  bool ShowGroups() const { return show_groups_; }

  QListWidget* RegistryList() const { return lists_[0]; }
  QListWidget* FileFolderList() const { return lists_[1]; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void Opening();
  void Add(int which);
  void EndEditing(int which, const QPersistentModelIndex& index, const std::optional<QString>& text);
  void Remove(int which);
  void UpdateRemoveButton(int which);
  void Ok();
  // A group id for a new row of the list: the id of the row above plus 2,
  // unless that has the wrong kind or is in use; then the first free id of
  // the list's kind.
  int NewGroupId(int which, int row) const;

  MessageSink& messages_;
  CGroupedList* grouped_list_ = nullptr;
  bool show_groups_ = false;
  bool opened_ = false;

  QListWidget* lists_[2] = {nullptr, nullptr};  // registry, file/folder
  QPushButton* add_[2] = {nullptr, nullptr};
  QPushButton* remove_[2] = {nullptr, nullptr};
  QCheckBox* show_groups_box_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace kestrel
