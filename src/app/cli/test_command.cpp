#include "app/cli/test_command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "app/cli/log_writer.h"
#include "app/cli/test_options.h"
#include "platform/reg_export.h"
#include "platform/windows_world.h"
#include "testrun/test_run.h"

namespace kestrel {

const char kTestHelp[] = R"(kestrel-cli test runs the cleaner plug-in FILE (a .cln file) the way the
editor's Test command does and writes the test log to standard output: every
registry value and key, file, folder, INI section and INI key the plug-in
would delete, then the totals. The run only reads: it changes nothing in the
registry or on disk, and it never goes through a link to a folder.

The Windows world the plug-in is tested against is a Wine prefix:
  --prefix DIR            the prefix folder (the one holding dosdevices/);
                          without it $WINEPREFIX, else ~/.wine.
  --registry EXPORT.reg   a registry export (.reg, as the Windows registry
                          editor writes it) to use instead of the prefix's
                          registry, for the registry actions and for the App
                          Paths look-ups of the PATH setting. Repeat it to
                          merge several exports, applied in the order given.
                          Drives, special folders and the environment still
                          come from the prefix.
When there is no prefix, the run uses the empty world: no drives and an empty
registry, so every action finds nothing to delete (Wine's default folders
still name the paths). That still shows how the plug-in reads and parses.

Exit status: 0 when the run completed, whatever it found; 2 for a usage error
or a FILE, export or prefix that does not exist or cannot be read; 1 when the
log could not be written out.
)";

namespace {

namespace fs = std::filesystem;

constexpr int kCompleted = 0;
constexpr int kOutputFailed = 1;
constexpr int kUsage = 2;

// Empty when the file can be read, else why not.
std::string CannotRead(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) return "no such file";
  if (fs::is_directory(status)) return "is a folder";
  // A pipe or a device would block the open, or never end.
  if (!fs::is_regular_file(status)) return "is not a regular file";
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return errno ? std::strerror(errno) : "cannot be opened";
  in.peek();
  if (in.bad()) return "cannot be read";
  return {};
}

// Problems met loading the registry, one warning per line.
void Warn(std::ostream& err, const std::string& lines) {
  size_t from = 0;
  while (from < lines.size()) {
    size_t end = lines.find('\n', from);
    if (end == std::string::npos) end = lines.size();
    if (end > from) err << "kestrel-cli: warning: " << lines.substr(from, end - from) << '\n';
    from = end + 1;
  }
}

}  // namespace

int RunTestCommand(const std::vector<std::string>& args, std::ostream& err) {
  std::string error;
  const std::optional<TestOptions> options = ParseTestOptions(args, error);
  if (!options) {
    err << "kestrel-cli: " << error << '\n';
    return kUsage;
  }
  if (options->help) {
    std::fputs("usage: ", stdout);
    std::fputs(kTestUsage, stdout);
    std::fputs("\n\n", stdout);
    std::fputs(kTestHelp, stdout);
    return std::fflush(stdout) == 0 ? kCompleted : kOutputFailed;
  }

  std::error_code ec;
  const fs::path plugin = fs::absolute(options->plugin, ec);
  if (std::string why = CannotRead(plugin); !why.empty()) {
    err << "kestrel-cli: " << options->plugin << ": " << why << '\n';
    return kUsage;
  }
  for (const auto& export_file : options->registries) {
    if (std::string why = CannotRead(export_file); !why.empty()) {
      err << "kestrel-cli: " << export_file << ": " << why << '\n';
      return kUsage;
    }
  }
  std::optional<fs::path> prefix;
  if (options->prefix) {
    if (!fs::is_directory(*options->prefix, ec)) {
      err << "kestrel-cli: " << *options->prefix << ": no such prefix folder\n";
      return kUsage;
    }
    prefix = fs::absolute(*options->prefix, ec);
  } else if ((prefix = DefaultPrefix()) && !fs::is_directory(*prefix, ec)) {
    err << "kestrel-cli: warning: " << prefix->string() << " does not exist; testing against the empty world\n";
    prefix.reset();
  }

  // Drives, special folders and the environment come from the prefix (or the
  // empty world); the registry from the exports when there are any.
  std::string problems;
  const WindowsWorld world = LoadWindowsWorld(prefix, &problems);
  std::unique_ptr<Registry> exports;
  if (!options->registries.empty())
    exports = LoadRegistryExports(std::vector<fs::path>(options->registries.begin(), options->registries.end()),
                                  &problems);
  Warn(err, problems);
  const TestWorld test_world{exports ? *exports : world.registry(), world.files(), world.system()};

  CTestResults results;
  cli::LogWriter writer(results, stdout);
  RunTest(results, plugin, test_world, &writer);
  if (!writer.Finish()) {
    err << "kestrel-cli: the test log could not be written\n";
    return kOutputFailed;
  }
  return kCompleted;
}

}  // namespace kestrel
