#include "editor/kestrel_app.h"

#include <QFileInfo>
#include <QIcon>
#include <QStringList>

#include "editor/editor_dialogs.h"
#include "editor/editor_services.h"
#include "editor/kestrel_dlg.h"

namespace kestrel {
namespace {

// The icon sizes built into the program (resources/kestrel.qrc).
QIcon ApplicationIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/kestrel/icons/kestrel-%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace

CKestrelApp::CKestrelApp(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Kestrel"));
  setApplicationVersion(QStringLiteral("1.0"));
  setDesktopFileName(QStringLiteral("kestrel"));
  setWindowIcon(ApplicationIcon());
}

int CKestrelApp::Run() {
  QtEditorServices services;
  QtEditorDialogs dialogs(services.Services());
  CKestrelDlg window(services.Services(), dialogs);

  // Qt has taken its own options out of the arguments by now.
  const QStringList args = arguments();
  if (args.size() > 1 && !args.at(1).isEmpty()) window.ReadFile(QFileInfo(args.at(1)).absoluteFilePath());
  window.exec();
  return 0;
}

}  // namespace kestrel
