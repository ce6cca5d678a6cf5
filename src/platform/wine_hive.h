#pragma once
// Reader for the registry files of a Wine prefix (system.reg, user.reg,
// userdef.reg): plain text headed "WINE REGISTRY Version 2", one "[Key]"
// line per key followed by its values. Lines that cannot be read are skipped
// and counted; the rest of the file still loads.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/reg_tree.h"

namespace kestrel {

struct HiveLoadReport {
  size_t keys = 0;           // key lines read
  size_t values = 0;         // values stored
  size_t skipped_lines = 0;  // lines (or values) that could not be read
  // The first problems, each "line N: what"; later ones are only counted.
  std::vector<std::string> problems;
};

// Adds the keys of hive `text` below `root`, the key its paths are relative
// to. Keys created here take `root.deletable`. False when the text is not a
// hive (no header): nothing is added then.
bool ParseWineHive(std::string_view text, RegNode& root, HiveLoadReport* report = nullptr);

// Reads the file and parses it as above. False when it cannot be read or is
// not a hive; `report` then holds the reason.
bool LoadWineHiveFile(const std::filesystem::path& file, RegNode& root,
                      HiveLoadReport* report = nullptr);

}  // namespace kestrel
