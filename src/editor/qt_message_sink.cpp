#include "editor/qt_message_sink.h"

#include <QApplication>
#include <QMessageBox>

namespace kestrel {
namespace {

int Run(QWidget* owner, std::u16string_view text, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton default_button) {
  QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kProgramName),
                  QString::fromUtf16(text.data(), qsizetype(text.size())), buttons, owner);
  box.setDefaultButton(default_button);
  // A message during a long step shows the usual cursor over its box.
  const bool busy = QGuiApplication::overrideCursor() != nullptr;
  if (busy) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  const int answer = box.exec();
  if (busy) QGuiApplication::restoreOverrideCursor();
  return answer;
}

}  // namespace

QWidget* QtMessageSink::Owner() const { return owner_ ? owner_.data() : QApplication::activeWindow(); }

void QtMessageSink::Warning(std::u16string_view text) {
  Run(Owner(), text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtMessageSink::AskYesNo(std::u16string_view text) {
  return Run(Owner(), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

}  // namespace kestrel
