#pragma once
// Takes over the test dialog that a command opens modally: waits until its run
// is complete, keeps what it showed, and closes it. Watches for as long as it
// lives.

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTimer>
#include <memory>

#include "testrun/dialog/test_dlg.h"

namespace kestrel::testing {

class TestDialogDriver {
 public:
  TestDialogDriver() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }

  int dialogs = 0;                          // dialogs handled so far
  QString text;                             // the last one's log, as plain text
  std::unique_ptr<QTextDocument> document;  // and with its formats
  QString world;                            // the label below its log

 private:
  void Poll() {
    auto* dialog = qobject_cast<CTestDlg*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->IsComplete()) return;
    ++dialogs;
    text = dialog->LogView()->toPlainText();
    document.reset(dialog->LogView()->document()->clone());
    world = dialog->WorldLabel()->text();
    dialog->accept();
  }

  QTimer timer_;
};

}  // namespace kestrel::testing
