#include "editor/editor_services.h"

#include "editor/wine_prefix.h"

namespace kestrel {

QtEditorServices::QtEditorServices() : services_{messages_, choosers_, programs_, WinePrefixInUse()} {}

}  // namespace kestrel
