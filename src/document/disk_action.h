#pragma once
// File/folder action strings: a file pattern action, an empty-path action or an
// INI action (INIFILE=file|section[|key]).

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

struct DISKACTION {
  std::u16string whole;
  std::u16string pattern;
  std::u16string folder;
  int32_t subfolders = 0;
  int32_t empty_path = 0;
  int32_t remove_folder = 0;
  int32_t clean_subfolders = 0;
  std::u16string ini_section;
  std::u16string ini_file;
  std::u16string ini_key;
  std::u16string kind;  // "INIFILE" for an INI action
  std::u16string exclusions;
};

bool IsIniAction(const DISKACTION& action);

// Composes the normalised string. Trims folder, pattern and exclusions of the
// record it is given, as the file pattern form needs them.
std::u16string ComposeDiskAction(DISKACTION& action);
// 1 when the string is a file/folder action. Writes into `action`.
int ParseDiskAction(std::u16string_view text, DISKACTION& action);

// True when an empty-path action would empty a Windows system folder
// ("?:\Windows" or "?:\Windows\system32"); such actions are never evaluated.
bool IsProtectedEmptyPath(std::u16string_view path);

}  // namespace kestrel
