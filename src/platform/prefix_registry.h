#pragma once
// The registry of a Wine prefix, read from its hive files the way Wine maps
// them: system.reg is HKEY_LOCAL_MACHINE (and its Software\Classes is
// HKEY_CLASSES_ROOT), user.reg is HKEY_CURRENT_USER and the user's key under
// HKEY_USERS, userdef.reg is HKEY_USERS\.DEFAULT. Keys are deletable when
// the file holding them is writable by the running user.

#include <filesystem>
#include <memory>
#include <string>

#include "platform/registry.h"

namespace kestrel {

// The fixed SID Wine gives every user of a prefix.
inline constexpr char16_t kWineUserSid[] = u"S-1-5-21-0-0-0-1000";

// Loads the three hives of `prefix`. A missing prefix or hive file leaves its
// part of the registry empty ("not found" everywhere); unreadable lines are
// skipped. Problems are appended to `errors`, one line each, when given.
std::unique_ptr<Registry> LoadPrefixRegistry(const std::filesystem::path& prefix,
                                             std::string* errors = nullptr);

}  // namespace kestrel
