#include "platform/user_name.h"

#include <cstdlib>

#include "platform/text.h"

namespace kestrel {

std::optional<std::u16string> CurrentUserName() {
  for (const char* variable : {"USER", "LOGNAME"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return FromUtf8(value);
  }
  return std::nullopt;
}

}  // namespace kestrel
