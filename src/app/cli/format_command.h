#pragma once
// kestrel-cli format IN [-o OUT]: reads a plug-in with the editor's reader and
// writes it with the editor's writer, to OUT or back to IN, as Open followed by
// Save would.

#include <ostream>
#include <string>
#include <vector>

namespace kestrel {

inline constexpr char kFormatUsage[] = "kestrel-cli format IN [-o OUT]";

// `args` follow the word "format". Exit status: 0 written, 1 refused or not
// written (nothing is written then), 2 usage error.
int RunFormatCommand(const std::vector<std::string>& args, std::ostream& err);

}  // namespace kestrel
