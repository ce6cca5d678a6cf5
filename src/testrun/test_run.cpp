#include "testrun/test_run.h"

#include <string>
#include <string_view>
#include <utility>

#include "document/action_description.h"
#include "document/disk_action.h"
#include "document/registry_action.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "testrun/file_evaluation.h"
#include "testrun/path_variables.h"
#include "testrun/registry_evaluation.h"

namespace kestrel {

namespace {

std::u16string Unsigned(uint64_t n) { return U(std::to_string(n)); }

// One section pair of the plug-in file and how its actions are evaluated.
struct ActionKind {
  std::u16string_view group_section;
  std::u16string_view action_section;
  std::u16string_view read_error;   // + member
  std::u16string_view parse_error;  // + member
  bool registry;
};

constexpr ActionKind kRegistryActions{u"REG_OPTION", u"REGISTRY",
                                      u"Error: Unable to read registry action #",
                                      u"Error: Unable to parse registry action string #", true};
constexpr ActionKind kDiskActions{u"DISK_OPTION", u"DISK", u"Error: Unable to read disk action #",
                                  u"Error: Unable to parse file/folder action string #", false};

class PluginEvaluation {
 public:
  PluginEvaluation(CTestResults& results, const std::filesystem::path& plugin_path,
                   const TestWorld& world, RunStop stop)
      : results_(results), plugin_(plugin_path), world_(world), stop_(stop) {}

  void Run() {
    if (plugin_.ReadInt(u"Settings", u"Encrypted", 0) == 1) return;
    if (!RunGroups(kRegistryActions)) return Stopped();

    plugin_.ReadString(u"Settings", u"PATH", u"NULL", kPathSettingChars, path_value_);
    path_value_ = ToUpper(Trim(path_value_));
    // Resolved or not, what the setting holds now stands for "%PATH%".
    ResolvePathSetting(path_value_, world_.registry, world_.files, world_.system);

    if (!RunGroups(kDiskActions)) return Stopped();
    if (actions_run_ == 0) results_.AddLine(u"Error: No actions enabled/run");
  }

 private:
  void Stopped() { results_.AddLine(u"Error: Test run stopped"); }

  // The group loop over one section; false when the run was stopped.
  bool RunGroups(const ActionKind& kind) {
    std::u16string line;
    for (int n = 0;; ++n) {
      plugin_.ReadString(kind.group_section, FormatDecimal(n), u"NULL", kGroupLineChars, line);
      if (EqualsNoCase(line, u"NULL")) return true;
      const size_t open = line.find(u'<');
      if (open == std::u16string::npos) return true;
      const size_t close = line.find(u'>', open + 1);
      if (close == std::u16string::npos) return true;
      if (Trim(std::u16string_view(line).substr(open + 1, close - open - 1)) == u"0") continue;

      // Members follow the first ">" of the whole line.
      std::u16string_view rest = std::u16string_view(line).substr(line.find(u'>') + 1);
      while (true) {
        if (stop_.Requested()) return false;
        const size_t comma = rest.find(u',');
        const std::u16string member = Trim(rest.substr(0, comma));
        rest = comma == std::u16string_view::npos ? std::u16string_view() : rest.substr(comma + 1);
        if (!EvaluateMember(kind, member)) break;  // the rest of this group is passed over
        if (stop_.Requested()) return false;
        if (comma == std::u16string_view::npos || rest.empty()) break;
      }
    }
  }

  // False when the group's remaining members are to be passed over.
  bool EvaluateMember(const ActionKind& kind, const std::u16string& member) {
    const int k = plugin_.ReadString(kind.action_section, member, u"NULL", kActionChars, action_);
    // Accepts 2 to 1,021 characters: a value that filled the buffer may be cut.
    if (EqualsNoCase(action_, u"NULL") || k == kActionChars - 1 || k == kActionChars - 2 || k <= 1) {
      results_.AddLine(std::u16string(kind.read_error) + member);
      return true;
    }
    const std::u16string action = Trim(action_);
    if (action.empty()) return true;

    results_.AddLine(u"\r\n");
    ++actions_run_;
    if (kind.registry) {
      REGACTION parsed;
      if (ParseRegAction(action, parsed))
        results_.AddLine(u"[Registry Action: " + DescribeRegAction(parsed, true) + u"]");
      else
        results_.AddLine(std::u16string(kind.parse_error) + member);
      // The evaluators read the raw string, parsed or not.
      EvaluateRegistryAction(results_, world_.registry, action, stop_);
      return true;
    }
    DISKACTION parsed;
    if (ParseDiskAction(action, parsed))
      results_.AddLine(u"[File/Folder Action: " + DescribeDiskAction(parsed, true) + u"]");
    else
      results_.AddLine(std::u16string(kind.parse_error) + member);
    return EvaluateFileAction(results_, world_.files, world_.system, action, path_value_, stop_);
  }

  CTestResults& results_;
  const IniFile plugin_;
  const TestWorld& world_;
  const RunStop stop_;
  std::u16string path_value_;
  std::u16string action_;  // read buffer, reused
  int actions_run_ = 0;
};

}  // namespace

std::u16string TotalsText(const CTestResults& results) {
  std::u16string text;
  text.reserve(160);
  text += u"Files Deleted\t: " + Unsigned(results.files_deleted);
  text += u"\r\nFolders Deleted\t: " + Unsigned(results.folders_deleted);
  text += u"\r\nTotal Size in KB\t: " + KilobyteText(results.total_bytes);
  text += u"\r\n\r\nRegistry Values Deleted\t: " + FormatDecimal(results.registry_values_deleted);
  text += u"\r\nRegistry Keys Deleted\t: " + FormatDecimal(results.registry_keys_deleted);
  return text;
}

void EvaluatePlugin(CTestResults& results, const std::filesystem::path& plugin_path,
                    const TestWorld& world, RunStop stop) {
  PluginEvaluation(results, plugin_path, world, stop).Run();
}

void RunTest(CTestResults& results, const std::filesystem::path& plugin_path, const TestWorld& world,
             TestLogSink* sink, RunStop stop) {
  results.Reset(sink);
  results.AddLine(u"Testing: " + FromUtf8(plugin_path.string()));
  results.AddLine(u"================================");
  EvaluatePlugin(results, plugin_path, world, stop);
  results.AddLine(u"================================================================");
  results.AddLine(u"\r\n");
  results.AddLine(u"[Results]");
  results.AddLine(TotalsText(results));
  results.AddLine(u"\r\n");
  results.NotifyComplete();
}

}  // namespace kestrel
