#include "platform/prefix_registry.h"

#include <unistd.h>

#include "platform/tree_registry.h"
#include "platform/wine_hive.h"

namespace kestrel {

namespace {

// Loads one hive file; null when it is missing or not a hive.
std::shared_ptr<RegNode> LoadHive(const std::filesystem::path& file, std::string* errors) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return nullptr;
  auto root = std::make_shared<RegNode>();
  root->deletable = ::access(file.c_str(), W_OK) == 0;
  HiveLoadReport report;
  bool ok = LoadWineHiveFile(file, *root, &report);
  if (errors) {
    for (const auto& p : report.problems) *errors += file.string() + ": " + p + "\n";
    if (report.skipped_lines > report.problems.size())
      *errors += file.string() + ": " + std::to_string(report.skipped_lines) + " unreadable lines in all\n";
  }
  return ok ? root : nullptr;
}

}  // namespace

std::unique_ptr<Registry> LoadPrefixRegistry(const std::filesystem::path& prefix,
                                             std::string* errors) {
  std::vector<RegMount> mounts;
  if (!prefix.empty()) {
    if (auto system = LoadHive(prefix / "system.reg", errors)) {
      mounts.push_back({HKEY_LOCAL_MACHINE, u"", system, system.get()});
      if (const RegNode* classes = system->Descend(u"Software\\Classes", false))
        mounts.push_back({HKEY_CLASSES_ROOT, u"", system, classes});
    }
    if (auto user = LoadHive(prefix / "user.reg", errors)) {
      mounts.push_back({HKEY_CURRENT_USER, u"", user, user.get()});
      mounts.push_back({HKEY_USERS, kWineUserSid, user, user.get()});
    }
    if (auto userdef = LoadHive(prefix / "userdef.reg", errors))
      mounts.push_back({HKEY_USERS, u".DEFAULT", userdef, userdef.get()});
  }
  return std::make_unique<TreeRegistry>(mounts);
}

}  // namespace kestrel
