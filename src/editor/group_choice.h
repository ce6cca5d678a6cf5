#pragma once
// The group drop-down of the action dialogs: the groups of one kind from the
// actions list, in list order, each with its id as data.

class QComboBox;

namespace kestrel {

class CGroupedList;

// Registry groups (even ids) or file/folder groups (odd ids). The entry of
// `group_id` is selected, else the first one.
void FillGroupChoice(QComboBox* choice, const CGroupedList* list, bool registry, int group_id);

}  // namespace kestrel
