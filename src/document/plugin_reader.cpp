#include "document/plugin_reader.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/ini_file.h"
#include "platform/text.h"

namespace kestrel {
namespace {

constexpr int kBufferChars = 512;

// A header string as the old fixed buffer read it: a value that fills the
// buffer counts as too long, a missing or empty one as absent.
bool ReadHeaderString(const IniFile& ini, std::u16string_view key, std::u16string& out) {
  const int n = ini.ReadString(u"Settings", key, u"", kBufferChars, out);
  return n >= 1 && n < kBufferChars - 1;
}

std::u16string ReadWhole(const IniFile& ini, std::u16string_view section, std::u16string_view key) {
  return ini.Value(section, key).value_or(std::u16string());
}

// Action strings are read whole, however long: a long one must survive an
// open and save. The section ends at the first missing or blank key.
void ReadActions(const IniFile& ini, std::u16string_view section, int kind, CActionArray& actions) {
  for (int k = 0;; ++k) {
    const std::optional<std::u16string> value = ini.Value(section, FormatDecimal(k));
    if (!value) return;
    std::u16string text = Trim(*value);
    if (text.empty()) return;
    actions.Add(ACTION{std::move(text), kind, k});
  }
}

// Group lines, read whole so that no member list is cut.
void ReadGroupLines(const IniFile& ini, std::u16string_view section, int kind, CGroupedList& list,
                    std::vector<std::u16string>& member_lists, MessageSink& messages) {
  for (int k = 0;; ++k) {
    const std::u16string line = ini.Value(section, FormatDecimal(k)).value_or(u"NULL");
    if (EqualsNoCase(line, u"NULL")) return;
    const size_t open = line.find(u'<');
    if (open == std::u16string::npos) {
      messages.Warning(u"Error reading groups");
      return;
    }
    const size_t close = line.find(u'>', open + 1);
    if (close == std::u16string::npos) {
      messages.Warning(u"Error reading groups");
      return;
    }
    const int checked = EqualsNoCase(Trim(std::u16string_view(line).substr(open + 1, close - open - 1)), u"0") ? 0 : 1;
    const int id = GroupIdForKey(k, kind);
    // The name ends at the first "<"; a ">" before it already starts the
    // member list (the test run reads the line so), so the name ends there
    // too. A name holding ">" could not be written back without changing
    // which actions its line names.
    const size_t name_end = std::min(open, line.find(u'>'));
    list.AddGroup(id, list.GroupCount(), std::u16string_view(line).substr(0, name_end));
    list.SetGroupChecked(id, checked);
    // After the first ">" of the whole line, as the test run reads it too.
    member_lists.push_back(line.substr(line.find(u'>') + 1));
  }
}

// Number -> group id of the first member list naming it.
std::unordered_map<int, int> GroupsOfNumbers(const std::vector<std::u16string>& member_lists, int kind) {
  std::unordered_map<int, int> groups;
  for (size_t i = 0; i < member_lists.size(); ++i)
    for (const std::u16string& item : SplitList(member_lists[i], u','))
      groups.try_emplace(ParseDecimal(item), GroupIdForKey(int(i), kind));
  return groups;
}

int GroupOf(const std::unordered_map<int, int>& groups, int number, int kind) {
  auto it = groups.find(number);
  return it == groups.end() ? kind : it->second;
}

// The indexes of the actions a kind's member lists name: for each item, the
// first action of that kind with that number.
void CollectChecked(const std::vector<std::u16string>& member_lists, int kind,
                    const std::map<std::pair<int, int>, int>& first_action, std::vector<int>& checked) {
  for (const std::u16string& list : member_lists)
    for (const std::u16string& item : SplitList(list, u',')) {
      auto it = first_action.find({kind, ParseDecimal(item)});
      if (it != first_action.end()) checked.push_back(it->second);
    }
}

void FillList(ActionsList& actions) {
  PluginDocument& doc = actions.Document();
  CGroupedList& list = actions.List();

  std::map<std::pair<int, int>, int> first_action;  // (kind, number) -> index
  for (int i = 0; i < doc.actions.GetCount(); ++i)
    first_action.try_emplace({doc.actions[i].kind, doc.actions[i].number}, i);
  std::vector<int> checked;
  CollectChecked(doc.registry_member_lists, kRegistryKind, first_action, checked);
  CollectChecked(doc.file_folder_member_lists, kFileFolderKind, first_action, checked);

  list.DeleteAllRows();
  list.EnableGroupView(true);

  const auto registry_groups = GroupsOfNumbers(doc.registry_member_lists, kRegistryKind);
  const auto file_folder_groups = GroupsOfNumbers(doc.file_folder_member_lists, kFileFolderKind);
  std::vector<int> row_of_action(size_t(doc.actions.GetCount()), -1);
  for (int i = 0; i < doc.actions.GetCount(); ++i) {
    const ACTION& action = doc.actions[i];
    const ParsedAction parsed = ParseAction(action.text);
    if (parsed.kind == ActionClass::kRegistry) {
      row_of_action[size_t(i)] =
          actions.InsertRegistryRow(i, parsed.reg, GroupOf(registry_groups, action.number, kRegistryKind));
    } else if (parsed.kind == ActionClass::kFileFolder) {
      row_of_action[size_t(i)] =
          actions.InsertFileFolderRow(i, parsed.disk, GroupOf(file_folder_groups, action.number, kFileFolderKind));
    }
  }
  for (int index : checked)
    if (row_of_action[size_t(index)] >= 0) list.SetRowChecked(row_of_action[size_t(index)], true);

  if (actions.View()) actions.View()->SizeColumns();
}

void AddDefaultGroup(CGroupedList& list, int id, std::u16string_view title, int position) {
  list.AddGroup(id, position, title);
  list.SetGroupChecked(id, 1);
}

}  // namespace

void NewPlugin(ActionsList& actions, const std::optional<std::u16string>& user_name) {
  PluginDocument& doc = actions.Document();
  CGroupedList& list = actions.List();
  ActionsList::Quiet quiet(actions);

  doc.description.clear();
  doc.version = u"1.0";
  doc.provider = user_name.value_or(u"<unknown>");
  doc.current_path.clear();
  doc.filename_field = u"Untitled";

  list.DeleteAllRows();
  doc.actions.RemoveAll();
  doc.registry_member_lists.clear();
  doc.file_folder_member_lists.clear();
  doc.show_groups = false;

  list.RemoveAllGroups();
  list.ClearGroupRecords();
  list.EnableGroupView(true);
  AddDefaultGroup(list, kDefaultRegistryGroup, u"Registry Actions", 0);
  AddDefaultGroup(list, kDefaultFileFolderGroup, u"File/Folder Actions", 1);

  doc.modified = true;
  actions.RefreshList();
}

bool ReadPlugin(ActionsList& actions, const std::u16string& path, const std::optional<std::u16string>& user_name) {
  NewPlugin(actions, user_name);
  PluginDocument& doc = actions.Document();
  CGroupedList& list = actions.List();
  MessageSink& messages = actions.Messages();

  std::error_code error;
  if (path.empty() || !std::filesystem::exists(std::filesystem::path(path), error)) {
    messages.Warning(u"Invalid file");
    return false;
  }
  const IniFile ini{std::filesystem::path(path)};

  if (ini.ReadInt(u"Settings", u"Encrypted", 0) != 0) {
    messages.Warning(u"Cannot edit encrypted plug-ins");
    return false;
  }
  std::u16string description, version, provider;
  if (!ReadHeaderString(ini, u"Description", description) || !ReadHeaderString(ini, u"Version", version) ||
      !ReadHeaderString(ini, u"Provider", provider)) {
    messages.Warning(u"Error reading file");
    return false;
  }
  // Read whole: a value cut here would be saved cut.
  doc.path = ReadWhole(ini, u"Settings", u"PATH");
  doc.icon = ReadWhole(ini, u"Settings", u"ICON");
  doc.name = ReadWhole(ini, u"Settings", u"NAME");
  doc.path_must_exist = ReadWhole(ini, u"Settings", u"PATHMUSTEXIST");
  doc.verify = ReadWhole(ini, u"Settings", u"VERIFY");
  doc.warning = ReadWhole(ini, u"Settings", u"WARNING");
  const bool show_groups = ini.ReadInt(u"Settings", u"HIDEOPTION", 0) == 0;

  CActionArray read;
  ReadActions(ini, u"DISK", kFileFolderKind, read);
  ReadActions(ini, u"REGISTRY", kRegistryKind, read);
  if (read.IsEmpty()) {
    messages.Warning(u"Error reading file");
    return false;
  }

  ActionsList::Quiet quiet(actions);
  doc.description = std::move(description);
  doc.version = std::move(version);
  doc.provider = std::move(provider);
  doc.show_groups = show_groups;
  doc.actions = std::move(read);

  list.RemoveAllGroups();
  list.ClearGroupRecords();
  list.EnableGroupView(true);
  ReadGroupLines(ini, u"REG_OPTION", kRegistryKind, list, doc.registry_member_lists, messages);
  ReadGroupLines(ini, u"DISK_OPTION", kFileFolderKind, list, doc.file_folder_member_lists, messages);
  if (!list.HasGroup(kDefaultRegistryGroup))
    AddDefaultGroup(list, kDefaultRegistryGroup, u"Registry Actions", list.GroupCount());
  if (!list.HasGroup(kDefaultFileFolderGroup))
    AddDefaultGroup(list, kDefaultFileFolderGroup, u"File/Folder Actions", list.GroupCount());

  FillList(actions);

  doc.current_path = path;
  doc.filename_field = path;
  doc.modified = false;
  actions.RefreshList();
  return true;
}

}  // namespace kestrel
