#include "document/action_text.h"

#include "platform/text.h"

namespace kestrel {

ParsedAction ParseAction(std::u16string_view text) {
  ParsedAction parsed;
  if (ParseRegAction(text, parsed.reg)) {
    parsed.kind = ActionClass::kRegistry;
  } else if (ParseDiskAction(text, parsed.disk)) {
    parsed.kind = ActionClass::kFileFolder;
  }
  return parsed;
}

bool RegSplitStoppedEarly(const REGACTION& action) {
  std::u16string_view key_part = action.remainder;
  if (action.has_value) {
    const size_t comma = key_part.rfind(u',');
    if (comma == std::u16string_view::npos) return true;
    key_part = key_part.substr(0, comma);
  }
  return key_part.find(u'\\') == std::u16string_view::npos;
}

std::u16string SavedActionText(std::u16string_view text, ParsedAction& parsed) {
  switch (parsed.kind) {
    case ActionClass::kRegistry:
      if (RegSplitStoppedEarly(parsed.reg)) return Trim(text);
      return ComposeRegAction(parsed.reg);
    case ActionClass::kFileFolder: {
      // The string form has no escaping. An INI action whose only "\" stood
      // outside its value composes to a string without one, which would read
      // back as no action at all; a pattern that holds a second "/X:" list
      // composes to a string whose next read takes that list for the
      // exclusions. Keep such a string as it was read, so saving the file
      // again never changes what it means.
      std::u16string composed = ComposeDiskAction(parsed.disk);
      ParsedAction again = ParseAction(composed);
      if (again.kind != ActionClass::kFileFolder || ComposeDiskAction(again.disk) != composed) return Trim(text);
      return composed;
    }
    case ActionClass::kNone:
      break;
  }
  return Trim(text);
}

std::u16string SavedActionText(std::u16string_view text) {
  ParsedAction parsed = ParseAction(text);
  return SavedActionText(text, parsed);
}

}  // namespace kestrel
