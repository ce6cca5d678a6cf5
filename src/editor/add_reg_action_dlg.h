#pragma once
// The registry action dialog: a root and key path, what to delete there (the
// key, keeping it empty or not, one value, values or subkeys whose names
// start with a prefix) and the registry group the action belongs to.
//
// The caller sets the action, the group id and the actions list, runs the
// dialog, and on Accepted reads the edited action and the chosen group id.
// After a Cancel both are as they were set.

#include <QDialog>

#include "document/registry_action.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kestrel {

class CGroupedList;
struct EditorServices;

class CAddRegActionDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAddRegActionDlg(EditorServices& services, QWidget* parent = nullptr);

  void SetAction(const REGACTION& action) { action_ = action; }
  const REGACTION& Action() const { return action_; }
  // The group to preselect (0 unless set); after OK, the group chosen.
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
  void KeyChanged();
  void StartRegistryEditor();
  void Ok();

  EditorServices& services_;
  REGACTION action_;
  int group_id_ = 0;
  const CGroupedList* actions_list_ = nullptr;
  bool opened_ = false;
  QString wine_;  // full path of wine, empty when it is not installed

  QComboBox* root_choice_ = nullptr;
  QPushButton* registry_editor_ = nullptr;
  QLineEdit* key_edit_ = nullptr;
  QButtonGroup* kinds_ = nullptr;
  QRadioButton* delete_key_ = nullptr;
  QCheckBox* keep_empty_key_ = nullptr;
  QRadioButton* delete_value_ = nullptr;
  QLineEdit* value_name_edit_ = nullptr;
  QRadioButton* delete_value_list_ = nullptr;
  QLineEdit* values_prefix_edit_ = nullptr;
  QRadioButton* delete_subkey_list_ = nullptr;
  QLineEdit* subkeys_prefix_edit_ = nullptr;
  QComboBox* group_choice_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace kestrel
