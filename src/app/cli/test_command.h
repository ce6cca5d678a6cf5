#pragma once
// kestrel-cli test [--prefix DIR] [--registry EXPORT.reg]... FILE: one test
// run of a plug-in file with the editor's engine, the log on standard output.

#include <ostream>
#include <string>
#include <vector>

namespace kestrel {

inline constexpr char kTestUsage[] = "kestrel-cli test [--prefix DIR] [--registry EXPORT.reg]... FILE";

// What `kestrel-cli --help` and `kestrel-cli test --help` explain.
extern const char kTestHelp[];

// `args` follow the word "test". Writes the test log to standard output.
// Exit status: 0 the run completed, 1 the log could not be written out,
// 2 usage error or an input (FILE, an export, the prefix) that cannot be read.
int RunTestCommand(const std::vector<std::string>& args, std::ostream& err);

}  // namespace kestrel
