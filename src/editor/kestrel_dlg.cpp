#include "editor/kestrel_dlg.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "controls/busy_cursor.h"
#include "controls/dialog_units.h"
#include "controls/hint.h"
#include "controls/list_ctrl_category_groups.h"
#include "document/plugin_reader.h"
#include "editor/editor_dialogs.h"
#include "editor/editor_services.h"
#include "editor/test_command.h"
#include "editor/text_editor.h"
#include "platform/text.h"
#include "platform/user_name.h"

namespace kestrel {
namespace {

QString Q(const std::u16string& text) { return QString::fromStdU16String(text); }

QPushButton* Button(const char* text, const char* name, int width_units, QWidget* parent) {
  auto* button = new QPushButton(QString::fromLatin1(text), parent);
  button->setObjectName(QString::fromLatin1(name));
  // No button of the window is a default button: Enter does nothing.
  button->setAutoDefault(false);
  button->setDefault(false);
  button->setMinimumWidth(DialogUnitsX(parent, width_units));
  return button;
}

QLineEdit* Edit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  // Files dropped on an edit are for the window, not text for the edit.
  edit->setAcceptDrops(false);
  return edit;
}

}  // namespace

CKestrelDlg::CKestrelDlg(EditorServices& services, EditorDialogs& dialogs, QWidget* parent)
    : QDialog(parent), services_(services), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Kestrel"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
  setAcceptDrops(true);
  BuildControls();
  BuildMenu();

  actions_ = std::make_unique<ActionsList>(document_, list_ctrl_->List(), services_.messages);
  actions_->SetView(this);
  SetHint(description_edit_, QStringLiteral(" Enter a short description about what this plug-in does"));
  New();
  actions_->RefreshList();
  // Opens at the template's size; the actions list takes any extra room.
  resize(DialogUnitsX(this, 478), DialogUnitsY(this, 297) + layout()->menuBar()->sizeHint().height());
}

CKestrelDlg::~CKestrelDlg() {
  // The list goes with its control; stop listening first.
  actions_.reset();
}

void CKestrelDlg::BuildControls() {
  new_button_ = Button("New", "newButton", 60, this);
  open_button_ = Button("Open...", "openButton", 60, this);
  save_button_ = Button("Save", "saveButton", 60, this);
  test_button_ = Button("Test", "testButton", 60, this);
  auto* top = new QHBoxLayout;
  top->addWidget(new_button_);
  top->addWidget(open_button_);
  top->addStretch();
  top->addWidget(save_button_);
  top->addWidget(test_button_);

  auto* header = new QGroupBox(this);
  filename_edit_ = Edit("filenameEdit", header);
  provider_edit_ = Edit("providerEdit", header);
  version_edit_ = Edit("versionEdit", header);
  version_edit_->setMaximumWidth(DialogUnitsX(this, 80));
  description_edit_ = Edit("descriptionEdit", header);
  auto* version_label = new QLabel(QStringLiteral("Version"), header);
  version_label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* fields = new QGridLayout(header);
  fields->addWidget(new QLabel(QStringLiteral("Filename"), header), 0, 0);
  fields->addWidget(filename_edit_, 0, 1, 1, 4);
  fields->addWidget(new QLabel(QStringLiteral("Provider"), header), 1, 0);
  fields->addWidget(provider_edit_, 1, 1);
  fields->addWidget(version_label, 1, 3);
  fields->addWidget(version_edit_, 1, 4);
  fields->addWidget(new QLabel(QStringLiteral("Description"), header), 2, 0);
  fields->addWidget(description_edit_, 2, 1, 1, 4);
  fields->setColumnStretch(1, 5);
  fields->setColumnStretch(2, 3);
  fields->setColumnMinimumWidth(0, DialogUnitsX(this, 43));

  auto* actions_box = new QGroupBox(QStringLiteral("Actions"), this);
  list_ctrl_ = new CListCtrl_Category_Groups(actions_box);
  list_ctrl_->setObjectName(QStringLiteral("actionsList"));
  list_ctrl_->setAcceptDrops(false);
  list_ctrl_->setMinimumSize(DialogUnitsX(this, 200), DialogUnitsY(this, 80));
  add_registry_button_ = Button("Add Registry Action...", "addRegistryButton", 87, actions_box);
  add_file_folder_button_ = Button("Add File/Folder Action...", "addFileFolderButton", 95, actions_box);
  edit_button_ = Button("Edit...", "editButton", 40, actions_box);
  remove_button_ = Button("Remove", "removeButton", 48, actions_box);
  auto* row_buttons = new QHBoxLayout;
  for (QPushButton* button : {add_registry_button_, add_file_folder_button_, edit_button_, remove_button_})
    row_buttons->addWidget(button);
  row_buttons->addStretch();
  auto* actions_layout = new QVBoxLayout(actions_box);
  actions_layout->addWidget(list_ctrl_, 1);
  actions_layout->addLayout(row_buttons);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(header);
  layout->addWidget(actions_box, 1);

  QWidget::setTabOrder(new_button_, open_button_);
  QWidget::setTabOrder(open_button_, save_button_);
  QWidget::setTabOrder(save_button_, test_button_);
  QWidget::setTabOrder(test_button_, filename_edit_);
  QWidget::setTabOrder(filename_edit_, provider_edit_);
  QWidget::setTabOrder(provider_edit_, version_edit_);
  QWidget::setTabOrder(version_edit_, description_edit_);
  QWidget::setTabOrder(description_edit_, list_ctrl_);

  connect(new_button_, &QPushButton::clicked, this, [this] { New(); });
  connect(open_button_, &QPushButton::clicked, this, [this] { Open(); });
  connect(save_button_, &QPushButton::clicked, this, [this] { Save(); });
  connect(test_button_, &QPushButton::clicked, this, [this] { Test(); });
  connect(add_registry_button_, &QPushButton::clicked, this, [this] { AddRegistryAction(); });
  connect(add_file_folder_button_, &QPushButton::clicked, this, [this] { AddFileFolderAction(); });
  connect(edit_button_, &QPushButton::clicked, this, [this] { EditAction(); });
  connect(remove_button_, &QPushButton::clicked, this, [this] { RemoveAction(); });
  // Only the author's own typing in the Filename box changes the document.
  connect(filename_edit_, &QLineEdit::textEdited, this, [this] { document_.modified = true; });
}

void CKestrelDlg::BuildMenu() {
  auto* bar = new QMenuBar(this);
  layout()->setMenuBar(bar);
  auto add = [this](QMenu* menu, const char* text, const char* name, auto handler) {
    QAction* item = menu->addAction(QString::fromLatin1(text));
    item->setObjectName(QString::fromLatin1(name));
    connect(item, &QAction::triggered, this, handler);
    return item;
  };

  QMenu* file = bar->addMenu(QStringLiteral("File"));
  add(file, "New", "newItem", [this] { New(); });
  file->addSeparator();
  add(file, "Open...", "openItem", [this] { Open(); });
  add(file, "Save", "saveItem", [this] { Save(); });
  file->addSeparator();
  add(file, "Test", "testItem", [this] { Test(); });
  file->addSeparator();
  add(file, "Exit", "exitItem", [this] { reject(); });

  action_menu_ = bar->addMenu(QStringLiteral("Action"));
  add(action_menu_, "Add Registry action...", "addRegistryItem", [this] { AddRegistryAction(); });
  add(action_menu_, "Add File/Folder action...", "addFileFolderItem", [this] { AddFileFolderAction(); });
  action_menu_->addSeparator();
  edit_item_ = add(action_menu_, "Edit..", "editItem", [this] { EditAction(); });
  remove_item_ = add(action_menu_, "Remove", "removeItem", [this] { RemoveAction(); });
  action_menu_->addSeparator();
  add(action_menu_, "Groups...", "groupsItem", [this] { Groups(); });
  action_menu_->addSeparator();
  add(action_menu_, "View in Notepad", "viewItem", [this] { ViewInNotepad(); });
  // Edit and Remove follow the selection whenever the menu opens.
  connect(action_menu_, &QMenu::aboutToShow, this, [this] {
    const bool one = list_ctrl_->List().SelectedCount() == 1;
    edit_item_->setEnabled(one);
    remove_item_->setEnabled(one);
  });

  QMenu* help = bar->addMenu(QStringLiteral("Help"));
  add(help, "About", "aboutItem", [this] { About(); });
}

// --- The list's side ---

void CKestrelDlg::ButtonsChanged(const ActionButtons& buttons) {
  edit_button_->setEnabled(buttons.edit_remove);
  remove_button_->setEnabled(buttons.edit_remove);
  save_button_->setEnabled(buttons.save_test);
  test_button_->setEnabled(buttons.save_test);
}

void CKestrelDlg::SizeColumns() {
  for (int column : {kActionColumn, kPatternColumn, kPathColumn}) list_ctrl_->resizeColumnToContents(column);
}

// --- Fields ---

void CKestrelDlg::TakeFields() {
  document_.filename_field = filename_edit_->text().toStdU16String();
  document_.description = description_edit_->text().toStdU16String();
  document_.version = version_edit_->text().toStdU16String();
  document_.provider = provider_edit_->text().toStdU16String();
}

void CKestrelDlg::ShowFields() {
  // setText is not the author's typing: the modified flag stays as it is.
  filename_edit_->setText(Q(document_.filename_field));
  description_edit_->setText(Q(document_.description));
  version_edit_->setText(Q(document_.version));
  provider_edit_->setText(Q(document_.provider));
}

void CKestrelDlg::ShowNewDocument() {
  SetHint(filename_edit_, QStringLiteral(" New plug-in"));
  ShowFields();
}

// --- Commands ---

void CKestrelDlg::New() {
  NewPlugin(*actions_, CurrentUserName());
  ShowNewDocument();
}

bool CKestrelDlg::ReadFile(const QString& path) {
  BusyCursor busy;
  const bool read = ReadPlugin(*actions_, path.toStdU16String(), CurrentUserName());
  ShowNewDocument();
  return read;
}

QString CKestrelDlg::DocumentFolder() const {
  if (!document_.current_path.empty()) {
    const QDir folder = QFileInfo(CurrentPath()).absoluteDir();
    if (folder.exists()) return folder.absolutePath();
  }
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (!documents.isEmpty() && QDir(documents).exists()) return documents;
  return QDir::homePath();
}

bool CKestrelDlg::CurrentFileExists() const { return PluginFileExists(document_.current_path); }

void CKestrelDlg::Open() {
  FileDialogRequest request;
  request.title = QStringLiteral("Load Plug-in File");
  request.filter = QStringLiteral("Plug-in Files (*.cln)");
  request.default_suffix = QStringLiteral("cln");
  request.folder = DocumentFolder();
  if (const std::optional<QString> chosen = services_.choosers.ChooseOpenFile(this, request)) ReadFile(*chosen);
}

void CKestrelDlg::Save() {
  TakeFields();
  if (document_.actions.IsEmpty() || list_ctrl_->List().RowCount() == 0) {
    services_.messages.Warning(u"Please add action(s)");
    return;
  }
  std::u16string proposed = document_.filename_field;
  if (proposed.empty()) proposed = document_.current_path;
  if (proposed.empty()) proposed = u"Untitled.cln";
  document_.filename_field = proposed;

  const QString name = Q(proposed);
  const qsizetype slash = name.lastIndexOf(u'/');
  QString folder = slash > 0 ? name.left(slash) : slash == 0 ? QStringLiteral("/") : QString();
  if (folder.isEmpty() || !QDir(folder).exists()) folder = DocumentFolder();

  FileDialogRequest request;
  request.filter = QStringLiteral("Plug-in Files (*.cln)");
  request.default_suffix = QStringLiteral("cln");
  request.folder = folder;
  request.file_name = QFileInfo(name).completeBaseName();
  const std::optional<QString> chosen = services_.choosers.ChooseSaveFile(this, request);
  if (!chosen) return;
  BusyCursor busy;
  if (WritePlugin(document_, list_ctrl_->List(), chosen->toStdU16String(), services_.messages) ==
      WriteResult::kWritten) {
    document_.current_path = chosen->toStdU16String();
    document_.filename_field = document_.current_path;
    ShowFields();
  }
}

void CKestrelDlg::Test() {
  std::optional<std::filesystem::path> prefix;
  if (!services_.wine_prefix.empty()) prefix = services_.wine_prefix;
  RunTestCommand(TestCommandHost{
      this, services_.messages, test_results_, [this] { return document_.current_path; },
      [this] { return document_.modified; }, [this] { Save(); },
      [this] {
        TakeFields();
        WritePlugin(document_, list_ctrl_->List(), document_.current_path, services_.messages);
      },
      std::move(prefix)});
}

void CKestrelDlg::AddRegistryAction() {
  const auto choice = dialogs_.RunRegistryActionDialog(this, list_ctrl_->List(), REGACTION{}, kDefaultRegistryGroup);
  if (choice) actions_->AddRegistryAction(choice->action, choice->group_id);
}

void CKestrelDlg::AddFileFolderAction() {
  const auto choice =
      dialogs_.RunFileFolderActionDialog(this, list_ctrl_->List(), DISKACTION{}, kDefaultFileFolderGroup);
  if (choice) actions_->AddFileFolderAction(choice->action, choice->group_id);
}

void CKestrelDlg::EditAction() {
  const std::optional<EditRequest> request = actions_->BeginEdit();
  if (!request) {
    if (list_ctrl_->List().SelectedCount() > 0) actions_->RefreshList();
    return;
  }
  if (request->parsed.kind == ActionClass::kRegistry) {
    const auto choice =
        dialogs_.RunRegistryActionDialog(this, list_ctrl_->List(), request->parsed.reg, request->group_id);
    if (choice) {
      actions_->EditAction(*request, choice->action, choice->group_id);
      return;
    }
  } else {
    const auto choice =
        dialogs_.RunFileFolderActionDialog(this, list_ctrl_->List(), request->parsed.disk, request->group_id);
    if (choice) {
      actions_->EditAction(*request, choice->action, choice->group_id);
      return;
    }
  }
  actions_->RefreshList();
}

void CKestrelDlg::RemoveAction() { actions_->RemoveAction(); }

void CKestrelDlg::Groups() {
  const std::optional<bool> show_groups = dialogs_.RunGroupsDialog(this, list_ctrl_->List(), document_.show_groups);
  if (show_groups) document_.show_groups = *show_groups;
  // New groups get their "Actions: 0" at once; nothing in the document changes.
  actions_->RefreshList();
}

void CKestrelDlg::ViewInNotepad() {
  if (!CurrentFileExists()) {
    services_.messages.Warning(u"Plug-in has to be saved before it can be viewed.");
    return;
  }
  OpenInTextEditor(services_.programs, CurrentPath());
}

void CKestrelDlg::About() { dialogs_.RunAboutDialog(this); }

// --- Dropped files ---

void CKestrelDlg::DropFiles(const QList<QUrl>& urls) {
  if (urls.isEmpty() || !urls.first().isLocalFile()) return;
  const QString path = urls.first().toLocalFile();
  if (WildcardMatch(path.toStdU16String(), u"*.cln")) ReadFile(path);
}

void CKestrelDlg::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CKestrelDlg::dragMoveEvent(QDragMoveEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CKestrelDlg::dropEvent(QDropEvent* event) {
  if (!event->mimeData()->hasUrls()) return;
  event->acceptProposedAction();
  DropFiles(event->mimeData()->urls());
}

}  // namespace kestrel
