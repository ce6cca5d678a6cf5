#pragma once
// The group drop-down of the action dialogs: the groups of one kind from the
// actions list, in list order, each with its id as data.

class QComboBox;
class QHBoxLayout;
class QPushButton;
class QWidget;

namespace kestrel {

class CGroupedList;

// Registry groups (even ids) or file/folder groups (odd ids). The entry of
// `group_id` is selected, else the first one.
// The bottom row both action dialogs share: the group drop-down on the left,
// OK (the default button) and Cancel on the right.
struct GroupChoiceRow {
  QComboBox* choice;
  QPushButton* ok;
  QPushButton* cancel;
  QHBoxLayout* layout;
};
GroupChoiceRow MakeGroupChoiceRow(QWidget* dialog, int choice_width_dialog_units);

void FillGroupChoice(QComboBox* choice, const CGroupedList* list, bool registry, int group_id);

}  // namespace kestrel
