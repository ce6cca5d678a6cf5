#include "testrun/path_variables.h"

#include "platform/text.h"

namespace kestrel {
namespace {

// Buffer sizes, in characters with the terminator, of the system queries.
constexpr size_t kPathBuffer = 260;
constexpr size_t kUserNameBuffer = 257;
constexpr size_t kValueBufferChars = 2600;
// Bytes offered to a value query, so that a terminator always fits behind.
constexpr size_t kValueQueryBytes = kValueBufferChars * 2 - 2;

constexpr std::u16string_view kAppPathsKey = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

void TrimTrailing(std::u16string& text, std::u16string_view characters) {
  while (!text.empty() && characters.find(text.back()) != std::u16string_view::npos) text.pop_back();
}

void TrimLeading(std::u16string& text, std::u16string_view characters) {
  size_t start = 0;
  while (start < text.size() && characters.find(text[start]) != std::u16string_view::npos) ++start;
  text.erase(0, start);
}

// The drive text of the Windows directory ("C:"); empty when it cannot be read.
std::u16string BootDrive(const SystemInfo& system) {
  std::u16string windows = system.WindowsDirectory();
  if (windows.size() + 1 > kPathBuffer) return {};
  return windows.substr(0, 2);
}

}  // namespace

bool ReplaceFirstToken(std::u16string& path, std::u16string_view token, std::u16string_view replacement) {
  size_t at = FindNoCase(path, token);
  if (at == std::u16string::npos) return false;
  path.replace(at, token.size(), replacement);
  return true;
}

std::u16string GetSpecialFolder(int id, const SystemInfo& system) {
  std::u16string folder;
  if (!system.SpecialFolder(id, folder) || folder.size() + 1 > kPathBuffer) return {};
  TrimTrailing(folder, u"\\ ");
  return folder;
}

void ExpandPathVariables(std::u16string& path, std::u16string_view path_value, const SystemInfo& system) {
  const std::u16string drive = BootDrive(system);
  ReplaceFirstToken(path, u"%BOOTDRIVE%", drive);
  ReplaceFirstToken(path, u"%PATH%", path_value);

  static constexpr struct {
    std::u16string_view token;
    int id;
  } kFolders[] = {
      {u"%APPDATA%", CSIDL_APPDATA},           {u"%COMMONAPPDATA%", CSIDL_COMMON_APPDATA},
      {u"%LOCALAPPDATA%", CSIDL_LOCAL_APPDATA}, {u"%INTERNET_CACHE%", CSIDL_INTERNET_CACHE},
      {u"%MYDOCS%", CSIDL_PERSONAL},           {u"%PERSONAL%", CSIDL_PERSONAL},
  };
  for (const auto& folder : kFolders) {
    // Only asked for when the token is there: a lookup per token and path.
    if (FindNoCase(path, folder.token) != std::u16string::npos)
      ReplaceFirstToken(path, folder.token, GetSpecialFolder(folder.id, system));
  }

  ReplaceFirstToken(path, u"%WINDOWS%", u"%WINDIR%");

  // These two guards are case-sensitive: "%username%" is left to the environment.
  if (path.find(u"USERNAME") != std::u16string::npos) {
    std::u16string user;
    if (system.UserName(user) && user.size() + 1 <= kUserNameBuffer) ReplaceFirstToken(path, u"%USERNAME%", user);
  }
  if (path.find(u"SYSDIR") != std::u16string::npos) {
    std::u16string system_directory = system.SystemDirectory();
    if (system_directory.size() + 1 > kPathBuffer) system_directory.clear();
    TrimTrailing(system_directory, u"\\");
    ReplaceFirstToken(path, u"%SYSDIR%", system_directory);
  }

  if (path.find(u'%') != std::u16string::npos) {
    std::u16string expanded;
    size_t needed = system.ExpandEnvironment(path, kPathBuffer, expanded);
    if (needed != 0 && needed < kPathBuffer) path = std::move(expanded);
  }

  ReplaceFirstToken(path, u"%PROGRAMFILES%", drive + u"\\Program Files");
}

std::u16string ReadLocalMachineString(std::u16string_view key_path, std::u16string_view value_name,
                                      std::u16string_view default_text, const Registry& registry,
                                      const SystemInfo& system) {
  RegKey key;
  if (registry.OpenKey(HKEY_LOCAL_MACHINE, key_path, KEY_READ, key) != ERROR_SUCCESS)
    return std::u16string(default_text);
  RegValue value;
  long status = registry.QueryValue(key, value_name, &value, kValueQueryBytes);
  key.Close();
  if (status != ERROR_SUCCESS) return std::u16string(default_text);

  std::u16string text = RegValueText(value.data);
  if (value.type == REG_SZ) return text;
  if (value.type == REG_EXPAND_SZ) {
    std::u16string expanded;
    size_t needed = system.ExpandEnvironment(text, kValueBufferChars, expanded);
    if (needed == 0 || needed > kValueBufferChars) return std::u16string(default_text);
    return expanded;
  }
  return std::u16string(default_text);
}

bool ResolvePathSetting(std::u16string& setting, const Registry& registry, const FileSystem& files,
                        const SystemInfo& system) {
  setting = Trim(setting);
  const std::vector<std::u16string> candidates = SplitList(setting, u'|');
  if (candidates.empty()) return false;

  std::u16string folder;
  bool found = false;
  for (const auto& candidate : candidates) {
    setting = candidate;
    ExpandPathVariables(setting, u"", system);
    if (setting.find(u':') != std::u16string::npos) {
      if (files.Attributes(setting)) return true;
      continue;
    }
    // A bare name: an application registered under App Paths.
    const std::u16string key = std::u16string(kAppPathsKey) + setting;
    folder = ReadLocalMachineString(key, u"path", u"", registry, system);
    if (!folder.empty()) {
      found = true;
      break;
    }
    folder = ReadLocalMachineString(key, u"", u"", registry, system);
    size_t last_backslash = folder.rfind(u'\\');
    if (!folder.empty() && last_backslash != std::u16string::npos) {
      folder.resize(last_backslash);
      found = true;
      break;
    }
  }
  if (!found) return false;

  TrimTrailing(folder, u"\\;");
  TrimTrailing(folder, u"\" ");
  TrimLeading(folder, u"\" ");
  setting = std::move(folder);
  return true;
}

}  // namespace kestrel
