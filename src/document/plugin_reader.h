#pragma once
// New and the plug-in file reader: both reset the document and its actions
// list; the reader then loads a plug-in file into them.

#include <optional>
#include <string>

#include "document/actions_list.h"

namespace kestrel {

// An untitled, modified document with the two default groups. The extra header
// values are kept. `user_name`, when known, becomes the provider.
void NewPlugin(ActionsList& actions, const std::optional<std::u16string>& user_name);

// Performs New, then reads the plug-in file at `path` into the document and
// fills the list. Problems go to the list's message sink; a refused file leaves
// New's document and gives false.
bool ReadPlugin(ActionsList& actions, const std::u16string& path, const std::optional<std::u16string>& user_name);

}  // namespace kestrel
