#pragma once
// The application: the program's services, the main window run modally, and
// the end of the program when the window closes.

#include <QApplication>

namespace kestrel {

class CKestrelApp : public QApplication {
  Q_OBJECT

 public:
  CKestrelApp(int& argc, char** argv);
  // Shows the main window and returns when it closes. A plug-in file named on
  // the command line (as the desktop passes one it opens with the editor) is
  // read into the window first.
  int Run();
};

}  // namespace kestrel
