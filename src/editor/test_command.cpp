#include "editor/test_command.h"

#include <system_error>

#include "platform/text.h"
#include "testrun/dialog/test_dlg.h"
#include "testrun/dialog/test_run_job.h"

namespace kestrel {

bool PluginFileExists(const std::u16string& path) {
  if (path.empty()) return false;
  std::error_code error;
  return std::filesystem::is_regular_file(std::filesystem::path(ToUtf8(path)), error);
}

bool RunTestCommand(const TestCommandHost& host) {
  if (!PluginFileExists(host.current_path())) {
    if (!host.messages.AskYesNo(kSaveBeforeTestQuestion)) return false;
    host.save();
    if (!PluginFileExists(host.current_path())) return false;
  }
  if (host.is_modified() && host.messages.AskYesNo(kModifiedBeforeTestQuestion)) {
    // Whether the write succeeds is not looked at: the file on disk is tested
    // either way, and the writer has said what went wrong.
    host.write();
  }

  const std::filesystem::path plugin_path(ToUtf8(host.current_path()));
  CTestDlg dialog(host.window, host.results, LoggedPluginPath(plugin_path), DescribeTestWorld(host.prefix),
                  MakeTestRunJob(plugin_path, host.prefix));
  dialog.exec();
  return true;
}

}  // namespace kestrel
