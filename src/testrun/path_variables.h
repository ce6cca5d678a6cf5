#pragma once
// Path variables of file/folder actions (%APPDATA%, %PATH%, ...) and the
// resolution of a plug-in's PATH setting into a folder. Everything here only
// reads the registry, the file system and the system facts it is given.

#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/system_info.h"

namespace kestrel {

// Replaces the first occurrence of `token` in `path`, found without regard to
// case, by `replacement`; the rest of the path keeps its case. False when the
// token does not occur.
bool ReplaceFirstToken(std::u16string& path, std::u16string_view token, std::u16string_view replacement);

// The special folder `id` (a CSIDL_ value) without trailing backslashes and
// spaces; empty when the system cannot give it.
std::u16string GetSpecialFolder(int id, const SystemInfo& system);

// Applies the path variables in their fixed order: %BOOTDRIVE%, %PATH% (by
// `path_value`), %APPDATA%, %COMMONAPPDATA%, %LOCALAPPDATA%, %INTERNET_CACHE%,
// %MYDOCS%, %PERSONAL%, %WINDOWS% (to %WINDIR%), %USERNAME%, %SYSDIR%, then
// the environment, then %PROGRAMFILES%. Each token is replaced at its first
// occurrence only.
void ExpandPathVariables(std::u16string& path, std::u16string_view path_value, const SystemInfo& system);

// The text of a string or expandable string value under HKEY_LOCAL_MACHINE
// (empty `value_name`: the default value), or `default_text` when it cannot
// be read, is too large, or has another type.
std::u16string ReadLocalMachineString(std::u16string_view key_path, std::u16string_view value_name,
                                      std::u16string_view default_text, const Registry& registry,
                                      const SystemInfo& system);

// Turns a PATH setting ("candidate|candidate|...") into a folder: the first
// candidate that exists on disk after expansion, or the folder an App Paths
// entry gives for a candidate without ":". True with `setting` holding that
// folder; false with `setting` holding the last candidate's expansion (the
// trimmed setting when it has no candidate).
bool ResolvePathSetting(std::u16string& setting, const Registry& registry, const FileSystem& files,
                        const SystemInfo& system);

}  // namespace kestrel
