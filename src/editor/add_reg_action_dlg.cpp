#include "editor/add_reg_action_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "controls/long_texts.h"
#include "controls/dialog_units.h"
#include "controls/hint.h"
#include "controls/qt_text.h"
#include "editor/editor_services.h"
#include "editor/group_choice.h"
#include "platform/text.h"

namespace kestrel {
namespace {

// The root choice's entries, in the order the dialog offers them.
struct RootEntry {
  const char* name;
  uint32_t root;
};
constexpr RootEntry kRootEntries[] = {
    {"HKEY_CURRENT_USER", 0x80000001u},
    {"HKEY_LOCAL_MACHINE", 0x80000002u},
    {"HKEY_CLASSES_ROOT", 0x80000000u},
    {"HKEY_USERS", 0x80000003u},
};

QLabel* RightLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

// A radio group with no button selected.
void ClearChoice(QButtonGroup* group) {
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) button->setChecked(false);
  group->setExclusive(true);
}

}  // namespace

CAddRegActionDlg::CAddRegActionDlg(EditorServices& services, QWidget* parent)
    : QDialog(parent), services_(services) {
  setWindowTitle(QStringLiteral("Registry Action"));
  BuildControls();
  wine_ = services_.programs.FindProgram(QStringLiteral("wine"));
  if (wine_.isEmpty()) {
    registry_editor_->setEnabled(false);
    registry_editor_->setToolTip(
        QStringLiteral("Wine is not installed (no \"wine\" program was found in PATH), so there is no "
                       "registry editor to start."));
  } else if (services_.wine_prefix.empty()) {
    registry_editor_->setToolTip(QStringLiteral("Starts Wine's registry editor"));
  } else {
    registry_editor_->setToolTip(QStringLiteral("Starts Wine's registry editor for the prefix %1")
                                     .arg(QString::fromStdString(services_.wine_prefix.string())));
  }
  AllowLongTexts(this);
}

void CAddRegActionDlg::BuildControls() {
  // Registry Key
  auto* key_box = new QGroupBox(QStringLiteral("Registry Key"), this);
  root_choice_ = new QComboBox(key_box);
  root_choice_->setObjectName(QStringLiteral("rootChoice"));
  root_choice_->setMinimumWidth(DialogUnitsX(this, 104));
  auto* backslash = new QLabel(QStringLiteral("\\"), key_box);
  backslash->setAlignment(Qt::AlignCenter);
  backslash->setMinimumWidth(DialogUnitsX(this, 12));
  registry_editor_ = new QPushButton(QStringLiteral("Registry Editor"), key_box);
  registry_editor_->setObjectName(QStringLiteral("registryEditorButton"));
  registry_editor_->setAutoDefault(false);
  key_edit_ = new QLineEdit(key_box);
  key_edit_->setObjectName(QStringLiteral("keyEdit"));
  key_edit_->setMinimumWidth(DialogUnitsX(this, 303));
  auto* key_layout = new QGridLayout(key_box);
  key_layout->addWidget(root_choice_, 0, 0);
  key_layout->addWidget(backslash, 0, 1);
  key_layout->setColumnStretch(2, 1);
  key_layout->addWidget(registry_editor_, 0, 3);
  key_layout->addWidget(key_edit_, 1, 0, 1, 4);

  // Action
  auto* action_box = new QGroupBox(QStringLiteral("Action"), this);
  delete_key_ = new QRadioButton(QStringLiteral("Delete key"), action_box);
  delete_key_->setObjectName(QStringLiteral("deleteKeyRadio"));
  keep_empty_key_ = new QCheckBox(QStringLiteral("Keep the empty key"), action_box);
  keep_empty_key_->setObjectName(QStringLiteral("keepEmptyKeyCheck"));
  delete_value_ = new QRadioButton(QStringLiteral("Delete value"), action_box);
  delete_value_->setObjectName(QStringLiteral("deleteValueRadio"));
  value_name_edit_ = new QLineEdit(action_box);
  value_name_edit_->setObjectName(QStringLiteral("valueNameEdit"));
  delete_value_list_ = new QRadioButton(QStringLiteral("Delete value list"), action_box);
  delete_value_list_->setObjectName(QStringLiteral("deleteValueListRadio"));
  values_prefix_edit_ = new QLineEdit(action_box);
  values_prefix_edit_->setObjectName(QStringLiteral("valuesPrefixEdit"));
  delete_subkey_list_ = new QRadioButton(QStringLiteral("Delete subkey list"), action_box);
  delete_subkey_list_->setObjectName(QStringLiteral("deleteSubkeyListRadio"));
  subkeys_prefix_edit_ = new QLineEdit(action_box);
  subkeys_prefix_edit_->setObjectName(QStringLiteral("subkeysPrefixEdit"));
  for (QLineEdit* edit : {value_name_edit_, values_prefix_edit_, subkeys_prefix_edit_})
    edit->setMinimumWidth(DialogUnitsX(this, 117));

  kinds_ = new QButtonGroup(this);
  kinds_->addButton(delete_key_);
  kinds_->addButton(delete_value_);
  kinds_->addButton(delete_value_list_);
  kinds_->addButton(delete_subkey_list_);

  auto* action_layout = new QGridLayout(action_box);
  action_layout->setColumnStretch(1, 1);
  action_layout->setColumnMinimumWidth(1, DialogUnitsX(this, 20));
  action_layout->setVerticalSpacing(DialogUnitsY(this, 6));
  action_layout->addWidget(delete_key_, 0, 0);
  action_layout->addWidget(keep_empty_key_, 0, 2);
  action_layout->addWidget(delete_value_, 1, 0);
  action_layout->addWidget(RightLabel(QStringLiteral("Value name"), action_box), 1, 1);
  action_layout->addWidget(value_name_edit_, 1, 2);
  action_layout->addWidget(delete_value_list_, 2, 0);
  action_layout->addWidget(RightLabel(QStringLiteral("Values start with"), action_box), 2, 1);
  action_layout->addWidget(values_prefix_edit_, 2, 2);
  action_layout->addWidget(delete_subkey_list_, 3, 0);
  action_layout->addWidget(RightLabel(QStringLiteral("Subkeys start with"), action_box), 3, 1);
  action_layout->addWidget(subkeys_prefix_edit_, 3, 2);

  // Group choice and the buttons
  const GroupChoiceRow bottom = MakeGroupChoiceRow(this, 123);
  group_choice_ = bottom.choice;
  ok_ = bottom.ok;
  cancel_ = bottom.cancel;

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(key_box);
  layout->addWidget(action_box);
  layout->addStretch(1);
  layout->addLayout(bottom.layout);

  // Tab order of the template.
  QWidget* order[] = {root_choice_,       registry_editor_,    key_edit_,           delete_key_,
                      keep_empty_key_,    delete_value_,       value_name_edit_,    delete_value_list_,
                      values_prefix_edit_, delete_subkey_list_, subkeys_prefix_edit_, group_choice_,
                      ok_,                cancel_};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  connect(kinds_, &QButtonGroup::buttonClicked, this, [this] { UpdateControls(); });
  connect(key_edit_, &QLineEdit::textChanged, this, [this] { KeyChanged(); });
  connect(registry_editor_, &QPushButton::clicked, this, [this] { StartRegistryEditor(); });
  connect(ok_, &QPushButton::clicked, this, [this] { Ok(); });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void CAddRegActionDlg::showEvent(QShowEvent* event) {
  if (!opened_) {
    opened_ = true;
    Opening();
  }
  QDialog::showEvent(event);
}

void CAddRegActionDlg::Opening() {
  SetHint(key_edit_, QStringLiteral(" You can launch Regedit, select the key, click Edit menu > Copy Key and paste here"));
  SetHint(value_name_edit_, QStringLiteral(" Enter value name"));
  SetHint(values_prefix_edit_, QStringLiteral(" Enter value prefix"));
  SetHint(subkeys_prefix_edit_, QStringLiteral(" Enter subkey prefix"));

  root_choice_->clear();
  for (const RootEntry& entry : kRootEntries) root_choice_->addItem(QString::fromLatin1(entry.name), entry.root);
  root_choice_->setCurrentIndex(0);
  const int root = root_choice_->findData(action_.root);
  if (root >= 0) root_choice_->setCurrentIndex(root);

  keep_empty_key_->setChecked(false);
  ClearChoice(kinds_);
  QString value_name, values_prefix, subkeys_prefix;
  const std::u16string& verb = action_.verb;
  if (EqualsNoCase(verb, u"DELVAL")) {
    delete_value_->setChecked(true);
    value_name = ToQString(action_.value_name);
  } else if (EqualsNoCase(verb, u"DELKEY")) {
    delete_key_->setChecked(true);
  } else if (EqualsNoCase(verb, u"DELLIST")) {
    delete_value_list_->setChecked(true);
    values_prefix = ToQString(action_.value_name);
  } else if (EqualsNoCase(verb, u"DELKLIST")) {
    delete_subkey_list_->setChecked(true);
    subkeys_prefix = ToQString(action_.value_name);
  } else if (EqualsNoCase(verb, u"EMPTYKEY")) {
    delete_key_->setChecked(true);
    keep_empty_key_->setChecked(true);
  }

  FillGroupChoice(group_choice_, actions_list_, true, group_id_);

  value_name_edit_->setText(value_name);
  values_prefix_edit_->setText(values_prefix);
  subkeys_prefix_edit_->setText(subkeys_prefix);
  // Showing the key is a text change: a key path that begins with a root
  // name and a backslash moves that root into the root choice.
  key_edit_->setText(ToQString(action_.key_path));
  UpdateControls();
}

void CAddRegActionDlg::UpdateControls() {
  const bool k = !key_edit_->text().isEmpty();
  ok_->setEnabled(k && kinds_->checkedButton() != nullptr);
  value_name_edit_->setEnabled(k && delete_value_->isChecked());
  values_prefix_edit_->setEnabled(k && delete_value_list_->isChecked());
  subkeys_prefix_edit_->setEnabled(k && delete_subkey_list_->isChecked());
  keep_empty_key_->setEnabled(k && delete_key_->isChecked());
  for (QAbstractButton* button : kinds_->buttons()) button->setEnabled(k);
}

// A full key path pasted from a registry editor splits into root and key.
void CAddRegActionDlg::KeyChanged() {
  UpdateControls();
  const QString text = key_edit_->text();
  for (int i = 0; i < root_choice_->count(); ++i) {
    const QString start = root_choice_->itemText(i) + u'\\';
    if (EqualsNoCase(FromQString(text.left(start.size())), FromQString(start))) {
      root_choice_->setCurrentIndex(i);
      // A text change of its own: the rest is looked at again.
      key_edit_->setText(text.mid(start.size()));
      return;
    }
  }
}

void CAddRegActionDlg::StartRegistryEditor() {
  if (wine_.isEmpty()) return;
  // Without a prefix of our own, Wine picks its default one.
  QStringList environment;
  if (!services_.wine_prefix.empty())
    environment << QStringLiteral("WINEPREFIX=") + QString::fromStdString(services_.wine_prefix.string());
  services_.programs.StartDetached(wine_, {QStringLiteral("regedit")}, environment);
}

void CAddRegActionDlg::Ok() {
  const std::u16string subkeys_prefix = Trim(FromQString(subkeys_prefix_edit_->text()));
  const std::u16string key = Trim(FromQString(key_edit_->text()));
  const std::u16string values_prefix = Trim(FromQString(values_prefix_edit_->text()));
  const std::u16string value_name = Trim(FromQString(value_name_edit_->text()));

  if (key.empty()) {
    services_.messages.Warning(u"Key cannot be empty");
    return;
  }
  REGACTION result = action_;
  if (delete_key_->isChecked()) {
    result.verb = keep_empty_key_->isChecked() ? u"EMPTYKEY" : u"DELKEY";
  } else if (delete_value_->isChecked()) {
    result.verb = u"DELVAL";
    result.value_name = value_name;
  } else if (delete_value_list_->isChecked()) {
    if (values_prefix.empty()) {
      services_.messages.Warning(u"\"Values start with\" field cannot be empty");
      return;
    }
    result.verb = u"DELLIST";
    result.value_name = values_prefix;
  } else if (delete_subkey_list_->isChecked()) {
    if (subkeys_prefix.empty()) {
      services_.messages.Warning(u"\"Subkeys start with\" field cannot be empty");
      return;
    }
    result.verb = u"DELKLIST";
    result.value_name = subkeys_prefix;
  }
  result.key_path = key;
  result.root_name = FromQString(root_choice_->currentText());
  action_ = result;
  if (group_choice_->currentIndex() >= 0) group_id_ = group_choice_->currentData().toInt();
  accept();
}

}  // namespace kestrel
