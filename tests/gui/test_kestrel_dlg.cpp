// The main window, offscreen: start-up state, the enabled rules, New, Open,
// Save and its failures, Test's questions, dropped files, View in Notepad,
// the Filename box and the modified flag, the action commands through their
// (scripted) dialogs.

#include <QMenu>
#include <QMimeData>
#include <QStandardPaths>

#include "controls/hint.h"
#include "support/example_plugin.h"
#include "support/test_dialog_driver.h"
#include "support/window_fixture.h"

namespace kestrel {

using testing::Child;
using testing::WindowFixture;

namespace {

REGACTION Reg(const char16_t* text) {
  REGACTION r;
  ParseRegAction(text, r);
  return r;
}

DISKACTION Disk(const char16_t* text) {
  DISKACTION d;
  ParseDiskAction(text, d);
  return d;
}

// Adds a registry action through the Add button and a scripted dialog.
void AddRegistry(WindowFixture& f, const char16_t* text, int group_id = 0) {
  f.dialogs.registry_answers.push_back(RegistryActionChoice{Reg(text), group_id});
  f.Button("addRegistryButton")->click();
}

QStringList Enabled(WindowFixture& f) {
  QStringList out;
  for (const char* name : {"saveButton", "testButton", "editButton", "removeButton"})
    if (f.Button(name)->isEnabled()) out << QString::fromLatin1(name);
  return out;
}

QString Warnings(const testing::ScriptedMessages& messages) {
  QStringList out;
  for (const auto& w : messages.warnings) out << QString::fromStdU16String(w);
  return out.join(QStringLiteral(" | "));
}

}  // namespace

class TestKestrelDlg : public QObject {
  Q_OBJECT

 private slots:
  void startsWithAnEmptyUntitledDocument() {
    WindowFixture f;
    QCOMPARE(f.window->windowTitle(), QString("Kestrel"));
    QCOMPARE(f.List().GroupCount(), 2);
    QCOMPARE(f.List().GroupTitle(0), std::u16string(u"Registry Actions"));
    QCOMPARE(f.List().GroupTitle(1), std::u16string(u"File/Folder Actions"));
    QCOMPARE(f.List().RowCount(), 0);
    QCOMPARE(Enabled(f), QStringList());
    QCOMPARE(f.Edit("filenameEdit")->text(), QString("Untitled"));
    QCOMPARE(f.Edit("versionEdit")->text(), QString("1.0"));
    QCOMPARE(HintOf(f.Edit("filenameEdit")), QString(" New plug-in"));
    QCOMPARE(HintOf(f.Edit("descriptionEdit")), QString(" Enter a short description about what this plug-in does"));
    QVERIFY(f.window->Document().modified);
    // Every button is a plain button: Enter presses none of them.
    for (QPushButton* button : f.window->findChildren<QPushButton*>()) QVERIFY(!button->autoDefault());
  }

  void saveWithoutActionsRefuses() {
    WindowFixture f;
    Child<QAction>(f.window.get(), "saveItem")->trigger();
    QCOMPARE(Warnings(f.messages), QString("Please add action(s)"));
    QVERIFY(f.choosers.asked.empty());
  }

  void buttonsFollowRowsAndSelection() {
    WindowFixture f;
    AddRegistry(f, u"DELKEY=HKEY_USERS\\a");
    QCOMPARE(f.dialogs.registry_runs.size(), size_t(1));
    QCOMPARE(f.dialogs.registry_runs[0].group_id, 0);
    QCOMPARE(f.dialogs.registry_runs[0].action.verb, std::u16string());
    QCOMPARE(Enabled(f), QStringList({"saveButton", "testButton"}));

    f.List().SelectRow(0);
    QCOMPARE(Enabled(f), QStringList({"saveButton", "testButton", "editButton", "removeButton"}));
    emit f.window->ActionMenu()->aboutToShow();
    QVERIFY(f.window->EditMenuItem()->isEnabled());
    f.List().SelectRow(-1);
    emit f.window->ActionMenu()->aboutToShow();
    QVERIFY(!f.window->RemoveMenuItem()->isEnabled());
    QVERIFY(Child<QAction>(f.window.get(), "saveItem")->isEnabled());

    f.Button("removeButton")->setEnabled(true);  // the rule, not the button, decides
    f.List().SelectRow(0);
    f.Button("removeButton")->click();
    QCOMPARE(f.List().RowCount(), 0);
    QCOMPARE(Enabled(f), QStringList());
  }

  void tickingARowInTheViewSetsModified() {
    WindowFixture f;
    f.window->ReadFile(f.Write("p.cln", testing::kExamplePlugin));
    QVERIFY(!f.window->Document().modified);
    auto& model = f.window->ListCtrl().Model();
    const QModelIndex index = model.IndexOfRow(0);
    QVERIFY(index.isValid());
    f.window->ListCtrl().setCurrentIndex(index);
    QVERIFY(!f.window->Document().modified);  // selecting is no change
    QVERIFY(model.setData(index, Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(f.window->Document().modified);
  }

  void openStartsInTheCurrentFilesFolderAndReads() {
    WindowFixture f;
    f.choosers.answers.push_back(f.Write("a.cln", testing::kExamplePlugin));
    f.Button("openButton")->click();
    QCOMPARE(f.choosers.requests.at(0).title, QString("Load Plug-in File"));
    QCOMPARE(f.choosers.requests.at(0).filter, QString("Plug-in Files (*.cln)"));
    QCOMPARE(f.choosers.requests.at(0).default_suffix, QString("cln"));
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QCOMPARE(f.choosers.requests.at(0).folder, QDir(documents).exists() ? documents : QDir::homePath());
    QCOMPARE(f.Edit("filenameEdit")->text(), f.Path("a.cln"));
    QCOMPARE(f.Edit("descriptionEdit")->text(), QString("Removes the recent file list of the example editor"));
    QCOMPARE(f.List().RowCount(), 3);
    QVERIFY(!f.window->Document().modified);

    f.choosers.answers.push_back({});  // cancelled: nothing happens
    f.Button("openButton")->click();
    QCOMPARE(f.choosers.requests.at(1).folder, f.dir.path());
    QCOMPARE(f.List().RowCount(), 3);
  }

  void failedReadLeavesANewDocument() {
    WindowFixture f;
    QVERIFY(!f.window->ReadFile(f.Write("bad.cln", "[Settings]\r\nEncrypted=1\r\n")));
    QCOMPARE(Warnings(f.messages), QString("Cannot edit encrypted plug-ins"));
    QCOMPARE(f.Edit("filenameEdit")->text(), QString("Untitled"));
    QVERIFY(f.window->CurrentPath().isEmpty());
  }

  void saveProposesUntitledAndShowsTheSavedPath() {
    WindowFixture f;
    AddRegistry(f, u"DELKEY=HKEY_USERS\\a");
    f.Edit("descriptionEdit")->setText("typed");
    f.choosers.answers.push_back(f.Path("new.cln"));
    f.Button("saveButton")->click();
    const FileDialogRequest& request = f.choosers.requests.at(0);
    QCOMPARE(request.file_name, QString("Untitled"));
    QCOMPARE(request.filter, QString("Plug-in Files (*.cln)"));
    QCOMPARE(request.default_suffix, QString("cln"));
    QCOMPARE(f.Edit("filenameEdit")->text(), f.Path("new.cln"));
    QCOMPARE(f.window->CurrentPath(), f.Path("new.cln"));
    QVERIFY(!f.window->Document().modified);
    QVERIFY(f.Read("new.cln").find("Description=typed\r\n") != std::string::npos);

    // Saved: Test asks nothing and opens the test dialog on the file.
    testing::TestDialogDriver driver;
    f.Button("testButton")->click();
    QVERIFY(f.messages.questions.empty());
    QCOMPARE(driver.dialogs, 1);
    QVERIFY2(driver.text.contains("HKEY_USERS\\a"), qPrintable(driver.text));

    // The next Save proposes the file's own name in its folder.
    f.choosers.answers.push_back({});
    f.Button("saveButton")->click();
    QCOMPARE(f.choosers.requests.at(1).folder, f.dir.path());
    QCOMPARE(f.choosers.requests.at(1).file_name, QString("new"));
  }

  void failedSaveKeepsPathFieldFlagAndOldFile() {
    WindowFixture f;
    f.window->ReadFile(f.Write("p.cln", testing::kExamplePlugin));
    f.List().SetRowChecked(0, false);
    QDir(f.dir.path()).mkdir("folder.cln");
    f.choosers.answers.push_back(f.Path("folder.cln"));
    f.Button("saveButton")->click();
    QVERIFY(Warnings(f.messages).startsWith("Unable to save the plug-in file.\n\n"));
    QCOMPARE(f.window->CurrentPath(), f.Path("p.cln"));
    QCOMPARE(f.Edit("filenameEdit")->text(), f.Path("p.cln"));
    QVERIFY(f.window->Document().modified);
    QCOMPARE(f.Read("p.cln"), std::string(testing::kExamplePlugin));
  }

  void testOnANewDocumentAnsweredNoDoesNothing() {
    WindowFixture f;
    testing::TestDialogDriver driver;
    AddRegistry(f, u"DELKEY=HKEY_USERS\\a");
    f.Button("testButton")->click();
    QCOMPARE(f.messages.questions,
             std::vector<std::u16string>{u"Plug-in has to be saved before it can be tested.\n\nSave it?"});
    QVERIFY(f.choosers.asked.empty());
    QCOMPARE(driver.dialogs, 0);

    // Yes, then the save dialog cancelled: no file, no test.
    f.messages.answers.push_back(true);
    f.Button("testButton")->click();
    QCOMPARE(f.choosers.asked.size(), size_t(1));
    QCOMPARE(driver.dialogs, 0);
  }

  void testAfterAChangeAsksToSave() {
    WindowFixture f;
    testing::TestDialogDriver driver;
    const QString path = f.Write("p.cln", testing::kExamplePlugin);
    f.window->ReadFile(path);
    f.Button("testButton")->click();  // just read: no question
    QVERIFY(f.messages.questions.empty());
    QCOMPARE(driver.dialogs, 1);
    const QString logs_action = QStringLiteral("Example\\Logs");
    QVERIFY2(driver.text.contains(logs_action), qPrintable(driver.text));

    f.List().SetRowChecked(0, false);
    f.Button("testButton")->click();  // answered No: tests the file as saved
    QCOMPARE(f.messages.questions,
             std::vector<std::u16string>{u"Plug-in has been modified.\n\nDo you want to save it before testing?"});
    QCOMPARE(driver.dialogs, 2);
    QCOMPARE(f.Read("p.cln"), std::string(testing::kExamplePlugin));
    QVERIFY(driver.text.contains(logs_action));

    f.messages.answers.push_back(true);  // Yes: written to the current path, no dialog
    f.Button("testButton")->click();
    QVERIFY(f.choosers.asked.empty());
    QCOMPARE(driver.dialogs, 3);
    QVERIFY(f.Read("p.cln").find("0=File/Folder Actions<1>1\r\n") != std::string::npos);
    QVERIFY(!driver.text.contains(logs_action));
    QVERIFY(!f.window->Document().modified);
  }

  void dropOpensOnlyAFirstClnFile() {
    WindowFixture f;
    f.Write("a.txt", testing::kExamplePlugin);
    const QString cln = f.Write("b.cln", testing::kExamplePlugin);
    f.window->DropFiles({QUrl::fromLocalFile(f.Path("a.txt")), QUrl::fromLocalFile(cln)});
    QCOMPARE(f.List().RowCount(), 0);
    f.window->DropFiles({QUrl("https://example.org/b.cln")});
    QCOMPARE(f.List().RowCount(), 0);

    // Through real drag events on the Filename box, which leaves files to the
    // window; upper-case extension.
    const QString upper = f.Write("B.CLN", testing::kExamplePlugin);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(upper)});
    QLineEdit* target = f.Edit("filenameEdit");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    QCOMPARE(f.List().RowCount(), 3);
    QCOMPARE(f.Edit("filenameEdit")->text(), upper);
  }

  void viewInNotepadNeedsASavedFile() {
    WindowFixture f;
    Child<QAction>(f.window.get(), "viewItem")->trigger();
    QCOMPARE(Warnings(f.messages), QString("Plug-in has to be saved before it can be viewed."));
    QVERIFY(f.starter.started.empty());

    f.starter.installed["xdg-open"] = "/usr/bin/xdg-open";
    const QString path = f.Write("with space.cln", testing::kExamplePlugin);
    f.window->ReadFile(path);
    Child<QAction>(f.window.get(), "viewItem")->trigger();
    QCOMPARE(f.starter.started.size(), size_t(1));
    QCOMPARE(f.starter.started[0].program, QString("/usr/bin/xdg-open"));
    QCOMPARE(f.starter.started[0].arguments, QStringList{path});
  }

  void onlyTypingInTheFilenameBoxSetsModified() {
    WindowFixture f;
    f.window->ReadFile(f.Write("p.cln", testing::kExamplePlugin));
    QVERIFY(!f.window->Document().modified);
    f.Edit("descriptionEdit")->setFocus();
    QTest::keyClicks(f.Edit("descriptionEdit"), "more");
    QVERIFY(!f.window->Document().modified);
    QTest::keyClicks(f.Edit("filenameEdit"), "x");
    QVERIFY(f.window->Document().modified);
  }

  void editAndRemoveThroughTheDialogs() {
    WindowFixture f;
    f.dialogs.file_folder_answers.push_back(FileFolderActionChoice{Disk(u"C:\\T\\*.tmp"), 1});
    Child<QAction>(f.window.get(), "addFileFolderItem")->trigger();
    QCOMPARE(f.dialogs.file_folder_runs.at(0).group_id, 1);
    QCOMPARE(f.List().RowCount(), 1);

    f.List().SelectRow(0);
    f.window->Document().modified = false;
    f.Button("editButton")->click();  // cancelled: nothing changes
    QCOMPARE(f.dialogs.file_folder_runs.at(1).action.pattern, std::u16string(u"*.tmp"));
    QVERIFY(!f.window->Document().modified);

    f.dialogs.file_folder_answers.push_back(FileFolderActionChoice{Disk(u"C:\\T\\*.log /X:a.log"), 1});
    f.Button("editButton")->click();
    QCOMPARE(f.List().RowText(0, kPatternColumn), std::u16string(u"*.log, But exclude: a.log"));
    QVERIFY(f.window->Document().modified);
    QVERIFY(f.dialogs.registry_runs.empty());
  }

  void groupsKeepsTheShowGroupsSettingOfOk() {
    WindowFixture f;
    f.dialogs.groups_answers.push_back(true);
    Child<QAction>(f.window.get(), "groupsItem")->trigger();
    QVERIFY(f.window->Document().show_groups);
    Child<QAction>(f.window.get(), "groupsItem")->trigger();  // cancelled
    QCOMPARE(f.dialogs.groups_runs, (std::vector<bool>{false, true}));
    QVERIFY(f.window->Document().show_groups);
  }

  void escapeAndExitCloseTheWindow() {
    WindowFixture f;
    AddRegistry(f, u"DELKEY=HKEY_USERS\\a");
    QTest::keyClick(f.window.get(), Qt::Key_Return);
    QVERIFY(f.window->isVisible());
    QTest::keyClick(f.window.get(), Qt::Key_Escape);
    QVERIFY(!f.window->isVisible());
    QVERIFY(f.messages.questions.empty());  // unsaved changes are not asked about

    f.window->show();
    Child<QAction>(f.window.get(), "exitItem")->trigger();
    QVERIFY(!f.window->isVisible());
  }
};

}  // namespace kestrel

QTEST_MAIN(kestrel::TestKestrelDlg)
#include "test_kestrel_dlg.moc"
