#pragma once
// The Windows world a test run looks at: a registry, the disk seen through
// Windows paths and the system facts, all read from one Wine prefix (or from
// registry exports), or the empty world where nothing exists.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/system_info.h"

namespace kestrel {

class WindowsWorld {
 public:
  // The empty world: no drives, an empty registry; everything answers "not
  // found" and nothing fails.
  WindowsWorld();
  // A world of the given registry and the drives of `prefix` (empty path: no
  // drives); the system facts are read from the registry for `user_name`.
  WindowsWorld(std::unique_ptr<Registry> registry, const std::filesystem::path& prefix,
               std::u16string user_name);

  WindowsWorld(WindowsWorld&&) = default;
  WindowsWorld& operator=(WindowsWorld&&) = default;

  const Registry& registry() const { return *registry_; }
  const FileSystem& files() const { return *files_; }
  const SystemInfo& system() const { return *system_; }
  // The prefix the drives come from; empty when there is none.
  const std::filesystem::path& prefix() const { return prefix_; }

 private:
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<FileSystem> files_;
  std::unique_ptr<SystemInfo> system_;
  std::filesystem::path prefix_;
};

// The prefix Wine itself would use: `wineprefix` when set and not empty, else
// <home>/.wine when that folder exists; nullopt otherwise.
std::optional<std::filesystem::path> DefaultPrefix(const char* wineprefix, const char* home);
// The same from the process environment (WINEPREFIX, HOME).
std::optional<std::filesystem::path> DefaultPrefix();

// The world of `prefix` for the running user: its hives and its drives. A
// missing prefix, or one without hives, gives empty parts. With no prefix the
// world has no drives. Problems reading the registry are appended to
// `errors`, one line each, when given.
WindowsWorld LoadWindowsWorld(const std::optional<std::filesystem::path>& prefix,
                              std::string* errors = nullptr);
// The same with the registry taken from .reg export files (applied in order)
// instead of the prefix's hives; the drives stay the prefix's. An empty list
// of exports means the hives.
WindowsWorld LoadWindowsWorld(const std::optional<std::filesystem::path>& prefix,
                              const std::vector<std::filesystem::path>& registry_exports,
                              std::string* errors = nullptr);

}  // namespace kestrel
