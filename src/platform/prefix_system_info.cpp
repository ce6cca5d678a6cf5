#include "platform/prefix_system_info.h"

#include <pwd.h>
#include <unistd.h>

#include "platform/text.h"

namespace kestrel {
namespace {

constexpr std::u16string_view kCurrentVersion = u"Software\\Microsoft\\Windows\\CurrentVersion";
constexpr std::u16string_view kNtCurrentVersion = u"Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr std::u16string_view kUserShellFolders =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr std::u16string_view kShellFolders =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// A string or expandable string value; false for anything else.
bool ReadText(const Registry& registry, uint32_t root, std::u16string_view path,
              std::u16string_view name, std::u16string& text, uint32_t& type) {
  RegKey key;
  if (registry.OpenKey(root, path, KEY_READ, key) != ERROR_SUCCESS) return false;
  RegValue value;
  if (registry.QueryValue(key, name, &value) != ERROR_SUCCESS) return false;
  if (value.type != REG_SZ && value.type != REG_EXPAND_SZ) return false;
  text = RegValueText(value.data);
  type = value.type;
  return true;
}

struct FolderSource {
  int csidl;
  uint32_t root;
  std::u16string_view value;
  std::u16string_view below_profile;  // empty: below ProgramData
};

constexpr FolderSource kFolders[] = {
    {CSIDL_APPDATA, HKEY_CURRENT_USER, u"AppData", u"\\AppData\\Roaming"},
    {CSIDL_LOCAL_APPDATA, HKEY_CURRENT_USER, u"Local AppData", u"\\AppData\\Local"},
    {CSIDL_INTERNET_CACHE, HKEY_CURRENT_USER, u"Cache", u"\\AppData\\Local\\Microsoft\\Windows\\INetCache"},
    {CSIDL_PERSONAL, HKEY_CURRENT_USER, u"Personal", u"\\Documents"},
    {CSIDL_COMMON_APPDATA, HKEY_LOCAL_MACHINE, u"Common AppData", u""},
};

}  // namespace

std::u16string LoginName() {
  const passwd* entry = getpwuid(geteuid());
  if (!entry || !entry->pw_name) return {};
  return FromUtf8(entry->pw_name);
}

PrefixSystemInfo::PrefixSystemInfo(const Registry& registry, std::u16string user_name)
    : user_name_(std::move(user_name)) {
  std::u16string text;
  uint32_t type = 0;
  windows_directory_ = u"C:\\windows";
  if (ReadText(registry, HKEY_LOCAL_MACHINE, kNtCurrentVersion, u"SystemRoot", text, type) && !text.empty())
    windows_directory_ = text;
  while (windows_directory_.size() > 3 && windows_directory_.back() == u'\\') windows_directory_.pop_back();
  const std::u16string drive = windows_directory_.substr(0, 2);

  const std::u16string profiles = std::u16string(kNtCurrentVersion) + u"\\ProfileList";
  std::u16string program_data = drive + u"\\ProgramData";
  std::u16string public_folder = drive + u"\\users\\Public";
  auto set_system_folders = [&] {
    Set(u"SystemDrive", drive);
    Set(u"SystemRoot", windows_directory_);
    Set(u"ProgramData", program_data);
    Set(u"ALLUSERSPROFILE", program_data);
    Set(u"PUBLIC", public_folder);
  };
  set_system_folders();
  if (ReadText(registry, HKEY_LOCAL_MACHINE, profiles, u"ProgramData", text, type) && !text.empty())
    program_data = type == REG_EXPAND_SZ ? Expand(text) : text;
  if (ReadText(registry, HKEY_LOCAL_MACHINE, profiles, u"Public", text, type) && !text.empty())
    public_folder = type == REG_EXPAND_SZ ? Expand(text) : text;
  set_system_folders();

  // Two rounds over the keys: a value may use a variable that a later key
  // defines, and the second round sees it, as in Wine's own environment.
  for (int round = 0; round < 2; ++round) {
    AddKeyVariables(registry, HKEY_LOCAL_MACHINE, u"System\\CurrentControlSet\\Control\\Session Manager\\Environment");
    AddKeyVariables(registry, HKEY_CURRENT_USER, u"Environment");
    AddKeyVariables(registry, HKEY_CURRENT_USER, u"Volatile Environment");
  }

  // These are the system's own and win over same-named registry variables.
  set_system_folders();
  if (ReadText(registry, HKEY_LOCAL_MACHINE, u"System\\CurrentControlSet\\Control\\ComputerName\\ComputerName",
               u"ComputerName", text, type) && !text.empty())
    Set(u"COMPUTERNAME", text);
  // A 64-bit process: the x86 folders only where the prefix has them.
  auto version_value = [&](std::u16string_view name, std::u16string fallback) {
    if (ReadText(registry, HKEY_LOCAL_MACHINE, kCurrentVersion, name, text, type) && !text.empty())
      return type == REG_EXPAND_SZ ? Expand(text) : text;
    return fallback;
  };
  std::u16string program_files = version_value(u"ProgramFilesDir", drive + u"\\Program Files");
  std::u16string common_files = version_value(u"CommonFilesDir", program_files + u"\\Common Files");
  std::u16string program_files_x86 = version_value(u"ProgramFilesDir (x86)", u"");
  std::u16string common_files_x86 = version_value(u"CommonFilesDir (x86)", u"");
  Set(u"ProgramFiles", program_files);
  if (!program_files_x86.empty()) Set(u"ProgramFiles(x86)", program_files_x86);
  Set(u"ProgramW6432", program_files);
  Set(u"CommonProgramFiles", common_files);
  if (!common_files_x86.empty()) Set(u"CommonProgramFiles(x86)", common_files_x86);
  Set(u"CommonProgramW6432", common_files);

  std::u16string profile;
  if (!Environment(u"USERPROFILE", profile) && !user_name_.empty()) profile = drive + u"\\users\\" + user_name_;
  for (const auto& source : kFolders) {
    std::u16string folder;
    if (ReadText(registry, source.root, kUserShellFolders, source.value, text, type) && !text.empty())
      folder = type == REG_EXPAND_SZ ? Expand(text) : text;
    else if (ReadText(registry, source.root, kShellFolders, source.value, text, type) && !text.empty())
      folder = text;
    else if (source.below_profile.empty())
      folder = program_data;
    else if (!profile.empty())
      folder = profile + std::u16string(source.below_profile);
    if (!folder.empty()) folders_.emplace_back(source.csidl, std::move(folder));
  }
}

std::u16string PrefixSystemInfo::Expand(std::u16string_view text) const {
  std::u16string out;
  ExpandEnvironment(text, SIZE_MAX, out);
  return out;
}

void PrefixSystemInfo::Set(std::u16string_view name, std::u16string value) {
  for (auto it = variables_.begin(); it != variables_.end(); ++it) {
    if (EqualsNoCase(it->first, name)) {
      // An empty value removes the variable, as Windows does.
      if (value.empty())
        variables_.erase(it);
      else
        it->second = std::move(value);
      return;
    }
  }
  if (!value.empty()) variables_.emplace_back(std::u16string(name), std::move(value));
}

void PrefixSystemInfo::AddKeyVariables(const Registry& registry, uint32_t root, std::u16string_view path) {
  RegKey key;
  if (registry.OpenKey(root, path, KEY_READ, key) != ERROR_SUCCESS) return;
  std::u16string name;
  for (uint32_t index = 0; registry.EnumValue(key, index, 32768, name) == ERROR_SUCCESS; ++index) {
    RegValue value;
    if (name.empty() || registry.QueryValue(key, name, &value) != ERROR_SUCCESS) continue;
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ) continue;
    std::u16string text = RegValueText(value.data);
    if (value.type == REG_EXPAND_SZ) text = Expand(text);
    // The user's PATH extends the machine's instead of replacing it.
    std::u16string earlier;
    if (root == HKEY_CURRENT_USER && EqualsNoCase(name, u"PATH") && Environment(name, earlier) &&
        !earlier.empty())
      text = earlier + u";" + text;
    Set(name, std::move(text));
  }
}

bool PrefixSystemInfo::SpecialFolder(int csidl, std::u16string& out) const {
  for (const auto& folder : folders_) {
    if (folder.first == csidl) {
      out = folder.second;
      return true;
    }
  }
  return false;
}

bool PrefixSystemInfo::UserName(std::u16string& out) const {
  if (user_name_.empty()) return false;
  out = user_name_;
  return true;
}

bool PrefixSystemInfo::Environment(std::u16string_view name, std::u16string& value) const {
  for (const auto& variable : variables_) {
    if (EqualsNoCase(variable.first, name)) {
      value = variable.second;
      return true;
    }
  }
  return false;
}

}  // namespace kestrel
