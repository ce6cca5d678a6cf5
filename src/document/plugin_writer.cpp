#include "document/plugin_writer.h"

#include <filesystem>
#include <unordered_map>
#include <vector>

#include "document/action_text.h"
#include "platform/ini_file.h"
#include "platform/text.h"

namespace kestrel {
namespace {

// Collects the writes and remembers the first one the profile refused, so a
// value that could not be read back fails the save instead of vanishing.
class Writes {
 public:
  explicit Writes(IniFile& ini) : ini_(ini) {}
  void Put(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
    std::string why;
    if (!ini_.WriteString(section, key, value, &why) && reason_.empty()) reason_ = why;
  }
  const std::string& Reason() const { return reason_; }

 private:
  IniFile& ini_;
  std::string reason_;
};

struct SavedAction {
  const char16_t* section = nullptr;  // null: not written
  int key = -1;
  std::u16string text;
};

// Key numbers and texts for this save. An action neither parser accepts is
// written back as read into the section of its kind, so saving never drops it.
std::vector<SavedAction> NumberActions(const CActionArray& actions) {
  std::vector<SavedAction> saved(size_t(actions.GetCount()));
  int registry_keys = 0;
  int disk_keys = 0;
  for (int i = 0; i < actions.GetCount(); ++i) {
    ParsedAction parsed = ParseAction(actions[i].text);
    bool registry = parsed.kind == ActionClass::kRegistry;
    if (parsed.kind == ActionClass::kNone) registry = actions[i].kind == kRegistryKind;
    SavedAction& s = saved[size_t(i)];
    s.section = registry ? u"REGISTRY" : u"DISK";
    s.key = registry ? registry_keys++ : disk_keys++;
    s.text = SavedActionText(actions[i].text, parsed);
  }
  return saved;
}

void WriteGroupLines(const CGroupedList& list, const std::vector<SavedAction>& saved, const CActionArray& actions,
                     Writes& writes) {
  // Rows of each group in row order, gathered in one pass.
  std::unordered_map<int, std::vector<int>> rows_of_group;
  for (int row = 0; row < list.RowCount(); ++row) rows_of_group[list.GetItemGroup(row)].push_back(row);

  for (int kind : {kRegistryKind, kFileFolderKind}) {
    const char16_t* section = kind == kRegistryKind ? u"REG_OPTION" : u"DISK_OPTION";
    int key = 0;
    for (int p = 0; p < list.GroupCount(); ++p) {
      const int id = list.GroupIdAt(p);
      if (IsRegistryGroup(id) != (kind == kRegistryKind)) continue;
      auto rows = rows_of_group.find(id);
      if (rows == rows_of_group.end() || rows->second.empty()) continue;
      std::u16string members;
      for (int row : rows->second) {
        if (!list.IsRowChecked(row)) continue;
        const int index = list.GetItemData(row);
        if (index < 0 || index >= actions.GetCount()) continue;
        if (!members.empty()) members += u',';
        members += FormatDecimal(saved[size_t(index)].key);
      }
      const std::u16string line =
          list.GroupTitle(id) + u"<" + (list.GroupChecked(id) != 0 ? u"1" : u"0") + u">" + members;
      writes.Put(section, FormatDecimal(key++), line);
    }
  }
}

}  // namespace

WriteResult WritePlugin(PluginDocument& document, const CGroupedList& list, const std::u16string& path,
                        MessageSink& messages) {
  if (document.actions.IsEmpty() || list.RowCount() == 0) return WriteResult::kNothingToWrite;

  IniFile ini = IniFile::CreateNew(std::filesystem::path(path));
  Writes writes(ini);
  const std::pair<const char16_t*, const std::u16string*> extras[] = {
      {u"NAME", &document.name},    {u"PATH", &document.path},       {u"ICON", &document.icon},
      {u"PATHMUSTEXIST", &document.path_must_exist}, {u"VERIFY", &document.verify},
      {u"WARNING", &document.warning},
  };
  for (const auto& [key, value] : extras)
    if (!value->empty()) writes.Put(u"Settings", key, *value);
  writes.Put(u"Settings", u"Description", document.description);
  writes.Put(u"Settings", u"Provider", document.provider);
  writes.Put(u"Settings", u"Version", document.version);
  writes.Put(u"Settings", u"Encrypted", u"0");
  writes.Put(u"Settings", u"HIDEOPTION", document.show_groups ? u"0" : u"1");

  const std::vector<SavedAction> saved = NumberActions(document.actions);
  WriteGroupLines(list, saved, document.actions, writes);

  for (const SavedAction& action : saved) {
    if (action.text.size() > kLongActionChars) messages.Warning(u"Some strings are longer than 512 chars.");
    writes.Put(action.section, FormatDecimal(action.key), action.text);
  }

  std::string reason = writes.Reason();
  if (reason.empty() && ini.Save(&reason)) {
    document.modified = false;
    return WriteResult::kWritten;
  }
  messages.Warning(u"Unable to save the plug-in file.\n\n" + FromUtf8(reason));
  return WriteResult::kFailed;
}

}  // namespace kestrel
