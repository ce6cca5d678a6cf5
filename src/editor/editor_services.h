#pragma once
// What the editor's windows need from outside themselves, handed to each on
// construction: where messages go, the choosers, the starter of other
// programs and the Wine prefix whose drives give dropped and browsed paths
// their Windows form.

#include <filesystem>

#include "controls/path_choosers.h"
#include "editor/program_starter.h"
#include "editor/qt_message_sink.h"
#include "platform/message_sink.h"

namespace kestrel {

struct EditorServices {
  MessageSink& messages;
  PathChoosers& choosers;
  ProgramStarter& programs;
  // Empty when there is none (no WINEPREFIX and no ~/.wine).
  std::filesystem::path wine_prefix;
};

// The program's own services: message boxes, Qt dialogs, real processes and
// the prefix Wine would use (DefaultPrefix).
class QtEditorServices {
 public:
  QtEditorServices();
  EditorServices& Services() { return services_; }

 private:
  QtMessageSink messages_;
  QtPathChoosers choosers_;
  QtProgramStarter programs_;
  EditorServices services_;
};

}  // namespace kestrel
