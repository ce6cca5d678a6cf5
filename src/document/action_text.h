#pragma once
// Telling what an action string is: the registry parser is tried first, the
// file/folder parser only when it fails; a string neither accepts is no action.
// And the text an action is saved as.

#include <string>
#include <string_view>

#include "document/disk_action.h"
#include "document/registry_action.h"

namespace kestrel {

enum class ActionClass { kNone, kRegistry, kFileFolder };

struct ParsedAction {
  ActionClass kind = ActionClass::kNone;
  REGACTION reg;    // filled for kRegistry
  DISKACTION disk;  // filled for kFileFolder
};

ParsedAction ParseAction(std::u16string_view text);

// True when the parser found a registry verb but stopped splitting its
// remainder for want of a "\" (or of the "," of a verb with a value part), so
// that composing the record would lose the key.
bool RegSplitStoppedEarly(const REGACTION& action);

// The text an action is saved as: the normalised form that composing its
// parsed record gives; the trimmed text as read when composing would lose part
// of it (a registry remainder that could not be split, a file/folder action
// whose composed form would no longer read as one) or when neither parser
// accepts it.
std::u16string SavedActionText(std::u16string_view text);
std::u16string SavedActionText(std::u16string_view text, ParsedAction& parsed);

}  // namespace kestrel
