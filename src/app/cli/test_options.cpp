#include "app/cli/test_options.h"

#include <string_view>

#include "app/cli/test_command.h"

namespace kestrel {

namespace {

// "--name" alone or "--name=VALUE".
bool IsOption(std::string_view arg, std::string_view name) {
  return arg == name || (arg.size() > name.size() && arg.substr(0, name.size()) == name &&
                         arg[name.size()] == '=');
}

// The value of "--name VALUE" or "--name=VALUE"; advances `i` past what it used.
bool TakeValue(const std::vector<std::string>& args, size_t& i, std::string_view name, std::string& value,
               std::string& error) {
  const std::string& arg = args[i];
  if (arg.size() > name.size())
    value = arg.substr(name.size() + 1);
  else if (i + 1 < args.size())
    value = args[++i];
  else
    value.clear();
  if (value.empty()) {
    error = std::string(name) + " needs a value";
    return false;
  }
  return true;
}

}  // namespace

std::optional<TestOptions> ParseTestOptions(const std::vector<std::string>& args, std::string& error) {
  TestOptions options;
  bool have_file = false, options_done = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!options_done) {
      if (arg == "--help" || arg == "-h") {
        options.help = true;
        return options;
      }
      if (arg == "--") {
        options_done = true;
        continue;
      }
      if (IsOption(arg, "--prefix")) {
        std::string value;
        if (!TakeValue(args, i, "--prefix", value, error)) return std::nullopt;
        if (options.prefix) {
          error = "--prefix given twice";
          return std::nullopt;
        }
        options.prefix = value;
        continue;
      }
      if (IsOption(arg, "--registry")) {
        std::string value;
        if (!TakeValue(args, i, "--registry", value, error)) return std::nullopt;
        options.registries.push_back(value);
        continue;
      }
      if (arg.size() > 1 && arg[0] == '-') {
        error = "unknown option " + arg + " (usage: " + kTestUsage + ")";
        return std::nullopt;
      }
    }
    if (have_file) {
      error = "more than one plug-in file given (usage: " + std::string(kTestUsage) + ")";
      return std::nullopt;
    }
    options.plugin = arg;
    have_file = true;
  }
  if (!have_file) {
    error = "no plug-in file given (usage: " + std::string(kTestUsage) + ")";
    return std::nullopt;
  }
  return options;
}

}  // namespace kestrel
