#pragma once
// The main editor window: the plug-in's header fields, its actions list with
// the groups, and every command of the program from buttons and the menu.
// It owns the document; the reader, the writer and the actions-list commands
// work on it through ActionsList, and the dialogs are run through
// EditorDialogs.

#include <QDialog>
#include <QList>
#include <QString>
#include <QUrl>
#include <memory>

#include "document/actions_list.h"
#include "document/plugin_document.h"
#include "document/plugin_writer.h"
#include "testrun/test_results.h"

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;

namespace kestrel {

class CListCtrl_Category_Groups;
class EditorDialogs;
struct EditorServices;

class CKestrelDlg : public QDialog, private ActionsListView {
  Q_OBJECT

 public:
  CKestrelDlg(EditorServices& services, EditorDialogs& dialogs, QWidget* parent = nullptr);
  ~CKestrelDlg() override;

  PluginDocument& Document() { return document_; }
  ActionsList& Actions() { return *actions_; }
  CListCtrl_Category_Groups& ListCtrl() { return *list_ctrl_; }
  EditorServices& Services() { return services_; }
  // The plug-in file last read or saved; empty when there is none.
  QString CurrentPath() const { return QString::fromStdU16String(document_.current_path); }
  // The lines and totals of the last test run.
  CTestResults& TestResults() { return test_results_; }

  // --- Commands ---
  void New();
  void Open();
  // Reads a plug-in file into the window (Open, a dropped file).
  bool ReadFile(const QString& path);
  void Save();
  // Makes sure the plug-in is saved (asking first), offers to save changes,
  // and tests the file on disk in the test dialog.
  void Test();
  void AddRegistryAction();
  void AddFileFolderAction();
  void EditAction();
  void RemoveAction();
  void Groups();
  void ViewInNotepad();
  void About();
  // Files dropped on the window: the first one is read when it is a *.cln file.
  void DropFiles(const QList<QUrl>& urls);

  // The edits' texts into the document, and back.
  void TakeFields();
  void ShowFields();

  // Menu items, for the places that enable them.
  QAction* EditMenuItem() const { return edit_item_; }
  QAction* RemoveMenuItem() const { return remove_item_; }
  QMenu* ActionMenu() const { return action_menu_; }

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildControls();
  void BuildMenu();
  void ButtonsChanged(const ActionButtons& buttons) override;
  void SizeColumns() override;
  // After New or a read: the Filename box's hint and the fields shown.
  void ShowNewDocument();
  // The folder file dialogs start in: the current file's, else Documents, else home.
  QString DocumentFolder() const;
  bool CurrentFileExists() const;

  EditorServices& services_;
  EditorDialogs& dialogs_;
  PluginDocument document_;
  CTestResults test_results_;
  CListCtrl_Category_Groups* list_ctrl_ = nullptr;
  std::unique_ptr<ActionsList> actions_;

  QLineEdit* filename_edit_ = nullptr;
  QLineEdit* provider_edit_ = nullptr;
  QLineEdit* version_edit_ = nullptr;
  QLineEdit* description_edit_ = nullptr;
  QPushButton* new_button_ = nullptr;
  QPushButton* open_button_ = nullptr;
  QPushButton* save_button_ = nullptr;
  QPushButton* test_button_ = nullptr;
  QPushButton* add_registry_button_ = nullptr;
  QPushButton* add_file_folder_button_ = nullptr;
  QPushButton* edit_button_ = nullptr;
  QPushButton* remove_button_ = nullptr;
  QMenu* action_menu_ = nullptr;
  QAction* edit_item_ = nullptr;
  QAction* remove_item_ = nullptr;
};

}  // namespace kestrel
