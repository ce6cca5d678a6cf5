#pragma once
// The in-memory key tree every registry back end is built from: keys hold
// values in the order they were stored and subkeys sorted without regard to
// case; names are matched without regard to case. A tree lives in the arena
// of its root key: keys, names and data are freed together with the root.

#include <cstdint>
#include <map>
#include <memory>
#include <memory_resource>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/bulk_memory.h"
#include "platform/registry.h"

namespace kestrel {

// Orders names the way the registry enumerates subkeys: case-insensitively.
struct NoCaseLess {
  using is_transparent = void;
  bool operator()(std::u16string_view a, std::u16string_view b) const;
};

// A value as the tree keeps it; name and data live in the tree's arena.
struct RegStoredValue {
  std::u16string_view name;
  uint32_t type = REG_NONE;
  std::span<const uint8_t> data;

  RegValue ToRegValue() const { return {std::u16string(name), type, {data.begin(), data.end()}}; }
};

class RegNode {
 public:
  using Children = std::pmr::map<std::u16string_view, RegNode*, NoCaseLess>;

  // A root key, with the arena for its whole tree.
  RegNode();
  RegNode(const RegNode&) = delete;
  RegNode& operator=(const RegNode&) = delete;
  ~RegNode();

  // Whether the running user could delete (or otherwise change) this key.
  bool deletable = true;
  // A symbolic link key: opening it opens what its SymbolicLinkValue names.
  bool link = false;
  // A mount point: this key stands for another tree's key.
  const RegNode* graft = nullptr;

  const Children& children() const { return children_; }
  std::span<const RegStoredValue> values() const { return values_; }
  // Bumped whenever the set of subkeys changes, so enumeration cursors can
  // tell they went stale.
  uint64_t revision() const { return revision_; }

  const RegNode* FindChild(std::u16string_view name) const;
  RegNode* FindChild(std::u16string_view name);
  // The existing subkey of that name, or a new one that inherits `deletable`.
  RegNode& AddChild(std::u16string_view name);
  // Takes the subkey out of the tree; its memory goes with the root's arena.
  bool RemoveChild(std::u16string_view name);

  const RegStoredValue* FindValue(std::u16string_view name) const;
  // Replaces the type and data of the value of the same name in place (its
  // name keeps its first spelling), or appends the value.
  void SetValue(std::u16string_view name, uint32_t type, std::span<const uint8_t> data);
  void SetValue(const RegValue& value) { SetValue(value.name, value.type, value.data); }
  bool RemoveValue(std::u16string_view name);

  // Walks (and with `create`, makes) a "\"-separated path; empty components
  // are skipped. Links and grafts are not followed. Null when missing.
  RegNode* Descend(std::u16string_view path, bool create);

 private:
  explicit RegNode(Arena* arena);
  void RebuildValueIndex();

  struct FoldHash {
    size_t operator()(std::u16string_view s) const;
  };
  struct FoldEqual {
    bool operator()(std::u16string_view a, std::u16string_view b) const;
  };
  using ValueIndex = std::pmr::unordered_map<std::u16string_view, size_t, FoldHash, FoldEqual>;

  // Declared first: it outlives the containers that allocate from it.
  std::unique_ptr<Arena> own_arena_;
  Arena* arena_;
  Children children_;
  std::pmr::vector<RegStoredValue> values_;
  // Value name -> position; kept only for keys with many values so that
  // loading a key with a huge number of values stays linear.
  ValueIndex* value_index_ = nullptr;
  uint64_t revision_ = 0;
};

}  // namespace kestrel
