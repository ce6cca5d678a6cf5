// The file/folder action dialog, run offscreen: opening states, enabled
// states, browse results and drops on each path field, the checks on OK with
// their focus moves, OK and Cancel results.

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "controls/hint.h"
#include "controls/qt_text.h"
#include "editor/add_disk_action_dlg.h"
#include "platform/text.h"
#include "support/dialog_fixture.h"
#include "support/temp_prefix.h"

namespace kestrel {

using testing::Child;
using testing::DialogFixture;
using testing::EnabledOf;
using testing::Entries;
using testing::TempPrefix;

namespace {

const QStringList kControls = {"pathEdit",      "removeFolderCheck", "emptyFolderRadio", "matchingFilesRadio",
                               "patternEdit",   "excludeCheck",      "exclusionEdit",    "subfoldersCheck",
                               "cleanSubfoldersCheck", "iniRadio",   "iniFileEdit",      "sectionEdit",
                               "keyEdit",       "groupChoice",       "okButton",         "cancelButton"};

DISKACTION Parsed(const QString& text) {
  DISKACTION action;
  if (!ParseDiskAction(FromQString(text), action)) qFatal("not a file/folder action");
  return action;
}

QString Composed(DISKACTION action) { return ToQString(ComposeDiskAction(action)); }

QString SelectedKind(QWidget* dialog) {
  for (const char* name : {"emptyFolderRadio", "matchingFilesRadio", "iniRadio"})
    if (Child<QRadioButton>(dialog, name)->isChecked()) return QString::fromLatin1(name);
  return QStringLiteral("none");
}

QStringList Ticked(QWidget* dialog) {
  QStringList out;
  for (const char* name : {"removeFolderCheck", "excludeCheck", "subfoldersCheck", "cleanSubfoldersCheck"})
    if (Child<QCheckBox>(dialog, name)->isChecked()) out << QString::fromLatin1(name);
  return out;
}

QString TextOf(QWidget* dialog, const char* name) { return Child<QLineEdit>(dialog, name)->text(); }

// A dialog on a temporary prefix, so that dropped and browsed paths below
// drive_c come out as C:\ paths.
struct DiskFixture : DialogFixture {
  DiskFixture() { services.wine_prefix = prefix.Root(); }
  QString C(const char* relative) const { return prefix.AddFile(std::string("drive_c/") + relative); }
  QString CFolder(const char* relative) const { return prefix.AddFolder(std::string("drive_c/") + relative); }
  TempPrefix prefix;
};

}  // namespace

class TestAddDiskActionDlg : public QObject {
  Q_OBJECT

 private slots:
  void newActionOpensOnMatchingFiles() {
    DialogFixture f;
    CAddDiskActionDlg dialog(f.services);
    dialog.SetActionsList(&f.list);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QString("File/Folder Action"));
    QCOMPARE(SelectedKind(&dialog), QString("matchingFilesRadio"));
    QCOMPARE(Ticked(&dialog), QStringList());
    for (const char* name : {"pathEdit", "patternEdit", "exclusionEdit", "iniFileEdit", "sectionEdit", "keyEdit"})
      QCOMPARE(TextOf(&dialog, name), QString());
    auto* groups = Child<QComboBox>(&dialog, "groupChoice");
    QCOMPARE(Entries(groups), QStringList({"File/Folder Actions", "Logs"}));
    QCOMPARE(groups->currentText(), QString("File/Folder Actions"));
    QCOMPARE(EnabledOf(&dialog, kControls),
             QStringList({"pathEdit", "removeFolderCheck", "emptyFolderRadio", "matchingFilesRadio", "patternEdit",
                          "excludeCheck", "subfoldersCheck", "cleanSubfoldersCheck", "iniRadio", "groupChoice",
                          "cancelButton"}));

    QCOMPARE(Child<CFileEditCtrl>(&dialog, "pathEdit")->Mode(), 0x4u);
    QCOMPARE(Child<CFileEditCtrl>(&dialog, "patternEdit")->Mode(), 0x3u);
    QCOMPARE(Child<CFileEditCtrl>(&dialog, "exclusionEdit")->Mode(), 0x3u);
    QCOMPARE(Child<CFileEditCtrl>(&dialog, "iniFileEdit")->Mode(), 0x1u);
    const QStringList hints = {HintOf(Child<QLineEdit>(&dialog, "pathEdit")),
                               HintOf(Child<QLineEdit>(&dialog, "patternEdit")),
                               HintOf(Child<QLineEdit>(&dialog, "exclusionEdit")),
                               HintOf(Child<QLineEdit>(&dialog, "iniFileEdit")),
                               HintOf(Child<QLineEdit>(&dialog, "sectionEdit")),
                               HintOf(Child<QLineEdit>(&dialog, "keyEdit"))};
    QCOMPARE(hints, QStringList({" Enter path to folder. You can also drag and drop a folder from explorer",
                                 " You can use wildcards(?,*)", " You can use wildcards(?,*)", " Ini filename",
                                 " Ini section to delete", " Key to delete (optional)"}));
  }

  void editedActionsOpenWithTheirKind_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<QStringList>("texts");  // path, pattern, exclusion, INI file name, section, key
    QTest::addColumn<QStringList>("disabled");
    QTest::newRow("empty folder") << "C:\\Temp\\Cache /E /R" << "emptyFolderRadio"
                                  << QStringList({"removeFolderCheck"})
                                  << QStringList({"C:\\Temp\\Cache", "", "", "", "", ""})
                                  << QStringList({"patternEdit", "excludeCheck", "exclusionEdit", "subfoldersCheck",
                                                  "cleanSubfoldersCheck", "iniFileEdit", "sectionEdit", "keyEdit"});
    QTest::newRow("matching files") << "%APPDATA%\\Example\\Logs\\*.log|*.tmp /X:keep.log /S /C"
                                    << "matchingFilesRadio"
                                    << QStringList({"excludeCheck", "subfoldersCheck", "cleanSubfoldersCheck"})
                                    << QStringList({"%APPDATA%\\Example\\Logs", "*.log|*.tmp", "keep.log", "", "", ""})
                                    << QStringList({"iniFileEdit", "sectionEdit", "keyEdit"});
    QTest::newRow("INI key") << "INIFILE=%APPDATA%\\Example\\settings.ini|Recent|File1" << "iniRadio"
                             << QStringList()
                             << QStringList({"%APPDATA%\\Example", "", "", "settings.ini", "Recent", "File1"})
                             << QStringList({"removeFolderCheck", "patternEdit", "excludeCheck", "exclusionEdit",
                                             "subfoldersCheck", "cleanSubfoldersCheck"});
  }

  void editedActionsOpenWithTheirKind() {
    QFETCH(QString, action);
    QFETCH(QString, kind);
    QFETCH(QStringList, ticked);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, disabled);
    DialogFixture f;
    CAddDiskActionDlg dialog(f.services);
    dialog.SetAction(Parsed(action));
    dialog.SetGroupId(3);
    dialog.SetActionsList(&f.list);
    dialog.show();
    QCOMPARE(SelectedKind(&dialog), kind);
    QCOMPARE(Ticked(&dialog), ticked);
    QCOMPARE(QStringList({TextOf(&dialog, "pathEdit"), TextOf(&dialog, "patternEdit"),
                          TextOf(&dialog, "exclusionEdit"), TextOf(&dialog, "iniFileEdit"),
                          TextOf(&dialog, "sectionEdit"), TextOf(&dialog, "keyEdit")}),
             texts);
    QStringList expected_disabled;
    for (const QString& name : kControls)
      if (!EnabledOf(&dialog, {name}).size()) expected_disabled << name;
    QCOMPARE(expected_disabled, disabled);
    QCOMPARE(Child<QComboBox>(&dialog, "groupChoice")->currentText(), QString("Logs"));
  }

  void enabledStatesFollowKindAndExclusionBox() {
    DialogFixture f;
    CAddDiskActionDlg dialog(f.services);
    dialog.show();
    QVERIFY(!Child<QPushButton>(&dialog, "okButton")->isEnabled());
    Child<QLineEdit>(&dialog, "pathEdit")->setText("C:\\Temp");
    QVERIFY(Child<QPushButton>(&dialog, "okButton")->isEnabled());
    auto* exclude = Child<QCheckBox>(&dialog, "excludeCheck");
    QTest::mouseClick(exclude, Qt::LeftButton);
    QVERIFY(exclude->isChecked());
    QVERIFY(Child<QLineEdit>(&dialog, "exclusionEdit")->isEnabled());
    Child<QRadioButton>(&dialog, "emptyFolderRadio")->click();
    QCOMPARE(EnabledOf(&dialog, {"removeFolderCheck", "excludeCheck", "exclusionEdit", "patternEdit"}),
             QStringList({"removeFolderCheck"}));
    // Ticking the exclusion box is impossible now.
    QTest::mouseClick(exclude, Qt::LeftButton);
    QVERIFY(exclude->isChecked());
    QVERIFY(!Child<QLineEdit>(&dialog, "exclusionEdit")->isEnabled());
    Child<QRadioButton>(&dialog, "iniRadio")->click();
    QCOMPARE(EnabledOf(&dialog, {"removeFolderCheck", "iniFileEdit", "sectionEdit", "keyEdit"}),
             QStringList({"iniFileEdit", "sectionEdit", "keyEdit"}));
    Child<QLineEdit>(&dialog, "pathEdit")->clear();
    QVERIFY(!Child<QPushButton>(&dialog, "okButton")->isEnabled());
  }

  void okGivesTheEditedAction_data() {
    QTest::addColumn<QString>("action");  // empty: a new action
    QTest::addColumn<QString>("kind");    // radio to click; empty: as opened
    QTest::addColumn<QStringList>("edits");  // name=text pairs typed into the edits
    QTest::addColumn<QStringList>("toggle");  // check boxes clicked
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("group_id");
    QTest::newRow("trailing backslashes and blank") << "" << "" << QStringList({"pathEdit=C:\\Temp\\\\ ", "patternEdit= *.tmp "})
                                     << QStringList() << "" << "C:\\Temp\\*.tmp" << 1;
    QTest::newRow("matching files with options")
        << "" << "" << QStringList({"pathEdit=C:\\T", "patternEdit=*.log", "exclusionEdit=keep.log"})
        << QStringList({"subfoldersCheck", "cleanSubfoldersCheck", "removeFolderCheck", "excludeCheck"}) << "Logs"
        << "C:\\T\\*.log /X:keep.log /S /R /C" << 3;
    QTest::newRow("empty folder") << "" << "emptyFolderRadio" << QStringList({"pathEdit=C:\\Data\\"})
                                  << QStringList({"removeFolderCheck"}) << "" << "C:\\Data /E /R" << 1;
    QTest::newRow("INI section") << "" << "iniRadio"
                                 << QStringList({"pathEdit=C:\\App", "iniFileEdit=\\settings.ini", "sectionEdit=General"})
                                 << QStringList() << "" << "INIFILE=C:\\App\\settings.ini|General" << 1;
    QTest::newRow("INI name keeps its last component")
        << "" << "iniRadio"
        << QStringList({"pathEdit=C:\\App", "iniFileEdit= sub\\app.ini", "sectionEdit= Options ", "keyEdit=Last"})
        << QStringList() << "" << "INIFILE=C:\\App\\app.ini|Options|Last" << 1;
    QTest::newRow("unticked exclusions are dropped") << "C:\\Temp\\*.tmp /X:keep.tmp" << "" << QStringList()
                                                     << QStringList({"excludeCheck"}) << "" << "C:\\Temp\\*.tmp" << 3;
    QTest::newRow("empty folder edited into matching files")
        << "C:\\Temp\\Cache /E /R" << "matchingFilesRadio" << QStringList({"patternEdit=*.bak"}) << QStringList()
        << "" << "C:\\Temp\\Cache\\*.bak /R" << 3;
    QTest::newRow("INI action edited into empty folder")
        << "INIFILE=C:\\App\\app.ini|Options" << "emptyFolderRadio" << QStringList() << QStringList() << ""
        << "C:\\App /E" << 3;    // Longer than a line edit holds by default: opened and kept whole.
    const QString long_folder = "C:\\" + QString(40000, 'f');
    QTest::newRow("long texts are not cut") << long_folder + "\\*.tmp /X:" + QString(40000, 'x') << ""
                                            << QStringList() << QStringList() << ""
                                            << long_folder + "\\*.tmp /X:" + QString(40000, 'x') << 3;
  }

  void okGivesTheEditedAction() {
    QFETCH(QString, action);
    QFETCH(QString, kind);
    QFETCH(QStringList, edits);
    QFETCH(QStringList, toggle);
    QFETCH(QString, group);
    QFETCH(QString, expected);
    QFETCH(int, group_id);
    DialogFixture f;
    CAddDiskActionDlg dialog(f.services);
    if (!action.isEmpty()) {
      dialog.SetAction(Parsed(action));
      dialog.SetGroupId(3);
    }
    dialog.SetActionsList(&f.list);
    dialog.show();
    if (!kind.isEmpty()) Child<QRadioButton>(&dialog, kind.toLatin1().constData())->click();
    for (const QString& name : toggle) Child<QCheckBox>(&dialog, name.toLatin1().constData())->click();
    for (const QString& pair : edits) {
      const qsizetype equals = pair.indexOf('=');
      Child<QLineEdit>(&dialog, pair.left(equals).toLatin1().constData())->setText(pair.mid(equals + 1));
    }
    if (!group.isEmpty()) Child<QComboBox>(&dialog, "groupChoice")->setCurrentText(group);
    Child<QPushButton>(&dialog, "okButton")->click();
    QVERIFY(f.messages.warnings.empty());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(Composed(dialog.Action()), expected);
    QCOMPARE(dialog.GroupId(), group_id);
  }

  void refusalsMoveTheFocusAndKeepTheInput_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("blank path") << "matchingFilesRadio" << QStringList({"pathEdit=  ", "patternEdit=*.tmp"})
                                << "Path cannot be empty" << "pathEdit";
    QTest::newRow("only backslashes") << "emptyFolderRadio" << QStringList({"pathEdit=\\\\ \\"})
                                      << "Path cannot be empty" << "pathEdit";
    QTest::newRow("path first") << "matchingFilesRadio" << QStringList({"pathEdit= ", "patternEdit= "})
                                << "Path cannot be empty" << "pathEdit";
    QTest::newRow("blank pattern") << "matchingFilesRadio" << QStringList({"pathEdit=C:\\T", "patternEdit=  "})
                                   << "Pattern cannot be empty" << "patternEdit";
    QTest::newRow("blank section") << "iniRadio"
                                   << QStringList({"pathEdit=C:\\App", "iniFileEdit=a.ini", "sectionEdit=  "})
                                   << "Ini filename or section cannot be empty" << "sectionEdit";
    QTest::newRow("name of backslashes") << "iniRadio"
                                         << QStringList({"pathEdit=C:\\App", "iniFileEdit=\\\\", "sectionEdit=S"})
                                         << "Ini filename or section cannot be empty" << "sectionEdit";
  }

  void refusalsMoveTheFocusAndKeepTheInput() {
    QFETCH(QString, kind);
    QFETCH(QStringList, edits);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    DialogFixture f;
    CAddDiskActionDlg dialog(f.services);
    const DISKACTION original = Parsed("C:\\Old\\*.old /S");
    dialog.SetAction(original);
    dialog.show();
    Child<QRadioButton>(&dialog, kind.toLatin1().constData())->click();
    for (const QString& pair : edits) {
      const qsizetype equals = pair.indexOf('=');
      Child<QLineEdit>(&dialog, pair.left(equals).toLatin1().constData())->setText(pair.mid(equals + 1));
    }
    Child<QPushButton>(&dialog, "okButton")->click();
    QCOMPARE(f.messages.warnings, std::vector<std::u16string>({FromQString(message)}));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), 0);
    QCOMPARE(dialog.focusWidget(), Child<QWidget>(&dialog, focus.toLatin1().constData()));
    for (const QString& pair : edits) {
      const qsizetype equals = pair.indexOf('=');
      QCOMPARE(TextOf(&dialog, pair.left(equals).toLatin1().constData()), pair.mid(equals + 1));
    }
    QCOMPARE(Composed(dialog.Action()), Composed(original));
  }

  void dropsAndBrowseResultsFillPathAndNames() {
    DiskFixture f;
    CAddDiskActionDlg dialog(f.services);
    dialog.show();
    auto* path = Child<CFileEditCtrl>(&dialog, "pathEdit");
    auto* pattern = Child<CFileEditCtrl>(&dialog, "patternEdit");
    auto* exclusion = Child<CFileEditCtrl>(&dialog, "exclusionEdit");
    auto* ini_file = Child<CFileEditCtrl>(&dialog, "iniFileEdit");

    path->DropPaths({f.CFolder("Data")});
    QCOMPARE(path->text(), QString("C:\\Data\\"));
    pattern->DropPaths({f.C("Logs/app.log")});
    QCOMPARE(pattern->text(), QString("app.log"));
    QCOMPARE(path->text(), QString("C:\\Logs"));
    exclusion->DropPaths({f.C("Other/keep.log")});
    QCOMPARE(exclusion->text(), QString("keep.log"));
    QCOMPARE(path->text(), QString("C:\\Logs"));
    pattern->DropPaths({f.C("Temp/a.txt"), f.C("Temp/b.txt")});
    QCOMPARE(pattern->text(), QString("a.txt|b.txt"));
    QCOMPARE(path->text(), QString("C:\\Temp"));
    // An item from another folder cannot be named in this one.
    pattern->DropPaths({f.C("Temp/a.txt"), f.C("Logs/app.log"), f.C("Temp/b.txt")});
    QCOMPARE(pattern->text(), QString("a.txt|b.txt"));
    QCOMPARE(path->text(), QString("C:\\Temp"));

    f.choosers.answers = {QString(), f.C("Program Data/tool.ini"), f.CFolder("Temp")};
    pattern->StartBrowse();  // cancelled
    QCOMPARE(pattern->text(), QString("a.txt|b.txt"));
    QCOMPARE(path->text(), QString("C:\\Temp"));
    Child<QRadioButton>(&dialog, "iniRadio")->click();
    ini_file->StartBrowse();
    QCOMPARE(ini_file->text(), QString("tool.ini"));
    QCOMPARE(path->text(), QString("C:\\Program Data"));
    path->StartBrowse();  // the path edit places its folder itself
    QCOMPARE(path->text(), QString("C:\\Temp\\"));
  }

  void droppedFolderIsStoredWithoutBackslash() {
    DiskFixture f;
    CAddDiskActionDlg dialog(f.services);
    dialog.show();
    Child<QRadioButton>(&dialog, "emptyFolderRadio")->click();
    Child<CFileEditCtrl>(&dialog, "pathEdit")->DropPaths({f.CFolder("Data")});
    Child<QPushButton>(&dialog, "okButton")->click();
    QCOMPARE(Composed(dialog.Action()), QString("C:\\Data /E"));
  }

  void cancelReturnsNothing() {
    DialogFixture f;
    CAddDiskActionDlg dialog(f.services);
    const DISKACTION original = Parsed("C:\\Temp\\*.tmp /X:keep.tmp /S");
    dialog.SetAction(original);
    dialog.SetGroupId(3);
    dialog.SetActionsList(&f.list);
    dialog.show();
    Child<QLineEdit>(&dialog, "pathEdit")->setText("D:\\Else");
    Child<QLineEdit>(&dialog, "patternEdit")->setText("*.x");
    Child<QCheckBox>(&dialog, "subfoldersCheck")->click();
    Child<QComboBox>(&dialog, "groupChoice")->setCurrentIndex(0);
    Child<QPushButton>(&dialog, "cancelButton")->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(Composed(dialog.Action()), Composed(original));
    QCOMPARE(dialog.GroupId(), 3);
  }
};

}  // namespace kestrel

QTEST_MAIN(kestrel::TestAddDiskActionDlg)
#include "test_add_disk_action_dlg.moc"
