// The Test command: the questions before a test, saving through the Save
// command or the writer, and a run of the file on disk against a prefix.

#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <chrono>
#include <thread>
#include <fstream>
#include <string>

#include "editor/test_command.h"
#include "platform/text.h"
#include "support/prefix_builder.h"
#include "support/scripted_messages.h"
#include "support/temp_dir.h"
#include "support/test_dialog_driver.h"
#include "testrun/dialog/test_run_job.h"

namespace kestrel {

namespace {

using testing::PrefixBuilder;

std::string Plugin(const std::string& registry_action) {
  return "[Settings]\r\nDescription=test\r\n[REG_OPTION]\r\n0=Registry Actions<1>0\r\n"
         "[REGISTRY]\r\n0=" + registry_action + "\r\n[DISK_OPTION]\r\n0=File/Folder Actions<1>0\r\n"
         "[DISK]\r\n0=C:\\Temp\\*.tmp\r\n";
}

// The main window's side of the command, with a document that is "saved" by
// writing fixed plug-in texts.
struct FakeWindow {
  testing::TempDir dir;
  testing::ScriptedMessages messages;
  CTestResults results;
  std::u16string current_path;
  bool modified = false;
  std::string saved_text;    // what Save writes (empty: the author cancels)
  std::string written_text;  // what the writer writes to the current path
  int saves = 0;
  int writes = 0;

  TestCommandHost Host(std::optional<std::filesystem::path> prefix) {
    return TestCommandHost{
        nullptr, messages, results, [this] { return current_path; }, [this] { return modified; },
        [this] {
          ++saves;
          if (saved_text.empty()) return;
          current_path = FromUtf8(dir.Write("saved plug-in.cln", saved_text).string());
          modified = false;
        },
        [this] {
          ++writes;
          dir.Write("saved plug-in.cln", written_text);
          modified = false;
        },
        std::move(prefix)};
  }
};

class Fixture {
 public:
  Fixture() {
    prefix.AddKey(PrefixBuilder::kUser, u"Software\\Old");
    prefix.AddKey(PrefixBuilder::kUser, u"Software\\New");
    prefix.AddFile("Temp/a.tmp", "aaaa");
    prefix.AddFile("Temp/keep.txt", "k");
  }
  PrefixBuilder prefix;
};

}  // namespace

class TestTestCommand : public QObject {
  Q_OBJECT

 private slots:
  void NeverSavedAnsweredNo() {
    FakeWindow window;
    testing::TestDialogDriver driver;
    QVERIFY(!RunTestCommand(window.Host(std::nullopt)));
    QCOMPARE(window.messages.questions, std::vector<std::u16string>{kSaveBeforeTestQuestion});
    QCOMPARE(window.saves, 0);
    QCOMPARE(driver.dialogs, 0);
  }

  void SaveCancelledEndsSilently() {
    FakeWindow window;
    window.messages.answers = {true};
    testing::TestDialogDriver driver;
    QVERIFY(!RunTestCommand(window.Host(std::nullopt)));
    QCOMPARE(window.saves, 1);
    QCOMPARE(window.messages.questions.size(), size_t{1});
    QVERIFY(window.messages.warnings.empty());
    QCOMPARE(driver.dialogs, 0);
  }

  void SavesThenTestsTheFileInThePrefix() {
    Fixture fixture;
    FakeWindow window;
    window.saved_text = Plugin("DELKEY=HKEY_CURRENT_USER\\Software\\Old");
    window.messages.answers = {true};
    testing::TestDialogDriver driver;
    QVERIFY(RunTestCommand(window.Host(fixture.prefix.Root())));
    QCOMPARE(window.messages.questions.size(), size_t{1});
    QCOMPARE(driver.dialogs, 1);

    const QString path = QString::fromStdU16String(window.current_path);
    QVERIFY(driver.text.startsWith(QStringLiteral("\nTesting: ") + path + u'\n'));
    QVERIFY(driver.text.contains(QStringLiteral("\n\tDeleted Key: Hkey_Current_User\\Software\\Old\n")));
    QVERIFY(driver.text.contains(QStringLiteral("\n\tDeleted File: C:\\Temp\\a.tmp\n")));
    QVERIFY(!driver.text.contains(QStringLiteral("keep.txt")));
    QVERIFY(driver.text.contains(QStringLiteral("Files Deleted\t: 1\nFolders Deleted\t: 0\n")));
    QVERIFY(driver.text.contains(QStringLiteral("Registry Values Deleted\t: 0\nRegistry Keys Deleted\t: 1")));
    QCOMPARE(driver.world, QStringLiteral("Tested in the Wine prefix ") +
                               QString::fromStdString(fixture.prefix.Root().string()));
    // The run's lines stay with the window.
    QCOMPARE(QString::fromStdU16String(window.results.GetAt(0)), QStringLiteral("Testing: ") + path);
  }

  // A changed document: No tests the file as saved; Yes writes it first.
  void ModifiedDocument_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("tested_key");
    QTest::newRow("no") << false << QStringLiteral("Old");
    QTest::newRow("yes") << true << QStringLiteral("New");
  }

  void ModifiedDocument() {
    QFETCH(bool, save);
    QFETCH(QString, tested_key);
    Fixture fixture;
    FakeWindow window;
    window.current_path =
        FromUtf8(window.dir.Write("saved plug-in.cln", Plugin("DELKEY=HKEY_CURRENT_USER\\Software\\Old")).string());
    window.modified = true;
    window.written_text = Plugin("DELKEY=HKEY_CURRENT_USER\\Software\\New");
    window.messages.answers = {save};
    testing::TestDialogDriver driver;
    QVERIFY(RunTestCommand(window.Host(fixture.prefix.Root())));
    QCOMPARE(window.messages.questions, std::vector<std::u16string>{kModifiedBeforeTestQuestion});
    QCOMPARE(window.writes, save ? 1 : 0);
    QCOMPARE(driver.dialogs, 1);
    QVERIFY(driver.text.contains(QStringLiteral("\tDeleted Key: Hkey_Current_User\\Software\\") + tested_key));
    QCOMPARE(driver.text.count(QStringLiteral("\tDeleted Key: ")), 1);
  }

  void SavedDocumentIsTestedWithoutAQuestion() {
    FakeWindow window;
    window.current_path = FromUtf8(window.dir.Write("p.cln", Plugin("DELKEY=HKEY_CURRENT_USER\\Software\\Old")).string());
    testing::TestDialogDriver driver;
    QVERIFY(RunTestCommand(window.Host(std::nullopt)));
    QVERIFY(window.messages.questions.empty());
    QCOMPARE(driver.dialogs, 1);
    // No prefix: nothing exists, and the label says so.
    QVERIFY(!driver.text.contains(QStringLiteral("\tDeleted")));
    QCOMPARE(driver.world, DescribeTestWorld(std::nullopt));
  }

  // A file that vanished since it was saved counts as never saved.
  void VanishedFileAsksToSave() {
    FakeWindow window;
    window.current_path = FromUtf8((window.dir.path() / "gone.cln").string());
    window.modified = false;
    testing::TestDialogDriver driver;
    QVERIFY(!RunTestCommand(window.Host(std::nullopt)));
    QCOMPARE(window.messages.questions, std::vector<std::u16string>{kSaveBeforeTestQuestion});
  }

  // Stop during a real run: the run ends at the next item with the stop line,
  // and the frame and totals still close the log.
  void StopEndsTheRealRun() {
    Fixture fixture;
    testing::TempDir dir;
    const std::filesystem::path path = dir.Write("p.cln", Plugin("DELKEY=HKEY_CURRENT_USER\\Software\\Old"));
    // Holds the run after its first line until Stop is pressed, so the stop
    // lands before the first action whatever the machine's speed.
    TestRunJob real = MakeTestRunJob(path, fixture.prefix.Root());
    TestRunJob held = [real](CTestResults& results, TestLogSink* sink, RunStop stop) {
      struct Gate : TestLogSink {
        TestLogSink* next = nullptr;
        RunStop stop;
        bool held = false;
        void Notify(TestLogEvent event, size_t index) override {
          next->Notify(event, index);
          if (held || event != TestLogEvent::kLine) return;
          held = true;
          while (!stop.Requested()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
      } gate;
      gate.next = sink;
      gate.stop = stop;
      real(results, &gate, stop);
    };
    CTestResults results;
    CTestDlg dialog(nullptr, results, LoggedPluginPath(path), DescribeTestWorld(fixture.prefix.Root()), held);
    QSignalSpy finished(&dialog, &CTestDlg::RunFinished);
    dialog.show();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.LogView()->toPlainText().isEmpty(), 10000);
    QTest::mouseClick(dialog.StopButton(), Qt::LeftButton);
    QVERIFY(finished.wait(10000));

    const std::vector<std::u16string> expected = {
        u"Testing: " + FromUtf8(path.string()),
        std::u16string(32, u'='),
        u"Error: Test run stopped",
        std::u16string(64, u'='),
        u"\r\n",
        u"[Results]",
        u"Files Deleted\t: 0\r\nFolders Deleted\t: 0\r\nTotal Size in KB\t: ",
    };
    const auto& lines = results.Lines();
    QCOMPARE(lines.size(), size_t{8});
    for (size_t i = 0; i + 1 < expected.size(); ++i) QCOMPARE(lines[i], expected[i]);
    QVERIFY(lines[6].starts_with(expected[6]));
    QVERIFY(lines[6].ends_with(u"Registry Values Deleted\t: 0\r\nRegistry Keys Deleted\t: 0"));
    QVERIFY(dialog.LogView()->toPlainText().contains(QStringLiteral("\nError: Test run stopped\n=====")));
  }

  void WorldLabels() {
    testing::TempDir dir;
    QCOMPARE(DescribeTestWorld(std::nullopt),
             QStringLiteral("No Wine prefix found: tested against an empty registry and no drives"));
    QCOMPARE(DescribeTestWorld(dir.path() / "missing"),
             QStringLiteral("Wine prefix %1 not found: tested against an empty registry and no drives")
                 .arg(QString::fromStdString((dir.path() / "missing").string())));
    QCOMPARE(DescribeTestWorld(dir.path()),
             QStringLiteral("Tested in the Wine prefix ") + QString::fromStdString(dir.path().string()));
  }
};

}  // namespace kestrel

QTEST_MAIN(kestrel::TestTestCommand)
#include "test_test_command.moc"
