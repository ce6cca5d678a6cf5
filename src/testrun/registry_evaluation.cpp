#include "testrun/registry_evaluation.h"

#include <utility>
#include <vector>

#include "document/registry_action.h"
#include "platform/text.h"

namespace kestrel {

namespace {

std::u16string Joined(std::u16string_view a, char16_t sep, std::u16string_view b) {
  std::u16string out;
  out.reserve(a.size() + 1 + b.size());
  out.append(a);
  out += sep;
  out.append(b);
  return out;
}

void AddValueLine(CTestResults& results, uint32_t root, std::u16string_view key_path, char16_t sep,
                  std::u16string_view value_name) {
  std::u16string line = u"\tDeleted Value: ";
  line += RootLogName(root);
  line += u'\\';
  line += Joined(key_path, sep, value_name);
  ++results.registry_values_deleted;
  results.AddLine(std::move(line));
}

}  // namespace

std::u16string GetRootDisplayName(const RegKey& key) {
  return key.IsRoot() ? RootLogName(key.RootValue()) : std::u16string();
}

bool SplitRegistryArgument(std::u16string_view argument, bool with_value, uint32_t& root,
                           std::u16string& key_path, std::u16string& value_name) {
  std::u16string_view key_part = argument;
  std::u16string_view value_part;
  if (with_value) {
    size_t comma = argument.rfind(u',');
    if (comma == std::u16string_view::npos) return false;
    key_part = argument.substr(0, comma);
    value_part = argument.substr(comma + 1);
  }
  size_t slash = key_part.find(u'\\');
  if (slash == std::u16string_view::npos) return false;
  const RegistryRoot* found = FindRegistryRoot(key_part.substr(0, slash));
  if (!found) return false;
  root = found->value;
  key_path = Trim(key_part.substr(slash + 1));
  value_name = Trim(value_part);
  return true;
}

void EvaluateRegistryAction(CTestResults& results, const Registry& registry,
                            std::u16string_view action_string, RunStop stop) {
  for (const char16_t* verb_text : RegistryVerbs()) {
    std::u16string argument = ValueAfterKeyword(action_string, verb_text);
    if (argument.empty()) continue;
    std::u16string_view verb = verb_text;
    uint32_t root = 0;
    std::u16string key_path, value_name;
    if (!SplitRegistryArgument(argument, VerbHasValue(verb), root, key_path, value_name)) return;
    if (verb == u"DELVAL") {
      EvaluateDeleteValue(results, registry, root, key_path, value_name);
    } else if (verb == u"DELKEY") {
      EvaluateKey(results, registry, RegKey::Root(root), key_path, false, stop);
    } else if (verb == u"DELLIST") {
      EvaluateValueList(results, registry, root, key_path, value_name, stop);
    } else if (verb == u"DELKLIST") {
      EvaluateKeyList(results, registry, root, key_path, value_name, stop);
    } else {  // EMPTYKEY
      EvaluateKey(results, registry, RegKey::Root(root), key_path, true, stop);
    }
    return;  // later verbs are not tried
  }
}

void EvaluateDeleteValue(CTestResults& results, const Registry& registry, uint32_t root,
                         std::u16string_view key_path, std::u16string_view value_name) {
  RegKey key;
  if (registry.OpenKey(root, key_path, kValueWalkAccess, key) != ERROR_SUCCESS) return;
  if (registry.QueryValue(key, value_name, nullptr) == ERROR_SUCCESS)
    AddValueLine(results, root, key_path, u',', value_name);
}

void EvaluateValueList(CTestResults& results, const Registry& registry, uint32_t root,
                       std::u16string_view key_path, std::u16string_view prefix, RunStop stop) {
  std::vector<std::u16string> names;
  {
    RegKey key;
    if (registry.OpenKey(root, key_path, kValueWalkAccess, key) == ERROR_SUCCESS) {
      for (uint32_t index = 0;; ++index) {
        if (stop.Requested()) return;
        std::u16string name;
        long rc = registry.EnumValue(key, index, kListNameChars, name);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) continue;  // this index gives no name; the next may
        if (StartsWithNoCase(name, prefix)) names.push_back(std::move(name));
      }
    }
  }  // the key is closed before the names are evaluated
  for (const auto& name : names) {
    if (stop.Requested()) return;
    EvaluateDeleteValue(results, registry, root, key_path, name);
  }
}

void EvaluateKeyList(CTestResults& results, const Registry& registry, uint32_t root,
                     std::u16string_view key_path, std::u16string_view prefix, RunStop stop) {
  std::vector<std::u16string> names;
  {
    RegKey key;
    if (registry.OpenKey(root, key_path, kValueWalkAccess, key) == ERROR_SUCCESS) {
      for (uint32_t index = 0;; ++index) {
        if (stop.Requested()) return;
        std::u16string name;
        if (registry.EnumKey(key, index, kListNameChars, name) != ERROR_SUCCESS) break;
        if (StartsWithNoCase(name, prefix)) names.push_back(std::move(name));
      }
    }
  }
  for (const auto& name : names) {
    if (stop.Requested()) return;
    EvaluateKey(results, registry, RegKey::Root(root), Joined(key_path, u'\\', name), false, stop);
  }
}

long EvaluateKey(CTestResults& results, const Registry& registry, const RegKey& parent,
                 std::u16string_view key_path, bool keep_key, RunStop stop) {
  if (key_path.empty()) return ERROR_BADKEY;

  // Depth first over the subtree with an explicit stack of open keys, so a deep
  // tree costs heap, not call stack. Each level enumerates its subkeys by index
  // and the walk ends at the first key that does not open or enumerate.
  struct Level {
    RegKey key;
    uint32_t next_index = 0;
  };
  std::vector<Level> stack;
  stack.emplace_back();
  long rc = registry.OpenKey(parent, key_path, kKeyWalkAccess, stack.back().key);
  if (rc != ERROR_SUCCESS) return rc;

  std::u16string name;
  while (true) {
    if (stop.Requested()) return kErrorRunStopped;
    Level& level = stack.back();
    rc = registry.EnumKey(level.key, level.next_index, kKeyWalkNameChars, name);
    if (rc == ERROR_NO_MORE_ITEMS) {
      if (stack.size() == 1) break;  // the action's own key is done with its subkeys
      stack.pop_back();
      continue;
    }
    if (rc != ERROR_SUCCESS) return rc;
    ++level.next_index;
    if (name.empty()) return ERROR_BADKEY;
    if (stack.size() > kMaxKeyDepth) return kErrorTreeTooDeep;
    RegKey child;
    rc = registry.OpenKey(level.key, name, kKeyWalkAccess, child);
    if (rc != ERROR_SUCCESS) return rc;
    stack.push_back(Level{std::move(child), 0});
  }

  std::u16string root_name = GetRootDisplayName(parent);
  if (!keep_key) {
    if (!root_name.empty()) {
      std::u16string line = u"\tDeleted Key: ";
      line += root_name;
      line += u'\\';
      line += key_path;
      ++results.registry_keys_deleted;
      results.AddLine(std::move(line));
    }
    return ERROR_SUCCESS;
  }
  const RegKey& own = stack.front().key;
  for (uint32_t index = 0;; ++index) {
    if (stop.Requested()) return kErrorRunStopped;
    if (registry.EnumValue(own, index, kKeyWalkNameChars, name) != ERROR_SUCCESS) break;
    std::u16string line = u"\tDeleted Value: ";
    line += root_name;
    line += u'\\';
    line += Joined(key_path, u'\\', name);
    ++results.registry_values_deleted;
    results.AddLine(std::move(line));
  }
  return ERROR_SUCCESS;
}

}  // namespace kestrel
