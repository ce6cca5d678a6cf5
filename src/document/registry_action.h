#pragma once
// Registry action strings: VERB=ROOT\key\path[,value].

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

struct REGACTION {
  uint32_t root = 0;
  std::u16string root_name;
  std::u16string key_path;
  std::u16string remainder;
  std::u16string value_name;
  int32_t has_value = 0;
  std::u16string verb;
};

struct RegistryRoot {
  const char16_t* name;      // as written in action strings
  uint32_t value;
  const char16_t* log_name;  // as written in the test log
};

// The four roots, in the order the registry action dialog offers them.
const std::array<RegistryRoot, 4>& RegistryRoots();
// The root whose name matches without regard to case, or null.
const RegistryRoot* FindRegistryRoot(std::u16string_view name);
// The test log name of a root value; empty for anything else.
std::u16string RootLogName(uint32_t root);

// The five verbs in the order they are tried.
const std::array<const char16_t*, 5>& RegistryVerbs();
bool VerbHasValue(std::u16string_view verb);

std::u16string ComposeRegAction(const REGACTION& action);
// 1 when the string is a registry action. Writes into `action`.
int ParseRegAction(std::u16string_view text, REGACTION& action);

}  // namespace kestrel
