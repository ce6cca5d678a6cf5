#include "testrun/dialog/test_run_job.h"

#include <system_error>
#include <utility>

#include "platform/text.h"
#include "platform/windows_world.h"
#include "testrun/test_run.h"

namespace kestrel {

TestRunJob MakeTestRunJob(std::filesystem::path plugin_path, std::optional<std::filesystem::path> prefix) {
  return [plugin_path = std::move(plugin_path), prefix = std::move(prefix)](
             CTestResults& results, TestLogSink* sink, RunStop stop) {
    const WindowsWorld world = LoadWindowsWorld(prefix);
    RunTest(results, plugin_path, TestWorld{world.registry(), world.files(), world.system()}, sink, stop);
  };
}

QString DescribeTestWorld(const std::optional<std::filesystem::path>& prefix) {
  if (!prefix || prefix->empty()) {
    return QStringLiteral("No Wine prefix found: tested against an empty registry and no drives");
  }
  const QString path = QString::fromStdString(prefix->string());
  std::error_code error;
  if (!std::filesystem::is_directory(*prefix, error)) {
    return QStringLiteral("Wine prefix %1 not found: tested against an empty registry and no drives").arg(path);
  }
  return QStringLiteral("Tested in the Wine prefix %1").arg(path);
}

QString LoggedPluginPath(const std::filesystem::path& plugin_path) {
  return QString::fromStdU16String(FromUtf8(plugin_path.string()));
}

}  // namespace kestrel
