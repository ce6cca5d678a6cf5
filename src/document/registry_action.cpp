#include "document/registry_action.h"

#include "platform/text.h"

namespace kestrel {

const std::array<RegistryRoot, 4>& RegistryRoots() {
  static const std::array<RegistryRoot, 4> roots = {{
      {u"HKEY_CLASSES_ROOT", 0x80000000u, u"Hkey_Classes_Root"},
      {u"HKEY_CURRENT_USER", 0x80000001u, u"Hkey_Current_User"},
      {u"HKEY_LOCAL_MACHINE", 0x80000002u, u"Hkey_Local_Machine"},
      {u"HKEY_USERS", 0x80000003u, u"Hkey_Users"},
  }};
  return roots;
}

const RegistryRoot* FindRegistryRoot(std::u16string_view name) {
  for (const auto& root : RegistryRoots())
    if (EqualsNoCase(name, root.name)) return &root;
  return nullptr;
}

std::u16string RootLogName(uint32_t root) {
  for (const auto& r : RegistryRoots())
    if (r.value == root) return r.log_name;
  return {};
}

const std::array<const char16_t*, 5>& RegistryVerbs() {
  static const std::array<const char16_t*, 5> verbs = {u"DELVAL", u"DELKEY", u"DELLIST", u"DELKLIST",
                                                       u"EMPTYKEY"};
  return verbs;
}

bool VerbHasValue(std::u16string_view verb) {
  return EqualsNoCase(verb, u"DELVAL") || EqualsNoCase(verb, u"DELLIST") || EqualsNoCase(verb, u"DELKLIST");
}

std::u16string ComposeRegAction(const REGACTION& action) {
  std::u16string out = action.verb + u"=" + action.root_name + u"\\" + action.key_path;
  if (VerbHasValue(action.verb)) out += u"," + action.value_name;
  return out;
}

int ParseRegAction(std::u16string_view text, REGACTION& action) {
  std::u16string trimmed = Trim(text);
  if (trimmed.empty()) return 0;

  bool found = false;
  for (const char16_t* verb : RegistryVerbs()) {
    action.verb = verb;
    action.remainder = ValueAfterKeyword(trimmed, verb);
    if (!action.remainder.empty()) {
      found = true;
      break;
    }
  }
  if (!found) return 0;

  action.has_value = VerbHasValue(action.verb) ? 1 : 0;
  std::u16string key_part;
  if (action.has_value) {
    size_t comma = action.remainder.rfind(u',');
    if (comma == std::u16string::npos) return 1;
    action.value_name = action.remainder.substr(comma + 1);
    key_part = action.remainder.substr(0, comma);
  } else {
    key_part = action.remainder;
  }
  size_t slash = key_part.find(u'\\');
  if (slash == std::u16string::npos) return 1;
  action.root_name = key_part.substr(0, slash);
  action.key_path = key_part.substr(slash + 1);
  const RegistryRoot* root = FindRegistryRoot(action.root_name);
  if (!root) return 1;
  action.root = root->value;
  action.key_path = Trim(action.key_path);
  if (action.has_value) action.value_name = Trim(action.value_name);
  return 1;
}

}  // namespace kestrel
