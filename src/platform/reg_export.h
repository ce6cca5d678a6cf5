#pragma once
// Windows registry export files (.reg): "REGEDIT4" in the 8-bit code page or
// "Windows Registry Editor Version 5.00" in UTF-16 (UTF-8 accepted too).
// Several exports apply in order to one snapshot, the way importing them one
// after the other would; every key of the snapshot counts as deletable.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/reg_tree.h"
#include "platform/registry.h"
#include "platform/wine_hive.h"

namespace kestrel {

// One key tree per predefined root.
class RegRootTrees {
 public:
  RegRootTrees();
  // The tree of HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE or
  // HKEY_USERS; null for anything else.
  RegNode* Tree(uint32_t root) const;
  const std::shared_ptr<RegNode>& Shared(uint32_t root) const;

 private:
  std::shared_ptr<RegNode> trees_[4];
};

// Applies the export held in `bytes` (the file as read, with or without BOM).
// False when it is not an export (no header): nothing is applied then.
// Unreadable lines are skipped and counted in `report`.
bool ApplyRegExport(std::string_view bytes, RegRootTrees& trees, HiveLoadReport* report = nullptr);

// Loads the export files in the order given into one registry. A file that
// cannot be read or is not an export is left out; problems are appended to
// `errors` (one line each) when given.
std::unique_ptr<Registry> LoadRegistryExports(const std::vector<std::filesystem::path>& files,
                                              std::string* errors = nullptr);

}  // namespace kestrel
