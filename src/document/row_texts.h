#pragma once
// The three texts of an actions-list row: "Path", "Action", "Pattern".

#include <array>
#include <string>

#include "document/disk_action.h"
#include "document/registry_action.h"

namespace kestrel {

constexpr int kPathColumn = 0;
constexpr int kActionColumn = 1;
constexpr int kPatternColumn = 2;

// Row images.
constexpr int kFileFolderRowImage = 0;
constexpr int kRegistryRowImage = 1;

using RowTexts = std::array<std::u16string, 3>;

RowTexts RegistryRowTexts(const REGACTION& action);
RowTexts FileFolderRowTexts(const DISKACTION& action);

}  // namespace kestrel
