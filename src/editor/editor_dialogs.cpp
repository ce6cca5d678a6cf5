#include "editor/editor_dialogs.h"

#include "editor/about_dlg.h"
#include "editor/add_disk_action_dlg.h"
#include "editor/add_reg_action_dlg.h"
#include "editor/editor_services.h"
#include "editor/groups_dlg.h"

namespace kestrel {

std::optional<RegistryActionChoice> QtEditorDialogs::RunRegistryActionDialog(QWidget* parent, const CGroupedList& groups,
                                                                            const REGACTION& action, int group_id) {
  CAddRegActionDlg dialog(services_, parent);
  dialog.SetActionsList(&groups);
  dialog.SetAction(action);
  dialog.SetGroupId(group_id);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return RegistryActionChoice{dialog.Action(), dialog.GroupId()};
}

std::optional<FileFolderActionChoice> QtEditorDialogs::RunFileFolderActionDialog(QWidget* parent,
                                                                                const CGroupedList& groups,
                                                                                const DISKACTION& action,
                                                                                int group_id) {
  CAddDiskActionDlg dialog(services_, parent);
  dialog.SetActionsList(&groups);
  dialog.SetAction(action);
  dialog.SetGroupId(group_id);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return FileFolderActionChoice{dialog.Action(), dialog.GroupId()};
}

std::optional<bool> QtEditorDialogs::RunGroupsDialog(QWidget* parent, CGroupedList& groups, bool show_groups) {
  CGroupsDlg dialog(services_.messages, parent);
  dialog.SetGroupedList(&groups);
  dialog.SetShowGroups(show_groups);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.ShowGroups();
}

void QtEditorDialogs::RunAboutDialog(QWidget* parent) {
  CAboutDlg dialog(parent);
  dialog.exec();
}

}  // namespace kestrel
