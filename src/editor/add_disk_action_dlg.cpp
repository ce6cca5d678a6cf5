#include "editor/add_disk_action_dlg.h"

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

QLabel* RightLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

// The text before the last backslash, and the text after it.
struct Split {
  QString folder;
  QString name;
  bool has_folder = false;
};
Split SplitLastComponent(const QString& path) {
  const qsizetype at = path.lastIndexOf(u'\\');
  if (at < 0) return {QString(), path, false};
  return {path.left(at), path.mid(at + 1), true};
}

bool IsBlankOrBackslash(QChar c) { return c == u'\\' || IsBlank(c.unicode()); }

QString TrimEndBackslashesAndBlanks(QString text) {
  while (!text.isEmpty() && IsBlankOrBackslash(text.back())) text.chop(1);
  return text;
}

QString TrimEndBackslashes(QString text) {
  while (text.endsWith(u'\\')) text.chop(1);
  return text;
}

QString TrimStartBackslashesAndBlanks(QString text) {
  qsizetype start = 0;
  while (start < text.size() && IsBlankOrBackslash(text[start])) ++start;
  return text.mid(start);
}

QString Trimmed(const QString& text) { return ToQString(Trim(FromQString(text))); }

}  // namespace

CAddDiskActionDlg::CAddDiskActionDlg(EditorServices& services, QWidget* parent)
    : QDialog(parent), services_(services) {
  setWindowTitle(QStringLiteral("File/Folder Action"));
  BuildControls();
  AllowLongTexts(this);
}

void CAddDiskActionDlg::BuildControls() {
  auto path_edit = [this](QWidget* parent, const char* name) {
    auto* edit = new CFileEditCtrl(services_.choosers, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->SetWinePrefix(services_.wine_prefix);
    edit->SetPathHandler([this](const CFileEditCtrl::PathNotification& n) { return PathNotified(n); });
    return edit;
  };
  auto check = [](const char* text, QWidget* parent, const char* name) {
    auto* box = new QCheckBox(QString::fromUtf8(text), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
  };
  auto radio = [](const char* text, QWidget* parent, const char* name) {
    auto* button = new QRadioButton(QString::fromUtf8(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
  };

  // Path to File/Folder
  auto* path_box = new QGroupBox(QStringLiteral("Path to File/Folder"), this);
  path_edit_ = path_edit(path_box, "pathEdit");
  path_edit_->setMinimumWidth(DialogUnitsX(this, 323));
  remove_folder_ = check("Delete this folder if it is empty after cleaning", path_box, "removeFolderCheck");
  auto* path_layout = new QVBoxLayout(path_box);
  path_layout->addWidget(path_edit_);
  path_layout->addWidget(remove_folder_);

  // Action
  auto* action_box = new QGroupBox(QStringLiteral("Action"), this);
  empty_folder_ = radio("Empty the folder (deletes all the files and subfolders within the path)", action_box,
                        "emptyFolderRadio");
  matching_files_ = radio("Delete file(s) within the folder whose names match", action_box, "matchingFilesRadio");
  pattern_edit_ = path_edit(action_box, "patternEdit");
  exclude_ = check("But exclude files whose names match", action_box, "excludeCheck");
  exclusion_edit_ = path_edit(action_box, "exclusionEdit");
  subfolders_ = check("Search within subfolders too", action_box, "subfoldersCheck");
  clean_subfolders_ = check("Delete empty subfolders after cleaning", action_box, "cleanSubfoldersCheck");
  ini_ = radio("Delete INI file section/key", action_box, "iniRadio");
  ini_file_edit_ = path_edit(action_box, "iniFileEdit");
  section_edit_ = new QLineEdit(action_box);
  section_edit_->setObjectName(QStringLiteral("sectionEdit"));
  key_edit_ = new QLineEdit(action_box);
  key_edit_->setObjectName(QStringLiteral("keyEdit"));
  for (QLineEdit* edit : {static_cast<QLineEdit*>(pattern_edit_), static_cast<QLineEdit*>(exclusion_edit_),
                          static_cast<QLineEdit*>(ini_file_edit_), section_edit_, key_edit_})
    edit->setMinimumWidth(DialogUnitsX(this, 141));

  kinds_ = new QButtonGroup(this);
  kinds_->addButton(empty_folder_);
  kinds_->addButton(matching_files_);
  kinds_->addButton(ini_);

  auto* grid = new QGridLayout(action_box);
  grid->setColumnMinimumWidth(0, DialogUnitsX(this, 40));  // the indent of the options
  grid->setColumnStretch(1, 1);
  grid->addWidget(empty_folder_, 0, 0, 1, 3);
  grid->setRowMinimumHeight(1, DialogUnitsY(this, 6));
  grid->addWidget(matching_files_, 2, 0, 1, 2);
  grid->addWidget(pattern_edit_, 2, 2);
  grid->addWidget(exclude_, 3, 1);
  grid->addWidget(exclusion_edit_, 3, 2);
  grid->addWidget(subfolders_, 4, 1, 1, 2);
  grid->addWidget(clean_subfolders_, 5, 1, 1, 2);
  grid->setRowMinimumHeight(6, DialogUnitsY(this, 10));
  auto* ini_row = new QHBoxLayout;
  ini_row->addWidget(ini_);
  ini_row->addStretch(1);
  ini_row->addWidget(RightLabel(QStringLiteral("Filename"), action_box));
  grid->addLayout(ini_row, 7, 0, 1, 2);
  grid->addWidget(ini_file_edit_, 7, 2);
  grid->addWidget(RightLabel(QStringLiteral("Section"), action_box), 8, 0, 1, 2);
  grid->addWidget(section_edit_, 8, 2);
  grid->addWidget(RightLabel(QStringLiteral("Key"), action_box), 9, 0, 1, 2);
  grid->addWidget(key_edit_, 9, 2);

  // Group choice and the buttons
  const GroupChoiceRow bottom = MakeGroupChoiceRow(this, 112);
  group_choice_ = bottom.choice;
  ok_ = bottom.ok;
  cancel_ = bottom.cancel;

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(path_box);
  layout->addWidget(action_box);
  layout->addStretch(1);
  layout->addLayout(bottom.layout);

  // Tab order of the template.
  QWidget* order[] = {path_edit_,     remove_folder_, empty_folder_,    matching_files_, pattern_edit_,
                      exclude_,       exclusion_edit_, subfolders_,     clean_subfolders_, ini_,
                      ini_file_edit_, section_edit_,  key_edit_,        group_choice_,   ok_,
                      cancel_};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  connect(kinds_, &QButtonGroup::buttonClicked, this, [this] { UpdateControls(); });
  connect(exclude_, &QCheckBox::clicked, this, [this] { UpdateControls(); });
  connect(path_edit_, &QLineEdit::textChanged, this, [this] { UpdateControls(); });
  connect(ok_, &QPushButton::clicked, this, [this] { Ok(); });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void CAddDiskActionDlg::showEvent(QShowEvent* event) {
  if (!opened_) {
    opened_ = true;
    Opening();
  }
  QDialog::showEvent(event);
}

void CAddDiskActionDlg::Opening() {
  path_edit_->SetMode(CFileEditCtrl::kFolderMode);
  pattern_edit_->SetMode(CFileEditCtrl::kFileMode | CFileEditCtrl::kSeveralDrops);
  exclusion_edit_->SetMode(CFileEditCtrl::kFileMode | CFileEditCtrl::kSeveralDrops);
  ini_file_edit_->SetMode(CFileEditCtrl::kFileMode);

  SetHint(path_edit_, QStringLiteral(" Enter path to folder. You can also drag and drop a folder from explorer"));
  SetHint(pattern_edit_, QStringLiteral(" You can use wildcards(?,*)"));
  SetHint(exclusion_edit_, QStringLiteral(" You can use wildcards(?,*)"));
  SetHint(ini_file_edit_, QStringLiteral(" Ini filename"));
  SetHint(section_edit_, QStringLiteral(" Ini section to delete"));
  SetHint(key_edit_, QStringLiteral(" Key to delete (optional)"));

  QString path, exclusions, ini_file, section, key;
  if (EqualsNoCase(action_.kind, u"INIFILE")) {
    ini_->setChecked(true);
    const Split split = SplitLastComponent(ToQString(action_.ini_file));
    path = split.folder;
    ini_file = split.name;
    section = ToQString(action_.ini_section);
    key = ToQString(action_.ini_key);
  } else if (action_.empty_path) {
    empty_folder_->setChecked(true);
    path = ToQString(action_.whole);
  } else {
    matching_files_->setChecked(true);
    path = ToQString(action_.folder);
    exclusions = ToQString(action_.exclusions);
  }
  subfolders_->setChecked(action_.subfolders != 0);
  exclude_->setChecked(!action_.exclusions.empty());
  remove_folder_->setChecked(action_.remove_folder != 0);
  clean_subfolders_->setChecked(action_.clean_subfolders != 0);

  FillGroupChoice(group_choice_, actions_list_, false, group_id_);

  path_edit_->setText(path);
  pattern_edit_->setText(ToQString(action_.pattern));
  exclusion_edit_->setText(exclusions);
  ini_file_edit_->setText(ini_file);
  section_edit_->setText(section);
  key_edit_->setText(key);
  UpdateControls();
}

void CAddDiskActionDlg::UpdateControls() {
  const bool k = !path_edit_->text().isEmpty();
  const bool matching = matching_files_->isChecked();
  const bool ini = ini_->isChecked();
  ok_->setEnabled(k && kinds_->checkedButton() != nullptr);
  pattern_edit_->setEnabled(matching);
  subfolders_->setEnabled(matching);
  exclude_->setEnabled(matching);
  clean_subfolders_->setEnabled(matching);
  remove_folder_->setEnabled(matching || empty_folder_->isChecked());
  exclusion_edit_->setEnabled(matching && exclude_->isChecked());
  ini_file_edit_->setEnabled(ini);
  section_edit_->setEnabled(ini);
  key_edit_->setEnabled(ini);
}

int CAddDiskActionDlg::PathNotified(const CFileEditCtrl::PathNotification& n) {
  if (n.code == CFileEditCtrl::kFilesDropped && n.control == path_edit_) {
    path_edit_->setText(TrimEndBackslashes(*n.path) + u'\\');
    return 1;
  }
  if (n.control == path_edit_ || n.code == CFileEditCtrl::kBrowseRequest) return 0;
  if (n.code == CFileEditCtrl::kBrowseResult && !n.path) return 0;  // cancelled: nothing happens
  TakePath(n.control, *n.path);
  return 1;
}

// The edit gets the names, the path edit (for the pattern and the INI file
// name, not for exclusions) the folder they lie in.
void CAddDiskActionDlg::TakePath(CFileEditCtrl* edit, const QString& path) {
  const QStringList items = path.split(u'|');
  const Split first = SplitLastComponent(items.front());
  QStringList names = {first.name};
  // Further dropped items come without the folder they share with the first;
  // one from another folder cannot be named from this folder and is left out.
  for (qsizetype i = 1; i < items.size(); ++i)
    if (!items[i].contains(u'\\')) names << items[i];
  edit->setText(names.join(u'|'));
  if (edit != exclusion_edit_ && first.has_folder) path_edit_->setText(first.folder);
}

void CAddDiskActionDlg::Ok() {
  const QString path = TrimEndBackslashesAndBlanks(Trimmed(path_edit_->text()));
  const QString pattern = Trimmed(pattern_edit_->text());
  if (path.isEmpty()) {
    services_.messages.Warning(u"Path cannot be empty");
    path_edit_->setFocus();
    return;
  }
  DISKACTION result = action_;
  result.empty_path = result.subfolders = result.remove_folder = result.clean_subfolders = 0;
  if (empty_folder_->isChecked()) {
    result.kind.clear();
    result.pattern.clear();
    result.whole = FromQString(path);
    result.empty_path = 1;
    result.remove_folder = remove_folder_->isChecked();
  } else if (matching_files_->isChecked()) {
    if (pattern.isEmpty()) {
      services_.messages.Warning(u"Pattern cannot be empty");
      pattern_edit_->setFocus();
      return;
    }
    result.kind.clear();
    result.pattern = FromQString(pattern);
    result.folder = FromQString(path);
    result.subfolders = subfolders_->isChecked();
    result.remove_folder = remove_folder_->isChecked();
    result.clean_subfolders = clean_subfolders_->isChecked();
    result.exclusions = exclude_->isChecked() ? FromQString(exclusion_edit_->text()) : std::u16string();
  } else if (ini_->isChecked()) {
    result.pattern.clear();
    result.kind = u"INIFILE";
    result.folder.clear();
    const QString file_name = SplitLastComponent(TrimStartBackslashesAndBlanks(ini_file_edit_->text())).name;
    const QString section = Trimmed(section_edit_->text());
    if (section.isEmpty() || file_name.isEmpty()) {
      services_.messages.Warning(u"Ini filename or section cannot be empty");
      section_edit_->setFocus();
      return;
    }
    result.ini_file = FromQString(path + u'\\' + file_name);
    result.ini_key = FromQString(key_edit_->text());
    result.ini_section = FromQString(section);
  }
  action_ = result;
  if (group_choice_->currentIndex() >= 0) group_id_ = group_choice_->currentData().toInt();
  accept();
}

}  // namespace kestrel
