#pragma once
// The one Registry implementation: key trees mounted at the four roots or at
// paths below them. Links are followed when a path is opened through them.

#include <memory>
#include <string>
#include <vector>

#include "platform/reg_tree.h"
#include "platform/registry.h"

namespace kestrel {

// Places a tree node at `root` (empty path) or at `root\path`. `owner` keeps
// the node's tree alive for as long as the registry lives.
struct RegMount {
  uint32_t root = 0;
  std::u16string path;
  std::shared_ptr<const RegNode> owner;
  const RegNode* node = nullptr;
};

class TreeRegistry : public Registry {
 public:
  explicit TreeRegistry(const std::vector<RegMount>& mounts);

  long OpenKey(const RegKey& parent, std::u16string_view path, uint32_t access,
               RegKey& out) const override;
  long QueryValue(const RegKey& key, std::u16string_view name, RegValue* value,
                  size_t max_bytes = SIZE_MAX) const override;
  long EnumValue(const RegKey& key, uint32_t index, size_t name_buffer_chars,
                 std::u16string& name) const override;
  long EnumKey(const RegKey& key, uint32_t index, size_t name_buffer_chars,
               std::u16string& name) const override;
  using Registry::OpenKey;

  // How many links one open may pass through before it counts as a cycle.
  static constexpr int kMaxLinkHops = 16;

 protected:
  TreeRegistry();
  void Mount(const RegMount& mount);

 private:
  const RegNode* RootNode(uint32_t root) const;
  long NodeOf(const RegKey& key, const RegNode*& node) const;
  long Walk(const RegNode* from, std::u16string_view path, int& hops, const RegNode*& out) const;
  long Follow(const RegNode* node, int& hops, const RegNode*& out) const;

  // Skeleton keys of HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE
  // and HKEY_USERS that carry the grafts.
  std::unique_ptr<RegNode> tops_[4];
  std::vector<std::shared_ptr<const RegNode>> owners_;
};

}  // namespace kestrel
