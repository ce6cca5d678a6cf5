#include "platform/windows_world.h"

#include <cstdlib>
#include <system_error>

#include "platform/memory_registry.h"
#include "platform/prefix_file_system.h"
#include "platform/prefix_registry.h"
#include "platform/prefix_system_info.h"
#include "platform/reg_export.h"

namespace kestrel {

WindowsWorld::WindowsWorld() : WindowsWorld(std::make_unique<MemoryRegistry>(), {}, LoginName()) {}

WindowsWorld::WindowsWorld(std::unique_ptr<Registry> registry, const std::filesystem::path& prefix,
                           std::u16string user_name)
    : registry_(std::move(registry)),
      files_(std::make_unique<PrefixFileSystem>(prefix)),
      system_(std::make_unique<PrefixSystemInfo>(*registry_, std::move(user_name))),
      prefix_(prefix) {}

std::optional<std::filesystem::path> DefaultPrefix(const char* wineprefix, const char* home) {
  if (wineprefix && *wineprefix) return std::filesystem::path(wineprefix);
  if (home && *home) {
    std::filesystem::path dot_wine = std::filesystem::path(home) / ".wine";
    std::error_code ec;
    if (std::filesystem::is_directory(dot_wine, ec)) return dot_wine;
  }
  return std::nullopt;
}

std::optional<std::filesystem::path> DefaultPrefix() {
  return DefaultPrefix(std::getenv("WINEPREFIX"), std::getenv("HOME"));
}

WindowsWorld LoadWindowsWorld(const std::optional<std::filesystem::path>& prefix, std::string* errors) {
  if (!prefix) return WindowsWorld();
  return WindowsWorld(LoadPrefixRegistry(*prefix, errors), *prefix, LoginName());
}

WindowsWorld LoadWindowsWorld(const std::optional<std::filesystem::path>& prefix,
                              const std::vector<std::filesystem::path>& registry_exports, std::string* errors) {
  if (registry_exports.empty()) return LoadWindowsWorld(prefix, errors);
  return WindowsWorld(LoadRegistryExports(registry_exports, errors), prefix.value_or(std::filesystem::path()),
                      LoginName());
}

}  // namespace kestrel
