// kestrel: the plug-in editor.

#include "editor/kestrel_app.h"

int main(int argc, char** argv) {
  kestrel::CKestrelApp app(argc, argv);
  return app.Run();
}
