#include "controls/hint.h"

#include <QEvent>
#include <QLineEdit>

namespace kestrel {
namespace {

// Lives as a child of its edit and shows the hint as the placeholder while
// the edit has no focus.
class HintKeeper : public QObject {
 public:
  HintKeeper(QLineEdit* edit, const QString& hint) : QObject(edit), edit_(edit), hint_(hint) {
    setObjectName(QStringLiteral("kestrel_hint"));
    edit->installEventFilter(this);
    Show();
  }

  const QString& hint() const { return hint_; }
  void SetHintText(const QString& hint) {
    hint_ = hint;
    Show();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == edit_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
      Show(event->type() == QEvent::FocusIn);
    return false;
  }

 private:
  void Show(bool focused) { edit_->setPlaceholderText(focused ? QString() : hint_); }
  void Show() { Show(edit_->hasFocus()); }

  QLineEdit* edit_;
  QString hint_;
};

HintKeeper* KeeperOf(const QLineEdit* edit) {
  return edit->findChild<HintKeeper*>(QStringLiteral("kestrel_hint"), Qt::FindDirectChildrenOnly);
}

}  // namespace

void SetHint(QLineEdit* edit, const QString& hint) {
  if (HintKeeper* keeper = KeeperOf(edit))
    keeper->SetHintText(hint);
  else
    new HintKeeper(edit, hint);
}

QString HintOf(const QLineEdit* edit) {
  const HintKeeper* keeper = KeeperOf(edit);
  return keeper ? keeper->hint() : QString();
}

}  // namespace kestrel
