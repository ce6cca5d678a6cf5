// The editor end to end, offscreen, as an author uses it: the main window and
// its real action dialogs add a registry action and a file/folder action, the
// plug-in is saved into a temporary folder and tested against a small Wine
// prefix through the test dialog; then rows are ticked off and the plug-in is
// tested again after the question, and the log follows the saved file.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>
#include <functional>

#include "controls/list_ctrl_category_groups.h"
#include "editor/editor_dialogs.h"
#include "editor/editor_services.h"
#include "editor/kestrel_dlg.h"
#include "editor/test_command.h"
#include "platform/prefix_system_info.h"
#include "support/recording_starter.h"
#include "support/sample_plugin.h"
#include "support/scripted_choosers.h"
#include "support/scripted_messages.h"
#include "support/test_dialog_driver.h"
#include "testrun/dialog/log_styling.h"

namespace kestrel {

namespace {

using testing::PrefixBuilder;

struct SamplePrefix {
  SamplePrefix() { testing::AddSampleContent(prefix); }
  PrefixBuilder prefix;
};

struct Editor : SamplePrefix {
  Editor() : services{messages, choosers, starter, prefix.Root()}, dialogs(services), window(services, dialogs) {
    window.show();
  }

  QTemporaryDir dir;
  testing::ScriptedMessages messages;
  testing::ScriptedChoosers choosers;
  testing::RecordingStarter starter;
  EditorServices services;
  QtEditorDialogs dialogs;
  CKestrelDlg window;
};

template <typename T>
T* Child(QWidget* parent, const char* name) {
  T* child = parent->findChild<T*>(QString::fromLatin1(name));
  if (!child) qFatal("no child named %s", name);
  return child;
}

// Fills in the next modal dialog titled `title` once it shows.
void OnNextDialog(const QString& title, std::function<void(QWidget*)> fill) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, title, fill] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog || dialog->windowTitle() != title) return;
    timer->stop();
    timer->deleteLater();
    fill(dialog);
  });
  timer->start();
}

bool BoldAt(const QTextDocument& document, const QString& text, const QString& part) {
  const qsizetype at = text.indexOf(part);
  if (at < 0) return false;
  QTextCursor cursor(const_cast<QTextDocument*>(&document));
  cursor.setPosition(static_cast<int>(at + part.size()));
  return cursor.charFormat().fontWeight() >= QFont::Bold;
}

QColor ColourAt(const QTextDocument& document, const QString& text, const QString& part) {
  QTextCursor cursor(const_cast<QTextDocument*>(&document));
  cursor.setPosition(static_cast<int>(text.indexOf(part) + part.size()));
  return cursor.charFormat().foreground().color();
}

}  // namespace

class TestEndToEnd : public QObject {
  Q_OBJECT

 private slots:
  void AddSaveTestUntickTestAgain() {
    Editor editor;
    const QString roaming = QStringLiteral("C:\\users\\%1\\AppData\\Roaming\\Example Editor\\")
                                .arg(QString::fromStdU16String(LoginName()));

    OnNextDialog(QStringLiteral("Registry Action"), [](QWidget* dialog) {
      Child<QComboBox>(dialog, "rootChoice")->setCurrentText(QStringLiteral("HKEY_CURRENT_USER"));
      Child<QLineEdit>(dialog, "keyEdit")->setText(QStringLiteral("Software\\Example Editor\\Recent"));
      Child<QRadioButton>(dialog, "deleteValueRadio")->click();
      Child<QLineEdit>(dialog, "valueNameEdit")->setText(QStringLiteral("LastFile"));
      Child<QPushButton>(dialog, "okButton")->click();
    });
    Child<QPushButton>(&editor.window, "addRegistryButton")->click();
    OnNextDialog(QStringLiteral("File/Folder Action"), [](QWidget* dialog) {
      Child<QLineEdit>(dialog, "pathEdit")->setText(QStringLiteral("%APPDATA%\\Example Editor\\Logs"));
      Child<QRadioButton>(dialog, "matchingFilesRadio")->click();
      Child<QLineEdit>(dialog, "patternEdit")->setText(QStringLiteral("*.log"));
      Child<QCheckBox>(dialog, "subfoldersCheck")->setChecked(true);
      Child<QPushButton>(dialog, "okButton")->click();
    });
    Child<QPushButton>(&editor.window, "addFileFolderButton")->click();
    QCOMPARE(editor.window.ListCtrl().List().RowCount(), 2);

    // Test on the unsaved plug-in: save it, then run.
    testing::TestDialogDriver driver;
    const QString path = editor.dir.filePath(QStringLiteral("end to end.cln"));
    editor.messages.answers = {true};
    editor.choosers.answers.push_back(path);
    Child<QPushButton>(&editor.window, "testButton")->click();
    QCOMPARE(editor.messages.questions, std::vector<std::u16string>{kSaveBeforeTestQuestion});
    QCOMPARE(driver.dialogs, 1);
    const QString& log = driver.text;
    QVERIFY2(log.startsWith(QStringLiteral("\nTesting: ") + path + u'\n'), qPrintable(log));
    QVERIFY2(log.contains(QStringLiteral("\n\tDeleted Value: Hkey_Current_User\\Software\\Example Editor\\Recent,LastFile\n")),
             qPrintable(log));
    QVERIFY(log.contains(QStringLiteral("\n\tDeleted File: ") + roaming + QStringLiteral("Logs\\editor.log\n")));
    QVERIFY(log.contains(QStringLiteral("\n\tDeleted File: ") + roaming + QStringLiteral("Logs\\2024\\march.log\n")));
    QVERIFY(!log.contains(QStringLiteral("settings.ini")));
    QVERIFY(log.contains(QStringLiteral("\n[Results]\nFiles Deleted\t: 2\nFolders Deleted\t: 0\n")));
    QVERIFY(log.contains(QStringLiteral("\nRegistry Values Deleted\t: 1\nRegistry Keys Deleted\t: 0\n")));
    QCOMPARE(driver.world, QStringLiteral("Tested in the Wine prefix ") +
                               QString::fromStdString(editor.prefix.Root().string()));
    // Formatting: the heading, the path and the action descriptions in bold,
    // the reported items plain.
    QVERIFY(BoldAt(*driver.document, log, QStringLiteral("Testing")));
    QVERIFY(BoldAt(*driver.document, log, path));
    QVERIFY(BoldAt(*driver.document, log, QStringLiteral("[Registry Action: Delete Value")));
    QVERIFY(BoldAt(*driver.document, log, QStringLiteral("[Results")));
    QVERIFY(!BoldAt(*driver.document, log, QStringLiteral("\tDeleted File")));
    // The window keeps the run's lines and totals.
    QCOMPARE(editor.window.TestResults().files_deleted, uint64_t{2});
    QCOMPARE(editor.window.TestResults().registry_values_deleted, 1);

    // The registry row ticked off and saved on the question: the log follows.
    auto& model = editor.window.ListCtrl().Model();
    QVERIFY(model.setData(model.IndexOfRow(0), Qt::Unchecked, Qt::CheckStateRole));
    editor.messages.answers = {true};
    Child<QPushButton>(&editor.window, "testButton")->click();
    QCOMPARE(editor.messages.questions.back(), std::u16string(kModifiedBeforeTestQuestion));
    QCOMPARE(driver.dialogs, 2);
    QVERIFY(!driver.text.contains(QStringLiteral("[Registry Action")));
    QVERIFY(driver.text.contains(QStringLiteral("\nRegistry Values Deleted\t: 0\n")));
    QVERIFY(driver.text.contains(QStringLiteral("\nFiles Deleted\t: 2\n")));

    // The file row ticked off too, answered No: the file on disk is tested.
    QVERIFY(model.setData(model.IndexOfRow(1), Qt::Unchecked, Qt::CheckStateRole));
    const QString before = driver.text;
    editor.messages.answers = {false};
    Child<QPushButton>(&editor.window, "testButton")->click();
    QCOMPARE(driver.dialogs, 3);
    QCOMPARE(driver.text, before);

    // Then Yes: nothing is enabled any more, and the error shows in bold red.
    editor.messages.answers = {true};
    Child<QPushButton>(&editor.window, "testButton")->click();
    QCOMPARE(driver.dialogs, 4);
    QVERIFY(driver.text.contains(QStringLiteral("\nError: No actions enabled/run\n")));
    QVERIFY(BoldAt(*driver.document, driver.text, QStringLiteral("\nError")));
    QCOMPARE(ColourAt(*driver.document, driver.text, QStringLiteral("\nError")),
             ErrorColorFor(QApplication::palette().color(QPalette::Text)));
  }
};

}  // namespace kestrel

QTEST_MAIN(kestrel::TestEndToEnd)
#include "test_end_to_end.moc"
