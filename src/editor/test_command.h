#pragma once
// The Test command of the main window: makes sure the plug-in is saved (asking
// first), offers to save changes, then tests the file on disk in the test
// dialog. The document in memory is never what is tested.

#include <QString>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/message_sink.h"
#include "testrun/test_results.h"

class QWidget;

namespace kestrel {

inline constexpr char16_t kSaveBeforeTestQuestion[] = u"Plug-in has to be saved before it can be tested.\n\nSave it?";
inline constexpr char16_t kModifiedBeforeTestQuestion[] =
    u"Plug-in has been modified.\n\nDo you want to save it before testing?";

// What the command needs from the main window.
struct TestCommandHost {
  QWidget* window;                               // parent of the test dialog
  MessageSink& messages;                         // the two questions
  CTestResults& results;                         // filled by the run
  std::function<std::u16string()> current_path;  // the document's current path (host path)
  std::function<bool()> is_modified;
  std::function<void()> save;                    // the Save command, with its file dialog
  std::function<void()> write;                   // the writer to the current path, no dialog
  std::optional<std::filesystem::path> prefix;   // the Wine prefix to test in; none: empty world
};

// Runs the command; true when the test dialog was shown.
bool RunTestCommand(const TestCommandHost& host);

// Whether a plug-in file exists at `path` (empty: no).
bool PluginFileExists(const std::u16string& path);

}  // namespace kestrel
