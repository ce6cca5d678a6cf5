#pragma once
// What the registry actions of a plug-in would delete. Keys are opened with the
// rights deleting would need, so only what the user could delete is reported;
// nothing is ever written.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "testrun/run_stop.h"
#include "testrun/test_results.h"

namespace kestrel {

// Rights asked for by the walkers of single values and of lists.
constexpr uint32_t kValueWalkAccess = KEY_ALL_ACCESS;
// Rights asked for on every key of a subtree that would be deleted or emptied.
constexpr uint32_t kKeyWalkAccess = DELETE | KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_ENUMERATE_SUB_KEYS;

// Name buffers, in characters with the terminator.
constexpr size_t kListNameChars = 260;
constexpr size_t kKeyWalkNameChars = 520;

// Keys nested deeper than this below an action's key cannot exist in a real
// registry; a deeper tree (a hostile export, a cycle of link keys) ends the
// walk with kErrorTreeTooDeep and is not reported.
constexpr size_t kMaxKeyDepth = 512;
constexpr long kErrorTreeTooDeep = 1011;  // "the key could not be opened"
// A walk cut short by a stop request.
constexpr long kErrorRunStopped = 995;

// Finds the action's verb and reports what it would delete.
void EvaluateRegistryAction(CTestResults& results, const Registry& registry,
                            std::u16string_view action_string, RunStop stop = {});

// ROOT\key\path[,value]: false when there is no "," (with a value part), no
// "\" in the key part, or the root is not one of the four. Key path and value
// are trimmed.
bool SplitRegistryArgument(std::u16string_view argument, bool with_value, uint32_t& root,
                           std::u16string& key_path, std::u16string& value_name);

void EvaluateDeleteValue(CTestResults& results, const Registry& registry, uint32_t root,
                         std::u16string_view key_path, std::u16string_view value_name);
void EvaluateValueList(CTestResults& results, const Registry& registry, uint32_t root,
                       std::u16string_view key_path, std::u16string_view prefix, RunStop stop = {});
void EvaluateKeyList(CTestResults& results, const Registry& registry, uint32_t root,
                     std::u16string_view key_path, std::u16string_view prefix, RunStop stop = {});

// Reports the key (keep_key false) or its values (keep_key true) when it and
// every key below it open with kKeyWalkAccess. Returns 0, or the error that
// stopped the walk (ERROR_BADKEY for an empty path).
long EvaluateKey(CTestResults& results, const Registry& registry, const RegKey& parent,
                 std::u16string_view key_path, bool keep_key, RunStop stop = {});

// The test log name of a root ("Hkey_Current_User"...); empty for an opened key.
std::u16string GetRootDisplayName(const RegKey& key);

}  // namespace kestrel
