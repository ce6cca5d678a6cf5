#include "editor/wine_prefix.h"

#include <cstdlib>

namespace kestrel {

std::filesystem::path WinePrefixInUse() {
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) return prefix;
  if (const char* home = std::getenv("HOME"); home && *home) return std::filesystem::path(home) / ".wine";
  return {};
}

}  // namespace kestrel
