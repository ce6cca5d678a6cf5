#pragma once
// The in-memory key tree every registry back end is built from: keys hold
// values in the order they were stored and subkeys sorted without regard to
// case; names are matched without regard to case.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/registry.h"

namespace kestrel {

// Orders names the way the registry enumerates subkeys: case-insensitively.
struct NoCaseLess {
  using is_transparent = void;
  bool operator()(std::u16string_view a, std::u16string_view b) const;
};

class RegNode {
 public:
  using Children = std::map<std::u16string, std::unique_ptr<RegNode>, NoCaseLess>;

  RegNode() = default;
  RegNode(const RegNode&) = delete;
  RegNode& operator=(const RegNode&) = delete;
  // Frees the subtree without recursion: a hive can nest keys deeper than the
  // stack could unwind.
  ~RegNode();

  // Whether the running user could delete (or otherwise change) this key.
  bool deletable = true;
  // A symbolic link key: opening it opens what its SymbolicLinkValue names.
  bool link = false;
  // A mount point: this key stands for another tree's key.
  const RegNode* graft = nullptr;

  const Children& children() const { return children_; }
  const std::vector<RegValue>& values() const { return values_; }
  // Bumped whenever the set of subkeys changes, so enumeration cursors can
  // tell they went stale.
  uint64_t revision() const { return revision_; }

  const RegNode* FindChild(std::u16string_view name) const;
  RegNode* FindChild(std::u16string_view name);
  // The existing subkey of that name, or a new one that inherits `deletable`.
  RegNode& AddChild(std::u16string_view name);
  bool RemoveChild(std::u16string_view name);

  const RegValue* FindValue(std::u16string_view name) const;
  // Replaces the type and data of the value of the same name in place (its
  // name keeps its first spelling), or appends the value.
  void SetValue(RegValue value);
  bool RemoveValue(std::u16string_view name);

  // Walks (and with `create`, makes) a "\"-separated path; empty components
  // are skipped. Links and grafts are not followed. Null when missing.
  RegNode* Descend(std::u16string_view path, bool create);

 private:
  void RebuildValueIndex();

  Children children_;
  std::vector<RegValue> values_;
  // Upper-cased value name -> position; kept only for keys with many values so
  // that loading a key with a huge number of values stays linear.
  std::unique_ptr<std::unordered_map<std::u16string, size_t>> value_index_;
  uint64_t revision_ = 0;
};

}  // namespace kestrel
