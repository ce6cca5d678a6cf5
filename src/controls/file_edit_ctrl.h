#pragma once
// A one-line edit for a file or folder path with a browse button inside its
// frame. The button (or Ctrl+period) opens the folder browser or the
// open-file dialog; files dropped from a file manager are taken as well.
// Chosen and dropped paths are Linux paths: those on a drive of the Wine
// prefix are given in their Windows form (C:\x\y.log), so the text stays a
// Windows path.
//
// Each browse request, browse result and drop is first offered to the path
// handler (the host dialog): it answers 0 to let the control go on (browse,
// or put the path into its own text), anything else to stop it. Without a
// handler the control goes on.

#include <QLineEdit>
#include <filesystem>
#include <functional>
#include <optional>

namespace kestrel {

class PathChoosers;

class CFileEditCtrl : public QLineEdit {
  Q_OBJECT

 public:
  // Mode flags.
  static constexpr unsigned kFileMode = 0x1;      // the button opens the open-file dialog
  static constexpr unsigned kSeveralDrops = 0x2;  // in file mode, every dropped item is taken
  static constexpr unsigned kFolderMode = 0x4;    // the button opens the folder browser

  // Path notification codes.
  static constexpr int kBrowseRequest = 1;
  static constexpr int kBrowseResult = 2;
  static constexpr int kFilesDropped = 3;

  // How the button was last painted.
  static constexpr int kButtonNormal = 1;
  static constexpr int kButtonPressed = 2;
  static constexpr int kButtonDisabled = 4;

  struct PathNotification {
    CFileEditCtrl* control;
    int code;
    // The chosen path or the dropped items; null for a browse request and for
    // a cancelled browse.
    const QString* path;
  };
  using PathHandler = std::function<int(const PathNotification&)>;

  explicit CFileEditCtrl(PathChoosers& choosers, QWidget* parent = nullptr);

  // The prefix whose drives give paths their Windows form; empty: none.
  void SetWinePrefix(std::filesystem::path prefix) { prefix_ = std::move(prefix); }
  void SetPathHandler(PathHandler handler) { handler_ = std::move(handler); }

  // Folder mode and file mode exclude each other and one must be given;
  // otherwise false, and the mode in force stays.
  bool SetMode(unsigned flags);
  unsigned Mode() const { return mode_; }

  void StartBrowse();
  // True when the text was set.
  bool BrowseForFolder();
  void BrowseForFile();
  // What a drop of these (host) paths does.
  void DropPaths(const QStringList& host_paths);

  int ButtonState() const { return button_state_; }
  // Where the button lies, in the control's coordinates.
  QRect ButtonRect() const { return button_rect_; }
  bool IsOverButton(QPoint global) const;
  // The tool tip text at a point of the control.
  QString ToolTipAt(QPoint local) const;

  // The Windows form of a host path, or the path itself when no drive holds it.
  QString WindowsForm(const QString& host_path) const;

 protected:
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  class Button;

  void LayOutButton();
  void PaintButton(int state);
  // Offers the path to the handler; true when the control may go on.
  bool Notify(int code, const QString* path);
  void ShowToolTip(QPoint local);

  PathChoosers& choosers_;
  std::filesystem::path prefix_;
  PathHandler handler_;
  unsigned mode_ = kFolderMode;
  bool button_held_ = false;
  int button_state_ = kButtonNormal;
  QRect button_rect_;
  Button* button_ = nullptr;
};

}  // namespace kestrel
