#pragma once
// The Windows form of a Linux path, as programs in a Wine prefix see it: the
// drive whose folder (<prefix>/dosdevices/<letter>:) holds the path names it,
// /home/u/.wine/drive_c/x/y.log becoming C:\x\y.log and a path outside
// drive_c going through the drive that maps "/" (usually Z:).

#include <filesystem>
#include <optional>
#include <string>

namespace kestrel {

// Walks up from the path itself and takes the first folder that is the
// folder of a drive (the same folder on disk, links followed), the lowest
// letter when several drives map it, so links inside a drive keep their place
// in it. nullopt for a relative path, an empty prefix, or when no drive holds
// the path.
std::optional<std::u16string> HostToWindowsPath(const std::filesystem::path& prefix,
                                                const std::filesystem::path& host_path);

}  // namespace kestrel
