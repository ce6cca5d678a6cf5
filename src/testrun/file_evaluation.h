#pragma once
// What the file/folder actions of a plug-in would delete: the action string's
// switches and exclusions, its path variables, then an INI check or one of the
// folder walks. Only lists and reads; nothing on disk changes.

#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/system_info.h"
#include "testrun/folder_walks.h"
#include "testrun/run_stop.h"
#include "testrun/test_results.h"

namespace kestrel {

// Evaluates one trimmed action string with `path_value` for "%PATH%". False
// when the expanded action holds no backslash: nothing is reported, and the
// caller passes over the rest of the action's group.
bool EvaluateFileAction(CTestResults& results, const FileSystem& files, const SystemInfo& system,
                        std::u16string_view action_string, std::u16string_view path_value,
                        RunStop stop = {});

// INIFILE=file|section[|key]: reports the section, or the key, when the file
// exists and the section has lines or the key a value. No counter changes.
void EvaluateIniAction(CTestResults& results, const FileSystem& files, std::u16string_view action_text);

}  // namespace kestrel
