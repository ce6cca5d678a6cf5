#pragma once
// The about box: the program's icon, name and version, one line about it,
// and OK.

#include <QDialog>

namespace kestrel {

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace kestrel
