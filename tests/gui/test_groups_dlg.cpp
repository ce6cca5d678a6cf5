// The Groups dialog, offscreen: opening, Add with in-place naming (accepted,
// refused, cancelled), renaming, the ids of new groups, Remove and its
// refusal, the Remove button rule, and what OK and Cancel keep.

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "document/grouped_list.h"
#include "editor/groups_dlg.h"
#include "support/scripted_messages.h"

namespace kestrel {

namespace {

struct Fixture {
  explicit Fixture(std::initializer_list<std::pair<int, const char16_t*>> groups = {{0, u"Registry Actions"},
                                                                                   {1, u"File/Folder Actions"}}) {
    list.EnableGroupView(true);
    for (const auto& [id, title] : groups) {
      list.AddGroup(id, list.GroupCount(), title);
      list.SetGroupChecked(id, 1);
    }
    dialog.SetGroupedList(&list);
    dialog.show();
  }

  QListWidget* Of(int which) { return which == 0 ? dialog.RegistryList() : dialog.FileFolderList(); }
  QPushButton* Button(const char* name) { return dialog.findChild<QPushButton*>(QString::fromLatin1(name)); }

  // Presses Add, types `text` into the in-place editor and ends the edit
  // with `key` (Return accepts, Escape cancels).
  void Add(int which, const QString& text, Qt::Key key = Qt::Key_Return) {
    Button(which == 0 ? "registryAdd" : "fileFolderAdd")->click();
    Type(which, text, key);
  }
  void Type(int which, const QString& text, Qt::Key key = Qt::Key_Return) {
    auto* editor = Of(which)->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->setText(text);
    QTest::keyClick(editor, key);
    Settle();
  }
  // The view closes the editor from a queued call, the dialog handles the
  // end of the edit from another.
  static void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // closed editors go
  }
  QStringList Rows(int which) {
    QStringList out;
    for (int r = 0; r < Of(which)->count(); ++r) {
      const QListWidgetItem* item = Of(which)->item(r);
      out << QStringLiteral("%1=%2%3")
                 .arg(item->text())
                 .arg(item->data(Qt::UserRole).toString())
                 .arg(item->checkState() == Qt::Checked ? "" : " off");
    }
    return out;
  }
  QStringList Groups() {
    QStringList out;
    for (int p = 0; p < list.GroupCount(); ++p) {
      const int id = list.GroupIdAt(p);
      out << QStringLiteral("%1:%2").arg(id).arg(QString::fromStdU16String(list.GroupTitle(id)));
    }
    return out;
  }

  CGroupedList list;
  testing::ScriptedMessages messages;
  CGroupsDlg dialog{messages};
};

}  // namespace

class TestGroupsDlg : public QObject {
  Q_OBJECT

 private slots:
  void opensWithOneRowPerGroupAndRowZeroFixed() {
    Fixture f({{0, u"Registry Actions"}, {1, u"File/Folder Actions"}, {2, u"Extra"}});
    f.list.SetGroupChecked(2, 0);
    f.dialog.close();
    CGroupsDlg dialog(f.messages);
    dialog.SetGroupedList(&f.list);
    dialog.SetShowGroups(true);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QString("Groups"));
    QVERIFY(dialog.findChild<QCheckBox*>("showGroups")->isChecked());
    QCOMPARE(dialog.RegistryList()->count(), 2);
    QCOMPARE(dialog.RegistryList()->item(1)->checkState(), Qt::Unchecked);
    QCOMPARE(dialog.FileFolderList()->count(), 1);

    auto* remove = dialog.findChild<QPushButton*>("registryRemove");
    QVERIFY(!remove->isEnabled());
    dialog.RegistryList()->setCurrentRow(0);
    QVERIFY(!remove->isEnabled());
    dialog.RegistryList()->setCurrentRow(1);
    QVERIFY(remove->isEnabled());
  }

  void addNamesANewCheckedGroupAtTheEnd() {
    Fixture f({{0, u"Registry Actions"}, {1, u"File/Folder Actions"}, {5, u"Five"}});
    f.Add(1, " Logs ");
    QCOMPARE(f.Rows(1), QStringList({"File/Folder Actions=1", "Five=5", " Logs =7"}));
    QCOMPARE(f.Groups(), QStringList({"0:Registry Actions", "1:File/Folder Actions", "5:Five", "7: Logs "}));
    QCOMPARE(f.list.GroupChecked(7), 1);
    QVERIFY(f.messages.warnings.empty());

    // The same word without blanks, or in other letters' case, is a duplicate
    // in its own list only.
    f.Add(1, "logs");
    QCOMPARE(f.messages.warnings, std::vector<std::u16string>{u"String already exists in the list"});
    QCOMPARE(f.Of(1)->count(), 3);
    f.Add(0, "LOGS");
    QCOMPARE(f.Rows(0), QStringList({"Registry Actions=0", "LOGS=2"}));
    QCOMPARE(f.list.GroupCount(), 5);
  }

  void cancelledOrBlankNamesLeaveNoRow() {
    Fixture f;
    f.Add(0, "Never", Qt::Key_Escape);
    f.Add(0, "   ");
    QCOMPARE(f.Rows(0), QStringList({"Registry Actions=0"}));
    QCOMPARE(f.list.GroupCount(), 2);
    QVERIFY(f.messages.warnings.empty());
  }

  void namesWithAngleBracketsAreRefused() {
    // The file could not hold them: "<" and ">" frame a group line's flag.
    Fixture f({{0, u"Registry Actions"}, {1, u"File/Folder Actions"}, {2, u"Old"}});
    f.Add(0, "a<b");
    f.Of(0)->editItem(f.Of(0)->item(1));
    f.Type(0, "x>y");
    QCOMPARE(f.messages.warnings, (std::vector<std::u16string>{u"A group name cannot contain \"<\" or \">\".",
                                                              u"A group name cannot contain \"<\" or \">\"."}));
    QCOMPARE(f.Rows(0), QStringList({"Registry Actions=0", "Old=2"}));
    QCOMPARE(f.Groups(), QStringList({"0:Registry Actions", "1:File/Folder Actions", "2:Old"}));
  }

  void renamingARowRenamesItsGroup() {
    Fixture f({{0, u"Registry Actions"}, {1, u"File/Folder Actions"}, {2, u"Old"}});
    f.Of(0)->editItem(f.Of(0)->item(1));
    f.Type(0, "OLD name");
    QCOMPARE(f.Rows(0), QStringList({"Registry Actions=0", "OLD name=2"}));
    QCOMPARE(f.Groups(), QStringList({"0:Registry Actions", "1:File/Folder Actions", "2:OLD name"}));
    // Only a change of case of its own name is no duplicate.
    f.Of(0)->editItem(f.Of(0)->item(1));
    f.Type(0, "old NAME");
    QCOMPARE(f.list.GroupTitle(2), std::u16string(u"old NAME"));
    f.Of(0)->editItem(f.Of(0)->item(1));
    f.Type(0, "registry actions");
    QCOMPARE(f.list.GroupTitle(2), std::u16string(u"old NAME"));
    QCOMPARE(f.messages.warnings.size(), size_t(1));
    f.Of(0)->editItem(f.Of(0)->item(1));
    f.Type(0, "  ");
    QCOMPARE(f.Rows(0), QStringList({"Registry Actions=0", "old NAME=2"}));
  }

  void newFileFolderGroupsAlwaysGetAnOddUnusedId() {
    // No file/folder group at all: the list is empty when Add is used.
    Fixture f({{0, u"Registry Actions"}, {3, u"Three"}});
    f.list.RemoveGroup(3);
    f.dialog.close();
    CGroupsDlg dialog(f.messages);
    dialog.SetGroupedList(&f.list);
    dialog.show();
    f.list.AppendRow(ListRow{0, 1, 0, {}, false});  // rows still carry id 1
    dialog.findChild<QPushButton*>("fileFolderAdd")->click();
    auto* editor = dialog.FileFolderList()->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->setText("Files");
    QTest::keyClick(editor, Qt::Key_Return);
    Fixture::Settle();
    // Not 2 (the id above plus 2 is even), not 1 (rows use it); 3 went with its group.
    QCOMPARE(dialog.FileFolderList()->item(0)->data(Qt::UserRole).toInt(), 3);
    QCOMPARE(f.list.GroupTitle(3), std::u16string(u"Files"));
  }

  void removeRefusesGroupsWithActions() {
    Fixture f({{0, u"Registry Actions"}, {1, u"File/Folder Actions"}, {2, u"Busy"}, {4, u"Empty"}});
    f.list.AppendRow(ListRow{0, 2, 1, {}, false});
    f.Of(0)->setCurrentRow(1);
    f.Button("registryRemove")->click();
    QCOMPARE(f.messages.warnings,
             std::vector<std::u16string>{u"Cannot remove a group which has actions associated with it.\n\nEdit/remove "
                                         u"all actions within the group first, and then delete the empty group."});
    QCOMPARE(f.Of(0)->count(), 3);
    QVERIFY(f.list.HasGroup(2));

    // An empty group goes at once; Cancel does not bring it back.
    f.Of(0)->setCurrentRow(2);
    f.Button("registryRemove")->click();
    QCOMPARE(f.Rows(0), QStringList({"Registry Actions=0", "Busy=2"}));
    f.Button("cancelButton")->click();
    QCOMPARE(f.dialog.result(), int(QDialog::Rejected));
    QVERIFY(!f.list.HasGroup(4));
    QCOMPARE(f.list.GroupRecords().count(4), size_t(1));  // its record stays
  }

  void checkBoxesAndShowGroupsReachTheListOnlyThroughOk() {
    Fixture f;
    f.Of(1)->item(0)->setCheckState(Qt::Unchecked);
    f.dialog.findChild<QCheckBox*>("showGroups")->setChecked(true);
    f.Button("cancelButton")->click();
    QCOMPARE(f.list.GroupChecked(1), 1);
    QVERIFY(!f.dialog.ShowGroups());

    Fixture g;
    g.Add(0, "Added");
    g.Of(0)->item(1)->setCheckState(Qt::Unchecked);
    g.Of(1)->item(0)->setCheckState(Qt::Unchecked);
    g.dialog.findChild<QCheckBox*>("showGroups")->setChecked(true);
    QCOMPARE(g.list.GroupChecked(2), 1);
    g.Button("okButton")->click();
    QCOMPARE(g.dialog.result(), int(QDialog::Accepted));
    QCOMPARE(g.list.GroupChecked(1), 0);
    QCOMPARE(g.list.GroupChecked(2), 0);
    QCOMPARE(g.list.GroupChecked(0), 1);
    QVERIFY(g.dialog.ShowGroups());
  }
};

}  // namespace kestrel

QTEST_MAIN(kestrel::TestGroupsDlg)
#include "test_groups_dlg.moc"
