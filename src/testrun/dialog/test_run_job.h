#pragma once
// The test run a test dialog starts: the world of a Wine prefix, loaded on the
// dialog's worker thread (a real prefix's hives take a while to read), then
// the run of the saved plug-in file against it.

#include <QString>
#include <filesystem>
#include <optional>

#include "testrun/dialog/test_dlg.h"

namespace kestrel {

// No prefix: the empty world, where no key and no drive exists.
TestRunJob MakeTestRunJob(std::filesystem::path plugin_path, std::optional<std::filesystem::path> prefix);

// The line below the log that says which world the run looks at.
QString DescribeTestWorld(const std::optional<std::filesystem::path>& prefix);

// The plug-in path as the first line of the log names it.
QString LoggedPluginPath(const std::filesystem::path& plugin_path);

}  // namespace kestrel
