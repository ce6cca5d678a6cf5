// kestrel-cli: the editor's and the test run's work without a window. Each
// command lives in its own file; this only picks one.

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/format_command.h"
#include "app/cli/test_command.h"

namespace {

struct Command {
  std::string_view name;
  const char* usage;
  int (*run)(const std::vector<std::string>& args, std::ostream& err);
};

constexpr Command kCommands[] = {
    {"format", kestrel::kFormatUsage, kestrel::RunFormatCommand},
    {"test", kestrel::kTestUsage, kestrel::RunTestCommand},
};

int Usage(std::ostream& out, int status) {
  out << "usage:\n";
  for (const Command& command : kCommands) out << "  " << command.usage << '\n';
  if (status == 0) out << '\n' << kestrel::kTestHelp;
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage(std::cerr, 2);
  const std::string_view name = argv[1];
  if (name == "-h" || name == "--help" || name == "help") return Usage(std::cout, 0);
  for (const Command& command : kCommands)
    if (command.name == name) return command.run(std::vector<std::string>(argv + 2, argv + argc), std::cerr);
  std::cerr << "kestrel-cli: unknown command " << name << '\n';
  return Usage(std::cerr, 2);
}
