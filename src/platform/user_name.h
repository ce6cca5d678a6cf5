#pragma once
// The name of the user running the program, for the provider of a new plug-in.

#include <optional>
#include <string>

namespace kestrel {

// From the login environment ($USER, else $LOGNAME); nullopt when neither is set.
std::optional<std::u16string> CurrentUserName();

}  // namespace kestrel
