#pragma once
// The arguments of `kestrel-cli test`.

#include <optional>
#include <string>
#include <vector>

namespace kestrel {

struct TestOptions {
  bool help = false;                    // --help: explain, run nothing
  std::optional<std::string> prefix;    // --prefix DIR
  std::vector<std::string> registries;  // --registry EXPORT.reg, in the order given
  std::string plugin;                   // FILE
};

// Parses the arguments after the word "test". On a usage error returns
// nullopt and sets `error` to a one-line message.
std::optional<TestOptions> ParseTestOptions(const std::vector<std::string>& args, std::string& error);

}  // namespace kestrel
