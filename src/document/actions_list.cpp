#include "document/actions_list.h"

#include "platform/text.h"

namespace kestrel {

ActionsList::ActionsList(PluginDocument& document, CGroupedList& list, MessageSink& messages)
    : document_(document), list_(list), messages_(messages) {
  list_.AddObserver(this);
}

ActionsList::~ActionsList() { list_.RemoveObserver(this); }

int ActionsList::AppendRow(int action_index, int image, RowTexts texts, int group_id) {
  if (!list_.HasGroup(group_id)) messages_.Warning(u"Error: group not found");
  ListRow row;
  row.item_data = action_index;
  row.group_id = group_id;
  row.image = image;
  for (int c = 0; c < kListColumns; ++c) row.texts[size_t(c)] = std::move(texts[size_t(c)]);
  return list_.AppendRow(std::move(row));
}

void ActionsList::SetRowTexts(int row, const RowTexts& texts) {
  for (int c = 0; c < kListColumns; ++c) list_.SetRowText(row, c, texts[size_t(c)]);
}

int ActionsList::InsertRegistryRow(int action_index, const REGACTION& action, int group_id) {
  list_.EnableGroupView(true);
  return AppendRow(action_index, kRegistryRowImage, RegistryRowTexts(action), group_id);
}

int ActionsList::InsertFileFolderRow(int action_index, const DISKACTION& action, int group_id) {
  return AppendRow(action_index, kFileFolderRowImage, FileFolderRowTexts(action), group_id);
}

int ActionsList::CountActionsOfKind(bool registry) const {
  int count = 0;
  for (int row = 0; row < list_.RowCount(); ++row) {
    const int index = list_.GetItemData(row);
    if (index < 0 || index >= document_.actions.GetCount()) continue;
    REGACTION parsed;
    const bool is_registry = ParseRegAction(document_.actions[index].text, parsed) != 0;
    if (is_registry == registry) ++count;
  }
  return count;
}

void ActionsList::RefreshList() {
  for (int p = 0; p < list_.GroupCount(); ++p) {
    const int id = list_.GroupIdAt(p);
    list_.SetSubtitle(id, u"Actions: " + FormatDecimal(list_.CountGroupItems(id)));
  }
  buttons_.edit_remove = list_.SelectedCount() == 1;
  buttons_.save_test = list_.RowCount() > 0;
  if (view_) view_->ButtonsChanged(buttons_);
}

void ActionsList::AddRegistryAction(const REGACTION& returned, int group_id) {
  REGACTION parsed;
  if (ParseRegAction(ComposeRegAction(returned), parsed)) {
    ACTION action{ComposeRegAction(parsed), kRegistryKind, CountActionsOfKind(true)};
    const int index = document_.actions.Add(action);
    Quiet quiet(*this);
    const int row = InsertRegistryRow(index, parsed, group_id);
    list_.SetRowChecked(row, true);
    document_.modified = true;
  }
  RefreshList();
}

void ActionsList::AddFileFolderAction(DISKACTION returned, int group_id) {
  DISKACTION parsed;
  if (ParseDiskAction(ComposeDiskAction(returned), parsed)) {
    ACTION action{ComposeDiskAction(parsed), kFileFolderKind, CountActionsOfKind(false)};
    const int index = document_.actions.Add(action);
    Quiet quiet(*this);
    const int row = InsertFileFolderRow(index, parsed, group_id);
    list_.SetRowChecked(row, true);
    document_.modified = true;
  }
  RefreshList();
}

std::optional<EditRequest> ActionsList::BeginEdit() const {
  const int row = list_.SelectedRow();
  if (row < 0) return std::nullopt;
  EditRequest request;
  request.row = row;
  request.action_index = list_.GetItemData(row);
  if (request.action_index < 0 || request.action_index >= document_.actions.GetCount()) return std::nullopt;
  request.parsed = ParseAction(document_.actions[request.action_index].text);
  if (request.parsed.kind == ActionClass::kNone) return std::nullopt;
  request.group_id = list_.GetItemGroup(row);
  return request;
}

bool ActionsList::StillSelected(const EditRequest& request) const {
  return request.row >= 0 && request.row < list_.RowCount() &&
         list_.GetItemData(request.row) == request.action_index && request.action_index >= 0 &&
         request.action_index < document_.actions.GetCount();
}

void ActionsList::EditAction(const EditRequest& request, const REGACTION& returned, int group_id) {
  REGACTION parsed;
  if (StillSelected(request) && request.parsed.kind == ActionClass::kRegistry &&
      ParseRegAction(ComposeRegAction(returned), parsed)) {
    const int number = document_.actions.GetNumber(request.action_index);
    document_.actions.SetAt(request.action_index, ACTION{ComposeRegAction(parsed), kRegistryKind, number});
    Quiet quiet(*this);
    SetRowTexts(request.row, RegistryRowTexts(parsed));
    list_.SetItemGroup(request.row, group_id);
    document_.modified = true;
  }
  RefreshList();
}

void ActionsList::EditAction(const EditRequest& request, DISKACTION returned, int group_id) {
  DISKACTION parsed;
  if (StillSelected(request) && request.parsed.kind == ActionClass::kFileFolder &&
      ParseDiskAction(ComposeDiskAction(returned), parsed)) {
    const int number = document_.actions.GetNumber(request.action_index);
    document_.actions.SetAt(request.action_index, ACTION{ComposeDiskAction(parsed), kFileFolderKind, number});
    Quiet quiet(*this);
    SetRowTexts(request.row, FileFolderRowTexts(parsed));
    list_.SetItemGroup(request.row, group_id);
    document_.modified = true;
  }
  RefreshList();
}

void ActionsList::RemoveAction() {
  const int row = list_.SelectedRow();
  if (row >= 0) {
    const int index = list_.GetItemData(row);
    Quiet quiet(*this);
    if (index >= 0 && index < document_.actions.GetCount()) document_.actions.RemoveAt(index);
    list_.DeleteRow(row);
    for (int r = 0; r < list_.RowCount(); ++r) {
      const int data = list_.GetItemData(r);
      if (data > index) list_.SetItemData(r, data - 1);
    }
    document_.modified = true;
  }
  RefreshList();
}

void ActionsList::RowChanged(int /*row*/, unsigned fields, int /*old_group_id*/) {
  if (quiet_) return;
  if (fields & kRowChecked) document_.modified = true;
  RefreshList();
}

void ActionsList::SelectionChanged(int /*old_row*/, int /*new_row*/) {
  if (quiet_) return;
  RefreshList();
}

}  // namespace kestrel
