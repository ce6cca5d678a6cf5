#include "testrun/dialog/test_dlg.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "controls/dialog_units.h"
#include "testrun/dialog/log_styling.h"
#include "testrun/dialog/test_log_relay.h"

namespace kestrel {

namespace {

bool IsItemLine(const QString& line) { return line.startsWith(QLatin1String("\tDeleted")); }

}  // namespace

CTestDlg::CTestDlg(QWidget* parent, CTestResults& results, QString plugin_path, QString world_label,
                   TestRunJob job)
    : QDialog(parent), results_(results), plugin_path_(std::move(plugin_path)), job_(std::move(job)) {
  setWindowTitle(QStringLiteral("Test"));

  log_ = new QPlainTextEdit(this);
  log_->setObjectName(QStringLiteral("log"));
  log_->setReadOnly(true);
  log_->setUndoRedoEnabled(false);
  log_->setLineWrapMode(QPlainTextEdit::NoWrap);
  log_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  // A read-only view keeps the base and text colours of an editable field:
  // the log is for reading, not greyed out.
  QPalette field = log_->palette();
  for (auto group : {QPalette::Active, QPalette::Inactive}) {
    field.setColor(group, QPalette::Base, palette().color(QPalette::Active, QPalette::Base));
    field.setColor(group, QPalette::Text, palette().color(QPalette::Active, QPalette::Text));
  }
  log_->setPalette(field);

  world_label_ = new QLabel(world_label, this);
  world_label_->setObjectName(QStringLiteral("world"));
  world_label_->setTextFormat(Qt::PlainText);
  world_label_->setToolTip(world_label);
  // One line, however long the prefix's path: the label never widens the dialog.
  world_label_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

  busy_ = new QProgressBar(this);
  busy_->setRange(0, 0);
  busy_->setTextVisible(false);
  busy_->setMaximumWidth(DialogUnitsX(this, 60));
  busy_->hide();
  progress_label_ = new QLabel(this);
  progress_label_->setObjectName(QStringLiteral("progress"));

  stop_button_ = new QPushButton(QStringLiteral("Stop"), this);
  stop_button_->setAutoDefault(false);
  stop_button_->setEnabled(false);
  ok_button_ = new QPushButton(QStringLiteral("OK"), this);
  ok_button_->setAutoDefault(false);
  const int button_width = DialogUnitsX(this, 68);
  stop_button_->setMinimumWidth(button_width);
  ok_button_->setMinimumWidth(button_width);
  connect(stop_button_, &QPushButton::clicked, this, &CTestDlg::OnStop);
  connect(ok_button_, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(busy_);
  buttons->addWidget(progress_label_, 1);
  buttons->addWidget(stop_button_);
  buttons->addWidget(ok_button_);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(5, 10, 5, 8);
  layout->addWidget(log_, 1);
  layout->addWidget(world_label_);
  layout->addLayout(buttons);
  resize(DialogUnitsX(this, 478), DialogUnitsY(this, 310));

  relay_ = new TestLogRelay(this);
  connect(relay_, &TestLogRelay::LinesAdded, this, &CTestDlg::OnLinesAdded, Qt::QueuedConnection);
  connect(relay_, &TestLogRelay::Completed, this, &CTestDlg::OnCompleted, Qt::QueuedConnection);

  start_timer_.setSingleShot(true);
  start_timer_.setInterval(kStartDelayMs);
  connect(&start_timer_, &QTimer::timeout, this, &CTestDlg::OnTimer);
  flush_timer_.setSingleShot(true);
  flush_timer_.setInterval(kFlushIntervalMs);
  connect(&flush_timer_, &QTimer::timeout, this, &CTestDlg::FlushPending);
}

CTestDlg::~CTestDlg() { StopAndWait(); }

void CTestDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // One run per dialog, however often it is shown.
  if (!started_) {
    started_ = true;
    start_timer_.start();
  }
}

void CTestDlg::OnTimer() {
  if (worker_.joinable() || !job_) return;
  stop_requested_ = false;
  items_found_ = 0;
  busy_->show();
  stop_button_->setEnabled(true);
  ShowProgress();
  worker_ = std::thread([this] {
    try {
      job_(results_, relay_, RunStop(&stop_requested_));
    } catch (...) {
      // The run failed before completing; end it here so the dialog does not
      // wait forever. What was added so far is shown.
      relay_->Notify(TestLogEvent::kComplete, 0);
    }
  });
}

void CTestDlg::OnLinesAdded() {
  take_scheduled_ = false;
  const size_t announced = relay_->TakeAnnouncedLines();
  // A slice at a time, so a backlog of lines never keeps the window from
  // painting or from hearing "Stop".
  const size_t end = std::min(announced, next_line_ + kLinesPerSlice);
  for (; next_line_ < end; ++next_line_) AddLineToView(next_line_);
  if (pending_lines_ >= static_cast<qsizetype>(kLinesPerSlice)) {
    FlushPending();
  } else if (!flush_timer_.isActive() && pending_lines_ > 0) {
    flush_timer_.start();
  }
  if (next_line_ < announced) {
    if (!take_scheduled_) {
      take_scheduled_ = true;
      QTimer::singleShot(0, this, &CTestDlg::OnLinesAdded);
    }
    return;
  }
  if (run_ended_ && !complete_) FinishRun();
}

void CTestDlg::OnCompleted() {
  run_ended_ = true;
  OnLinesAdded();
}

void CTestDlg::AddLineToView(size_t index) {
  QString line = QString::fromStdU16String(results_.CopyLine(index));
  // The view breaks lines at these characters; breaking them here keeps the
  // copy of the text that the styling pass reads in step with the view's.
  line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  for (QChar& c : line) {
    if (c == u'\r' || c == QChar::ParagraphSeparator || c == QChar(0xFDD0) || c == QChar(0xFDD1)) c = u'\n';
  }
  // Every line starts on a new line, so the view's text begins with an empty one.
  pending_ += u'\n';
  pending_ += line;
  ++pending_lines_;
  if (IsItemLine(line)) ++items_found_;
}

void CTestDlg::FlushPending() {
  if (pending_lines_ == 0) return;
  QScrollBar* bar = log_->verticalScrollBar();
  const bool follow = bar->value() == bar->maximum();
  QTextCursor end(log_->document());
  end.movePosition(QTextCursor::End);
  end.insertText(pending_);
  text_ += pending_;
  pending_.clear();
  pending_lines_ = 0;
  if (follow) bar->setValue(bar->maximum());
  ShowProgress();
}

void CTestDlg::ShowProgress() {
  const QString count = QLocale().toString(items_found_);
  if (worker_.joinable() && stop_requested_) {
    progress_label_->setText(tr("Stopping... %1 items found").arg(count));
  } else if (worker_.joinable()) {
    progress_label_->setText(tr("Testing... %1 items found").arg(count));
  } else {
    progress_label_->setText(tr("%1 items found").arg(count));
  }
}

void CTestDlg::FinishRun() {
  flush_timer_.stop();
  FlushPending();
  if (worker_.joinable()) worker_.join();
  busy_->hide();
  stop_button_->setEnabled(false);
  ShowProgress();

  QTextDocument& document = *log_->document();
  // The view's own search reads a no-break space as a space.
  text_.replace(QChar::Nbsp, u' ');
  const auto runs = ComputeLogStyle(text_, LogKeyPhrases(plugin_path_));
  text_.clear();
  ApplyLogStyle(document, runs, ErrorColorFor(log_->palette().color(QPalette::Text)));

  log_->setTextCursor(QTextCursor(&document));
  log_->verticalScrollBar()->setValue(0);
  log_->setFocus();
  complete_ = true;
  emit RunFinished();
}

void CTestDlg::OnStop() {
  if (!worker_.joinable()) return;
  stop_requested_ = true;
  stop_button_->setEnabled(false);
  ShowProgress();
}

void CTestDlg::StopAndWait() {
  start_timer_.stop();
  if (!worker_.joinable()) return;
  stop_requested_ = true;
  worker_.join();
}

void CTestDlg::done(int result) {
  StopAndWait();
  QDialog::done(result);
}

}  // namespace kestrel
