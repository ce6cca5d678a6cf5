#pragma once
// A registry built in memory, for tests: each root is its own key tree, keys
// and values are added through the builder calls below, and any key can be
// marked as one the user could not delete.

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/tree_registry.h"

namespace kestrel {

class MemoryRegistry : public TreeRegistry {
 public:
  MemoryRegistry();

  // Creates the key and any missing parents (they are deletable).
  MemoryRegistry& AddKey(uint32_t root, std::u16string_view path);

  // Each setter creates the key when needed; an empty name is the default
  // value, and setting an existing name replaces its data in place.
  MemoryRegistry& SetString(uint32_t root, std::u16string_view path, std::u16string_view name,
                            std::u16string_view text);
  MemoryRegistry& SetExpandString(uint32_t root, std::u16string_view path,
                                  std::u16string_view name, std::u16string_view text);
  MemoryRegistry& SetDword(uint32_t root, std::u16string_view path, std::u16string_view name,
                           uint32_t number);
  MemoryRegistry& SetBinary(uint32_t root, std::u16string_view path, std::u16string_view name,
                            std::vector<uint8_t> bytes);
  MemoryRegistry& SetMultiString(uint32_t root, std::u16string_view path,
                                 std::u16string_view name,
                                 const std::vector<std::u16string>& strings);
  // Any type with raw data.
  MemoryRegistry& SetValue(uint32_t root, std::u16string_view path, std::u16string_view name,
                           uint32_t type, std::vector<uint8_t> data);

  // Marks the key (created when missing) as one the user may not delete:
  // opening it with writing rights then answers ERROR_ACCESS_DENIED. Its
  // subkeys keep their own setting.
  MemoryRegistry& SetNotDeletable(uint32_t root, std::u16string_view path);

  // Makes the key a link to `target`, a "\Registry\Machine\..." or
  // "\Registry\User\..." path (HKEY_LOCAL_MACHINE or HKEY_USERS).
  MemoryRegistry& AddLink(uint32_t root, std::u16string_view path, std::u16string_view target);

 private:
  RegNode& Key(uint32_t root, std::u16string_view path);

  std::shared_ptr<RegNode> roots_[4];
};

}  // namespace kestrel
