#include "app/cli/format_command.h"

#include <optional>

#include "app/cli/stream_messages.h"
#include "document/actions_list.h"
#include "document/plugin_reader.h"
#include "document/plugin_writer.h"
#include "platform/user_name.h"

namespace kestrel {
namespace {

struct FormatArgs {
  std::string in;
  std::optional<std::string> out;
};

std::optional<FormatArgs> ParseArgs(const std::vector<std::string>& args, std::ostream& err) {
  FormatArgs parsed;
  bool have_in = false;
  bool options_done = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!options_done && arg == "--") {
      options_done = true;
    } else if (!options_done && arg == "-o") {
      if (i + 1 >= args.size() || parsed.out) {
        err << "kestrel-cli format: " << (parsed.out ? "-o given twice" : "-o needs a file name") << '\n';
        return std::nullopt;
      }
      parsed.out = args[++i];
    } else if (!options_done && arg.size() > 1 && arg[0] == '-') {
      err << "kestrel-cli format: unknown option " << arg << '\n';
      return std::nullopt;
    } else if (!have_in) {
      parsed.in = arg;
      have_in = true;
    } else {
      err << "kestrel-cli format: more than one input file\n";
      return std::nullopt;
    }
  }
  if (!have_in || parsed.in.empty() || (parsed.out && parsed.out->empty())) {
    err << "kestrel-cli format: " << (have_in && !parsed.in.empty() ? "empty output file name" : "no input file")
        << '\n';
    return std::nullopt;
  }
  return parsed;
}

}  // namespace

int RunFormatCommand(const std::vector<std::string>& args, std::ostream& err) {
  const std::optional<FormatArgs> parsed = ParseArgs(args, err);
  if (!parsed) {
    err << "usage: " << kFormatUsage << '\n';
    return 2;
  }
  StreamMessages messages(err, "kestrel-cli: ");
  PluginDocument document;
  CGroupedList list;
  ActionsList actions(document, list, messages);
  if (!ReadPlugin(actions, FromUtf8(parsed->in), CurrentUserName())) return 1;

  switch (WritePlugin(document, list, FromUtf8(parsed->out.value_or(parsed->in)), messages)) {
    case WriteResult::kWritten:
      return 0;
    case WriteResult::kNothingToWrite:
      messages.Warning(u"Please add action(s)");
      return 1;
    case WriteResult::kFailed:
      break;
  }
  return 1;
}

}  // namespace kestrel
