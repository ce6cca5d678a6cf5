#include "testrun/file_evaluation.h"

#include <utility>
#include <vector>

#include "document/disk_action.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "testrun/path_variables.h"

namespace kestrel {

namespace {

// Removes every occurrence of `what`, scanning the text once from the left.
void RemoveAll(std::u16string& text, std::u16string_view what) {
  if (what.empty()) return;
  std::u16string out;
  out.reserve(text.size());
  size_t from = 0;
  for (size_t at; (at = text.find(what, from)) != std::u16string::npos; from = at + what.size())
    out.append(text, from, at - from);
  out.append(text, from, std::u16string::npos);
  text = std::move(out);
}

// Takes a switch out of the text; true when it was there.
bool TakeSwitch(std::u16string& text, std::u16string_view token) {
  if (text.find(token) == std::u16string::npos) return false;
  RemoveAll(text, token);
  return true;
}

// Takes "/X:pattern|pattern..." out of the text and gives its patterns.
std::vector<std::u16string> TakeExclusions(std::u16string& text) {
  size_t at = text.find(u"/X");
  if (at == std::u16string::npos) return {};
  size_t end = text.find(u' ', at);
  std::u16string exclusion = text.substr(at, end == std::u16string::npos ? end : end - at);
  RemoveAll(text, exclusion);
  std::u16string_view list = exclusion;
  size_t colon = list.find(u':');
  if (colon != std::u16string_view::npos) list.remove_prefix(colon + 1);
  return SplitList(list, u'|');
}

}  // namespace

bool EvaluateFileAction(CTestResults& results, const FileSystem& files, const SystemInfo& system,
                        std::u16string_view action_string, std::u16string_view path_value,
                        RunStop stop) {
  std::u16string text(action_string);
  const std::vector<std::u16string> exclusions = TakeExclusions(text);
  const bool subfolders = TakeSwitch(text, u"/S");
  const bool empty_path = TakeSwitch(text, u"/E");
  const bool remove_folder = TakeSwitch(text, u"/R");
  const bool clean_subfolders = TakeSwitch(text, u"/C");
  text = Trim(text);
  ExpandPathVariables(text, path_value, system);

  const size_t slash = text.rfind(u'\\');
  if (slash == std::u16string::npos) return false;
  const std::u16string folder = text.substr(0, slash);
  const std::vector<std::u16string> patterns = SplitList(std::u16string_view(text).substr(slash + 1), u'|');

  if (StartsWithNoCase(text, u"INIFILE")) {
    EvaluateIniAction(results, files, text);
    return true;
  }
  if (empty_path) {
    const std::u16string full_path = TrimRight(text);
    // Emptying the Windows folder or the system folder is never evaluated.
    if (IsProtectedEmptyPath(full_path)) return true;
    EvaluateEmptyPath(results, files, full_path, stop);
    if (remove_folder && !stop.Requested()) {
      ++results.folders_deleted;
      results.AddLine(u"\tDeleted Folder If Empty: " + full_path);
    }
    return true;
  }
  EvaluateFiles(results, files, folder, subfolders, patterns, exclusions, stop);
  if (clean_subfolders && !stop.Requested()) EvaluateEmptySubfolders(results, files, folder, true, stop);
  if (remove_folder && !stop.Requested()) {
    // Reported whatever the folder still holds.
    ++results.folders_deleted;
    results.AddLine(u"\tDeleted Empty Folder: " + folder);
  }
  return true;
}

void EvaluateIniAction(CTestResults& results, const FileSystem& files, std::u16string_view action_text) {
  const std::u16string value = ValueAfterKeyword(action_text, u"INIFILE");
  std::u16string_view v = value;
  std::u16string_view file_part, rest = v;
  if (size_t bar = v.find(u'|'); bar != std::u16string_view::npos) {
    file_part = v.substr(0, bar);
    rest = v.substr(bar + 1);
  }
  std::u16string_view section_part = rest, key;
  if (size_t bar = rest.find(u'|'); bar != std::u16string_view::npos) {
    section_part = rest.substr(0, bar);
    key = rest.substr(bar + 1);
  }
  const std::u16string file = Trim(file_part);
  const std::u16string section = Trim(section_part);

  if (!files.Attributes(file)) return;
  const auto host = files.HostPath(file);
  if (!host) return;
  const IniFile ini(*host);
  // A small buffer is enough to learn whether anything is there.
  constexpr int kProbeChars = 10;
  std::u16string probe;
  if (key.empty()) {
    if (ini.ReadSection(section, kProbeChars, probe) > 0)
      results.AddLine(u"\tDeleted Ini Section: " + file + u" > " + section);
  } else {
    if (ini.ReadString(section, key, u"", kProbeChars, probe) > 0) {
      std::u16string line = u"\tDeleted Ini Key: " + file + u" > " + section + u" > ";
      line += key;
      results.AddLine(std::move(line));
    }
  }
}

}  // namespace kestrel
