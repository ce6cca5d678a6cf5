// The registry action dialog, run offscreen: opening states, the split of a
// pasted key path, enabled states, the checks on OK, OK and Cancel results,
// and the registry editor button.

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "controls/hint.h"
#include "controls/qt_text.h"
#include "editor/add_reg_action_dlg.h"
#include "platform/text.h"
#include "support/dialog_fixture.h"

namespace kestrel {

using testing::Child;
using testing::DialogFixture;
using testing::EnabledOf;
using testing::Entries;

namespace {

const QStringList kControls = {"rootChoice",           "registryEditorButton", "keyEdit",
                               "deleteKeyRadio",       "keepEmptyKeyCheck",    "deleteValueRadio",
                               "valueNameEdit",        "deleteValueListRadio", "valuesPrefixEdit",
                               "deleteSubkeyListRadio", "subkeysPrefixEdit",    "groupChoice",
                               "okButton",             "cancelButton"};

REGACTION Parsed(const char* text) {
  REGACTION action;
  if (!ParseRegAction(U(text), action)) qFatal("not a registry action: %s", text);
  return action;
}

QString Describe(const REGACTION& a) {
  return QStringLiteral("%1 root=%2 key=%3 value=%4")
      .arg(ToQString(a.verb), ToQString(a.root_name), ToQString(a.key_path), ToQString(a.value_name));
}

// The radio button selected, by its name; "none" when none is.
QString SelectedKind(QWidget* dialog) {
  for (const char* name : {"deleteKeyRadio", "deleteValueRadio", "deleteValueListRadio", "deleteSubkeyListRadio"})
    if (Child<QRadioButton>(dialog, name)->isChecked()) return QString::fromLatin1(name);
  return QStringLiteral("none");
}

}  // namespace

class TestAddRegActionDlg : public QObject {
  Q_OBJECT

 private slots:
  void newActionOpensEmptyWithMostControlsDisabled() {
    DialogFixture f;
    CAddRegActionDlg dialog(f.services);
    dialog.SetActionsList(&f.list);
    dialog.show();

    auto* roots = Child<QComboBox>(&dialog, "rootChoice");
    QCOMPARE(Entries(roots),
             QStringList({"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_CLASSES_ROOT", "HKEY_USERS"}));
    QCOMPARE(roots->currentText(), QString("HKEY_CURRENT_USER"));
    QCOMPARE(Child<QLineEdit>(&dialog, "keyEdit")->text(), QString());
    QCOMPARE(SelectedKind(&dialog), QString("none"));
    auto* groups = Child<QComboBox>(&dialog, "groupChoice");
    QCOMPARE(Entries(groups), QStringList({"Registry Actions", "Browsers", "Recent files"}));
    QCOMPARE(groups->currentText(), QString("Registry Actions"));
    QCOMPARE(EnabledOf(&dialog, kControls),
             QStringList({"rootChoice", "registryEditorButton", "keyEdit", "groupChoice", "cancelButton"}));
    QCOMPARE(dialog.windowTitle(), QString("Registry Action"));

    QCOMPARE(HintOf(Child<QLineEdit>(&dialog, "keyEdit")),
             QString(" You can launch Regedit, select the key, click Edit menu > Copy Key and paste here"));
    QCOMPARE(HintOf(Child<QLineEdit>(&dialog, "valueNameEdit")), QString(" Enter value name"));
    QCOMPARE(HintOf(Child<QLineEdit>(&dialog, "valuesPrefixEdit")), QString(" Enter value prefix"));
    QCOMPARE(HintOf(Child<QLineEdit>(&dialog, "subkeysPrefixEdit")), QString(" Enter subkey prefix"));
  }

  void hintShowsOnlyWithoutFocus() {
    DialogFixture f;
    CAddRegActionDlg dialog(f.services);
    dialog.show();
    auto* key = Child<QLineEdit>(&dialog, "keyEdit");
    const QString hint = HintOf(key);
    QCOMPARE(key->placeholderText(), hint);
    QFocusEvent in(QEvent::FocusIn);
    QCoreApplication::sendEvent(key, &in);
    QCOMPARE(key->placeholderText(), QString());
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(key, &out);
    QCOMPARE(key->placeholderText(), hint);
  }

  void pastedKeyPathSplits_data() {
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("key");
    QTest::newRow("full path") << "HKEY_CURRENT_USER\\Software\\Test" << "HKEY_CURRENT_USER" << "Software\\Test";
    QTest::newRow("lower case") << "hkey_users\\.DEFAULT" << "HKEY_USERS" << ".DEFAULT";
    QTest::newRow("machine") << "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor" << "HKEY_LOCAL_MACHINE" << "SOFTWARE\\Vendor";
    QTest::newRow("root alone") << "HKEY_CLASSES_ROOT" << "HKEY_CURRENT_USER" << "HKEY_CLASSES_ROOT";
    QTest::newRow("root and backslash") << "HKEY_CLASSES_ROOT\\" << "HKEY_CLASSES_ROOT" << "";
    QTest::newRow("runs again") << "HKEY_CURRENT_USER\\HKEY_USERS\\x" << "HKEY_USERS" << "x";
    QTest::newRow("root inside") << "Software\\HKEY_USERS\\x" << "HKEY_CURRENT_USER" << "Software\\HKEY_USERS\\x";
    QTest::newRow("short form") << "HKCU\\Software" << "HKEY_CURRENT_USER" << "HKCU\\Software";
  }

  void pastedKeyPathSplits() {
    QFETCH(QString, pasted);
    QFETCH(QString, root);
    QFETCH(QString, key);
    DialogFixture f;
    CAddRegActionDlg dialog(f.services);
    dialog.show();
    auto* key_edit = Child<QLineEdit>(&dialog, "keyEdit");
    key_edit->insert(pasted);  // what pasting does
    QCOMPARE(Child<QComboBox>(&dialog, "rootChoice")->currentText(), root);
    QCOMPARE(key_edit->text(), key);
  }

  void typingTheBackslashMovesTheRoot() {
    DialogFixture f;
    CAddRegActionDlg dialog(f.services);
    dialog.show();
    auto* key_edit = Child<QLineEdit>(&dialog, "keyEdit");
    QTest::keyClicks(key_edit, "HKEY_CLASSES_ROOT");
    QCOMPARE(key_edit->text(), QString("HKEY_CLASSES_ROOT"));
    QCOMPARE(Child<QComboBox>(&dialog, "rootChoice")->currentText(), QString("HKEY_CURRENT_USER"));
    QTest::keyClicks(key_edit, "\\");
    QCOMPARE(key_edit->text(), QString());
    QCOMPARE(Child<QComboBox>(&dialog, "rootChoice")->currentText(), QString("HKEY_CLASSES_ROOT"));
  }

  void editedActionsOpenWithTheirKind_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("keep_empty");
    QTest::addColumn<QStringList>("edit_texts");  // value name, values prefix, subkeys prefix
    QTest::addColumn<QStringList>("enabled");
    const QStringList common = {"rootChoice",       "registryEditorButton", "keyEdit",
                                "deleteKeyRadio",   "deleteValueRadio",     "deleteValueListRadio",
                                "deleteSubkeyListRadio", "groupChoice",     "okButton",
                                "cancelButton"};
    auto with = [&](const QString& extra) {
      QStringList names = common;
      names << extra;
      QStringList ordered;
      for (const QString& name : kControls)
        if (names.contains(name)) ordered << name;
      return ordered;
    };
    QTest::newRow("EMPTYKEY") << "EMPTYKEY=HKEY_LOCAL_MACHINE\\Software\\Example" << "HKEY_LOCAL_MACHINE"
                              << "deleteKeyRadio" << true << QStringList({"", "", ""}) << with("keepEmptyKeyCheck");
    QTest::newRow("DELKEY") << "DELKEY=HKEY_USERS\\.DEFAULT\\Example" << "HKEY_USERS" << "deleteKeyRadio" << false
                            << QStringList({"", "", ""}) << with("keepEmptyKeyCheck");
    QTest::newRow("DELVAL") << "DELVAL=HKEY_CURRENT_USER\\Software\\Example,Last" << "HKEY_CURRENT_USER"
                            << "deleteValueRadio" << false << QStringList({"Last", "", ""}) << with("valueNameEdit");
    QTest::newRow("DELLIST") << "DELLIST=HKEY_CLASSES_ROOT\\Example,Mru" << "HKEY_CLASSES_ROOT"
                             << "deleteValueListRadio" << false << QStringList({"", "Mru", ""})
                             << with("valuesPrefixEdit");
    QTest::newRow("DELKLIST") << "DELKLIST=HKEY_CURRENT_USER\\Software\\Example,Old" << "HKEY_CURRENT_USER"
                              << "deleteSubkeyListRadio" << false << QStringList({"", "", "Old"})
                              << with("subkeysPrefixEdit");
    QTest::newRow("unknown root") << "DELKEY=HKEY_NOWHERE\\Example" << "HKEY_CURRENT_USER" << "deleteKeyRadio"
                                  << false << QStringList({"", "", ""}) << with("keepEmptyKeyCheck");
  }

  void editedActionsOpenWithTheirKind() {
    QFETCH(QString, action);
    QFETCH(QString, root);
    QFETCH(QString, kind);
    QFETCH(bool, keep_empty);
    QFETCH(QStringList, edit_texts);
    QFETCH(QStringList, enabled);
    DialogFixture f;
    CAddRegActionDlg dialog(f.services);
    dialog.SetAction(Parsed(action.toUtf8().constData()));
    dialog.SetGroupId(4);
    dialog.SetActionsList(&f.list);
    dialog.show();
    QCOMPARE(Child<QComboBox>(&dialog, "rootChoice")->currentText(), root);
    QCOMPARE(SelectedKind(&dialog), kind);
    QCOMPARE(Child<QCheckBox>(&dialog, "keepEmptyKeyCheck")->isChecked(), keep_empty);
    QCOMPARE(QStringList({Child<QLineEdit>(&dialog, "valueNameEdit")->text(),
                          Child<QLineEdit>(&dialog, "valuesPrefixEdit")->text(),
                          Child<QLineEdit>(&dialog, "subkeysPrefixEdit")->text()}),
             edit_texts);
    QCOMPARE(EnabledOf(&dialog, kControls), enabled);
    QCOMPARE(Child<QComboBox>(&dialog, "groupChoice")->currentText(), QString("Recent files"));
  }

  void enabledStatesFollowKeyAndKind() {
    DialogFixture f;
    CAddRegActionDlg dialog(f.services);
    dialog.show();
    auto* key = Child<QLineEdit>(&dialog, "keyEdit");
    auto* ok = Child<QPushButton>(&dialog, "okButton");
    QTest::keyClicks(key, "Software");
    QVERIFY(Child<QRadioButton>(&dialog, "deleteValueListRadio")->isEnabled());
    QVERIFY(!ok->isEnabled());  // no kind chosen yet
    Child<QRadioButton>(&dialog, "deleteValueListRadio")->click();
    QCOMPARE(EnabledOf(&dialog, {"okButton", "valuesPrefixEdit", "valueNameEdit", "keepEmptyKeyCheck"}),
             QStringList({"okButton", "valuesPrefixEdit"}));
    Child<QRadioButton>(&dialog, "deleteKeyRadio")->click();
    QCOMPARE(EnabledOf(&dialog, {"okButton", "valuesPrefixEdit", "valueNameEdit", "keepEmptyKeyCheck"}),
             QStringList({"okButton", "keepEmptyKeyCheck"}));
    key->clear();
    QCOMPARE(EnabledOf(&dialog, kControls),
             QStringList({"rootChoice", "registryEditorButton", "keyEdit", "groupChoice", "cancelButton"}));
  }

  void okGivesTheEditedAction_data() {
    QTest::addColumn<QString>("action");  // empty: a new action
    QTest::addColumn<QString>("key");     // typed into the key edit; empty: left alone
    QTest::addColumn<QString>("kind");    // radio button to click; empty: left alone
    QTest::addColumn<int>("keep_empty");  // -1 left alone, else the box's state
    QTest::addColumn<QString>("value");   // typed into the enabled value or prefix edit
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("group_id");
    QTest::newRow("new DELVAL") << "" << "Software\\Test" << "deleteValueRadio" << -1 << "Foo" << ""
                                << "DELVAL root=HKEY_CURRENT_USER key=Software\\Test value=Foo" << 0;
    QTest::newRow("value name may be empty") << "" << "Software\\Test" << "deleteValueRadio" << -1 << "" << ""
                                             << "DELVAL root=HKEY_CURRENT_USER key=Software\\Test value=" << 0;
    QTest::newRow("blanks trimmed") << "" << "  Software\\Test  " << "deleteValueListRadio" << -1 << "  Mru "
                                    << "Browsers" << "DELLIST root=HKEY_CURRENT_USER key=Software\\Test value=Mru"
                                    << 2;
    QTest::newRow("untick keep empty") << "EMPTYKEY=HKEY_LOCAL_MACHINE\\Software\\Example" << "" << "" << 0 << ""
                                       << "" << "DELKEY root=HKEY_LOCAL_MACHINE key=Software\\Example value=" << 4;
    QTest::newRow("tick keep empty") << "DELKEY=HKEY_LOCAL_MACHINE\\Software\\Example" << "" << "" << 1 << ""
                                     << "" << "EMPTYKEY root=HKEY_LOCAL_MACHINE key=Software\\Example value="
                                     << 4;
    QTest::newRow("delete key keeps the old value name")
        << "DELVAL=HKEY_CURRENT_USER\\Software\\Example,Last" << "" << "deleteKeyRadio" << -1 << "" << ""
        << "DELKEY root=HKEY_CURRENT_USER key=Software\\Example value=Last" << 4;
    QTest::newRow("unknown root becomes the chosen one")
        << "DELKEY=HKEY_NOWHERE\\Example" << "" << "" << -1 << "" << ""
        << "DELKEY root=HKEY_CURRENT_USER key=Example value=" << 4;
    QTest::newRow("subkey list") << "" << "HKEY_USERS\\S-1\\Software" << "deleteSubkeyListRadio" << -1 << "Tmp"
                                 << "Recent files" << "DELKLIST root=HKEY_USERS key=S-1\\Software value=Tmp" << 4;
    // Longer than a line edit holds by default: opened and kept whole.
    const QString long_key = QString(40000, 'k');
    QTest::newRow("long texts are not cut") << "DELVAL=HKEY_USERS\\" + long_key + "," + QString(40000, 'v') << ""
                                            << "" << -1 << "" << ""
                                            << "DELVAL root=HKEY_USERS key=" + long_key + " value=" + QString(40000, 'v')
                                            << 4;
  }

  void okGivesTheEditedAction() {
    QFETCH(QString, action);
    QFETCH(QString, key);
    QFETCH(QString, kind);
    QFETCH(int, keep_empty);
    QFETCH(QString, value);
    QFETCH(QString, group);
    QFETCH(QString, expected);
    QFETCH(int, group_id);
    DialogFixture f;
    CAddRegActionDlg dialog(f.services);
    if (!action.isEmpty()) {
      dialog.SetAction(Parsed(action.toUtf8().constData()));
      dialog.SetGroupId(4);
    }
    dialog.SetActionsList(&f.list);
    dialog.show();
    if (!key.isEmpty()) Child<QLineEdit>(&dialog, "keyEdit")->setText(key);
    if (!kind.isEmpty()) Child<QRadioButton>(&dialog, kind.toLatin1().constData())->click();
    if (keep_empty >= 0) Child<QCheckBox>(&dialog, "keepEmptyKeyCheck")->setChecked(keep_empty == 1);
    if (!value.isEmpty()) {
      for (const char* name : {"valueNameEdit", "valuesPrefixEdit", "subkeysPrefixEdit"}) {
        auto* edit = Child<QLineEdit>(&dialog, name);
        if (edit->isEnabled()) edit->setText(value);
      }
    }
    if (!group.isEmpty()) Child<QComboBox>(&dialog, "groupChoice")->setCurrentText(group);
    Child<QPushButton>(&dialog, "okButton")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(f.messages.warnings.empty());
    QCOMPARE(Describe(dialog.Action()), expected);
    QCOMPARE(dialog.GroupId(), group_id);
    // What the caller composes from it parses back to the same action.
    REGACTION action_copy = dialog.Action();
    REGACTION again;
    QVERIFY(ParseRegAction(ComposeRegAction(action_copy), again));
  }

  void refusalsKeepTheDialogAndTheInput_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("blank key") << "   " << "deleteKeyRadio" << "Key cannot be empty";
    QTest::newRow("blank key first") << " " << "deleteValueListRadio" << "Key cannot be empty";
    QTest::newRow("blank values prefix") << "Software" << "deleteValueListRadio"
                                         << "\"Values start with\" field cannot be empty";
    QTest::newRow("blank subkeys prefix") << "Software" << "deleteSubkeyListRadio"
                                          << "\"Subkeys start with\" field cannot be empty";
  }

  void refusalsKeepTheDialogAndTheInput() {
    QFETCH(QString, key);
    QFETCH(QString, kind);
    QFETCH(QString, message);
    DialogFixture f;
    CAddRegActionDlg dialog(f.services);
    const REGACTION original = Parsed("DELVAL=HKEY_CURRENT_USER\\Software\\Example,Last");
    dialog.SetAction(original);
    dialog.SetActionsList(&f.list);
    dialog.show();
    auto* key_edit = Child<QLineEdit>(&dialog, "keyEdit");
    key_edit->setText(key);
    Child<QRadioButton>(&dialog, kind.toLatin1().constData())->click();
    for (const char* name : {"valuesPrefixEdit", "subkeysPrefixEdit"}) Child<QLineEdit>(&dialog, name)->setText("  ");
    Child<QPushButton>(&dialog, "okButton")->click();
    QCOMPARE(f.messages.warnings, std::vector<std::u16string>({FromQString(message)}));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), 0);
    QCOMPARE(key_edit->text(), key);
    QCOMPARE(Child<QLineEdit>(&dialog, "valuesPrefixEdit")->text(), QString("  "));
    QCOMPARE(Describe(dialog.Action()), Describe(original));
  }

  void cancelReturnsNothing() {
    DialogFixture f;
    CAddRegActionDlg dialog(f.services);
    const REGACTION original = Parsed("DELLIST=HKEY_CURRENT_USER\\Software\\Example,Mru");
    dialog.SetAction(original);
    dialog.SetGroupId(2);
    dialog.SetActionsList(&f.list);
    dialog.show();
    Child<QComboBox>(&dialog, "rootChoice")->setCurrentIndex(3);
    Child<QLineEdit>(&dialog, "keyEdit")->setText("Other");
    Child<QRadioButton>(&dialog, "deleteValueRadio")->click();
    Child<QLineEdit>(&dialog, "valueNameEdit")->setText("x");
    Child<QComboBox>(&dialog, "groupChoice")->setCurrentText("Recent files");
    Child<QPushButton>(&dialog, "cancelButton")->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(Describe(dialog.Action()), Describe(original));
    QCOMPARE(dialog.GroupId(), 2);
  }

  void registryEditorStartsWineForThePrefix() {
    DialogFixture f;
    CAddRegActionDlg dialog(f.services);
    dialog.show();
    auto* button = Child<QPushButton>(&dialog, "registryEditorButton");
    QVERIFY(button->isEnabled());
    button->click();
    QCOMPARE(f.starter.started.size(), size_t(1));
    QCOMPARE(f.starter.started[0].program, QString("/usr/bin/wine"));
    QCOMPARE(f.starter.started[0].arguments, QStringList({"regedit"}));
    QCOMPARE(f.starter.started[0].environment, QStringList({"WINEPREFIX=/home/joe/.wine"}));
    QVERIFY(dialog.isVisible());
  }

  void withoutPrefixWineChoosesItsOwn() {
    DialogFixture f;
    f.services.wine_prefix.clear();
    CAddRegActionDlg dialog(f.services);
    dialog.show();
    Child<QPushButton>(&dialog, "registryEditorButton")->click();
    QCOMPARE(f.starter.started.size(), size_t(1));
    QCOMPARE(f.starter.started[0].environment, QStringList());
  }

  void registryEditorNeedsWine() {
    DialogFixture f;
    f.starter.installed.clear();
    CAddRegActionDlg dialog(f.services);
    dialog.show();
    auto* button = Child<QPushButton>(&dialog, "registryEditorButton");
    QVERIFY(!button->isEnabled());
    QVERIFY(button->toolTip().contains("Wine is not installed"));
    button->click();
    QVERIFY(f.starter.started.empty());
  }

  void enterPressesOk() {
    DialogFixture f;
    CAddRegActionDlg dialog(f.services);
    dialog.SetAction(Parsed("DELKEY=HKEY_CURRENT_USER\\Software\\Example"));
    dialog.show();
    auto* key_edit = Child<QLineEdit>(&dialog, "keyEdit");
    QTest::keyClick(key_edit, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
  }
};

}  // namespace kestrel

QTEST_MAIN(kestrel::TestAddRegActionDlg)
#include "test_add_reg_action_dlg.moc"
