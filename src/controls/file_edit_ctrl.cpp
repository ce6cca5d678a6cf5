#include "controls/file_edit_ctrl.h"

#include <QHelpEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolTip>

#include "controls/action_images.h"
#include "controls/path_choosers.h"
#include "controls/qt_text.h"
#include "platform/host_to_windows_path.h"

namespace kestrel {

// The browse button's face. Mouse input goes to the control, which decides.
class CFileEditCtrl::Button : public QWidget {
 public:
  explicit Button(CFileEditCtrl* owner) : QWidget(owner), owner_(owner) {
    setObjectName(QStringLiteral("browseButton"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setCursor(Qt::ArrowCursor);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(247, 247, 247));
    const int state = owner_->button_state_;
    if (state == kButtonPressed) {
      p.setPen(Qt::black);
      p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    const QIcon& icon = ActionIcon(kFolderImage);
    icon.paint(&p, QRect(1, 1, 16, 16), Qt::AlignCenter,
               state == kButtonDisabled ? QIcon::Disabled : QIcon::Normal);
  }

 private:
  CFileEditCtrl* owner_;
};

CFileEditCtrl::CFileEditCtrl(PathChoosers& choosers, QWidget* parent)
    : QLineEdit(parent), choosers_(choosers), button_(new Button(this)) {
  setAcceptDrops(true);
  setMouseTracking(true);  // the tool tips follow the mouse
  LayOutButton();
}

bool CFileEditCtrl::SetMode(unsigned flags) {
  if (flags & kFolderMode) {
    if (flags & kFileMode) return false;
  } else if (!(flags & kFileMode)) {
    return false;
  }
  mode_ = flags;
  LayOutButton();
  return true;
}

// The button takes a strip at the right of the text area, 8/10 of its height
// wide, over its full height.
void CFileEditCtrl::LayOutButton() {
  QStyleOptionFrame option;
  initStyleOption(&option);
  const QRect client = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
  const int width = client.height() * 8 / 10;
  button_rect_ = QRect(client.right() + 1 - width, client.top(), width, client.height()).normalized();
  setTextMargins(0, 0, width, 0);
  button_->setGeometry(button_rect_);
  PaintButton(button_state_ == kButtonDisabled ? kButtonNormal : button_state_);
}

void CFileEditCtrl::PaintButton(int state) {
  if (button_rect_.width() < 3 || button_rect_.height() < 3) {
    button_->hide();
    return;
  }
  if (!isEnabled()) state = kButtonDisabled;
  button_state_ = state;
  button_->show();
  button_->update();
}

bool CFileEditCtrl::IsOverButton(QPoint global) const { return button_rect_.contains(mapFromGlobal(global)); }

QString CFileEditCtrl::ToolTipAt(QPoint local) const {
  const bool file = mode_ & kFileMode;
  if (button_rect_.contains(local))
    return file ? QStringLiteral("Click to browse for file") : QStringLiteral("Click to browse for folder");
  return file ? QStringLiteral("Click icon to browse for file") : QStringLiteral("Click icon to browse for folder");
}

// Shown at once (no delay) and kept while the mouse stays over its part.
void CFileEditCtrl::ShowToolTip(QPoint local) {
  const QRect area = button_rect_.contains(local) ? button_rect_ : rect();
  QToolTip::showText(mapToGlobal(local), ToolTipAt(local), this, area);
}

QString CFileEditCtrl::WindowsForm(const QString& host_path) const {
  const auto windows = HostToWindowsPath(prefix_, host_path.toStdString());
  return windows ? ToQString(*windows) : host_path;
}

bool CFileEditCtrl::Notify(int code, const QString* path) {
  if (!handler_) return true;
  return handler_(PathNotification{this, code, path}) == 0;
}

// --- Browsing ---

void CFileEditCtrl::StartBrowse() {
  if (!Notify(kBrowseRequest, nullptr)) return;
  if (mode_ & kFolderMode)
    BrowseForFolder();
  else
    BrowseForFile();
}

bool CFileEditCtrl::BrowseForFolder() {
  bool set = false;
  if (std::optional<QString> folder = choosers_.ChooseFolder(this)) {
    // A folder without a path on disk gives nothing to show.
    if (!folder->isEmpty()) {
      QString path = WindowsForm(*folder);
      const QChar separator = path.startsWith(u'/') ? u'/' : u'\\';
      if (!path.endsWith(separator)) path += separator;
      if (Notify(kBrowseResult, &path)) {
        setText(path);
        set = true;
      }
    }
  } else {
    Notify(kBrowseResult, nullptr);
  }
  setFocus();
  return set;
}

void CFileEditCtrl::BrowseForFile() {
  if (std::optional<QString> file = choosers_.ChooseOpenFile(this, FileDialogRequest{})) {
    const QString path = WindowsForm(*file);
    if (Notify(kBrowseResult, &path)) setText(path);
  } else {
    Notify(kBrowseResult, nullptr);
  }
  setFocus();
}

// --- Dropping ---

void CFileEditCtrl::DropPaths(const QStringList& host_paths) {
  if (host_paths.isEmpty()) return;
  qsizetype count = host_paths.size();
  if ((mode_ & kFolderMode) || !(mode_ & kSeveralDrops)) count = 1;

  const QString first = WindowsForm(host_paths[0]);
  QString text = first;
  // The further items drop the folder they share with the first one.
  const qsizetype folder_length = std::max(first.lastIndexOf(u'\\'), first.lastIndexOf(u'/')) + 1;
  const QStringView folder = QStringView(first).left(folder_length);
  for (qsizetype i = 1; i < count; ++i) {
    const QString item = WindowsForm(host_paths[i]);
    text += u'|';
    text += (folder_length > 0 && item.startsWith(folder)) ? item.mid(folder_length) : item;
  }
  if (Notify(kFilesDropped, &text)) setText(text);
}

void CFileEditCtrl::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CFileEditCtrl::dragMoveEvent(QDragMoveEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CFileEditCtrl::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths << url.toLocalFile();
  if (paths.isEmpty()) return;
  event->acceptProposedAction();
  DropPaths(paths);
}

// --- Mouse, keyboard, focus ---

void CFileEditCtrl::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && button_rect_.contains(event->position().toPoint())) {
    if (button_state_ != kButtonDisabled) {
      setFocus(Qt::MouseFocusReason);
      button_held_ = true;
      PaintButton(kButtonPressed);
    }
    return;  // a press on the button never reaches the text
  }
  QLineEdit::mousePressEvent(event);
}

void CFileEditCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && button_rect_.contains(event->position().toPoint())) {
    mousePressEvent(event);
    return;
  }
  QLineEdit::mouseDoubleClickEvent(event);
}

void CFileEditCtrl::mouseMoveEvent(QMouseEvent* event) {
  const QPoint local = event->position().toPoint();
  ShowToolTip(local);
  if (button_held_) {
    const bool over = button_rect_.contains(local);
    if (over && button_state_ != kButtonPressed) PaintButton(kButtonPressed);
    if (!over && button_state_ != kButtonNormal) PaintButton(kButtonNormal);
    return;
  }
  setCursor(button_rect_.contains(local) ? Qt::ArrowCursor : Qt::IBeamCursor);
  QLineEdit::mouseMoveEvent(event);
}

void CFileEditCtrl::mouseReleaseEvent(QMouseEvent* event) {
  if (!button_held_) {
    QLineEdit::mouseReleaseEvent(event);
    return;
  }
  button_held_ = false;
  if (button_state_ != kButtonNormal) PaintButton(kButtonNormal);
  if (button_rect_.contains(event->position().toPoint())) StartBrowse();
}

void CFileEditCtrl::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  selectAll();
}

void CFileEditCtrl::focusOutEvent(QFocusEvent* event) {
  if (button_held_) {
    button_held_ = false;
    if (button_state_ != kButtonNormal) PaintButton(kButtonNormal);
  }
  QLineEdit::focusOutEvent(event);
}

void CFileEditCtrl::keyPressEvent(QKeyEvent* event) {
  // Ctrl with the period key, or with the keypad's decimal key.
  const bool period = event->key() == Qt::Key_Period ||
                      (event->key() == Qt::Key_Comma && (event->modifiers() & Qt::KeypadModifier));
  if (period && (event->modifiers() & Qt::ControlModifier)) {
    StartBrowse();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

bool CFileEditCtrl::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    ShowToolTip(static_cast<QHelpEvent*>(event)->pos());
    return true;
  }
  return QLineEdit::event(event);
}

void CFileEditCtrl::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  LayOutButton();
}

void CFileEditCtrl::changeEvent(QEvent* event) {
  QLineEdit::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) PaintButton(kButtonNormal);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) LayOutButton();
}

}  // namespace kestrel
