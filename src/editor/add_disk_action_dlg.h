#pragma once
// The file/folder action dialog: a folder, what to do there (empty it, delete
// the files whose names match a pattern, with its options, or delete a
// section or key of an INI file in it) and the file/folder group the action
// belongs to. Its path, pattern, exclusion and INI file name fields are path
// edit controls that browse and take dropped files.
//
// The caller sets the action, the group id and the actions list, runs the
// dialog, and on Accepted reads the edited action and the chosen group id.
// After a Cancel both are as they were set.

#include <QDialog>

#include "controls/file_edit_ctrl.h"
#include "document/disk_action.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kestrel {

class CGroupedList;
struct EditorServices;

class CAddDiskActionDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAddDiskActionDlg(EditorServices& services, QWidget* parent = nullptr);

  void SetAction(const DISKACTION& action) { action_ = action; }
  const DISKACTION& Action() const { return action_; }
  // The group to preselect (1 unless set); after OK, the group chosen.
  void SetGroupId(int group_id) { group_id_ = group_id; }
  int GroupId() const { return group_id_; }
  // Source of the group choice; not owned.
  void SetActionsList(const CGroupedList* list) { actions_list_ = list; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void Opening();
  void UpdateControls();
  // The path notifications of the four path edit controls.
  int PathNotified(const CFileEditCtrl::PathNotification& notification);
  // A chosen or dropped path on the pattern, exclusion or INI file name edit.
  void TakePath(CFileEditCtrl* edit, const QString& path);
  void Ok();

  EditorServices& services_;
  int group_id_ = 1;
  DISKACTION action_;
  const CGroupedList* actions_list_ = nullptr;
  bool opened_ = false;

  CFileEditCtrl* path_edit_ = nullptr;
  QCheckBox* remove_folder_ = nullptr;
  QButtonGroup* kinds_ = nullptr;
  QRadioButton* empty_folder_ = nullptr;
  QRadioButton* matching_files_ = nullptr;
  CFileEditCtrl* pattern_edit_ = nullptr;
  QCheckBox* exclude_ = nullptr;
  CFileEditCtrl* exclusion_edit_ = nullptr;
  QCheckBox* subfolders_ = nullptr;
  QCheckBox* clean_subfolders_ = nullptr;
  QRadioButton* ini_ = nullptr;
  CFileEditCtrl* ini_file_edit_ = nullptr;
  QLineEdit* section_edit_ = nullptr;
  QLineEdit* key_edit_ = nullptr;
  QComboBox* group_choice_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace kestrel
