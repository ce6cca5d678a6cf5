// The test dialog around a scripted run on its worker thread: the log as it
// arrives and as it ends, the one-shot start, Stop, closing during a run, and
// the label naming the tested prefix. Built with ThreadSanitizer too (see
// KESTREL_TSAN), where the threaded runs below are checked for data races.

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <thread>

#include "testrun/dialog/log_styling.h"
#include "testrun/dialog/test_dlg.h"

namespace kestrel {

namespace {

// Adds its lines as a run would, then (when held) waits to be stopped or
// released; a stopped run adds the stop line before completing.
struct ScriptedRun {
  QStringList lines;
  std::atomic<bool> hold{false};
  std::atomic<bool> saw_stop{false};
  std::atomic<int> calls{0};

  TestRunJob Job() {
    return [this](CTestResults& results, TestLogSink* sink, RunStop stop) {
      ++calls;
      results.Reset(sink);
      for (const QString& line : lines) results.AddLine(line.toStdU16String());
      while (hold && !stop.Requested()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      if (stop.Requested()) {
        saw_stop = true;
        results.AddLine(u"Error: Test run stopped");
      }
      results.NotifyComplete();
    };
  }
};

const QString kPath = QStringLiteral("C:\\Plug-ins\\sample.cln");

QStringList SampleLog() {
  return {QStringLiteral("Testing: ") + kPath,
          QStringLiteral("================================"),
          QStringLiteral("\r\n"),
          // Characters that break a line in the view; styling must stay in step.
          QStringLiteral("\tDeleted File: C:\\odd\rname\u2029Error\r\n\u00A0Results"),
          QStringLiteral("[Registry Action: Delete Key HKCU\\Software\\Example]"),
          QStringLiteral("\tDeleted Key: Hkey_Current_User\\Software\\Example"),
          QStringLiteral("\r\n"),
          QStringLiteral("[File/Folder Action: Empty Path C:\\Temp]"),
          QStringLiteral("\tDeleted File: C:\\Temp\\a.tmp"),
          QStringLiteral("\tError: Unable to access C:\\Temp\\Locked\\*.*"),
          QStringLiteral("================================================================"),
          QStringLiteral("\r\n"),
          QStringLiteral("[Results]"),
          QStringLiteral("Files Deleted\t: 1\r\nFolders Deleted\t: 0\r\nTotal Size in KB\t: 1 KB\r\n\r\n"
                         "Registry Values Deleted\t: 0\r\nRegistry Keys Deleted\t: 1"),
          QStringLiteral("\r\n")};
}

// The view's text as the log's lines give it: an empty first line, then every
// line on a new line, line breaks inside a line included.
QString ExpectedText(const QStringList& lines) {
  QString text;
  for (const QString& line : lines) text += u'\n' + line;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(u'\r', u'\n');
  text.replace(QChar::ParagraphSeparator, u'\n');
  text.replace(QChar::Nbsp, u' ');  // as the view's plain text gives it
  return text;
}

QTextCharFormat FormatAt(QPlainTextEdit* view, int position) {
  QTextCursor cursor(view->document());
  cursor.setPosition(position + 1);
  return cursor.charFormat();
}

}  // namespace

class TestTestDlg : public QObject {
  Q_OBJECT

 private slots:
  void ShowsTheLogThenStylesIt() {
    ScriptedRun run;
    run.lines = SampleLog();
    CTestResults results;
    CTestDlg dialog(nullptr, results, kPath, QStringLiteral("Wine prefix: /home/ann/.wine"), run.Job());
    QSignalSpy finished(&dialog, &CTestDlg::RunFinished);
    dialog.show();
    QCOMPARE(run.calls.load(), 0);  // the run starts from the timer, not from showing
    QVERIFY(finished.wait(10000));

    QCOMPARE(dialog.windowTitle(), QStringLiteral("Test"));
    QPlainTextEdit* view = dialog.LogView();
    QCOMPARE(view->toPlainText(), ExpectedText(run.lines));
    QCOMPARE(view->document()->firstBlock().text(), QString());
    QVERIFY(view->isReadOnly());
    QCOMPARE(view->textCursor().position(), 0);
    QCOMPARE(view->verticalScrollBar()->value(), 0);
    QCOMPARE(dialog.focusWidget(), view);
    QCOMPARE(dialog.WorldLabel()->text(), QStringLiteral("Wine prefix: /home/ann/.wine"));
    QVERIFY(!dialog.StopButton()->isEnabled());
    QVERIFY(!dialog.IsRunning());

    const QString text = view->toPlainText();
    const int odd_error = static_cast<int>(text.indexOf(QStringLiteral("\nError\n")) + 1);
    QCOMPARE(FormatAt(view, odd_error).foreground().color(), ErrorColorFor(view->palette().color(QPalette::Text)));
    const int odd_results = static_cast<int>(text.indexOf(QStringLiteral("\n Results")) + 2);
    QCOMPARE(FormatAt(view, odd_results).fontWeight(), int(QFont::Bold));
    const int error = static_cast<int>(text.indexOf(QStringLiteral("\tError")) + 1);
    QCOMPARE(FormatAt(view, error).fontWeight(), int(QFont::Bold));
    QCOMPARE(FormatAt(view, error).foreground().color(), ErrorColorFor(view->palette().color(QPalette::Text)));
    const int path = static_cast<int>(text.indexOf(kPath));
    QCOMPARE(FormatAt(view, path).fontWeight(), int(QFont::Bold));
    const int item = static_cast<int>(text.indexOf(QStringLiteral("Deleted File")));
    QVERIFY(FormatAt(view, item).fontWeight() < QFont::Bold);
  }

  void StartsOnceHoweverOftenShown() {
    ScriptedRun run;
    run.lines = {QStringLiteral("one")};
    CTestResults results;
    CTestDlg dialog(nullptr, results, kPath, QString(), run.Job());
    QSignalSpy finished(&dialog, &CTestDlg::RunFinished);
    dialog.show();
    dialog.hide();
    dialog.show();
    QVERIFY(finished.wait(10000));
    dialog.hide();
    dialog.show();
    QTest::qWait(3 * CTestDlg::kStartDelayMs);
    QCOMPARE(run.calls.load(), 1);
    QCOMPARE(finished.size(), 1);
  }

  // Lines show while the run still works; Stop ends it and the log closes as usual.
  void ShowsLinesDuringTheRunAndStops() {
    ScriptedRun run;
    run.lines = SampleLog().mid(0, 9);
    run.hold = true;
    CTestResults results;
    CTestDlg dialog(nullptr, results, kPath, QString(), run.Job());
    QSignalSpy finished(&dialog, &CTestDlg::RunFinished);
    dialog.show();

    QTRY_COMPARE_WITH_TIMEOUT(dialog.LogView()->toPlainText(), ExpectedText(run.lines), 10000);
    QVERIFY(dialog.IsRunning());
    QVERIFY(dialog.StopButton()->isEnabled());
    QVERIFY(dialog.findChild<QProgressBar*>()->isVisible());
    QVERIFY(dialog.ProgressLabel()->text().contains(QStringLiteral("3 items found")));
    QCOMPARE(finished.size(), 0);

    QTest::mouseClick(dialog.StopButton(), Qt::LeftButton);
    QVERIFY(finished.wait(10000));
    QVERIFY(run.saw_stop);
    QCOMPARE(dialog.LogView()->document()->lastBlock().text(), QStringLiteral("Error: Test run stopped"));
    QVERIFY(!dialog.findChild<QProgressBar*>()->isVisible());
    QVERIFY(!dialog.StopButton()->isEnabled());
  }

  void ClosingDuringTheRunStopsItFirst() {
    ScriptedRun run;
    run.lines = {QStringLiteral("Testing: ") + kPath};
    run.hold = true;
    CTestResults results;
    auto* dialog = new CTestDlg(nullptr, results, kPath, QString(), run.Job());
    dialog->show();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->LogView()->toPlainText().isEmpty(), 10000);
    QVERIFY(dialog->IsRunning());
    dialog->reject();
    QVERIFY(!dialog->IsRunning());
    QVERIFY(run.saw_stop);
    QCOMPARE(results.GetSize(), size_t{2});
    delete dialog;
  }

  // Many lines from the worker thread arrive complete and in order.
  void ManyLinesInOrder() {
    ScriptedRun run;
    for (int i = 0; i < 20000; ++i) run.lines << QStringLiteral("\tDeleted File: C:\\f%1").arg(i);
    CTestResults results;
    CTestDlg dialog(nullptr, results, kPath, QString(), run.Job());
    QSignalSpy finished(&dialog, &CTestDlg::RunFinished);
    dialog.show();
    QVERIFY(finished.wait(60000));
    QCOMPARE(dialog.LogView()->toPlainText(), ExpectedText(run.lines));
    QVERIFY(dialog.ProgressLabel()->text().contains(QLocale().toString(20000)));
  }

  void LongPrefixDoesNotWidenTheDialog() {
    CTestResults results;
    const QString label = QStringLiteral("Wine prefix: /") + QString(3000, u'x');
    CTestDlg dialog(nullptr, results, kPath, label, {});
    QVERIFY(dialog.minimumSizeHint().width() < 1000);
    QCOMPARE(dialog.WorldLabel()->toolTip(), label);
  }
};

}  // namespace kestrel

QTEST_MAIN(kestrel::TestTestDlg)
#include "test_test_dlg.moc"
