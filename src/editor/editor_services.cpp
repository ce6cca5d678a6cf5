#include "editor/editor_services.h"

#include "platform/windows_world.h"

namespace kestrel {

QtEditorServices::QtEditorServices()
    : services_{messages_, choosers_, programs_, DefaultPrefix().value_or(std::filesystem::path())} {}

}  // namespace kestrel
