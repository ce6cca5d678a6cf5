#pragma once
// The Wine prefix the editor works with: WINEPREFIX when set, else ~/.wine,
// as Wine itself chooses. The folder need not exist.

#include <filesystem>

namespace kestrel {

std::filesystem::path WinePrefixInUse();

}  // namespace kestrel
